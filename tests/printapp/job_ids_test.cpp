// The ids file's byte layout, what a damaged one still gives, the spool
// file names that name a job, and which jobs of the saved state a stop cut.
#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <utility>

#include "printapp/job_ids.h"

namespace kit::printapp {
namespace {

TEST(JobIdsTest, FileLayout) {
  EXPECT_EQ(FormatJobIds({}), "");
  EXPECT_EQ(FormatJobIds({{2, 7}, {1, 123456789}}), "1 123456789\n2 7\n");
  EXPECT_EQ(ParseJobIds(FormatJobIds({{1, 41}, {3, 2}})), (HighestJobIds{{1, 41}, {3, 2}}));
}

TEST(JobIdsTest, DamagedFileKeepsWhatItCanRead) {
  struct Case {
    std::string text;
    HighestJobIds ids;
  };
  const Case cases[] = {
      {"", {}},
      {"1 5\n2 9", {{1, 5}}},             // the last line cut short by a crash
      {"1 5\n1 3\n", {{1, 5}}},           // the highest of a printer's lines
      {"1 5\nx 9\n2 -4\n3 7z\n", {{1, 5}}},
      {"0 5\n 4 6\n4  6\n", {}},          // no printer 0, one space only
      {"1 99999999999\n", {}},            // beyond an int
      {"\n\n2 8\n", {{2, 8}}},
  };
  for (const Case& c : cases) EXPECT_EQ(ParseJobIds(c.text), c.ids) << c.text;
}

TEST(JobIdsTest, SpoolFileNames) {
  using Job = std::optional<std::pair<int, int>>;
  struct Case {
    std::string file;
    Job job;
    std::string name;  // the job's name in the file's
  };
  const Case cases[] = {
      {"p00001j000000002-long_pdf.pdf", Job({1, 2}), "long_pdf"},
      {"p00012j000123456-untitled.pwg", Job({12, 123456}), "untitled"},
      {"p00001j000000002-", Job({1, 2}), ""},
      {"p00001j000000002-a-b.c.pdf", Job({1, 2}), "a-b.c"},  // a name with its own dash and dot
      {"p00001j000000002-noext", Job({1, 2}), "noext"},
      {"p00001j00000002-x.pdf", std::nullopt, "x"},  // eight digits
      {"p0001j000000002-x.pdf", std::nullopt, "x"},
      {"p00001j000000000-x.pdf", std::nullopt, "x"},  // no job 0
      {"p00001k000000002-x.pdf", std::nullopt, "x"},
      {"q00001j000000002-x.pdf", std::nullopt, "x"},
      {"p00001j000000002_x.pdf", std::nullopt, ""},
      {"p0000aj000000002-x.pdf", std::nullopt, "x"},
      {"kvprinter.state", std::nullopt, ""},
      {"", std::nullopt, ""},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(SpoolFileJob(c.file), c.job) << c.file;
    EXPECT_EQ(SpoolFileJobName(c.file), c.name) << c.file;
  }
}

TEST(JobIdsTest, JobsOfTheSavedStateCutByAStop) {
  struct Case {
    JobState state;
    bool started, ended, cut;
  };
  const Case cases[] = {
      {JobState::kProcessing, true, false, true},  // saved while it printed
      {JobState::kStopped, true, false, true},
      {JobState::kPending, true, false, true},     // sent back to waiting by a stop
      {JobState::kPending, false, false, false},   // waiting: prints after the restart
      {JobState::kHeld, false, false, false},
      {JobState::kAborted, true, false, true},     // its file gone as the state loaded
      {JobState::kAborted, false, false, true},    // a document that never came
      {JobState::kAborted, true, true, false},     // aborted as it ended
      {JobState::kCanceled, true, true, false},
      {JobState::kCompleted, true, true, false},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(CutByStop(c.state, c.started, c.ended), c.cut)
        << static_cast<int>(c.state) << " started " << c.started << " ended " << c.ended;
  }
}

}  // namespace
}  // namespace kit::printapp
