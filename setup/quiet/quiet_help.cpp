// This file is OS-independent.
#include "setup/quiet/quiet_help.h"

#include <ostream>
#include <sstream>

#include "setup/quiet/quiet_options.h"
#include "setup/quiet/quiet_wizard.h"

namespace kit::setup::quiet {

std::vector<std::vector<std::string>> ListModels(CKitsetupApp::Options options, std::string* refusal) {
  QuietOptions quiet;
  std::ostringstream log;
  QuietWizardHost host(quiet, &log);
  host.set_list_only(true);
  options.host = host.Host();
  CKitsetupApp app(std::move(options));
  const StartResult result = app.Run();
  std::ostringstream err;
  if (host.Models().empty()) {
    host.ExitCode(result, app, err);
    *refusal = err.str();
    while (!refusal->empty() && refusal->back() == '\n') refusal->pop_back();
  }
  return host.Models();
}

void PrintQuietHelp(std::ostream& out, const std::string& program,
                    const std::vector<std::vector<std::string>>& models, const std::string& refusal) {
  out << "usage: " << program << " --quiet --accept-licence [options]   install without windows\n"
      << "       " << program << " --help | /?                           this list\n\n"
      << "The options answer the wizard's pages; each page's checks apply.\n"
      << "  --accept-licence          accept the licence agreement (License_*.txt); required\n"
      << "  --series S                receipt, ticket, label or embedded\n"
      << "  --model NAME              a model of this kit (below); default: the kit's own\n"
      << "  --set-default             make the printer the default printer\n"
      << "  --mode typical|advanced   install mode (advanced where the model offers it)\n"
      << "  --port PORT               LPT1: LPT2: LPT3:, KVCOM1: ... KVCOM8: (the kit's serial ports),\n"
      << "                            NET: with --ip ADDRESS, or USB (with --usb-port 1-4 in advanced mode)\n"
      << "  --ip ADDRESS              the network printer's IPv4 address\n"
      << "  --usb-port N              the USB port index, 1-4\n"
      << "  --baud RATE               110 300 1200 2400 4800 9600 19200 38400 57600 115200\n"
      << "  --parity P                even, mark, none, odd or space\n"
      << "  --data-bits N             5, 6, 7 or 8\n"
      << "  --stop-bits N             1, 1.5 or 2\n"
      << "  --flow F                  none, xon/xoff or hardware\n"
      << "  --raster on|off           raster graphic printing, where the port page offers it\n"
      << "  --usb-id keep|rewrite     when the USB printer's id does not match the port:\n"
      << "                            rewrite it, or keep it and install nothing (the default)\n"
      << "  --log FILE                every text the wizard shows, one line each with the time\n"
      << "  --record FILE             add the names of the printers this run creates to FILE\n"
      << "  --keep-existing           a printer already installed under this install's name with the\n"
      << "                            same driver and port is kept: done, no second copy (for retries)\n"
      << "An empty value (\"\") leaves the page's own choice.\n\n"
      << "Exit status: 0 done, 1 failed (the reason on standard error), 2 refused before\n"
      << "any change (options, licence, a page's refusal, another setup running),\n"
      << "3010 done but Windows must restart.\n\n";
  if (models.empty()) {
    out << "This kit folder's models could not be listed" << (refusal.empty() ? "" : ": " + refusal) << "\n";
    return;
  }
  out << "Models of this kit folder on this system:\n";
  for (std::size_t s = 0; s < models.size() && s < kSeriesNames.size(); ++s) {
    if (models[s].empty()) continue;
    out << "  " << kSeriesNames[s] << ":";
    for (const std::string& m : models[s]) out << " " << m;
    out << "\n";
  }
}

}  // namespace kit::setup::quiet
