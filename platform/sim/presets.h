// Creating virtual machines from presets of Windows versions, and writing
// the small files a machine needs (system libraries, the Unidrv files in the
// driver store or the driver cache's cabinet).
#pragma once

#include <filesystem>
#include <string>
#include <vector>

#include "platform/sim/store.h"
#include "platform/types.h"

namespace kit::sim {

struct PresetInfo {
  std::string id;
  std::string description;
};

// The presets, in the order the machine tool lists them.
std::vector<PresetInfo> ListPresets();

// Creates a machine in `folder` (which must not hold a machine yet) from a
// preset; `administrator` false makes the user a standard user. False with
// a message on failure.
bool CreateMachine(const std::filesystem::path& folder, const std::string& preset, bool administrator,
                   std::string* error);

// An uncompressed Microsoft cabinet holding `files` (name, content).
Bytes WriteCabinet(const std::vector<std::pair<std::string, Bytes>>& files);

// The TrueType families every preset's machine has, in the order the
// system reports them; a Chinese system adds its own faces after them.
const std::vector<std::string>& DefaultFontFamilies();

// The system's Unidrv component files, in the letter case Windows ships them.
const std::vector<std::string>& UnidrvComponentNames();

}  // namespace kit::sim
