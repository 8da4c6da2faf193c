// The INF-manufacturer rule: which of the INF copies Windows keeps under
// "inf\" in the Windows folder belong to a printer. A printer INF names a
// model by a key equal to the model name in double quotes, in the section
// of its manufacturer.
// This file is OS-independent.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "common/ini/profile_file.h"

namespace kit::uninstall {

// Buffer of the value read: 200 bytes.
inline constexpr std::size_t kInfValueCapacity = 200;

// The sections tried, in order: the built-in manufacturer sections when
// `manufacturer` begins with "0" (its default) or is empty, otherwise the
// value itself and the value followed by ".NTamd64".
std::vector<std::string> ManufacturerSections(std::string_view manufacturer);

// True when the INF file has a non-empty value for the key "<printer>" in
// one of those sections.
bool InfBelongsToPrinter(const ini::FileSource& files, const std::string& inf_path, std::string_view printer_name,
                         std::string_view manufacturer, const ini::ProfileOptions& options);

}  // namespace kit::uninstall
