// Doubles for the port dialogs' tests: an Xcv handle answered by a
// monitor's own XcvData on a virtual machine's registry, and a host that
// runs the dialogs headlessly and keeps the message boxes it was asked for.
#pragma once

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "monitors/core/usb_ports.h"
#include "monitors/core/xcv_data.h"
#include "monitors/portui/configure_port.h"
#include "platform/registry.h"
#include "ui/headless/dialog.h"

namespace kit::monitors::testing {

using XcvAnswerer = std::uint32_t (*)(Registry&, const XcvRequest&, std::uint32_t*);

// The monitor's XcvDataPort as the spooler calls it: a first call with the
// caller's buffer, and the caller's second one when that is short.
class MonitorChannel final : public XcvChannel {
 public:
  MonitorChannel(Registry& registry, XcvAnswerer answer, std::uint32_t granted)
      : registry_(registry), answer_(answer), granted_(granted) {}
  std::uint32_t Call(WStringView command, const Bytes& input, Bytes* output) override {
    calls.emplace_back(command);
    if (fail_with != 0) return fail_with;
    output->assign(4, 0);  // short on purpose: the answer's size is asked for
    for (;;) {
      XcvRequest request{command, input.data(), static_cast<std::uint32_t>(input.size()), output->data(),
                         static_cast<std::uint32_t>(output->size()), granted_};
      std::uint32_t needed = 0;
      const std::uint32_t status = answer_(registry_, request, &needed);
      if (status == 122 && needed > output->size()) {
        output->assign(needed, 0);
        continue;
      }
      output->resize(status == 0 ? needed : 0);
      return status;
    }
  }
  std::vector<WString> calls;
  std::uint32_t fail_with = 0;  // every call fails with this status

 private:
  Registry& registry_;
  XcvAnswerer answer_;
  std::uint32_t granted_;
};

struct ShownMessage {
  std::u16string text;
  std::u16string caption;
  std::uint32_t style;
};

class HeadlessHost final : public PortUiHost {
 public:
  HeadlessHost(Registry& registry, XcvAnswerer answer) : registry_(registry), answer_(answer) {}

  std::uint32_t OpenXcv(std::uint32_t access, std::unique_ptr<XcvChannel>* channel) override {
    opened.push_back(access);
    if (access == kServerAccessAdminister && refuse_administer != 0) return refuse_administer;
    if (open_fails != 0) return open_fails;
    auto made = std::make_unique<MonitorChannel>(registry_, answer_, access);
    made->fail_with = calls_fail_with;
    *channel = std::move(made);
    return 0;
  }
  int RunModal(ui::Page& page) override {
    ui::headless::Dialog dialog(page, env);
    dialog.Create();
    ++dialogs;
    if (drive) drive(dialog);
    return dialog.Ended() ? dialog.Result() : -1;
  }
  void ShowMessage(std::u16string_view text, std::u16string_view caption, std::uint32_t style) override {
    messages.push_back({std::u16string(text), std::u16string(caption), style});
  }
  std::u16string DescribeError(std::uint32_t) override { return u"(the system's text)"; }

  ui::headless::Environment env;
  std::function<void(ui::headless::Dialog&)> drive;  // what the person does in the dialog
  std::uint32_t refuse_administer = 0;
  std::uint32_t open_fails = 0;
  std::uint32_t calls_fail_with = 0;
  std::vector<std::uint32_t> opened;
  std::vector<ShownMessage> messages;
  int dialogs = 0;

 private:
  Registry& registry_;
  XcvAnswerer answer_;
};

}  // namespace kit::monitors::testing
