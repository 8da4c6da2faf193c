// The wizard with real windows on the real platform (Windows, or Wine) and
// the kit's stand-in USB libraries in its package folder: a simulated
// family printer reporting id 2 is read on the port page, and Install in
// Typical mode rewrites it to id 0 after the question.
#include <windows.h>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <fstream>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "platform/win32/windows_platform.h"
#include "setup/app/kitsetup_app.h"
#include "tests/setup/wizard/sample_kit.h"
#include "tests/setup/wizard_win32/win32_walk.h"
#include "ui/win32/host.h"
#include "ui/win32/remote.h"

namespace kit::setup {
namespace {

using ::testing::HasSubstr;
using ::testing::IsEmpty;
using testing::kPollMs;
using testing::kTimeoutMs;

constexpr DWORD kInstallTimeoutMs = 120000;
using testing::SelectItem;

std::string ReadHostFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::stringstream bytes;
  bytes << in.rdbuf();
  return bytes.str();
}

// A file of the build folder: under Wine the build's Unix path is on drive Z:.
std::string ReadBuildFile(const std::string& path) {
  std::string bytes = ReadHostFile(path);
  if (bytes.empty() && !path.empty() && path[0] == '/') bytes = ReadHostFile("Z:" + path);
  return bytes;
}

TEST(KitsetupWin32Usb, TypicalInstallRewritesTheStandInPrintersId) {
  ui::win32::InitCommonControls();
  auto kit = testing::KitWithoutLicence();
  // The stand-in libraries with one maker-driver printer reporting id 2.
  kit.Set("KvUsbInt.dll", ReadBuildFile(KIT_STAND_IN_KVUSBINT));
  kit.Set("USBPrintDll.dll", ReadBuildFile(KIT_STAND_IN_USBPRINTDLL));
  kit.Set("UsbPrinters.txt", "printer 7A5C 1000 2\r\n");
  const std::string folder = testing::WriteKit(kit, "usb-id");
  // A log left by an earlier run in a folder of the same name says nothing.
  DeleteFileA((folder + "\\UsbWrites.log").c_str());
  ASSERT_FALSE(ReadHostFile(folder + "\\KvUsbInt.dll").empty());

  win32::WindowsPlatform windows;
  std::vector<std::string> failures;
  auto expect = [&](bool ok, const std::string& what) {
    if (!ok) failures.push_back(what);
  };
  std::vector<std::u16string> boxes;  // the texts of the boxes shown, in order
  const DWORD ui_thread = GetCurrentThreadId();
  std::thread driver([&] {
    HWND frame = ui::win32::WaitForDialog(ui_thread, kTimeoutMs, L"Printer Driver Setup");
    expect(frame != nullptr, "the frame appears");
    if (frame == nullptr) return;
    ui::win32::RemoteDialog f(frame);
    HWND port = testing::WalkToPortPage(frame, expect);
    // One printer: the port page's id read shows nothing.
    HWND early = ui::win32::WaitForMessageBox(ui_thread, frame, 0);
    if (early != nullptr) {
      boxes.push_back(ui::win32::RemoteDialog(early).MessageText());
      ui::win32::RemoteDialog(early).Click(IDOK);
    }
    if (port != nullptr) expect(SelectItem(port, kPortListId, L"USB_VRT-Q40_1"), "USB_VRT-Q40_1 is offered");
    f.Click(IDOK);  // Install
    // Yes to the id question; every other box (the install's outcome)
    // acknowledged, until the frame closes. The install itself takes its
    // time: the driver files, the spooler, and the pause for the USB
    // installer.
    HWND last = nullptr;
    const DWORD start = GetTickCount();
    while (f.Exists() && GetTickCount() - start < kInstallTimeoutMs) {
      HWND box = ui::win32::WaitForMessageBox(ui_thread, frame, kPollMs * 10);
      if (box == nullptr || box == last) continue;  // none yet, or the last one still closing
      last = box;
      ui::win32::RemoteDialog b(box);
      boxes.push_back(b.MessageText());
      b.Click(boxes.back() == u"Change the id?" ? IDYES : IDOK);
    }
    if (f.Exists()) f.Click(IDCANCEL);
    expect(f.WaitClosed(kTimeoutMs), "the frame closes");
  });

  CKitsetupApp::Options options;
  options.platform = &windows.platform();
  options.package_folder = folder;
  options.host.message_box = [&](std::u16string_view, std::u16string_view) { failures.push_back("start-up refused"); };
  options.host.run_modal = [](ui::Page& frame) { return ui::win32::RunModal(frame); };
  CKitsetupApp app(std::move(options));
  EXPECT_EQ(app.Run(), StartResult::kFrameClosed);
  driver.join();

  EXPECT_THAT(failures, IsEmpty());
  ASSERT_FALSE(boxes.empty());
  EXPECT_EQ(boxes[0], u"Change the id?");
  // The id-write command with id 0 went to the printer, which now reports 0.
  EXPECT_THAT(ReadHostFile(folder + "\\UsbWrites.log"), HasSubstr("1B 73 42 45 92 99 1D 49 20 00"));
  EXPECT_THAT(ReadHostFile(folder + "\\UsbPrinters.txt"), HasSubstr("printer 7A5C 1000 0"));
}

}  // namespace
}  // namespace kit::setup
