// The printer's "Utilities" page in the web interface: buttons that print
// the self-test page, store logos (BMP pictures, converted as the kit's
// Download page converts them) and clear the stored logos. Each action
// queues a raw job in the kit's own command bytes on the printer, named as
// on Windows ("SELFTEST", "LOGO"), so it waits for the job printing before.
#pragma once

#include <pappl/pappl.h>

namespace kit::printapp {

// The page's path below the printer's web pages ("/NAME/utilities").
inline constexpr char kUtilitiesSubpath[] = "utilities";

// Adds the page and its navigation link to a printer; PAPPL's
// printer-creation callback (also for printers loaded from the state file).
void AddUtilitiesPage(pappl_printer_t* printer, void* data);

}  // namespace kit::printapp
