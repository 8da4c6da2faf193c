// What a print job looks like to the rendering plug-in, read from the
// printer's data file as the universal driver reads it: the commands of
// each order section in their order (a callback id for the plug-in's
// CommandCallback, or bytes the driver sends itself), the ColorMode
// option's image callback id and the printer's model name.
// This file is OS-independent.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace kit::plugin::render_host {

enum class Section { kJobSetup, kDocSetup, kPageSetup, kPageFinish, kDocFinish, kJobFinish };

struct JobCommand {
  Section section;
  int order = 0;
  std::string name;                 // CmdStartDoc, ...
  bool callback = false;
  unsigned callback_id = 0;
  std::vector<std::uint8_t> bytes;  // a plain command's bytes
};

struct JobScript {
  std::vector<JobCommand> commands;  // by section, then order
  unsigned image_callback = 0;
  std::string model_name;            // *ModelName, without its quotes: "VRT-D45"
  std::string error;                 // why the file could not be used
};

JobScript ReadJobScript(std::string_view gpd_text);
// The commands of one section, in order.
std::vector<const JobCommand*> CommandsOf(const JobScript& script, Section section);

}  // namespace kit::plugin::render_host
