#include "printapp/options_command.h"

#include <cstdio>
#include <cstring>
#include <memory>
#include <string>

#include <cups/cups.h>
#include <pappl/pappl.h>

#include "printapp/job_options.h"
#include "printapp/system.h"

namespace kit::printapp {
namespace {

constexpr char kPrinterUriOption[] = "printer-uri=";
constexpr int kConnectTimeoutMs = 30000;
// The printers' path on the main loop's socket.
constexpr char kPrinterPath[] = "ipp://localhost/ipp/print/";

struct Target {
  std::string host;  // a host name, or the local socket's path
  int port = 0;
  std::string printer_uri;
};

// The printer the command line names, as PAPPL's main loop reads it.
bool TargetOf(int argc, char* argv[], Target& target) {
  std::string name, uri;
  for (int i = 2; i + 1 < argc; ++i) {
    if (std::strcmp(argv[i], "-d") == 0) name = argv[++i];
    else if (std::strcmp(argv[i], "-o") == 0 && std::strncmp(argv[i + 1], kPrinterUriOption, 12) == 0)
      uri = argv[++i] + std::strlen(kPrinterUriOption);
  }
  if (!uri.empty()) {
    char scheme[32], user[256], host[256], resource[1024];
    if (httpSeparateURI(HTTP_URI_CODING_ALL, uri.c_str(), scheme, sizeof scheme, user, sizeof user, host, sizeof host,
                        &target.port, resource, sizeof resource) < HTTP_URI_STATUS_OK) {
      return false;
    }
    target.host = host;
    target.printer_uri = uri;
    return true;
  }
  if (name.empty()) return false;
  target.host = MainloopSocket();
  target.printer_uri = kPrinterPath + name;
  return true;
}

}  // namespace

int ListReceiptOptions(int argc, char* argv[]) {
  Target target;
  if (!TargetOf(argc, argv, target)) return 0;  // PAPPL's list named no printer of ours
  std::unique_ptr<http_t, void (*)(http_t*)> http(
      httpConnect2(target.host.c_str(), target.port, nullptr, AF_UNSPEC, HTTP_ENCRYPTION_IF_REQUESTED, 1,
                   kConnectTimeoutMs, nullptr),
      httpClose);
  if (!http) {
    std::fprintf(stderr, "kvprinter: Cannot ask %s for its receipt options.\n", target.printer_uri.c_str());
    return 1;
  }
  ipp_t* request = ippNewRequest(IPP_OP_GET_PRINTER_ATTRIBUTES);
  ippAddString(request, IPP_TAG_OPERATION, IPP_TAG_URI, "printer-uri", nullptr, target.printer_uri.c_str());
  ippAddString(request, IPP_TAG_OPERATION, IPP_TAG_NAME, "requesting-user-name", nullptr, cupsUser());
  std::unique_ptr<ipp_t, void (*)(ipp_t*)> response(cupsDoRequest(http.get(), request, "/ipp/print"), ippDelete);
  if (!response || cupsLastError() >= IPP_STATUS_ERROR_BAD_REQUEST) {
    std::fprintf(stderr, "kvprinter: Cannot ask %s for its receipt options: %s\n", target.printer_uri.c_str(),
                 cupsLastErrorString());
    return 1;
  }
  std::printf("\nReceipt options:\n");
  for (const VendorOption& option : AllOptions()) {
    const std::string name(option.name);
    ipp_attribute_t* supported = ippFindAttribute(response.get(), (name + "-supported").c_str(), IPP_TAG_ZERO);
    if (!supported) continue;  // not on this model
    const char* fallback = ippGetString(ippFindAttribute(response.get(), (name + "-default").c_str(), IPP_TAG_ZERO),
                                        0, nullptr);
    for (int i = 0; i < ippGetCount(supported); ++i) {
      const char* keyword = ippGetString(supported, i, nullptr);
      if (!keyword) continue;
      std::printf("  -o %s=%s%s\n", name.c_str(), keyword,
                  fallback && std::strcmp(fallback, keyword) == 0 ? " (default)" : "");
    }
  }
  return 0;
}

}  // namespace kit::printapp
