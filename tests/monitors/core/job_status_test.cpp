// The language monitor's job status from the port's writes: one table of
// write sequences, each with the texts the job is given in order.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "monitors/core/job_status.h"
#include "platform/win32_errors.h"

namespace kit::monitors {
namespace {

struct Write {
  bool ok;
  std::uint32_t asked, taken, error;
};

TEST(JobStatus, TextsFollowWhatThePortTakes) {
  const std::string waiting = ToUtf8(kJobWaitingText);
  struct Case {
    const char* name;
    std::vector<Write> writes;
    std::vector<std::string> shown;  // every text set, "" for a clear; the end's last
  };
  const std::vector<Case> cases = {
      {"takes everything: nothing shown", {{true, 8, 8, 0}, {true, 4, 4, 0}}, {}},
      {"stops, then takes",
       {{true, 8, 2, 0}, {true, 6, 0, 0}, {true, 6, 0, 0}, {true, 6, 6, 0}},
       {waiting, ""}},
      {"waits to the end: cleared at the end", {{true, 8, 0, 0}}, {waiting, ""}},
      {"an empty write says nothing", {{true, 0, 0, 0}, {true, 3, 3, 0}}, {}},
      {"a failed write names its code, the next wait replaces it",
       {{false, 8, 0, win32::kErrorGenFailure}, {false, 8, 0, win32::kErrorGenFailure}, {true, 8, 0, 0},
        {true, 8, 8, 0}},
       {"Port error 31", waiting, ""}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    JobStatus status;
    std::vector<std::string> shown;
    for (const Write& w : c.writes) {
      if (auto text = status.AfterWrite(w.ok, w.asked, w.taken, w.error)) shown.push_back(ToUtf8(*text));
    }
    if (auto text = status.AtEnd()) shown.push_back(ToUtf8(*text));
    EXPECT_EQ(shown, c.shown);
  }
}

}  // namespace
}  // namespace kit::monitors
