// This file is OS-independent.
#include "monitors/portui/usb_port_page.h"

#include <utility>

#include "monitors/core/usb_ports.h"
#include "ui/fonts.h"

namespace kit::monitors {
namespace {

constexpr int kUsbPortLabelId = 1310;
constexpr int kUsbIndexLabelId = 1311;
constexpr int kUsbPrintsToLabelId = 1312;

ui::DialogTemplate MakeUsbTemplate() {
  using namespace ui;
  DialogTemplate t;
  t.id = kUsbDialogId;
  t.caption = u"Configure Port";
  t.cx = 220;
  t.cy = 104;
  t.font = DialogFont();
  t.kind = DialogKind::kPopup;
  t.controls = {
      {kUsbPortLabelId, ControlKind::kStatic, u"Port:", {10, 10, 60, 8}, kNone},
      {kUsbPortNameId, ControlKind::kStatic, u"", {75, 10, 135, 8}, kNone},
      {kUsbIndexLabelId, ControlKind::kStatic, u"Port index:", {10, 24, 60, 8}, kNone},
      {kUsbPortIndexId, ControlKind::kStatic, u"", {75, 24, 135, 8}, kNone},
      {kUsbPrintsToLabelId, ControlKind::kStatic, u"Prints to:", {10, 38, 60, 8}, kNone},
      {kUsbPrinterRuleId, ControlKind::kStatic, u"", {75, 38, 135, 26}, kNone},
      {kUsbNoSettingsId, ControlKind::kStatic, u"", {10, 68, 200, 8}, kNone},
      {ui::kIdOk, ControlKind::kPushButton, u"OK", {160, 82, 50, 14}, kDefault | kGroup | kTabStop},
  };
  return t;
}


}  // namespace

std::u16string UsbPrinterRule(const PortUiTexts& texts, int index) {
  const auto remainder = static_cast<std::uint32_t>(index - 1);
  constexpr auto kIds = static_cast<std::uint32_t>(kLastUsbPortIndex);  // the ids that share a remainder step by 8
  return FillText(texts.printer_rule,
                  {DecimalText(static_cast<std::uint32_t>(index)), DecimalText(remainder),
                   DecimalText(remainder + kIds), DecimalText(remainder + 2 * kIds), DecimalText(remainder)});
}

UsbPortPage::UsbPortPage(const PortUiTexts& texts, WString port, int index)
    : texts_(texts), port_(std::move(port)), index_(index) {}

const ui::DialogTemplate& UsbPortPage::Template() const {
  static const ui::DialogTemplate t = MakeUsbTemplate();
  return t;
}

void UsbPortPage::OnInit(ui::Window& window) {
  if (texts_.chinese_font) window.SetFont(ui::ChineseSharedFont());
  window.SetCaption(texts_.caption);
  window.SetText(kUsbPortLabelId, texts_.port);
  window.SetText(kUsbPortNameId, port_);
  window.SetText(kUsbIndexLabelId, texts_.index);
  window.SetText(kUsbPortIndexId, DecimalText(static_cast<std::uint32_t>(index_)));
  window.SetText(kUsbPrintsToLabelId, texts_.prints_to);
  window.SetText(kUsbPrinterRuleId, UsbPrinterRule(texts_, index_));
  window.SetText(kUsbNoSettingsId, texts_.no_settings);
  window.SetText(ui::kIdOk, texts_.ok);
}

}  // namespace kit::monitors
