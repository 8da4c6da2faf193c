#include "printapp/system.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

#include <cstdlib>
#include <cstring>
#include <ctime>
#include <string>

#include "printapp/dnssd_off.h"
#include "printapp/driver.h"
#include "printapp/job_history.h"
#include "printapp/job_options.h"
#include "printapp/pdf_filter.h"
#include "printapp/picture_filter.h"
#include "printapp/job_queue.h"
#include "printapp/server_stop.h"
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
// The local sockets: read and write for the service's user and group.
constexpr mode_t kSocketMode = 0660;
constexpr mode_t kFileFolderMode = 0750;
// PAPPL's main loop names its socket so (mainloop: "/run/NAME.sock" for
// root, "TMPDIR/NAMEUID.sock" for another user).
constexpr char kRootSocket[] = "/run/kvprinter.sock";
constexpr char kAuthScheme[] = "Basic";

std::string g_file_folder;
std::string g_local_socket;

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

// What any client may do, as on any IPP printer: print, ask and identify.
// PAPPL asks this callback for these too once it is set. Cancelling
// another's job is not among them: PAPPL lets a job's owner cancel it
// without asking.
bool PrintingOperation(ipp_op_t op) {
  switch (op) {
    case IPP_OP_PRINT_JOB: case IPP_OP_PRINT_URI: case IPP_OP_VALIDATE_JOB: case IPP_OP_CREATE_JOB:
    case IPP_OP_SEND_DOCUMENT: case IPP_OP_SEND_URI: case IPP_OP_CLOSE_JOB: case IPP_OP_GET_JOBS:
    case IPP_OP_GET_JOB_ATTRIBUTES: case IPP_OP_GET_PRINTER_ATTRIBUTES: case IPP_OP_GET_SYSTEM_ATTRIBUTES:
    case IPP_OP_GET_PRINTERS: case IPP_OP_IDENTIFY_PRINTER:
      return true;
    default:
      return false;
  }
}

// Administration without a PAM service: the loopback only. (The local
// socket never reaches this: PAPPL lets its clients in before asking.)
// A web page's request carries no IPP operation: administration.
http_status_t LoopbackAdmin(pappl_client_t* client, const char* group, gid_t gid, void* data) {
  (void)group, (void)gid, (void)data;
  if (papplClientGetRequest(client) && PrintingOperation(papplClientGetOperation(client))) {
    return HTTP_STATUS_CONTINUE;
  }
  http_t* http = papplClientGetHTTP(client);
  const http_addr_t* address = http ? httpGetAddress(http) : nullptr;
  if (address && httpAddrLocalhost(address)) return HTTP_STATUS_CONTINUE;
  papplLogClient(client, PAPPL_LOGLEVEL_WARN, "Administration from another machine refused: no auth-service.");
  return HTTP_STATUS_FORBIDDEN;
}

// PAPPL makes its local sockets open to every user; once the server runs,
// they are narrowed to the service's user and group.
void NarrowSockets(pappl_system_t* system, void* data) {
  (void)data;
  for (const std::string& path : {MainloopSocket(), g_local_socket}) {
    if (path.empty()) continue;
    if (chmod(path.c_str(), kSocketMode) != 0 && errno != ENOENT) {
      papplLog(system, PAPPL_LOGLEVEL_ERROR, "Cannot narrow the socket %s: %s", path.c_str(), std::strerror(errno));
    }
  }
}

bool NarrowOnce(pappl_system_t* system, void* data) {
  NarrowSockets(system, data);
  return false;  // once
}

}  // namespace

const std::string& FileDeviceFolder() { return g_file_folder; }

std::string MainloopSocket() {
  if (getuid() == 0) return kRootSocket;
  return std::string(papplGetTempDir()) + "/" + kName + std::to_string(getuid()) + ".sock";
}

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
  if (auth.empty()) {
    papplSystemSetAuthCallback(system, kAuthScheme, LoopbackAdmin, nullptr);
  } else if (admin.empty()) {
    papplLog(system, PAPPL_LOGLEVEL_WARN, "auth-service without admin-group: every user PAM admits administers.");
  }
  g_file_folder = Option(num_options, options, "file-folder");
  if (serving && !g_file_folder.empty() && mkdir(g_file_folder.c_str(), kFileFolderMode) != 0 && errno != EEXIST) {
    std::fprintf(stderr, "%s: Cannot make the file-folder %s: %s\n", kName, g_file_folder.c_str(),
                 std::strerror(errno));
  }
  // A command other than "server" (drivers, for one) only asks the
  // system for its drivers: no listening, no state.
  const std::string listen = Option(num_options, options, "listen-hostname");
  if (serving && !papplSystemAddListeners(system, listen.empty() ? nullptr : listen.c_str())) {
    std::fprintf(stderr, "%s: Cannot listen on %s port %ld.\n", kName, listen.empty() ? "every address" : listen.c_str(),
                 port);
    papplSystemDelete(system);
    return nullptr;
  }
  g_local_socket = serving ? Option(num_options, options, "local-socket") : "";
  if (!g_local_socket.empty()) {
    unlink(g_local_socket.c_str());  // a socket left by a run that was killed
    if (!papplSystemAddListeners(system, g_local_socket.c_str())) {
      std::fprintf(stderr, "%s: Cannot listen on %s.\n", kName, g_local_socket.c_str());
      papplSystemDelete(system);
      return nullptr;
    }
    NarrowSockets(system, nullptr);
  }
  // The main loop's own socket comes after this function: narrowed as the
  // server starts.
  if (serving) papplSystemAddTimerCallback(system, time(nullptr), 0, NarrowOnce, nullptr);
  if (serving) WatchForStop(system);
  if (serving && !AvahiRuns()) papplLog(system, PAPPL_LOGLEVEL_WARN, "%s", kDnssdOffLine);

  std::vector<pappl_pr_driver_t>& drivers = Drivers();
  papplSystemSetPrinterDrivers(system, static_cast<int>(drivers.size()), drivers.data(), AutoAddCallback,
                               AddUtilitiesPage, DriverCallback, nullptr);
  AddPdfFilter(system);
  AddPictureFilters(system);
  AddRasterFileFilters(system);
  // Registered for "en", beside PAPPL's own English texts: a language of
  // its own ("en-US") would hold only these, and a browser asking for it
  // would see PAPPL's states and labels untranslated ("3" for idle).
  static const std::string strings = OptionStrings();
  papplSystemAddStringsData(system, kStringsPath, "en", strings.c_str());

  if (!serving) return system;

  // Printers and settings survive a restart; the drivers are named first
  // so that the saved printers find theirs.
  static std::string state_file;
  state_file = Option(num_options, options, "state-file");
  if (state_file.empty()) state_file = DefaultStateFile();
  LoadState(system, state_file);
  KeepJobIds(system, state_file, spool);
  papplSystemSetSaveCallback(system, SaveState, &state_file);
  return system;
}

}  // namespace kit::printapp
