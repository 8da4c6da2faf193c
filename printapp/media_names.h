// The names a model's paper goes by over IPP: its driver's name and the PWG
// media names of its roll sizes, with the roll's narrowest and widest,
// shortest and longest size for the lengths a client chooses itself.
//
// This file is OS-independent.
#pragma once

#include <string>
#include <vector>

#include "print/model/model_table.h"

namespace kit::printapp {

// "vrt-q40_180dpi": the model's name in lower case and its resolution.
std::string DriverName(const print::model::Model& model);
// The model of a driver name; nullptr for any other.
const print::model::Model* ModelOfDriver(std::string_view driver_name);

// PWG 5101.1 names: "om_receipt-297mm_55.8x297mm" for each named roll
// size, in the table's order, then "roll_min_…" and "roll_max_…".
struct MediaNames {
  std::vector<std::string> named;  // the first is the model's default
  std::string roll_min;
  std::string roll_max;
};
MediaNames MediaNamesOf(const print::model::Model& model);

// Tenths of a millimetre as a PWG dimension: "55.8", "80".
std::string PwgMillimetres(int tenths_mm);

}  // namespace kit::printapp
