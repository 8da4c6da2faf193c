// This file is OS-independent.
#include "monitors/core/serial_settings.h"

#include <string>
#include <vector>

namespace kit::monitors {
namespace {

WStringView Trim(WStringView text) {
  while (!text.empty() && (text.front() == u' ' || text.front() == u'\t')) text.remove_prefix(1);
  while (!text.empty() && (text.back() == u' ' || text.back() == u'\t')) text.remove_suffix(1);
  return text;
}

std::vector<WStringView> Split(WStringView text) {
  std::vector<WStringView> fields;
  for (;;) {
    const auto comma = text.find(u',');
    fields.push_back(text.substr(0, comma));
    if (comma == WStringView::npos) return fields;
    text.remove_prefix(comma + 1);
  }
}

std::optional<std::uint32_t> Decimal(WStringView text) {
  text = Trim(text);
  if (text.empty() || text.size() > 7) return std::nullopt;
  std::uint32_t value = 0;
  for (char16_t c : text) {
    if (c < u'0' || c > u'9') return std::nullopt;
    value = value * 10 + static_cast<std::uint32_t>(c - u'0');
  }
  return value;
}

char16_t Lower(char16_t c) { return (c >= u'A' && c <= u'Z') ? static_cast<char16_t>(c - u'A' + u'a') : c; }

}  // namespace

std::optional<SerialSettings> ParseSerialSettings(WStringView text) {
  const auto fields = Split(text);
  if (fields.size() != 4 && fields.size() != 5) return std::nullopt;
  SerialSettings s;
  const auto baud = Decimal(fields[0]);
  if (!baud || *baud < kMinBaud || *baud > kMaxBaud) return std::nullopt;
  s.baud = *baud;

  const WStringView parity = Trim(fields[1]);
  if (parity.size() != 1) return std::nullopt;
  switch (Lower(parity[0])) {
    case u'e': s.parity = Parity::kEven; break;
    case u'm': s.parity = Parity::kMark; break;
    case u'n': s.parity = Parity::kNone; break;
    case u'o': s.parity = Parity::kOdd; break;
    case u's': s.parity = Parity::kSpace; break;
    default: return std::nullopt;
  }

  const auto data = Decimal(fields[2]);
  if (!data || *data < 5 || *data > 8) return std::nullopt;
  s.data_bits = static_cast<std::uint8_t>(*data);

  const WStringView stop = Trim(fields[3]);
  if (stop == u"1") {
    s.stop_bits = StopBits::kOne;
  } else if (stop == u"1.5") {
    s.stop_bits = StopBits::kOneAndHalf;
  } else if (stop == u"2") {
    s.stop_bits = StopBits::kTwo;
  } else {
    return std::nullopt;
  }
  // The combinations a UART cannot send (SetCommState refuses them).
  if (s.stop_bits == StopBits::kOneAndHalf && s.data_bits != 5) return std::nullopt;
  if (s.stop_bits == StopBits::kTwo && s.data_bits == 5) return std::nullopt;

  s.flow = FlowControl::kNone;
  if (fields.size() == 5) {
    const WStringView flow = Trim(fields[4]);
    if (flow.empty()) {
      s.flow = FlowControl::kNone;
    } else if (flow.size() != 1) {
      return std::nullopt;
    } else if (Lower(flow[0]) == u'x') {
      s.flow = FlowControl::kXonXoff;
    } else if (Lower(flow[0]) == u'p') {
      s.flow = FlowControl::kHardware;
    } else {
      return std::nullopt;
    }
  }
  return s;
}

WString FormatSerialSettings(const SerialSettings& s) {
  std::string text = std::to_string(s.baud);
  text += ',';
  text += static_cast<char>(s.parity);
  text += ',';
  text += std::to_string(s.data_bits);
  text += ',';
  text += s.stop_bits == StopBits::kOne ? "1" : s.stop_bits == StopBits::kOneAndHalf ? "1.5" : "2";
  text += ',';
  text += static_cast<char>(s.flow);
  return WString(text.begin(), text.end());
}

std::uint32_t BitsPerCharacter(const SerialSettings& s) {
  const std::uint32_t parity = s.parity == Parity::kNone ? 0 : 1;
  const std::uint32_t stop = s.stop_bits == StopBits::kOne ? 1 : 2;
  return 1 + s.data_bits + parity + stop;
}

WriteTimeouts WriteTimeoutsFor(const SerialSettings& s) {
  const std::uint32_t baud = s.baud == 0 ? kMinBaud : s.baud;
  const std::uint32_t per_byte = (BitsPerCharacter(s) * 1000 + baud - 1) / baud;
  return {per_byte * 2, kWriteTimeoutConstantMs};
}

}  // namespace kit::monitors
