// This file is OS-independent.
#include "printapp/media_names.h"

#include <cctype>

namespace kit::printapp {
namespace {

std::string Lower(std::string_view text) {
  std::string out;
  for (char c : text) out += static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return out;
}

// The name part of a roll's PWG name: the first word of its name and its
// length, "receipt-297mm" ("4095-8mm": no '.' inside a name part).
std::string NamePart(const print::model::RollSize& roll) {
  std::string word = Lower(roll.name.substr(0, roll.name.find(' ')));
  std::string length = PwgMillimetres(roll.length_tenths_mm);
  for (char& c : length) {
    if (c == '.') c = '-';
  }
  return word + "-" + length + "mm";
}

std::string Size(int width_tenths, int length_tenths) {
  return PwgMillimetres(width_tenths) + "x" + PwgMillimetres(length_tenths) + "mm";
}

}  // namespace

std::string DriverName(const print::model::Model& model) {
  return Lower(model.name) + "_" + std::to_string(model.dots_per_inch) + "dpi";
}

const print::model::Model* ModelOfDriver(std::string_view driver_name) {
  for (const print::model::Model& m : print::model::Models()) {
    if (DriverName(m) == driver_name) return &m;
  }
  return nullptr;
}

std::string PwgMillimetres(int tenths_mm) {
  std::string text = std::to_string(tenths_mm / 10);
  if (tenths_mm % 10 != 0) {
    text.push_back('.');
    text.push_back(static_cast<char>('0' + tenths_mm % 10));
  }
  return text;
}

MediaNames MediaNamesOf(const print::model::Model& model) {
  MediaNames names;
  for (const print::model::RollSize& roll : model.rolls) {
    const std::string size = Size(model.paper_width_tenths_mm, roll.length_tenths_mm);
    names.named.push_back("om_" + NamePart(roll) + "_" + size);
  }
  names.roll_min = "roll_min_" + Size(model.min_paper_width_tenths_mm, model.min_length_tenths_mm);
  names.roll_max = "roll_max_" + Size(model.paper_width_tenths_mm, model.max_length_tenths_mm);
  return names;
}

}  // namespace kit::printapp
