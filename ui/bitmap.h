// The picture a page draws into a frame control: the kit's one picture type,
// named in the UI layer.
// This file is OS-independent.
#pragma once

#include "common/bmp/bitmap.h"

namespace kit::ui {

using kit::Bitmap;

}  // namespace kit::ui
