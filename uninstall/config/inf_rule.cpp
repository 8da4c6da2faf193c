// This file is OS-independent.
#include "uninstall/config/inf_rule.h"

namespace kit::uninstall {
namespace {

constexpr const char* kBuiltInSections[] = {"VELDRAN", "KVRO", "KVRO.NTamd64", "VELDRAN.NTamd64"};
constexpr char kAmd64Suffix[] = ".NTamd64";

}  // namespace

std::vector<std::string> ManufacturerSections(std::string_view manufacturer) {
  if (manufacturer.empty() || manufacturer.front() == '0') {
    return {std::begin(kBuiltInSections), std::end(kBuiltInSections)};
  }
  return {std::string(manufacturer), std::string(manufacturer) + kAmd64Suffix};
}

bool InfBelongsToPrinter(const ini::FileSource& files, const std::string& inf_path, std::string_view printer_name,
                         std::string_view manufacturer, const ini::ProfileOptions& options) {
  std::string key;
  key.reserve(printer_name.size() + 2);
  key.append(1, '"').append(printer_name).append(1, '"');
  for (const auto& section : ManufacturerSections(manufacturer)) {
    if (!ini::ReadProfileStringA(files, inf_path, section, key, "", kInfValueCapacity, options).empty()) return true;
  }
  return false;
}

}  // namespace kit::uninstall
