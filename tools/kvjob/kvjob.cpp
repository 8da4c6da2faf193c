// kvjob: a raw printer job from the printer's side.
//
//   kvjob decode FILE
//       prints the job's bytes (a virtual machine's <machine>/jobs/<id>.bin,
//       or a file the test printer kept) in the kit's command terms.
//   kvjob listen ADDRESS:PORT [--count N] [--timeout SECONDS] [--idle SECONDS] [--keep DIR]
//       a network test printer: serves connections side by side, keeps each
//       job's bytes (DIR/job-<k>.bin) and prints them decoded. A job ends
//       when its connection closes or sends nothing for the idle time
//       (default 5 seconds; the connection stays open for the next job).
//       A job holds at most kMaxJobBytes: one that sends more is cut there
//       (noted) and its connection closed.
//       Port 0 picks a free port; the line "listening on ADDRESS:PORT" says
//       which. Runs until stopped (SIGINT, SIGTERM), or until N jobs ended;
//       with SECONDS, ends then, with exit 1 when fewer than N jobs (or no
//       job at all) came. Meant for the loopback address. With --render DIR
//       every job is also drawn (DIR/<UTC time>-job-<k>.png), the logos
//       one job stores kept for the next. The folders must exist.
//   kvjob render JOB -o PICTURE.png [--json] [--state FILE] [--model TOKEN]
//       (--model: the roll of that model of the family, "VRTD45" or "VRT-D45";
//       the receipt Q40's without it)
//       draws the job as the receipt printer would print it; --json prints
//       what it drew. --state keeps the printer's logo memory in FILE
//       between calls (read when it exists, written after the job); the
//       file holds the define-logos command that fills the memory.
#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <charconv>
#include <climits>
#include <csignal>
#include <cstdint>
#include <exception>
#include <memory>
#include <ctime>
#include <filesystem>
#include <cstdio>
#include <fstream>
#include <iterator>
#include <string>
#include <string_view>
#include <vector>

#include "print/model/model_table.h"
#include "tools/kvjob/job_decoder.h"
#include "tools/kvjob/render_paper.h"
#include "tools/kvjob/virtual_printer.h"

