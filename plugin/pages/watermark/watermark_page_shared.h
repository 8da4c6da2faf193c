// What the Water Mark page's two files share: the page's modes and how a
// chosen bitmap is read and its failures told. Inside the page only.
// This file is OS-independent.
#pragma once

#include <optional>
#include <string_view>

#include "plugin/core/sheets/sheet_page.h"
#include "plugin/pages/watermark/watermark_picture.h"

namespace kit::plugin::watermark::page_parts {

inline constexpr int kModeCount = 3;
inline constexpr int kImageMode = 1;
inline constexpr int kTextMode = 2;

// The leading decimal number of `text`; nothing when it has none.
std::optional<int> ParseNumber(std::u16string_view text);

// The bytes of the chosen bitmap, read through the bounded read: a file
// beyond what any picture can need is too big and is not read at all.
PictureError ReadSource(Files& files, std::u16string_view path, Bytes* source);

// The message a picture failure shows.
sheets::Message MessageOf(PictureError error);

}  // namespace kit::plugin::watermark::page_parts
