#include "plugin/render/host/page_source.h"

namespace kit::plugin::render_host {

// The Windows build prints PGM pages only: it starts no converter.
bool RunProgram(const std::vector<std::string>&) { return false; }

}  // namespace kit::plugin::render_host
