// What the printer's own fonts print: the bytes of a string an application
// printed in one of the model's device fonts, at a horizontal position.
//
//   Font A / Font B   the line position (1B 24) and the string's characters
//                     in the printer's code page; the face and size are the
//                     font's selection, which the driver sends from its
//                     metrics before the string.
//   1D Code k         the position and one barcode command with the k-th
//                     Barcode1D record's settings: the bytes the 1D Code
//                     page's test print sends for the same data. Data the
//                     symbology refuses prints nothing and is reported.
//   2D Code1          the position and the QR command with Barcode2D record
//                     0's settings, as the 2D Code page's test print.
//   Control           for each character the command the control-font table
//                     holds for it; a character without one sends nothing.
//
// This file is OS-independent.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "plugin/core/devmode/private_devmode.h"
#include "plugin/core/font/control_font_file.h"
#include "print/fonts/font_table.h"

namespace kit::render {

class DeviceText {
 public:
  // `record`: the job's settings (the defaults for a model without them);
  // `control`: the control-font table's texts as the file holds them;
  // `report`: a line for the driver log when the job keeps one.
  DeviceText(const PrivateDevMode& record, const plugin::font::ControlFontTexts& control,
             std::function<void(const std::string&)> report = {});

  // The bytes of `text` in `font` at `x` dots from the line's left edge.
  std::vector<std::uint8_t> Print(const print::fonts::PrinterFont& font, std::u16string_view text, int x) const;

 private:
  std::vector<std::uint8_t> Barcode(int index, std::u16string_view text) const;
  std::vector<std::uint8_t> Qr(std::u16string_view text) const;
  std::vector<std::uint8_t> Control(std::u16string_view text) const;
  void Report(const std::string& line) const;

  const PrivateDevMode& record_;
  const plugin::font::ControlFontTexts& control_;
  std::function<void(const std::string&)> report_;
};

}  // namespace kit::render
