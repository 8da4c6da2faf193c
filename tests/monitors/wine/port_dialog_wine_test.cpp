// The kit's port dialogs as Windows' callers reach them, under Wine (run by
// serial_monitor_wine_test.sh after the monitors' own tests, which add the
// monitors): ConfigurePortW on a KVCOMn: or USB_ port makes Wine's spooler
// ask the port's monitor for its dialog module (XcvData "MonitorUI"), load
// it from the system folder and call its ConfigurePortUI, which opens the
// real dialog on this thread. A second thread drives the dialog by control
// id as a person would; what it stored is read back through the monitor
// and from the registry.
//
// Run by tests/ui/screenshot.sh with --gtest_filter=PortDialogPicture.*,
// the program gets the screenshot's two hand-over files as its last
// arguments and shows one dialog for the picture.
#include <windows.h>
#include <shellapi.h>
#include <winspool.h>

#include <gtest/gtest.h>

#include <string>
#include <thread>
#include <vector>

#include "monitors/portui/serial_port_page.h"
#include "monitors/portui/usb_port_page.h"
#include "tests/monitors/wine/spooler_calls.h"
#include "tests/ui/screenshot_modal.h"
#include "tests/ui/screenshot_window.h"
#include "ui/win32/remote.h"

namespace {

using kit::monitors::wine::XcvInput;

namespace km = kit::monitors;
using kit::ui::win32::RemoteDialog;

constexpr int kDialogTimeoutMs = 20000;
constexpr wchar_t kPortsKey[] = L"SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\Ports";

// XcvData on the serial monitor: the port's settings, or "(error N)".
std::wstring SerialXcv(const wchar_t* command, std::initializer_list<const wchar_t*> input) {
  PRINTER_DEFAULTSW defaults{nullptr, nullptr, SERVER_ACCESS_ADMINISTER};
  HANDLE xcv = nullptr;
  if (!OpenPrinterW(const_cast<wchar_t*>(L",XcvMonitor KVR Serial Port"), &xcv, &defaults)) {
    return L"(OpenPrinter error " + std::to_wstring(GetLastError()) + L")";
  }
  std::vector<BYTE> in = XcvInput(input);
  std::vector<BYTE> out(256);
  DWORD needed = 0, status = 0;
  const BOOL called = XcvDataW(xcv, command, in.data(), static_cast<DWORD>(in.size()), out.data(),
                               static_cast<DWORD>(out.size()), &needed, &status);
  ClosePrinter(xcv);
  if (!called) return L"(XcvData error " + std::to_wstring(GetLastError()) + L")";
  if (status != 0) return L"(error " + std::to_wstring(status) + L")";
  std::wstring text;
  for (std::size_t i = 0; i + 1 < needed && i + 1 < out.size(); i += 2) {
    const wchar_t c = static_cast<wchar_t>(out[i] | (out[i + 1] << 8));
    if (c == 0) break;
    text.push_back(c);
  }
  return text;
}

std::wstring StoredValue(const wchar_t* name) {
  wchar_t value[64] = {};
  DWORD size = sizeof value;
  const LSTATUS status = RegGetValueW(HKEY_LOCAL_MACHINE, kPortsKey, name, RRF_RT_REG_SZ, nullptr, value, &size);
  return status == ERROR_SUCCESS ? std::wstring(value) : L"(none)";
}

// What ConfigurePortW answered and the driving thread saw.
struct Outcome {
  BOOL result = FALSE;
  DWORD error = 0;
  bool dialog = false;
  std::u16string caption;
  std::vector<std::u16string> texts;  // what `read` gathered from the dialog
  bool acted = false;                 // every action of `act` was taken
};

// Calls ConfigurePortW(NULL, NULL, port) on this thread; a second thread
// waits for the dialog, reads the controls `read` names and runs `act`.
template <typename Act>
Outcome Configure(const wchar_t* port, std::vector<int> read, Act act) {
  Outcome outcome;
  const DWORD ui_thread = GetCurrentThreadId();
  std::thread person([&] {
    HWND h = kit::ui::win32::WaitForDialog(ui_thread, kDialogTimeoutMs);
    if (h == nullptr) return;
    outcome.dialog = true;
    RemoteDialog d(h);
    outcome.caption = d.Caption();
    for (const int id : read) {
      const std::u16string combo = d.ComboText(id);
      outcome.texts.push_back(combo.empty() ? d.Text(id) : combo);
    }
    outcome.acted = act(d);
    if (!d.WaitClosed(kDialogTimeoutMs)) outcome.acted = false;
  });
  SetLastError(0);
  outcome.result = ConfigurePortW(nullptr, nullptr, const_cast<wchar_t*>(port));
  outcome.error = GetLastError();
  person.join();
  return outcome;
}

TEST(PortDialogsUnderWine, TheSerialDialogStoresOnOkAndKeepsOnCancel) {
  ASSERT_EQ(SerialXcv(L"SetPortSettings", {L"KVCOM2:", L"9600,n,8,1,p"}), L"");
  const std::vector<int> read = {km::kPortNameId, km::kBaudListId, km::kDataBitsListId, km::kParityListId,
                                 km::kStopBitsListId, km::kFlowListId};

  // 19200 bits per second (entry 4), even parity (2), XON/XOFF (1), OK.
  Outcome ok = Configure(L"KVCOM2:", read, [](const RemoteDialog& d) {
    return d.SelectComboItem(km::kBaudListId, 4) && d.SelectComboItem(km::kParityListId, 2) &&
           d.SelectComboItem(km::kFlowListId, 1) && d.Click(IDOK);
  });
  ASSERT_TRUE(ok.dialog) << "no dialog came; ConfigurePortW gave " << ok.result << ", error " << ok.error;
  EXPECT_TRUE(ok.acted);
  EXPECT_EQ(ok.caption, u"Configure Port");
  EXPECT_EQ(ok.texts, (std::vector<std::u16string>{u"KVCOM2:", u"9600", u"8", u"None", u"1", u"Hardware"}));
  EXPECT_TRUE(ok.result) << ok.error;
  EXPECT_EQ(SerialXcv(L"GetPortSettings", {L"KVCOM2:"}), L"19200,e,8,1,x");
  EXPECT_EQ(StoredValue(L"COM2:"), L"19200,e,8,1,x");

  // Changed and cancelled: FALSE with ERROR_CANCELLED, nothing stored.
  Outcome cancel = Configure(L"KVCOM2:", read, [](const RemoteDialog& d) {
    return d.SelectComboItem(km::kBaudListId, 0) && d.Click(IDCANCEL);
  });
  ASSERT_TRUE(cancel.dialog);
  EXPECT_TRUE(cancel.acted);
  EXPECT_EQ(cancel.texts, (std::vector<std::u16string>{u"KVCOM2:", u"19200", u"8", u"Even", u"1", u"Xon / Xoff"}));
  EXPECT_FALSE(cancel.result);
  EXPECT_EQ(cancel.error, static_cast<DWORD>(ERROR_CANCELLED));
  EXPECT_EQ(StoredValue(L"COM2:"), L"19200,e,8,1,x");

  // Two stop bits with five data bits: the dialog says why and stays;
  // Restore Defaults and OK then store the port's defaults.
  Outcome refused = Configure(L"KVCOM2:", {}, [](const RemoteDialog& d) {
    if (!d.SelectComboItem(km::kDataBitsListId, 0) || !d.SelectComboItem(km::kStopBitsListId, 2) || !d.Click(IDOK)) {
      return false;
    }
    HWND box = kit::ui::win32::WaitForMessageBox(GetWindowThreadProcessId(d.hwnd(), nullptr), d.hwnd(),
                                                 kDialogTimeoutMs);
    if (box == nullptr) return false;
    const bool says_why = RemoteDialog(box).MessageText().find(u"2 stop bits") != std::u16string::npos;
    RemoteDialog(box).Command(IDOK);
    return says_why && d.Click(km::kRestoreDefaultsId) && d.Click(IDOK);
  });
  ASSERT_TRUE(refused.dialog);
  EXPECT_TRUE(refused.acted);
  EXPECT_TRUE(refused.result) << refused.error;
  EXPECT_EQ(StoredValue(L"COM2:"), L"9600,n,8,1,p");
}

TEST(PortDialogsUnderWine, TheUsbDialogShowsThePortsPrinter) {
  Outcome shown = Configure(L"USB_VRT-Q40_1", {km::kUsbPortNameId, km::kUsbPortIndexId, km::kUsbPrinterRuleId},
                            [](const RemoteDialog& d) { return d.Click(IDOK); });
  ASSERT_TRUE(shown.dialog) << "no dialog came; ConfigurePortW gave " << shown.result << ", error " << shown.error;
  EXPECT_TRUE(shown.acted);
  EXPECT_EQ(shown.texts,
            (std::vector<std::u16string>{u"USB_VRT-Q40_1", u"1",
                                         u"The printer whose USB id is 0, 8, 16, ... (USB id divided by 8 leaves 0)."}));
  EXPECT_TRUE(shown.result) << shown.error;
}

// Neither monitor adds or deletes ports: Wine's spooler hands AddPort and
// DeletePort to the dialog module, which refuses.
TEST(PortDialogsUnderWine, PortsAreNeitherAddedNorDeleted) {
  SetLastError(0);
  EXPECT_FALSE(AddPortW(nullptr, nullptr, const_cast<wchar_t*>(L"KVR Serial Port")));
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_NOT_SUPPORTED));
  SetLastError(0);
  EXPECT_FALSE(DeletePortW(nullptr, nullptr, const_cast<wchar_t*>(L"KVCOM3:")));
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_NOT_SUPPORTED));
  SetLastError(0);
  EXPECT_FALSE(DeletePortW(nullptr, nullptr, const_cast<wchar_t*>(L"USB_VRT-Q40_1")));
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_NOT_SUPPORTED));
}

