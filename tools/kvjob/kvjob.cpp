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
//       pass first. Meant for the loopback address. With --render DIR
//       every job is also drawn (DIR/<UTC time>-job-<k>.png), the logos
//       one job stores kept for the next.
//   kvjob render JOB -o PICTURE.png [--json] [--state FILE]
//       draws the job as the receipt printer would print it; --json prints
//       what it drew. --state keeps the printer's logo memory in FILE
//       between calls (read when it exists, written after the job); the
//       file holds the define-logos command that fills the memory.
#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <chrono>
#include <charconv>
#include <ctime>
#include <filesystem>
#include <cstdio>
#include <fstream>
#include <iterator>
#include <string>
#include <string_view>
#include <vector>

#include "tools/kvjob/job_decoder.h"
#include "tools/kvjob/virtual_printer.h"

namespace {

constexpr int kExitOk = 0;
constexpr int kExitFailed = 1;
constexpr int kExitUsage = 2;
constexpr int kDefaultTimeoutSeconds = 30;

int Usage() {
  std::fputs(
      "usage: kvjob decode FILE\n"
      "       kvjob listen ADDRESS:PORT [--count N] [--timeout SECONDS] [--keep DIR] [--render DIR]\n"
      "       kvjob render JOB -o PICTURE.png [--json] [--state FILE]\n",
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

bool ReadFile(const std::string& path, std::vector<std::uint8_t>& bytes) {
  std::ifstream in(path, std::ios::binary);
  if (!in) return false;
  bytes.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
  return !in.bad();
}

bool WriteFile(const std::string& path, const std::vector<std::uint8_t>& bytes) {
  std::ofstream out(path, std::ios::binary);
  out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
  return static_cast<bool>(out);
}

int Decode(const char* path) {
  std::vector<std::uint8_t> bytes;
  if (!ReadFile(path, bytes)) {
    std::fprintf(stderr, "kvjob: cannot open %s\n", path);
    return kExitFailed;
  }
  std::printf("%zu bytes\n%s", bytes.size(), kit::tools::DecodeJob(bytes).c_str());
  return kExitOk;
}

// Draws `job` into `picture`; false (said on stderr) when it cannot be written.
bool RenderTo(kit::tools::VirtualPrinter& printer, const std::vector<std::uint8_t>& job, const std::string& picture,
              kit::tools::Rendering* rendering) {
  *rendering = printer.Render(job);
  if (!WriteFile(picture, kit::tools::EncodePng(rendering->picture))) {
    std::fprintf(stderr, "kvjob: cannot write %s\n", picture.c_str());
    return false;
  }
  return true;
}

int Render(const std::vector<std::string_view>& args) {
  std::string job_path, picture, state;
  bool json = false;
  for (std::size_t i = 0; i < args.size(); ++i) {
    const bool has_value = i + 1 < args.size();
    if (args[i] == "-o" && has_value) picture = args[++i];
    else if (args[i] == "--state" && has_value) state = args[++i];
    else if (args[i] == "--json") json = true;
    else if (job_path.empty() && !args[i].starts_with("-")) job_path = args[i];
    else return Usage();
  }
  if (job_path.empty() || picture.empty()) return Usage();
  std::vector<std::uint8_t> job;
  if (!ReadFile(job_path, job)) {
    std::fprintf(stderr, "kvjob: cannot open %s\n", job_path.c_str());
    return kExitFailed;
  }
  kit::tools::VirtualPrinter printer;
  if (!state.empty() && std::filesystem::exists(state)) {
    std::vector<std::uint8_t> memory;
    // An empty file is a printer with no logos stored yet.
    if (!ReadFile(state, memory) || (!memory.empty() && !printer.LoadMemory(memory))) {
      std::fprintf(stderr, "kvjob: %s is not a printer memory (a define-logos command)\n", state.c_str());
      return kExitFailed;
    }
  }
  kit::tools::Rendering rendering;
  if (!RenderTo(printer, job, picture, &rendering)) return kExitFailed;
  if (!state.empty() && !WriteFile(state, printer.SaveMemory())) {
    std::fprintf(stderr, "kvjob: cannot write %s\n", state.c_str());
    return kExitFailed;
  }
  if (json) std::printf("%s\n", kit::tools::DescribeRendering(rendering).dump(2).c_str());
  return kExitOk;
}

// DIR/<UTC date and time>-job-<k>.png: sorted by arrival, unique per run.
std::string PicturePath(const std::string& dir, unsigned k) {
  const std::time_t now = std::time(nullptr);
  std::tm utc{};
  gmtime_r(&now, &utc);
  char stamp[32];
  std::strftime(stamp, sizeof stamp, "%Y%m%d-%H%M%S", &utc);
  return dir + "/" + stamp + "-job-" + std::to_string(k) + ".png";
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
  std::string keep, render;
  for (std::size_t i = 1; i < args.size(); ++i) {
    const bool has_value = i + 1 < args.size();
    if (args[i] == "--count" && has_value && ParseUnsigned(args[i + 1], count) && count > 0) ++i;
    else if (args[i] == "--timeout" && has_value && ParseUnsigned(args[i + 1], timeout)) ++i;
    else if (args[i] == "--keep" && has_value) keep = args[++i];
    else if (args[i] == "--render" && has_value) render = args[++i];
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

  kit::tools::VirtualPrinter printer;  // one printer: logos stay from job to job
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
    if (!render.empty()) {
      const std::string path = PicturePath(render, k);
      kit::tools::Rendering rendering;
      if (!RenderTo(printer, bytes, path, &rendering)) return kExitFailed;
      std::printf("drawn: %s\n", path.c_str());
    }
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
  if (verb == "render") return Render(std::vector<std::string_view>(argv + 2, argv + argc));
  return Usage();
}
