// A job through a port: the spooler's loop of WritePort calls over a
// printer that stops, goes away and comes back. Every byte reaches the
// printer once, in order; each call returns within its pause; the port
// shows why the job waits.
#include <gtest/gtest.h>

#include <deque>
#include <string>

#include "monitors/core/port_job.h"
#include "tests/monitors/core/port_doubles.h"
#include "platform/win32_errors.h"

namespace kit::monitors {
namespace {

// One step of the printer: an open's answer, or a write's answer and how
// many bytes it takes.
struct Step {
  char kind;  // 'o' open, 'w' write
  std::uint32_t status;
  std::uint32_t takes;
};

class ScriptedPrinter final : public PortDevice {
 public:
  ScriptedPrinter(std::deque<Step> steps, Bytes* received, std::string* log)
      : steps_(std::move(steps)), received_(received), log_(log) {}
  std::uint32_t Open() override {
    const Step s = Next('o');
    *log_ += s.status == 0 ? "O" : "o";
    return s.status;
  }
  std::uint32_t Write(const std::uint8_t* data, std::uint32_t size, std::uint32_t* written) override {
    const Step s = Next('w');
    const std::uint32_t n = std::min(size, s.takes);
    received_->insert(received_->end(), data, data + n);
    *written = n;
    *log_ += s.status != 0 ? "x" : n == 0 ? "-" : "W";
    return s.status;
  }
  std::uint32_t Read(std::uint8_t*, std::uint32_t, std::uint32_t* read) override {
    *read = 0;
    return 0;
  }
  void Close() override { *log_ += "C"; }

 private:
  Step Next(char kind) {
    // Past the script the printer takes everything.
    if (steps_.empty()) return {kind, 0, 1u << 20};
    const Step s = steps_.front();
    steps_.pop_front();
    EXPECT_EQ(s.kind, kind) << "the printer was asked out of its script's order";
    return s;
  }
  std::deque<Step> steps_;
  Bytes* received_;
  std::string* log_;
};

using testing::CountingClock;
using testing::States;

TEST(PortJob, EveryByteOnceWhateverThePrinterDoes) {
  struct Case {
    const char* name;
    std::deque<Step> steps;
    std::string log;     // the printer's calls: O/o open ok/failed, W/-/x write took/none/failed, C close
    std::string states;  // what the port showed
    std::uint64_t slept;
    int calls;  // WritePort calls the spooler made
  };
  const std::vector<Case> cases = {
      {"takes it all", {{'o', 0, 0}}, "OWC", "", 0, 1},
      {"takes it in parts", {{'o', 0, 0}, {'w', 0, 3}, {'w', 0, 4}}, "OWWWC", "", 0, 3},
      // Paper out: writes time out with nothing sent; the job waits, then goes on.
      {"stops, then takes",
       {{'o', 0, 0}, {'w', 0, 2}, {'w', 0, 0}, {'w', 0, 0}},
       "OW--WC", "NR", 0, 4},
      // Unplugged when the job starts: the job still starts and waits.
      {"not there at first",
       {{'o', win32::kErrorFileNotFound, 0}, {'o', win32::kErrorFileNotFound, 0}, {'o', 0, 0}},
       "ooOWC", "FR", kRetryPauseMs, 2},
      // Gone in the middle of a write: what it took counts, the rest goes
      // after it is opened again.
      {"goes away mid-job",
       {{'o', 0, 0}, {'w', win32::kErrorBadCommand, 5}, {'o', win32::kErrorFileNotFound, 0}, {'o', 0, 0}},
       "OxCoOWC", "FR", kRetryPauseMs, 3},
      {"fails a write with nothing taken",
       {{'o', 0, 0}, {'w', win32::kErrorGenFailure, 0}, {'o', 0, 0}},
       "OxCOWC", "FR", kRetryPauseMs, 2},
  };
  Bytes job(16);
  for (std::size_t i = 0; i < job.size(); ++i) job[i] = static_cast<std::uint8_t>(0x30 + i);
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Bytes received;
    std::string log;
    CountingClock clock;
    States states;
    int calls = 0;
    {
      PortJob port(std::make_unique<ScriptedPrinter>(c.steps, &received, &log), clock, &states);
      ASSERT_EQ(port.StartJob(), 0u) << "StartDocPort never fails the job";
      std::size_t sent = 0;
      while (sent < job.size() && calls < 20) {
        std::uint32_t written = 0, error = 0;
        ASSERT_TRUE(port.Write(job.data() + sent, static_cast<std::uint32_t>(job.size() - sent), &written, &error));
        ASSERT_LE(written, job.size() - sent);
        sent += written;
        ++calls;
      }
      port.EndJob();
      EXPECT_FALSE(port.device_open());
    }
    EXPECT_EQ(received, job);
    EXPECT_EQ(log, c.log);
    EXPECT_EQ(states.seen, c.states);
    EXPECT_EQ(clock.slept, c.slept);
    EXPECT_EQ(calls, c.calls);
  }
}

TEST(PortJob, CallsOutsideADocument) {
  Bytes received;
  std::string log;
  CountingClock clock;
  PortJob port(std::make_unique<ScriptedPrinter>(std::deque<Step>{}, &received, &log), clock, nullptr);
  const std::uint8_t byte = 0x1B;
  std::uint32_t n = 7, error = 0;
  EXPECT_FALSE(port.Write(&byte, 1, &n, &error));
  EXPECT_EQ(error, win32::kErrorInvalidHandle);
  EXPECT_EQ(n, 0u);
  std::uint8_t in[4];
  EXPECT_FALSE(port.Read(in, sizeof in, &n, &error));
  EXPECT_EQ(error, win32::kErrorNotReady);
  // An empty write inside a document touches nothing.
  ASSERT_EQ(port.StartJob(), 0u);
  EXPECT_TRUE(port.Write(&byte, 0, &n, &error));
  EXPECT_EQ(n, 0u);
  EXPECT_TRUE(port.Read(in, sizeof in, &n, &error));
  port.EndJob();
  EXPECT_EQ(log, "OC");
  EXPECT_TRUE(received.empty());
}

}  // namespace
}  // namespace kit::monitors
