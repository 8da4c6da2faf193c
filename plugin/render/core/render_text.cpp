// The device text of a print job: the driver's font selection, the strings
// printed in the model's own fonts (device_text.h), kept in the page at the
// cursor until End of Page lays them out with its raster (page_text.h).
//
// This file is OS-independent.
#include <cstdio>

#include "plugin/core/font/control_font_file.h"
#include "plugin/pages/barcode/barcode_records.h"
#include "plugin/pages/barcode/font_height.h"
#include "plugin/render/core/device_text.h"
#include "plugin/render/core/render_job.h"
#include "print/fonts/font_table.h"

namespace kit::render {
namespace {

// The control-font table through the host's file reading.
class HostFiles final : public ini::FileSource {
 public:
  explicit HostFiles(RenderHost& host) : host_(host) {}
  std::optional<std::string> Read(std::u16string_view path) const override {
    const auto bytes = host_.ReadFile(std::u16string(path));
    if (!bytes) return std::nullopt;
    return std::string(bytes->begin(), bytes->end());
  }
  bool Write(std::u16string_view, std::string_view) override { return false; }

 private:
  RenderHost& host_;
};

// Dots a string of the font takes down the page: its line; a 1D barcode's
// bars and HRI lines from its record.
int LineOf(const print::fonts::PrinterFont& font, const PrivateDevMode& record) {
  if (font.kind == print::fonts::FontKind::kControl) return 0;
  if (font.kind != print::fonts::FontKind::kBarcode1D) return font.height;
  const auto k = static_cast<std::size_t>(font.index);
  const plugin::barcode::Shown1D shown = plugin::barcode::ShownValues(record.Barcode1D[k], k);
  return static_cast<int>(plugin::barcode::ComputeFontHeight(shown.height, shown.hri_position, shown.hri_font).total);
}

}  // namespace

void RenderJob::LoadControlFont() {
  control_ = {};
  if (identity_.control_font_path.empty()) return;
  HostFiles files(host_);
  control_ = plugin::font::LoadControlFontTexts(files, identity_.control_font_path);
}

void RenderJob::Report(const std::string& line) {
  if (!settings_.LogEnabled()) return;
  const std::u16string directory = TextOf(settings_.record.LogDirectory);
  if (directory.empty()) return;
  const LogTime t = host_.Now();
  char stamp[32];
  std::snprintf(stamp, sizeof stamp, "%04d-%02d-%02d %02d:%02d:%02d\t", t.year, t.month, t.day, t.hour, t.minute, t.second);
  host_.AppendFile(LogFilePath(directory), stamp + line + "\r\n");
}

void RenderJob::FontCommand(std::span<const std::uint8_t> bytes) {
  font_command_.insert(font_command_.end(), bytes.begin(), bytes.end());
}

bool RenderJob::PrintText(int font_id, std::u16string_view text) {
  const auto font = print::fonts::FindFont(model_, font_id);
  if (!font) return false;
  const DeviceText device(settings_.record, control_, [this](const std::string& line) { Report(line); });
  TextItem item;
  item.y = y_;
  item.line = LineOf(*font, settings_.record);
  item.prints_itself = font->kind == print::fonts::FontKind::kBarcode1D || font->kind == print::fonts::FontKind::kQrCode;
  item.bytes = std::move(font_command_);
  font_command_.clear();
  const std::vector<std::uint8_t> body = device.Print(*font, text, x_);
  item.bytes.insert(item.bytes.end(), body.begin(), body.end());
  if (!item.bytes.empty()) text_.push_back(std::move(item));
  return true;
}

}  // namespace kit::render
