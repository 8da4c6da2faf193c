// The wizard with real windows on the real platform (Windows, or Wine),
// driven by control id from a second thread: from the series page to the
// port page, and Install gathers the selections.
#include <windows.h>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cstdio>
#include <functional>
#include <string>
#include <thread>
#include <vector>

#include "platform/win32/windows_platform.h"
#include "setup/app/kitsetup_app.h"
#include "tests/setup/wizard/sample_kit.h"
#include "tests/setup/wizard_win32/wizard_windows.h"
#include "ui/win32/host.h"
#include "ui/win32/remote.h"

namespace kit::setup {
namespace {

using ::testing::IsEmpty;
using testing::PageWith;
using testing::SelectItem;

bool WaitFor(const std::function<bool()>& ready) { return testing::WaitFor(ready, 15000); }

constexpr int kTimeoutMs = 15000;

std::vector<std::wstring> ListItems(HWND page, int id) {
  std::vector<std::wstring> out;
  HWND list = GetDlgItem(page, id);
  const LRESULT n = SendMessageW(list, LB_GETCOUNT, 0, 0);
  for (LRESULT i = 0; i < n; ++i) {
    wchar_t text[128] = {};
    SendMessageW(list, LB_GETTEXT, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(text));
    out.emplace_back(text);
  }
  return out;
}

// Writes the kit below a fresh folder of the temporary folder.
std::string WriteKit(const testing::KitFiles& kit) {
  char temp[MAX_PATH] = {};
  GetTempPathA(MAX_PATH, temp);
  const std::string root = std::string(temp) + "kitsetup-wine-" + std::to_string(GetCurrentProcessId());
  CreateDirectoryA(root.c_str(), nullptr);
  for (const auto& [relative, bytes] : kit.files) {
    const std::string path = root + "\\" + relative;
    for (std::size_t at = path.find('\\', root.size() + 1); at != std::string::npos; at = path.find('\\', at + 1))
      CreateDirectoryA(path.substr(0, at).c_str(), nullptr);
    FILE* f = std::fopen(path.c_str(), "wb");
    if (f == nullptr) continue;
    std::fwrite(bytes.data(), 1, bytes.size(), f);
    std::fclose(f);
  }
  return root;
}

TEST(KitsetupWin32, WalksFromTheSeriesPageToThePortPageByControlIds) {
  ui::win32::InitCommonControls();
  auto kit = testing::SampleKit();
  std::string ini = kit.files.at("DRVCONFIG\\setup.ini");
  ini.replace(ini.find("LOADLICENSE=1"), 13, "LOADLICENSE=0");
  kit.Set("DRVCONFIG\\setup.ini", ini);
  const std::string folder = WriteKit(kit);

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
    HWND series = nullptr;
    expect(WaitFor([&] { return (series = PageWith(frame, kSeriesListIds[0])) != nullptr; }), "series page shown");
    expect(!f.Enabled(kBackId), "Back is off on the first page");
    if (series != nullptr) {
      expect(SelectItem(series, kSeriesListIds[0], L"VRT-Q40"), "VRT-Q40 is offered");
      ui::win32::RemoteDialog(series).Click(kSeriesDefaultId);
    }
    f.Click(IDOK);
    expect(WaitFor([&] { return PageWith(frame, kModeTypicalId) != nullptr; }), "mode page shown");
    f.Click(IDOK);  // the OS page passes on by itself
    HWND port = nullptr;
    expect(WaitFor([&] { return (port = PageWith(frame, kPortListId)) != nullptr; }), "port page shown");
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
