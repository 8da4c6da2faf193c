// Answering dialogs that the system shows on the calling thread while a
// call of the program runs (a driver installation's warnings): the dialogs
// are known by caption, and a click goes to the first child window whose
// text marks the button to press. The Win32 host does it with a
// window-procedure hook on the thread; callers need no <windows.h>.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace kit::ui::win32 {

// The dialog resources `ids` of a system library, as template bytes (empty
// for one the library lacks). The library is loaded for the read and freed
// again. False when it cannot be loaded.
bool ReadLibraryDialogTemplates(std::u16string_view library, const std::vector<int>& ids,
                                std::vector<std::vector<std::uint8_t>>* templates);

// Watches for the dialogs as long as it lives; the hook is removed with it.
class ForeignDialogWatch {
 public:
  virtual ~ForeignDialogWatch() = default;
};

// Whether a child window's text (ANSI) marks the button to press.
using ButtonFilter = bool (*)(std::string_view text);

// Starts watching this thread's windows: a window whose caption (ANSI, at
// most `caption_capacity` - 1 bytes read) equals one of `captions` lets its
// message pass on, then its child windows are walked and the first that
// `is_button` accepts gets a left-button press and release. One watch at a
// time per program.
std::unique_ptr<ForeignDialogWatch> WatchForeignDialogs(std::vector<std::string> captions, ButtonFilter is_button,
                                                        std::size_t caption_capacity);

}  // namespace kit::ui::win32
