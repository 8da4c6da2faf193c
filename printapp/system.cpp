#include "printapp/system.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <cstring>
#include <string>

#include "printapp/driver.h"
#include "printapp/job_options.h"
#include "printapp/pdf_filter.h"
#include "printapp/utilities_page.h"

namespace kit::printapp {
namespace {

constexpr char kName[] = "kvprinter";
// The system's name in the web interface and DNS-SD.
constexpr char kSystemName[] = "Veldran receipt printers";
// As root, the service's state file, the place PAPPL's own main loop uses.
constexpr char kRootStateFile[] = "/var/lib/kvprinter.state";
constexpr char kUserStateName[] = "/.config/kvprinter.state";
constexpr char kStringsPath[] = "/kvprinter-en.strings";

std::string Option(int num_options, cups_option_t* options, const char* name) {
  const char* value = cupsGetOption(name, num_options, options);
  return value ? value : "";
}

pappl_loglevel_t LogLevel(const std::string& value) {
  if (value == "fatal") return PAPPL_LOGLEVEL_FATAL;
  if (value == "error") return PAPPL_LOGLEVEL_ERROR;
  if (value == "info") return PAPPL_LOGLEVEL_INFO;
  if (value == "debug") return PAPPL_LOGLEVEL_DEBUG;
  return PAPPL_LOGLEVEL_WARN;
}

// "server-options": a comma-separated list as PAPPL's main loop takes it.
pappl_soptions_t ServerOptions(const std::string& list) {
  pappl_soptions_t options = PAPPL_SOPTIONS_MULTI_QUEUE | PAPPL_SOPTIONS_WEB_INTERFACE | PAPPL_SOPTIONS_WEB_TLS;
  std::size_t start = 0;
  while (start <= list.size()) {
    const std::size_t end = std::min(list.find(',', start), list.size());
    const std::string item = list.substr(start, end - start);
    if (item == "none") options = PAPPL_SOPTIONS_NONE;
    else if (item == "no-tls") options = (options | PAPPL_SOPTIONS_NO_TLS) & ~PAPPL_SOPTIONS_WEB_TLS;
    else if (item == "no-web-interface") options &= ~PAPPL_SOPTIONS_WEB_INTERFACE;
    else if (item == "web-log") options |= PAPPL_SOPTIONS_WEB_LOG;
    else if (item == "web-remote") options |= PAPPL_SOPTIONS_WEB_REMOTE;
    else if (item == "web-security") options |= PAPPL_SOPTIONS_WEB_SECURITY;
    else if (item == "raw-socket") options |= PAPPL_SOPTIONS_RAW_SOCKET;
    else if (item == "dnssd-host") options |= PAPPL_SOPTIONS_DNSSD_HOST;
    start = end + 1;
  }
  return options;
}

// The web interface's English texts of the receipt options: "NAME" and
// "NAME.KEYWORD" in the form of a strings file.
std::string OptionStrings() {
  std::string strings;
  auto add = [&strings](std::string_view key, std::string_view text) {
    strings.append("\"").append(key).append("\" = \"").append(text).append("\";\n");
  };
  for (const VendorOption& option : AllOptions()) {
    add(option.name, option.label);
    for (std::size_t i = 0; i < option.keywords.size() && i < option.keyword_labels.size(); ++i) {
      std::string key(option.name);
      key.append(".").append(option.keywords[i]);
      add(key, option.keyword_labels[i]);
    }
  }
  return strings;
}

std::string DefaultStateFile() {
  if (getuid() == 0) return kRootStateFile;
  if (const char* config = std::getenv("XDG_CONFIG_HOME")) return std::string(config) + "/kvprinter.state";
  if (const char* home = std::getenv("HOME")) {
    mkdir((std::string(home) + "/.config").c_str(), 0700);
    return std::string(home) + kUserStateName;
  }
  return std::string(papplGetTempDir()) + "/kvprinter" + std::to_string(getuid()) + ".state";
}

}  // namespace

pappl_system_t* CreateSystem(int num_options, cups_option_t* options, void* data) {
  const bool serving = data && static_cast<const SystemUse*>(data)->serving;
  const std::string port_text = Option(num_options, options, "server-port");
  char* end = nullptr;
  const long port = port_text.empty() ? 0 : std::strtol(port_text.c_str(), &end, 10);
  if (!port_text.empty() && (*end || port < 0 || port > 65535)) {
    std::fprintf(stderr, "%s: Bad 'server-port' value.\n", kName);
    return nullptr;
  }
  const std::string spool = Option(num_options, options, "spool-directory");
  const std::string log = Option(num_options, options, "log-file");
  const std::string auth = Option(num_options, options, "auth-service");
  pappl_system_t* system = papplSystemCreate(
      ServerOptions(Option(num_options, options, "server-options")), kSystemName, static_cast<int>(port),
      "_print,_universal", spool.empty() ? nullptr : spool.c_str(), log.empty() ? "-" : log.c_str(),
      LogLevel(Option(num_options, options, "log-level")), auth.empty() ? nullptr : auth.c_str(), false);
  if (!system) return nullptr;

  const std::string hostname = Option(num_options, options, "server-hostname");
  if (!hostname.empty()) papplSystemSetHostName(system, hostname.c_str());
  const std::string admin = Option(num_options, options, "admin-group");
  if (!admin.empty()) papplSystemSetAdminGroup(system, admin.c_str());
  // A command other than "server" (drivers, for one) only asks the
  // system for its drivers: no listening, no state.
  const std::string listen = Option(num_options, options, "listen-hostname");
  if (serving && !papplSystemAddListeners(system, listen.empty() ? nullptr : listen.c_str())) {
    std::fprintf(stderr, "%s: Cannot listen on %s port %ld.\n", kName, listen.empty() ? "every address" : listen.c_str(),
                 port);
    papplSystemDelete(system);
    return nullptr;
  }

  std::vector<pappl_pr_driver_t>& drivers = Drivers();
  papplSystemSetPrinterDrivers(system, static_cast<int>(drivers.size()), drivers.data(), AutoAddCallback,
                               AddUtilitiesPage, DriverCallback, nullptr);
  AddPdfFilter(system);
  static const std::string strings = OptionStrings();
  papplSystemAddStringsData(system, kStringsPath, "en-US", strings.c_str());

  if (!serving) return system;

  // Printers and settings survive a restart; the drivers are named first
  // so that the saved printers find theirs.
  static std::string state_file;
  state_file = Option(num_options, options, "state-file");
  if (state_file.empty()) state_file = DefaultStateFile();
  papplSystemLoadState(system, state_file.c_str());
  papplSystemSetSaveCallback(system, reinterpret_cast<pappl_save_cb_t>(papplSystemSaveState),
                             const_cast<char*>(state_file.c_str()));
  return system;
}

}  // namespace kit::printapp
