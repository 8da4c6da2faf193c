// This file is OS-independent.
#include "plugin/render/core/device_text.h"

#include "common/hex/hex_text.h"
#include "plugin/pages/barcode/barcode_data.h"
#include "plugin/pages/barcode/barcode_records.h"
#include "print/encoder/font_commands.h"
#include "print/fonts/code_page_437.h"

namespace kit::render {
namespace {

using Bytes = std::vector<std::uint8_t>;
using print::fonts::FontKind;

// Barcode data is taken as the pages take it, in the western ANSI page: the
// symbologies admit ASCII only, and a character outside it fails the check.
constexpr auto kBarcodeCodePage = codepage::CodePage::kWestern;

void Append(Bytes& out, const print::rawjob::RawJob& job) {
  for (const auto& piece : job.pieces) out.insert(out.end(), piece.begin(), piece.end());
}

std::string Ascii(std::u16string_view text) {
  std::string out;
  for (char16_t c : text) out += c < 0x80 ? static_cast<char>(c) : '?';
  return out;
}

}  // namespace

DeviceText::DeviceText(const PrivateDevMode& record, const plugin::font::ControlFontTexts& control,
                       std::function<void(const std::string&)> report)
    : record_(record), control_(control), report_(std::move(report)) {}

void DeviceText::Report(const std::string& line) const {
  if (report_) report_(line);
}

std::vector<std::uint8_t> DeviceText::Print(const print::fonts::PrinterFont& font, std::u16string_view text,
                                            int x) const {
  if (font.kind == FontKind::kControl) return Control(text);
  Bytes out = print::commands::PositionBytes(x).value_or(Bytes{});
  Bytes body;
  switch (font.kind) {
    case FontKind::kText: {
      const std::string codes = print::fonts::ToCp437(text);
      body.assign(codes.begin(), codes.end());
      break;
    }
    case FontKind::kBarcode1D: body = Barcode(font.index, text); break;
    case FontKind::kQrCode: body = Qr(text); break;
    case FontKind::kControl: break;
  }
  if (body.empty()) return {};
  out.insert(out.end(), body.begin(), body.end());
  return out;
}

std::vector<std::uint8_t> DeviceText::Barcode(int index, std::u16string_view text) const {
  if (index < 0 || static_cast<std::size_t>(index) >= kBarcode1DCount) return {};
  const auto k = static_cast<std::size_t>(index);
  const plugin::barcode::Shown1D shown = plugin::barcode::ShownValues(record_.Barcode1D[k], k);
  const std::string data = plugin::barcode::DataBytes(text, kBarcodeCodePage);
  const auto checked = plugin::barcode::Check1DData(shown.type, data);
  if (!checked) {
    Report("1D Code" + std::to_string(index + 1) + ": data refused by its symbology: " + Ascii(text));
    return {};
  }
  Bytes out;
  const auto* first = reinterpret_cast<const std::uint8_t*>(checked->data());
  Append(out, print::commands::BarcodeJob(plugin::barcode::BarcodeParametersOf(shown),
                                           std::span(first, checked->size())));
  return out;
}

std::vector<std::uint8_t> DeviceText::Qr(std::u16string_view text) const {
  const std::string data = plugin::barcode::DataBytes(text, kBarcodeCodePage);
  if (!plugin::barcode::CheckQrData(data)) {
    Report("2D Code1: data of " + std::to_string(data.size()) + " bytes refused (1 to 255)");
    return {};
  }
  const auto* first = reinterpret_cast<const std::uint8_t*>(data.data());
  const auto job = print::commands::QrJob(plugin::barcode::ShownQrValues(record_.Barcode2D[0]),
                                           std::span(first, data.size()));
  Bytes out;
  if (job) Append(out, *job);
  return out;
}

std::vector<std::uint8_t> DeviceText::Control(std::u16string_view text) const {
  Bytes out;
  for (char16_t c : text) {
    const int code = c;
    if (code < plugin::font::kFirstControlCode || code >= plugin::font::kFirstControlCode + plugin::font::kControlCodeCount) {
      continue;
    }
    const auto& hex = control_[static_cast<std::size_t>(code - plugin::font::kFirstControlCode)];
    if (hex.empty()) continue;
    const auto command = HexTextToCommand(hex);
    if (!command) {
      Report("Control: the command of character " + std::string(1, static_cast<char>(c)) + " is longer than " +
             std::to_string(kit::kMaxCommandBytes) + " bytes");
      continue;
    }
    out.insert(out.end(), command->used().begin(), command->used().end());
  }
  return out;
}

}  // namespace kit::render
