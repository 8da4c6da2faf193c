// Feeds arbitrary input records (of any length) and output buffers to
// Convert and Validate, in place, apart and (Validate) without an input, and
// checks what every result must satisfy. AddressSanitizer catches any read past the input.
#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "plugin/core/devmode/private_devmode.h"

namespace {

constexpr std::u16string_view kSystemDir = u"C:\\WINDOWS\\system32";

std::uint32_t U32At(const std::uint8_t* b) {
  return std::uint32_t{b[0]} | std::uint32_t{b[1]} << 8 | std::uint32_t{b[2]} << 16 |
         std::uint32_t{b[3]} << 24;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size < 1) return 0;
  const std::uint8_t control = data[0];
  const bool validate = control & 1;
  const bool in_place = control & 2;
  // The host passes no input record, only its output record with the data.
  const bool no_input = control & 4;
  // The input lives in a buffer of exactly its own length.
  std::vector<std::uint8_t> in(data + 1, data + size);

  kit::PrivateDevModeBytes out;
  out.fill(static_cast<std::uint8_t>(control));
  std::span<const std::uint8_t> source = in;
  if (in_place || no_input) {
    std::copy_n(in.begin(), std::min(in.size(), out.size()), out.begin());
    source = std::span<const std::uint8_t>(out.data(), std::min(in.size(), out.size()));
  }
  if (no_input) source = {};
  const kit::PrivateDevModeBytes before = out;
  if (validate) {
    kit::Validate(source, out, kSystemDir);
  } else {
    kit::Convert(source, out, kSystemDir);
  }

  if (source.data() == nullptr && !validate) {
    // Convert without an input record (a null pointer from the host) writes
    // nothing.
    if (out != before) std::abort();
    return 0;
  }
  // The record judged: the input, or for Validate without one the output's
  // own bytes before the call.
  const std::span<const std::uint8_t> record =
      source.data() != nullptr ? std::span<const std::uint8_t>(in.data(), source.size())
                               : std::span<const std::uint8_t>(before);
  kit::PrivateDevModeBytes defaults{};
  kit::WriteDefaults(defaults, kSystemDir);
  const bool own = record.size() >= 8 && U32At(record.data() + 4) == kit::kPrivateDevModeSignature;
  if (U32At(out.data()) != kit::kPrivateDevModeSize) std::abort();
  if (U32At(out.data() + 4) != kit::kPrivateDevModeSignature) std::abort();
  if (U32At(out.data() + 8) != kit::kPrivateDevModeVersion) std::abort();
  if (validate && static_cast<std::int32_t>(U32At(out.data() + 12)) > kit::kMaxReservedValue) std::abort();
  if (!own) {
    if (out != defaults) std::abort();
  } else {
    const std::size_t kept =
        std::min<std::size_t>({U32At(record.data()), kit::kPrivateDevModeSize, record.size()});
    for (std::size_t i = 16; i < kit::kPrivateDevModeSize; ++i) {
      if (out[i] != (i < kept ? record[i] : defaults[i])) std::abort();
    }
  }
  // A validated record survives a second validation unchanged.
  kit::PrivateDevModeBytes again{};
  kit::Validate(out, again, kSystemDir);
  if (validate && again != out) std::abort();
  return 0;
}
