#include "printapp/dnssd_off.h"

#include <dlfcn.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <pappl/pappl.h>

#include <cstdio>
#include <cstring>

// avahi's client socket, as avahi-daemon makes it.
constexpr char kAvahiSocket[] = "/run/avahi-daemon/socket";

// PAPPL 1.3.1 goes on to browse with the client avahi refused it when the
// daemon is not running, and avahi then aborts the program on its
// assertion (the web interface's "Add Printer" page, `devices`). This
// definition comes before avahi's own for PAPPL's calls: without a client
// it fails as a browse that found no daemon, which PAPPL reports and
// survives; with one, it is avahi's.
extern "C" void* avahi_service_browser_new(void* client, int interface, int protocol, const char* type,
                                           const char* domain, int flags, void* callback, void* userdata) {
  using Browse = void* (*)(void*, int, int, const char*, const char*, int, void*, void*);
  if (!client) return nullptr;
  static const auto real = reinterpret_cast<Browse>(dlsym(RTLD_NEXT, "avahi_service_browser_new"));
  return real ? real(client, interface, protocol, type, domain, flags, callback, userdata) : nullptr;
}

namespace kit::printapp {
namespace {

bool PrintDevice(const char* info, const char* uri, const char* device_id, void* data) {
  std::printf("%s\n", uri);
  if (*static_cast<bool*>(data)) std::printf("    %s\n    %s\n", info, device_id);
  return false;  // every device
}

void DeviceError(const char* message, void* data) {
  (void)data;
  std::fprintf(stderr, "kvprinter: %s\n", message);
}

}  // namespace

bool AvahiRuns() {
  const int fd = socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
  if (fd < 0) return false;
  sockaddr_un address{};
  address.sun_family = AF_UNIX;
  std::strncpy(address.sun_path, kAvahiSocket, sizeof address.sun_path - 1);
  const bool connected = connect(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0;
  close(fd);
  return connected;
}

int ListDevicesWithoutDnssd(bool verbose) {
  papplDeviceList(PAPPL_DEVTYPE_ALL & ~PAPPL_DEVTYPE_DNS_SD, PrintDevice, &verbose, DeviceError, nullptr);
  std::fprintf(stderr, "%s\n", kDnssdOffLine);
  return 0;
}

}  // namespace kit::printapp