// The screenshot's hand-over files: the program's last two arguments.
bool PictureFiles(std::wstring* rect, std::wstring* taken) {
  int count = 0;
  wchar_t** args = CommandLineToArgvW(GetCommandLineW(), &count);
  if (args == nullptr) return false;
  const bool given = count >= 3 && std::wstring(args[count - 2]).find(L"rect") != std::wstring::npos;
  if (given) {
    *rect = args[count - 2];
    *taken = args[count - 1];
  }
  LocalFree(args);
  return given;
}

void Picture(const wchar_t* port) {
  std::wstring rect, taken;
  if (!PictureFiles(&rect, &taken)) GTEST_SKIP() << "run by screenshot.sh only";
  bool reported = false;
  Outcome shown = Configure(port, {}, [&](const RemoteDialog& d) {
    Sleep(1500);  // lets the window finish drawing
    reported = kit::ui::testing::ReportForScreenshot(d.hwnd(), rect.c_str(), taken.c_str());
    return d.Click(IDCANCEL) || d.Click(IDOK);
  });
  EXPECT_TRUE(shown.dialog);
  EXPECT_TRUE(reported);
}

TEST(PortDialogPicture, Serial) { Picture(L"KVCOM1:"); }
TEST(PortDialogPicture, Usb) { Picture(L"USB_VRT-Q40_1"); }

// The serial dialog of a user without administer rights, which Wine's
// spooler never refuses: the page itself, shown by this module's host.
TEST(PortDialogPicture, SerialReadOnly) {
  std::wstring rect, taken;
  if (!PictureFiles(&rect, &taken)) GTEST_SKIP() << "run by screenshot.sh only";
  km::SerialPortPage page(km::TextsFor(km::PortUiLanguage::kEnglish), u"KVCOM1:",
                          {19200, km::Parity::kEven, 7, km::StopBits::kTwo, km::FlowControl::kXonXoff}, nullptr,
                          nullptr);
  EXPECT_EQ(kit::ui::testing::ShowModalForScreenshot(page, rect.c_str(), taken.c_str()), 0);
}

}  // namespace
