// This file is OS-independent.
#include "printapp/receipt_encoder.h"

#include <algorithm>
#include <cstring>

namespace kit::printapp {
namespace {

constexpr unsigned kBitsPerByte = 8;

unsigned BytesOf(unsigned dots) { return (dots + kBitsPerByte - 1) / kBitsPerByte; }

}  // namespace

unsigned MaxPageRows(const print::model::Model& model) {
  return static_cast<unsigned>(model.DotsOf(model.max_length_tenths_mm));
}

ReceiptEncoder::ReceiptEncoder(const print::model::Model& model, const JobEvents& events)
    : model_(model), events_(events) {}

void ReceiptEncoder::StartJob() { print::encoder::AppendEvent(out_, events_.start_document, model_); }

PageCheck ReceiptEncoder::StartPage(unsigned width, unsigned height) {
  if (width == 0 || height == 0) return PageCheck::kEmpty;
  if (height > MaxPageRows(model_)) return PageCheck::kTooLong;
  const unsigned line = static_cast<unsigned>(model_.printable_width_dots);
  page_width_ = width;
  offset_ = width > line ? (width - line) / 2 : 0;
  row_.assign(BytesOf(line), 0);
  print::encoder::AppendEvent(out_, events_.start_page, model_);
  const auto leading = model_.PrintsLabels() ? print::encoder::Leading::kFed : print::encoder::Leading::kDropped;
  packer_ = std::make_unique<print::encoder::RasterPacker>(out_, model_.printable_width_dots, leading);
  return PageCheck::kOk;
}

void ReceiptEncoder::AddLine(std::span<const std::uint8_t> line) {
  if (!packer_) return;
  line = line.first(std::min<std::size_t>(line.size(), BytesOf(page_width_)));
  const std::size_t first = offset_ / kBitsPerByte;
  const unsigned shift = offset_ % kBitsPerByte;
  std::fill(row_.begin(), row_.end(), 0);
  if (first < line.size()) {
    const std::size_t count = std::min(row_.size(), line.size() - first);
    if (shift == 0) {
      std::memcpy(row_.data(), line.data() + first, count);
    } else {
      for (std::size_t i = 0; i < count; ++i) {
        const unsigned next = first + i + 1 < line.size() ? line[first + i + 1] : 0;
        row_[i] = static_cast<std::uint8_t>((line[first + i] << shift) | (next >> (kBitsPerByte - shift)));
      }
    }
  }
  packer_->AddRows(row_, row_.size(), 1);
}

void ReceiptEncoder::EndPage() {
  if (!packer_) return;
  packer_->EndPage();
  packer_.reset();
  print::encoder::AppendEvent(out_, events_.end_page, model_);
}

void ReceiptEncoder::EndJob() { print::encoder::AppendEvent(out_, events_.end_document, model_); }

Bytes ReceiptEncoder::TakeBytes() {
  Bytes taken;
  taken.swap(out_);
  return taken;
}

}  // namespace kit::printapp
