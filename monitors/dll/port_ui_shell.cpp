// The host of the port dialogs on Windows: the Xcv handle through
// OpenPrinterW on ",XcvMonitor <monitor>" and XcvDataW (Microsoft: "XcvData
// function", the printing calls a port monitor's UI makes), the dialogs
// through the kit's Win32 UI host, owned by the caller's window.
#include "monitors/dll/port_ui_shell.h"

#include <winspool.h>

#include <string>

#include "monitors/portui/port_ui_texts.h"
#include "platform/win32/windows_platform.h"
#include "ui/win32/host.h"

namespace kit::monitors {
namespace {

// The first size of an XcvData answer; a longer one is asked again with
// the size the monitor names.
constexpr DWORD kFirstAnswerBytes = 512;

std::wstring Wide(WStringView text) { return std::wstring(text.begin(), text.end()); }

class XcvHandle final : public XcvChannel {
 public:
  explicit XcvHandle(HANDLE handle) : handle_(handle) {}
  ~XcvHandle() override { ClosePrinter(handle_); }
  XcvHandle(const XcvHandle&) = delete;
  XcvHandle& operator=(const XcvHandle&) = delete;

  std::uint32_t Call(WStringView command, const Bytes& input, Bytes* output) override {
    const std::wstring name = Wide(command);
    Bytes in = input;  // XcvDataW takes the input as a non-const buffer
    output->assign(kFirstAnswerBytes, 0);
    for (int attempt = 0; attempt < 2; ++attempt) {
      DWORD needed = 0, status = 0;
      if (!XcvDataW(handle_, name.c_str(), in.empty() ? nullptr : in.data(), static_cast<DWORD>(in.size()),
                    output->data(), static_cast<DWORD>(output->size()), &needed, &status)) {
        output->clear();
        return GetLastError();
      }
      if (status == ERROR_INSUFFICIENT_BUFFER && needed > output->size()) {
        output->assign(needed, 0);
        continue;
      }
      if (status != ERROR_SUCCESS) {
        output->clear();
        return status;
      }
      output->resize(needed < output->size() ? needed : output->size());
      return ERROR_SUCCESS;
    }
    output->clear();
    return ERROR_INSUFFICIENT_BUFFER;
  }

 private:
  HANDLE handle_;
};

class WindowsPortUiHost final : public PortUiHost {
 public:
  WindowsPortUiHost(const wchar_t* monitor, PCWSTR server, HWND owner)
      : object_(Wide(XcvMonitorObject(server == nullptr ? WString() : WString(server, server + wcslen(server)),
                                      WString(monitor, monitor + wcslen(monitor))))),
        owner_(owner) {}

  std::uint32_t OpenXcv(std::uint32_t access, std::unique_ptr<XcvChannel>* channel) override {
    PRINTER_DEFAULTSW defaults{nullptr, nullptr, access};
    HANDLE handle = nullptr;
    if (!OpenPrinterW(const_cast<wchar_t*>(object_.c_str()), &handle, &defaults)) return GetLastError();
    *channel = std::make_unique<XcvHandle>(handle);
    return ERROR_SUCCESS;
  }

  int RunModal(ui::Page& page) override { return ui::win32::RunModal(page, owner_); }

  void ShowMessage(std::u16string_view text, std::u16string_view caption, std::uint32_t style) override {
    MessageBoxW(owner_, Wide(text).c_str(), Wide(caption).c_str(), style);
  }

  std::u16string DescribeError(std::uint32_t error) override {
    wchar_t* text = nullptr;
    const DWORD n = FormatMessageW(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM |
                                       FORMAT_MESSAGE_IGNORE_INSERTS,
                                   nullptr, error, 0, reinterpret_cast<wchar_t*>(&text), 0, nullptr);
    std::u16string out(text, text + (text != nullptr ? n : 0));
    if (text != nullptr) LocalFree(text);
    // The system's text ends with a full stop (an ideographic one in
    // Chinese) and a line break; the message adds its own.
    while (!out.empty() && (out.back() == u'\r' || out.back() == u'\n' || out.back() == u' ' || out.back() == u'.' ||
                            out.back() == u'\u3002')) {
      out.pop_back();
    }
    return out;
  }

 private:
  std::wstring object_;
  HWND owner_;
};

BOOL ConfigurePortWith(PortConfigurer configure, const wchar_t* monitor, PCWSTR server, HWND owner, PCWSTR port) {
  if (port == nullptr || port[0] == L'\0') {
    SetLastError(ERROR_INVALID_PARAMETER);
    return FALSE;
  }
  ui::win32::InitCommonControls();
  const std::unique_ptr<Registry> registry = win32::MakeRegistry();
  const PortUiTexts& texts = TextsFor(ChoosePortUiLanguage(*registry, GetSystemDefaultLangID()));
  WindowsPortUiHost host(monitor, server, owner);
  const PortUiResult result =
      configure(host, texts, WString(monitor, monitor + wcslen(monitor)), WString(port, port + wcslen(port)));
  if (!result.ok) {
    SetLastError(result.error);
    return FALSE;
  }
  return TRUE;
}

BOOL RefuseUi() {
  SetLastError(RefusePortChange().error);
  return FALSE;
}

// The monitor and dialog of this module, named by PortUiTable.
const wchar_t* g_monitor = nullptr;
PortConfigurer g_configure = nullptr;

BOOL WINAPI AddPortUi(PCWSTR, HWND, PCWSTR, PWSTR* port_out) {
  if (port_out != nullptr) *port_out = nullptr;
  return RefuseUi();
}

BOOL WINAPI ConfigurePortUi(PCWSTR server, HWND owner, PCWSTR port) {
  return ConfigurePortWith(g_configure, g_monitor, server, owner, port);
}

BOOL WINAPI DeletePortUi(PCWSTR, HWND, PCWSTR) { return RefuseUi(); }

MonitorUiTable g_table{sizeof(MonitorUiTable), AddPortUi, ConfigurePortUi, DeletePortUi};

}  // namespace

void SetPortUiModule(HINSTANCE instance) { ui::win32::SetModuleInstance(instance); }

MonitorUiTable* PortUiTable(const wchar_t* monitor, PortConfigurer configure) {
  if (g_monitor == nullptr) {
    g_monitor = monitor;
    g_configure = configure;
  }
  return &g_table;
}

}  // namespace kit::monitors
