// "kvprinter options": after PAPPL's own list, the receipt options the
// printer offers with their keywords and its defaults (PAPPL 1.3's list
// names the standard job attributes only).
#pragma once

namespace kit::printapp {

// Asks the printer the command line names (-d NAME through the server's
// local socket, or -o printer-uri=URI) for its receipt options and prints
// them; 0, or 1 when the printer cannot be asked.
int ListReceiptOptions(int argc, char* argv[]);

}  // namespace kit::printapp
