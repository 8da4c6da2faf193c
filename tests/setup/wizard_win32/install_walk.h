// kitsetup.exe of a kit folder as a user meets it (Windows builds, run under
// Wine), driven by control id from the test process: the walk from the
// licence page to the end of the install, the message boxes on the way, the
// photographs of the windows shown, and what the system's spooler holds.
//
// Photographs are asked of walk_screenshots.sh, which sets KIT_SHOT_DIR and
// saves a PNG of each window asked for from the X display.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

#include "tests/wine/wine_path.h"

namespace kit::setup::testing {

using kit::wine::WindowsPath;

// Asks walk_screenshots.sh for a PNG of `window` named `name`: writes
// NAME.rect into KIT_SHOT_DIR and waits for NAME.taken. False when no shot
// was taken.
bool Screenshot(HWND window, const std::string& name);

struct PrinterSeen {
  std::wstring name, port, driver;
};
// The local printers, as the spooler lists them: the names (level 4), then
// each printer's own record (level 2; empty when the printer cannot be
// opened).
std::vector<PrinterSeen> LocalPrinters();
bool DriverInstalled(const wchar_t* name);
bool PrintProcessorInstalled(const wchar_t* name);

// One walk: the receipt model "VRT-Q40", Typical mode, on `port`.
struct InstallWalk {
  std::wstring kit;          // the kit folder (a Windows path)
  std::wstring port;         // the port list's entry
  std::u16string address;    // typed into the IP box (the network port)
  std::string page_shots;    // when set, each page is photographed as <page_shots>_<page>
  std::string progress_shot; // when set, the progress dialog, with the program held still
  // The message boxes' photographs, in the order the boxes show; a box
  // beyond the list, or named by an empty text, is not photographed.
  std::vector<std::string> message_shots;
};

struct MessageSeen {
  std::u16string caption, text;
};
struct WalkResult {
  bool reached_install = false;          // the walk pressed Install
  bool progress_shown = false;
  std::vector<MessageSeen> messages;     // every message box, in order, each answered OK
  bool stayed_open = false;              // refused: back on its page, then cancelled
  DWORD exit_code = ~0u;                 // ~0u: the program did not end
};

// Starts kitsetup.exe from the kit folder (its current folder) and walks it;
// every message box after Install is photographed and answered OK until
// the frame closes; a wizard that refused the install and waits on its page
// again is cancelled. Failed steps are reported to the running test. The
// program has ended (or been ended) when this returns.
WalkResult WalkToTheEnd(const InstallWalk& walk);

}  // namespace kit::setup::testing
