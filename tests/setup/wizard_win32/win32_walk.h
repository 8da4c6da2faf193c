// Helpers for driving the wizard's real windows from a test thread: waits,
// the frame's visible page, list selections as a person makes them, and the
// kit written to a temporary folder.
#pragma once

#include <windows.h>

#include <functional>
#include <string>
#include <vector>

#include "setup/frame/kitsetup_dlg.h"

#include "tests/setup/wizard/sample_kit.h"

namespace kit::setup::testing {

inline constexpr int kTimeoutMs = 15000;
inline constexpr int kPollMs = 50;

// Polls `ready` every kPollMs until it holds or `timeout_ms` runs out.
bool WaitFor(const std::function<bool()>& ready, int timeout_ms = kTimeoutMs);
// The visible page window of the frame that holds control `id`.
HWND PageWith(HWND frame, int id);
// The visible top-level dialog of a thread that holds control `id`; found
// at once, without waiting (null when none shows).
HWND VisibleDialogWith(DWORD thread_id, int id);
// Selects an item of a list or combo box as a person does, so the page is
// told of the change.
bool SelectItem(HWND page, int id, const wchar_t* text);
std::vector<std::wstring> ListItems(HWND page, int id);
// The sample kit without the licence page, so the frame opens on the series
// page.
KitFiles KitWithoutLicence();

// Records a failed expectation of the driving thread.
using Expect = std::function<void(bool ok, const std::string& what)>;
// From the series page to the port page: the receipt model "VRT-Q40"
// chosen, `on_series` run on the series page, Typical mode. Returns the
// port page, null when it did not show.
HWND WalkToPortPage(HWND frame, const Expect& expect, const std::function<void(HWND series)>& on_series = {});

// Writes the kit below a fresh folder of the temporary folder, named by
// the process and `name`; returns its path.
std::string WriteKit(const KitFiles& kit, const std::string& name = "kit");

}  // namespace kit::setup::testing
