// Finding and working the wizard's real windows from a test thread or
// process: its pages by control id, list and combo selections made as a
// person makes them, and polling until something holds.
#pragma once

#include <windows.h>

#include <functional>

namespace kit::setup::testing {

// Polls `ready` every 50 ms until it holds or `timeout_ms` runs out.
bool WaitFor(const std::function<bool()>& ready, int timeout_ms);

// The visible page (a child dialog) of the frame that holds control `id`.
HWND PageWith(HWND frame, int id);

// Selects the item with `text` of a list or combo box and tells the page,
// as a click does. False when there is no such item.
bool SelectItem(HWND page, int id, const wchar_t* text);

}  // namespace kit::setup::testing
