// The USB port's Configure Port dialog: the port's name, its index and the
// printer it prints to (the family printer whose USB id leaves the index
// less one when divided by 8). The port has no settings; OK closes it.
// This file is OS-independent.
#pragma once

#include "monitors/portui/port_ui_texts.h"
#include "ui/page.h"

namespace kit::monitors {

inline constexpr int kUsbDialogId = 1300;
inline constexpr int kUsbPortNameId = 1301;
inline constexpr int kUsbPortIndexId = 1302;
inline constexpr int kUsbPrinterRuleId = 1303;
inline constexpr int kUsbNoSettingsId = 1304;

// What "Prints to:" says for port index `index` (1 to 8).
std::u16string UsbPrinterRule(const PortUiTexts& texts, int index);

class UsbPortPage final : public ui::Page {
 public:
  UsbPortPage(const PortUiTexts& texts, WString port, int index);

  const ui::DialogTemplate& Template() const override;
  void OnInit(ui::Window& window) override;

 private:
  const PortUiTexts& texts_;
  WString port_;
  int index_;
};

}  // namespace kit::monitors
