// A picture shown in the terminal: a bitmap drawn as a small block of
// characters, darker pixels as denser characters, so that a preview frame
// can be judged in a transcript. This file is OS-independent.
#pragma once

#include <string>
#include <vector>

#include "ui/bitmap.h"

namespace kit::ui::console {

// The widest and tallest character picture drawn.
inline constexpr int kPictureColumns = 48;
inline constexpr int kPictureRows = 16;

// Lines of at most kPictureColumns characters, at most kPictureRows of them,
// the picture's proportions kept (a character cell is about twice as tall as
// it is wide). Each character stands for the mean grey of the pixels it
// covers: '#' black, ' ' white. Nothing for an empty bitmap.
std::vector<std::string> PictureText(const Bitmap& bitmap);

}  // namespace kit::ui::console
