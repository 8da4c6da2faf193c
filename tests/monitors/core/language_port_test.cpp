// One port through the language monitor: the job's calls reach the port
// monitor below, and the job's status text follows what the port's writes
// report, from the text the job already shows (a job sent again after a
// pause); and the MONITOR2 table below as the shells reach it.
#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <string>
#include <utility>
#include <vector>

#include "monitors/core/language_port.h"
#include "monitors/dll/table_port_below.h"
#include "platform/sim/monitor_abi.h"
#include "platform/win32_errors.h"

namespace kit::monitors {
namespace {

struct Reply {
  std::uint32_t error;
  std::uint32_t taken;
};

class ScriptedPort final : public PortBelow {
 public:
  ScriptedPort(std::vector<Reply> replies, std::vector<std::string>* calls)
      : replies_(std::move(replies)), calls_(calls) {}
  std::uint32_t StartJob(const WString& printer, std::uint32_t job, std::uint32_t, std::uint8_t*) override {
    calls_->push_back("start " + ToUtf8(printer) + " " + std::to_string(job));
    return 0;
  }
  std::uint32_t Write(std::uint8_t*, std::uint32_t size, std::uint32_t* written) override {
    const Reply r = next_ < replies_.size() ? replies_[next_++] : Reply{0, size};
    *written = r.taken;
    calls_->push_back("write " + std::to_string(size));
    return r.error;
  }
  std::uint32_t Read(std::uint8_t*, std::uint32_t, std::uint32_t* read) override {
    *read = 0;
    return win32::kErrorNotSupported;
  }
  std::uint32_t EndJob() override {
    calls_->push_back("end");
    return 0;
  }
  std::uint32_t Close() override {
    calls_->push_back("close");
    return 0;
  }

 private:
  std::vector<Reply> replies_;
  std::size_t next_ = 0;
  std::vector<std::string>* calls_;
};

// The queue's texts by "printer/job", and every change made to them.
class Queue final : public JobTexts {
 public:
  WString Current(const WString& printer, std::uint32_t job) override { return texts[Key(printer, job)]; }
  void Show(const WString& printer, std::uint32_t job, const WString& text) override {
    texts[Key(printer, job)] = text;
    set.push_back(Key(printer, job) + "=" + ToUtf8(text));
  }
  static std::string Key(const WString& printer, std::uint32_t job) { return ToUtf8(printer) + "/" + std::to_string(job); }
  std::map<std::string, WString> texts;
  std::vector<std::string> set;
};

TEST(LanguagePort, JobTextsFollowThePortFromWhatTheJobShows) {
  const std::string waiting = ToUtf8(kJobWaitingText);
  struct Case {
    const char* name;
    const char16_t* shown_before;  // the job's text when the document starts
    std::vector<Reply> replies;   // one per write of 6 bytes
    bool ends;                    // EndDocPort (the job done), else the port closed while it waits
    std::vector<std::uint32_t> results;
    std::vector<std::string> set;
  };
  const std::vector<Case> cases = {
      {"printed at once: nothing set", u"", {{0, 6}}, true, {0}, {}},
      {"the printer away: the job shows it, kept while the port is closed", u"", {{0, 0}, {0, 0}}, false, {0, 0},
       {"P/7=" + waiting}},
      {"sent again, still away: the text stays, set once", kJobWaitingText, {{0, 0}}, false, {0}, {}},
      {"sent again, the printer back: cleared at the first bytes taken", kJobWaitingText, {{0, 0}, {0, 6}}, true,
       {0, 0}, {"P/7="}},
      {"a failed write passes its code up and shows it; the end clears it", u"",
       {{win32::kErrorGenFailure, 0}, {0, 6}}, true, {win32::kErrorGenFailure, 0}, {"P/7=Port error 31", "P/7="}},
      {"a port that claims more than it was given counts what it was given", u"", {{0, 60}}, true, {0}, {}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    std::vector<std::string> calls;
    Queue queue;
    queue.texts["P/7"] = c.shown_before;
    LanguagePort port(std::make_unique<ScriptedPort>(c.replies, &calls), queue, u"P");
    EXPECT_EQ(port.StartJob(nullptr, 7, 1, nullptr), 0u);
    std::vector<std::uint32_t> results;
    std::uint8_t data[6] = {1, 2, 3, 4, 5, 6};
    for (std::size_t i = 0; i < c.replies.size(); ++i) {
      std::uint32_t written = 99;
      results.push_back(port.Write(data, sizeof data, &written));
      EXPECT_LE(written, sizeof data);
    }
    if (c.ends) EXPECT_EQ(port.EndJob(), 0u);
    EXPECT_EQ(port.Close(), 0u);
    EXPECT_EQ(results, c.results);
    EXPECT_EQ(queue.set, c.set);
    EXPECT_EQ(calls.front(), "start P 7") << "the printer the port was opened for";
    EXPECT_EQ(calls.back(), "close");
    EXPECT_EQ(std::count(calls.begin(), calls.end(), "end"), c.ends ? 1 : 0);
  }
}

// The port monitor's table below, as the language monitor's shells reach
// it: a FALSE is the last error it set, or a failure when it set none; a
// call the table lacks is refused, a missing ReadPort as not supported.
namespace abi = sim::monitor_abi;
abi::Dword g_error = 0;
std::uint32_t LastError() { return g_error; }
abi::Bool Refuses(abi::Handle, std::uint8_t*, abi::Dword, abi::Dword*) { return 0; }
abi::Bool Takes(abi::Handle, std::uint8_t*, abi::Dword size, abi::Dword* written) {
  *written = size;
  return 1;
}

TEST(TablePortBelow, ResultsOfTheTableBelow) {
  struct Case {
    const char* name;
    decltype(abi::Monitor2::pfnWritePort) write;
    abi::Dword last_error;
    abi::Dword table_size;
    std::uint32_t write_result, read_result;
  };
  const Case cases[] = {
      {"taken", Takes, 0, sizeof(abi::Monitor2), 0, win32::kErrorNotSupported},
      {"refused with its error", Refuses, win32::kErrorNotReady, sizeof(abi::Monitor2), win32::kErrorNotReady,
       win32::kErrorNotSupported},
      {"refused without one", Refuses, 0, sizeof(abi::Monitor2), win32::kErrorGenFailure, win32::kErrorNotSupported},
      {"no write in the table", nullptr, 0, sizeof(abi::Monitor2), win32::kErrorInvalidHandle,
       win32::kErrorNotSupported},
      {"a table cut before WritePort", Takes, 0, 4, win32::kErrorInvalidHandle, win32::kErrorNotSupported},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    abi::Monitor2 table;
    table.cbSize = c.table_size;
    table.pfnWritePort = c.write;
    g_error = c.last_error;
    TablePortBelow<abi::Monitor2, char16_t, abi::Dword> below(&table, nullptr, LastError);
    std::uint8_t data[4] = {};
    std::uint32_t n = 99;
    EXPECT_EQ(below.Write(data, sizeof data, &n), c.write_result);
    EXPECT_EQ(n, c.write_result == 0 ? 4u : 0u);
    EXPECT_EQ(below.Read(data, sizeof data, &n), c.read_result);
    EXPECT_EQ(below.Close(), 0u) << "nothing to close is no failure";
  }
}

}  // namespace
}  // namespace kit::monitors
