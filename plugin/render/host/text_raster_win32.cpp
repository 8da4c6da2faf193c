#include "plugin/render/host/text_page.h"

namespace kit::plugin::render_host {

void DrawText(GreyPage&, const TextRun&) {}

}  // namespace kit::plugin::render_host
