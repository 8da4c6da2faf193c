// This file is OS-independent.
#include "plugin/render/core/render_job.h"

#include <algorithm>

#include "common/bmp/bitmap_decode.h"
#include "plugin/core/watermark/picture_place.h"
#include "plugin/render/core/watermark.h"
#include "print/encoder/event_operations.h"
#include "print/gpd/gpd_writer.h"

namespace kit::render {
namespace {

std::string Narrow(const std::u16string& text) {
  std::string out;
  for (char16_t c : text) out += c < 0x80 ? static_cast<char>(c) : '?';
  return out;
}

}  // namespace

RenderJob::RenderJob(RenderHost& host, const print::model::Model& model, RenderSettings settings, JobIdentity identity)
    : host_(host),
      model_(model),
      settings_(std::move(settings)),
      identity_(std::move(identity)),
      stride_((static_cast<std::size_t>(model.printable_width_dots) + 7) / 8) {}

void RenderJob::Send(const std::vector<std::uint8_t>& bytes) {
  if (bytes.empty()) return;
  if (host_.Write(bytes)) bytes_ += bytes.size();
}

void RenderJob::SendEvent(Event event) {
  Send(print::encoder::EncodeEvent(OperationsOf(settings_.Block(event)), model_));
}

void RenderJob::StartDoc() {
  LoadControlFont();
  SendEvent(Event::kStartDoc);
}

void RenderJob::StartPage() {
  rows_.clear();
  page_rows_ = 0;
  SendEvent(Event::kStartPage);
}

void RenderJob::AddBlankBand(int y, int height) {
  if (y < 0 || height <= 0) return;
  const int bottom = y + height;
  if (bottom > page_rows_) {
    page_rows_ = bottom;
    rows_.resize(stride_ * static_cast<std::size_t>(page_rows_), 0);
  }
}

void RenderJob::AddBand(const Band& band) {
  if (band.bits == nullptr || band.width <= 0 || band.height <= 0 || band.y < 0) return;
  AddBlankBand(band.y, band.height);
  const int width = model_.printable_width_dots;
  for (int r = 0; r < band.height; ++r) {
    const std::uint8_t* src = band.bits + static_cast<std::size_t>(r) * band.stride;
    std::uint8_t* dst = rows_.data() + static_cast<std::size_t>(band.y + r) * stride_;
    for (int c = 0; c < band.width; ++c) {
      const int x = band.x + c;
      if (x < 0 || x >= width) continue;
      const bool bit = ((src[c / 8] >> (7 - c % 8)) & 1) != 0;
      if (bit == band.one_is_ink) dst[x / 8] |= static_cast<std::uint8_t>(0x80 >> (x % 8));
    }
  }
}

MonoPage RenderJob::LaidOutPage() {
  MonoPage page(model_.printable_width_dots, page_rows_);
  for (int y = 0; y < page_rows_; ++y) std::copy_n(rows_.data() + static_cast<std::size_t>(y) * stride_, stride_, page.Row(y));
  page = Zoomed(page, settings_.ZoomPercent());
  if (settings_.Rotate180()) RotatePrintedPart(page);
  if (settings_.Watermark()) {
    const std::u16string path = plugin::watermark_place::PictureFor(
        settings_.record, {identity_.common_app_data, identity_.temp_folder}, identity_.printer);
    const auto file = path.empty() ? std::nullopt : host_.ReadFile(path);
    if (file) {
      if (const auto picture = bmp::DecodeBitmapFile(*file)) {
        const PrivateDevMode& r = settings_.record;
        DrawWatermark(page, *picture, {r.WatermarkPosition, r.WatermarkSize, r.WatermarkBrightness});
      }
    }
  }
  return page;
}

void RenderJob::EndPage() {
  const MonoPage page = LaidOutPage();
  int paper_row = 0;
  print::encoder::Bytes bytes = ComposePage(page, std::move(text_), &paper_row);
  text_.clear();
  if (model_.PrintsLabels()) {
    // The page's bytes stop where the paper stands after its last printed
    // row or line: the label's rest, then the gap.
    print::encoder::AppendFeedDots(bytes, std::max(0, page.height() - paper_row) +
                                              model_.DotsOf(model_.label_gap_tenths_mm));
  }
  Send(bytes);
  Send(font_command_);  // a selection's undo after the page's last string
  font_command_.clear();
  rows_.clear();
  page_rows_ = 0;
  SendEvent(Event::kEndPage);
  ++pages_;
  Log("page");
}

void RenderJob::EndDoc() {
  SendEvent(Event::kEndDoc);
  Log("job");
}

bool RenderJob::Callback(unsigned id, std::span<const std::uint32_t> params) {
  switch (id) {
    case print::gpd::kXMoveCallback:
      if (params.empty()) return false;
      x_ = static_cast<int>(params[0]);
      return true;
    case print::gpd::kYMoveCallback:
      if (params.empty()) return false;
      y_ = static_cast<int>(params[0]);
      return true;
    case print::gpd::kStartDocCallback: StartDoc(); return true;
    case print::gpd::kStartPageCallback: StartPage(); return true;
    case print::gpd::kEndPageCallback: EndPage(); return true;
    case print::gpd::kEndDocCallback: EndDoc(); return true;
    default: return false;
  }
}

void RenderJob::Log(const char* what) {
  if (!settings_.LogEnabled()) return;
  const std::u16string directory = TextOf(settings_.record.LogDirectory);
  if (directory.empty()) return;
  host_.AppendFile(LogFilePath(directory),
                   LogLine(host_.Now(), what, Narrow(identity_.printer), Narrow(identity_.document), pages_, bytes_));
}

}  // namespace kit::render