namespace {

constexpr int kExitOk = 0;
constexpr int kExitFailed = 1;
constexpr int kExitUsage = 2;
// A job ends when its connection sends nothing for this long.
constexpr unsigned kDefaultIdleSeconds = 5;
constexpr int kBacklog = 16;
// The most one job may hold: twice the raster of the longest roll (a bit per
// dot of every row), room for the commands around it. A connection that
// sends more is cut there: the job ends with what came, a margin note says
// so, and the connection is closed, so one till cannot hold the printer's
// memory or keep the others waiting.
constexpr std::size_t kMaxJobBytes =
    2 * static_cast<std::size_t>(kit::tools::paper::kMaxLengthDots) * ((kit::tools::paper::kPaperWidthDots + 7) / 8);

int Usage() {
  std::fputs(
      "usage: kvjob decode FILE\n"
      "       kvjob listen ADDRESS:PORT [--count N] [--timeout SECONDS] [--idle SECONDS] [--keep DIR]\n"
      "                    [--render DIR]\n"
      "       kvjob render JOB -o PICTURE.png [--json] [--state FILE] [--model TOKEN]\n",
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

// False for a folder (a stream would open it, then fail to read it).
bool ReadFile(const std::string& path, std::vector<std::uint8_t>& bytes) {
  std::error_code error;
  if (std::filesystem::is_directory(path, error)) return false;
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
              kit::tools::Rendering* rendering, const std::string& closing_note = {}) {
  *rendering = printer.Render(job, closing_note);
  if (!WriteFile(picture, kit::tools::EncodePng(rendering->picture))) {
    std::fprintf(stderr, "kvjob: cannot write %s\n", picture.c_str());
    return false;
  }
  return true;
}

int Render(const std::vector<std::string_view>& args) {
  std::string job_path, picture, state, model = "VRTQ40";
  bool json = false;
  for (std::size_t i = 0; i < args.size(); ++i) {
    const bool has_value = i + 1 < args.size();
    if (args[i] == "-o" && has_value) picture = args[++i];
    else if (args[i] == "--state" && has_value) state = args[++i];
    else if (args[i] == "--model" && has_value) model = args[++i];
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
  const kit::print::model::Model* roll_model = kit::print::model::FindModel(model);
  if (roll_model == nullptr) {
    std::fprintf(stderr, "kvjob: %s is no model of the family\n", model.c_str());
    return kExitFailed;
  }
  kit::tools::VirtualPrinter printer(kit::tools::paper::RollOf(*roll_model));
  std::error_code error;
  if (!state.empty() && std::filesystem::exists(state, error)) {
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

volatile std::sig_atomic_t g_stop = 0;
void OnStop(int) { g_stop = 1; }

// One till's connection: the bytes of the job it is sending.
struct Connection {
  std::unique_ptr<Socket> socket;
  std::vector<std::uint8_t> bytes;
  Clock::time_point last;  // when bytes last came
};

struct ListenOptions {
  unsigned count = 0;  // 0: until stopped
  unsigned timeout = 0;  // 0: none
  unsigned idle = kDefaultIdleSeconds;
  std::string keep, render;
};

// Ends jobs, numbered as they end: keeps, decodes and draws each.
class JobSink {
 public:
  explicit JobSink(const ListenOptions& options) : options_(options) {}
  unsigned done() const { return done_; }

  // `cut`: the job passed kMaxJobBytes and holds its first kMaxJobBytes.
  bool End(std::vector<std::uint8_t>& bytes, bool cut = false) {
    const unsigned k = ++done_;
    if (!options_.keep.empty()) {
      const std::string path = options_.keep + "/job-" + std::to_string(k) + ".bin";
      if (!WriteFile(path, bytes)) std::fprintf(stderr, "kvjob: cannot write %s\n", path.c_str());
    }
    const std::string note =
        cut ? "job cut at " + std::to_string(kMaxJobBytes) + " bytes, the most a job holds: connection closed" : "";
    std::printf("job %u: %zu bytes%s\n%s", k, bytes.size(), cut ? (" (" + note + ")").c_str() : "",
                kit::tools::DecodeJob(bytes).c_str());
    bool ok = true;
    if (!options_.render.empty()) {
      const std::string path = PicturePath(options_.render, k);
      kit::tools::Rendering rendering;
      ok = RenderTo(printer_, bytes, path, &rendering, note);
      if (ok) std::printf("drawn: %s\n", path.c_str());
    }
    std::fflush(stdout);
    bytes.clear();
    return ok;
  }

 private:
  const ListenOptions& options_;
  kit::tools::VirtualPrinter printer_;  // one printer: logos stay from job to job
  unsigned done_ = 0;
};

// Serves connections side by side until --count jobs ended, --timeout
// passed or a signal came. A job ends when its connection closes or sends
// nothing for --idle seconds (a till that keeps its connection open); the
// connection then stays open for the next job.
int Serve(int server, const ListenOptions& options) {
  JobSink sink(options);
  std::vector<Connection> open;
  const auto idle = std::chrono::seconds(options.idle);
  const auto end = options.timeout > 0 ? Clock::now() + std::chrono::seconds(options.timeout) : Clock::time_point::max();
  const auto finished = [&] { return options.count > 0 && sink.done() >= options.count; };
  bool failed = false;
  while (!finished() && !g_stop && Clock::now() < end) {
    auto wake = end;
    for (const Connection& c : open) {
      if (!c.bytes.empty()) wake = std::min(wake, c.last + idle);
    }
    std::vector<pollfd> polled{{server, POLLIN, 0}};
    for (const Connection& c : open) polled.push_back({c.socket->fd(), POLLIN, 0});
    const auto left = std::chrono::ceil<std::chrono::milliseconds>(wake - Clock::now()).count();
    const int wait = wake == Clock::time_point::max() ? -1 : static_cast<int>(std::clamp<long long>(left, 0, INT32_MAX));
    if (poll(polled.data(), polled.size(), wait) < 0 && errno != EINTR) {
      std::perror("kvjob: poll");
      return kExitFailed;
    }
    const auto now = Clock::now();
    for (std::size_t i = open.size(); i-- > 0;) {
      Connection& c = open[i];
      if ((polled[i + 1].revents & (POLLIN | POLLHUP | POLLERR)) != 0) {
        std::uint8_t buffer[4096];
        const ssize_t got = read(c.socket->fd(), buffer, sizeof buffer);
        if (got > 0) {
          c.bytes.insert(c.bytes.end(), buffer, buffer + got);
          c.last = now;
          if (c.bytes.size() <= kMaxJobBytes) continue;
          c.bytes.resize(kMaxJobBytes);
          if (!finished()) failed |= !sink.End(c.bytes, true);
          open.erase(open.begin() + static_cast<std::ptrdiff_t>(i));  // closes it
          continue;
        }
        if (!c.bytes.empty() && !finished()) failed |= !sink.End(c.bytes);
        open.erase(open.begin() + static_cast<std::ptrdiff_t>(i));
      } else if (!c.bytes.empty() && now - c.last >= idle && !finished()) {
        failed |= !sink.End(c.bytes);
      }
    }
    if ((polled[0].revents & POLLIN) != 0 && !finished()) {
      auto client = std::make_unique<Socket>(accept(server, nullptr, nullptr));
      if (client->fd() >= 0) open.push_back({std::move(client), {}, now});
    }
  }
  // What the open connections sent so far is a job of its own: none is lost.
  for (Connection& c : open) {
    if (!c.bytes.empty() && !finished()) failed |= !sink.End(c.bytes);
  }
  if (options.count > 0 && sink.done() < options.count) {
    std::fprintf(stderr, "kvjob: %u of %u jobs within %u seconds\n", sink.done(), options.count, options.timeout);
    return kExitFailed;
  }
  if (sink.done() == 0 && !g_stop) {
    std::fprintf(stderr, "kvjob: no job within %u seconds\n", options.timeout);
    return kExitFailed;
  }
  return failed ? kExitFailed : kExitOk;
}

bool IsFolder(const std::string& path) {
  std::error_code error;
  return std::filesystem::is_directory(path, error);
}

int Listen(const std::vector<std::string_view>& args) {
  if (args.empty()) return Usage();
  const std::string endpoint(args[0]);
  ListenOptions options;
  for (std::size_t i = 1; i < args.size(); ++i) {
    const bool has_value = i + 1 < args.size();
    if (args[i] == "--count" && has_value && ParseUnsigned(args[i + 1], options.count) && options.count > 0) ++i;
    else if (args[i] == "--timeout" && has_value && ParseUnsigned(args[i + 1], options.timeout)) ++i;
    else if (args[i] == "--idle" && has_value && ParseUnsigned(args[i + 1], options.idle) && options.idle > 0) ++i;
    else if (args[i] == "--keep" && has_value) options.keep = args[++i];
    else if (args[i] == "--render" && has_value) options.render = args[++i];
    else return Usage();
  }
  for (const std::string& folder : {options.keep, options.render}) {
    if (!folder.empty() && !IsFolder(folder)) {
      std::fprintf(stderr, "kvjob: %s is not a folder\n", folder.c_str());
      return kExitFailed;
    }
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
      listen(server.fd(), kBacklog) != 0) {
    std::perror("kvjob: listen");
    return kExitFailed;
  }
  socklen_t length = sizeof address;
  getsockname(server.fd(), reinterpret_cast<sockaddr*>(&address), &length);
  struct sigaction stop{};
  stop.sa_handler = OnStop;  // no SA_RESTART: poll returns and the loop ends
  sigaction(SIGINT, &stop, nullptr);
  sigaction(SIGTERM, &stop, nullptr);
  std::printf("listening on %s:%u\n", endpoint.substr(0, colon).c_str(), ntohs(address.sin_port));
  std::fflush(stdout);
  return Serve(server.fd(), options);
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2) return Usage();
  const std::string_view verb = argv[1];
  // Whatever the file system or the memory refuses ends the run with one line.
  try {
    if (verb == "decode" && argc == 3) return Decode(argv[2]);
    if (verb == "listen") return Listen(std::vector<std::string_view>(argv + 2, argv + argc));
    if (verb == "render") return Render(std::vector<std::string_view>(argv + 2, argv + argc));
  } catch (const std::exception& e) {
    std::fprintf(stderr, "kvjob: %s\n", e.what());
    return kExitFailed;
  }
  return Usage();
}
