// The wizard with real windows on the real platform (Windows, or Wine),
// driven by control id from a second thread: from the series page to the
// port page, and Install gathers the selections.
#include <windows.h>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

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

using ::testing::IsEmpty;
using testing::kTimeoutMs;
using testing::ListItems;
using testing::SelectItem;
using testing::WaitFor;
using testing::WriteKit;

TEST(KitsetupWin32, WalksFromTheSeriesPageToThePortPageByControlIds) {
  ui::win32::InitCommonControls();
  const std::string folder = WriteKit(testing::KitWithoutLicence());

  win32::WindowsPlatform windows;
  testing::FakeUsb usb;
  std::vector<std::string> failures;
  auto expect = [&](bool ok, const std::string& what) {
    if (!ok) failures.push_back(what);
  };
  std::vector<std::wstring> ports;
  const DWORD ui_thread = GetCurrentThreadId();
  std::thread driver([&] {
    HWND frame = ui::win32::WaitForDialog(ui_thread, kTimeoutMs, L"Printer Driver Setup");
    expect(frame != nullptr, "the frame appears");
    if (frame == nullptr) return;
    ui::win32::RemoteDialog f(frame);
    HWND port = testing::WalkToPortPage(frame, expect, [&](HWND series) {
      expect(!f.Enabled(kBackId), "Back is off on the first page");
      ui::win32::RemoteDialog(series).Click(kSeriesDefaultId);
    });
    expect(WaitFor([&] { return f.Text(IDOK) == u"Install"; }), "Next reads Install");
    if (port != nullptr) {
      ports = ListItems(port, kPortListId);
      expect(SelectItem(port, kPortListId, L"LPT2:"), "LPT2: is offered");
      expect(WaitFor([&] { return ui::win32::RemoteDialog(port).Enabled(kRasterCheckId); }), "raster box enabled");
    }
    f.Click(IDOK);  // Install
    HWND box = ui::win32::WaitForMessageBox(ui_thread, frame, kTimeoutMs);
    expect(box != nullptr, "Install says what it did");
    if (box != nullptr) ui::win32::RemoteDialog(box).Click(IDOK);
    WaitFor([&] { return ui::win32::WaitForMessageBox(ui_thread, frame, 0) == nullptr; });
    f.Click(IDCANCEL);
    expect(f.WaitClosed(kTimeoutMs), "Cancel closes the frame");
  });

  CKitsetupApp::Options options;
  options.platform = &windows.platform();
  options.package_folder = folder;
  options.usb = &usb;
  options.host.message_box = [&](std::u16string_view, std::u16string_view) { failures.push_back("start-up refused"); };
  options.host.run_modal = [](ui::Page& frame) { return ui::win32::RunModal(frame); };
  CKitsetupApp app(std::move(options));
  const StartResult result = app.Run();
  driver.join();

  EXPECT_EQ(result, StartResult::kFrameClosed);
  EXPECT_THAT(failures, IsEmpty());
  EXPECT_THAT(ports, ::testing::Contains(std::wstring(L"USB_VRT-Q40_1")));
  ASSERT_NE(app.frame(), nullptr);
  ASSERT_TRUE(app.frame()->install_requested());
  const InstallRequest& r = app.frame()->install_request();
  EXPECT_EQ(r.model_name, "VRT-Q40");
  EXPECT_EQ(r.series_index, 0);
  EXPECT_EQ(r.port_name, "LPT2:");
  EXPECT_EQ(r.port_kind, kPortParallel);
  EXPECT_EQ(r.raster, 1);
  EXPECT_TRUE(r.set_as_default);
  EXPECT_EQ(r.os_code, 7);
}

}  // namespace
}  // namespace kit::setup
