// kvjob: a raw printer job from the printer's side.
//
//   kvjob decode FILE
//       prints the job's bytes (a virtual machine's <machine>/jobs/<id>.bin,
//       or a file the test printer kept) in the kit's command terms.
//   kvjob listen ADDRESS:PORT [--count N] [--timeout SECONDS] [--keep DIR]
//       a network test printer: accepts N connections (default 1), keeps
//       each one's bytes (DIR/job-<k>.bin) and prints them decoded. Port 0
//       picks a free port; the line "listening on ADDRESS:PORT" says which.
//       Ends after N connections, or with exit 1 when SECONDS (default 30)
//       pass first. Meant for the loopback address.
#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <chrono>
#include <charconv>
#include <cstdio>
#include <fstream>
#include <iterator>
#include <string>
#include <string_view>
#include <vector>

#include "tools/kvjob/job_decoder.h"

namespace {

constexpr int kExitOk = 0;
constexpr int kExitFailed = 1;
constexpr int kExitUsage = 2;
constexpr int kDefaultTimeoutSeconds = 30;

int Usage() {
  std::fputs(
      "usage: kvjob decode FILE\n"
      "       kvjob listen ADDRESS:PORT [--count N] [--timeout SECONDS] [--keep DIR]\n",
      stderr);
  return kExitUsage;
}

bool ParseUnsigned(std::string_view text, unsigned& value) {
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
  return error == std::errc{} && end == text.data() + text.size();
}

// Closes a socket on every path.
class Socket {
 public:
  explicit Socket(int fd) : fd_(fd) {}
  ~Socket() {
    if (fd_ >= 0) close(fd_);
  }
  Socket(const Socket&) = delete;
  Socket& operator=(const Socket&) = delete;
  int fd() const { return fd_; }

 private:
  int fd_;
};

int Decode(const char* path) {
  std::ifstream in(path, std::ios::binary);
  if (!in) {
    std::fprintf(stderr, "kvjob: cannot open %s\n", path);
    return kExitFailed;
  }
  const std::vector<std::uint8_t> bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  std::printf("%zu bytes\n%s", bytes.size(), kit::tools::DecodeJob(bytes).c_str());
  return kExitOk;
}

using Clock = std::chrono::steady_clock;

// Waits for `fd` to become readable until `deadline`.
bool WaitReadable(int fd, Clock::time_point deadline) {
  const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now()).count();
  if (left <= 0) return false;
  pollfd p{fd, POLLIN, 0};
  return poll(&p, 1, static_cast<int>(left)) == 1;
}

int Listen(const std::vector<std::string_view>& args) {
  if (args.empty()) return Usage();
  const std::string endpoint(args[0]);
  unsigned count = 1, timeout = kDefaultTimeoutSeconds;
  std::string keep;
  for (std::size_t i = 1; i < args.size(); ++i) {
    const bool has_value = i + 1 < args.size();
    if (args[i] == "--count" && has_value && ParseUnsigned(args[i + 1], count) && count > 0) ++i;
    else if (args[i] == "--timeout" && has_value && ParseUnsigned(args[i + 1], timeout)) ++i;
    else if (args[i] == "--keep" && has_value) keep = args[++i];
    else return Usage();
  }
  const auto colon = endpoint.rfind(':');
  unsigned port = 0;
  sockaddr_in address{};
  address.sin_family = AF_INET;
  if (colon == std::string::npos || !ParseUnsigned(std::string_view(endpoint).substr(colon + 1), port) ||
      port > 65535 || inet_pton(AF_INET, endpoint.substr(0, colon).c_str(), &address.sin_addr) != 1) {
    std::fprintf(stderr, "kvjob: \"%s\" is not an IPv4 ADDRESS:PORT\n", endpoint.c_str());
    return kExitUsage;
  }
  address.sin_port = htons(static_cast<std::uint16_t>(port));
  Socket server(socket(AF_INET, SOCK_STREAM, 0));
  const int on = 1;
  setsockopt(server.fd(), SOL_SOCKET, SO_REUSEADDR, &on, sizeof on);
  if (server.fd() < 0 || bind(server.fd(), reinterpret_cast<sockaddr*>(&address), sizeof address) != 0 ||
      listen(server.fd(), 4) != 0) {
    std::perror("kvjob: listen");
    return kExitFailed;
  }
  socklen_t length = sizeof address;
  getsockname(server.fd(), reinterpret_cast<sockaddr*>(&address), &length);
  std::printf("listening on %s:%u\n", endpoint.substr(0, colon).c_str(), ntohs(address.sin_port));
  std::fflush(stdout);

  const auto deadline = Clock::now() + std::chrono::seconds(timeout);
  for (unsigned k = 1; k <= count; ++k) {
    if (!WaitReadable(server.fd(), deadline)) {
      std::fprintf(stderr, "kvjob: no job within %u seconds\n", timeout);
      return kExitFailed;
    }
    Socket client(accept(server.fd(), nullptr, nullptr));
    if (client.fd() < 0) return kExitFailed;
    std::vector<std::uint8_t> bytes;
    std::uint8_t buffer[4096];
    for (;;) {
      if (!WaitReadable(client.fd(), deadline)) {
        std::fprintf(stderr, "kvjob: job %u not finished within %u seconds\n", k, timeout);
        return kExitFailed;
      }
      const ssize_t got = read(client.fd(), buffer, sizeof buffer);
      if (got <= 0) break;
      bytes.insert(bytes.end(), buffer, buffer + got);
    }
    if (!keep.empty()) {
      const std::string path = keep + "/job-" + std::to_string(k) + ".bin";
      std::ofstream(path, std::ios::binary).write(reinterpret_cast<const char*>(bytes.data()),
                                                  static_cast<std::streamsize>(bytes.size()));
    }
    std::printf("job %u: %zu bytes\n%s", k, bytes.size(), kit::tools::DecodeJob(bytes).c_str());
    std::fflush(stdout);
  }
  return kExitOk;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2) return Usage();
  const std::string_view verb = argv[1];
  if (verb == "decode" && argc == 3) return Decode(argv[2]);
  if (verb == "listen") return Listen(std::vector<std::string_view>(argv + 2, argv + argc));
  return Usage();
}
