// The console host: what a person reads, and scripts run to the end.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <sstream>

#include "tests/ui/conformance_page.h"
#include "ui/console/console.h"

namespace kit::ui::console {
namespace {

using ::testing::HasSubstr;
using ::testing::Not;
namespace ids = kit::ui::testing;

struct Asking : ids::ConformancePage {
  std::vector<int> answers;
  bool OnCommand(Window& w, int id, Notify code) override {
    if (id == ids::kCheck && code == Notify::kClicked) {
      answers.push_back(w.MessageBox(u"Really?\r\nSecond line", u"Warning", kMbYesNo | kMbDefButton2));
      return true;
    }
    return false;
  }
};

std::string RunScript(Page& page, const std::string& script, int* errors = nullptr, bool* ended = nullptr) {
  std::istringstream in(script);
  std::ostringstream out;
  headless::Environment env;
  Console console(in, out);
  console.Attach(env);
  headless::Dialog dialog(page, env);
  dialog.Create();
  const bool done = console.Run(dialog);
  if (errors != nullptr) *errors = console.Errors();
  if (ended != nullptr) *ended = done;
  return out.str();
}

TEST(ConsoleRender, ShowsCaptionAndVisibleControlsWithTheirState) {
  ids::ConformancePage page;
  headless::Environment env;
  headless::Dialog dialog(page, env);
  dialog.Create();
  const std::string text = Console::Render(dialog);
  EXPECT_THAT(text, HasSubstr("=== Changed caption  [dialog 900]"));
  EXPECT_THAT(text, HasSubstr("checkbox  113   [x] \"Check\""));
  EXPECT_THAT(text, HasSubstr("radio     115   (o) \"Two\""));
  EXPECT_THAT(text, HasSubstr("button    1     [OK] default  (disabled)"));
  EXPECT_THAT(text, Not(HasSubstr("> 19200"))) << "the page cleared the drop list";
}

TEST(ConsoleRender, ListsItemsWithSelectionAndCheckBoxes) {
  ids::ConformancePage page;
  headless::Environment env;
  headless::Dialog dialog(page, env);
  dialog.Create();
  const std::string text = Console::Render(dialog);
  EXPECT_THAT(text, HasSubstr("listview  109   1 item"));
  EXPECT_THAT(text, HasSubstr("[x] Monitor B"));
  EXPECT_THAT(text, Not(HasSubstr("Hidden"))) << "hidden controls are left out";
  EXPECT_THAT(text, Not(HasSubstr("\x1b"))) << "no terminal escapes";
}

// A disabled list or tree says so on its own line, never after its last item
// (where it would read as that item's state).
TEST(ConsoleRender, ADisabledListSaysSoOnItsOwnLine) {
  struct Disabling : ids::ConformancePage {
    void OnInit(Window& w) override {
      ids::ConformancePage::OnInit(w);
      for (int id : {ids::kSortedList, ids::kDropList, ids::kTree}) w.Enable(id, false);
    }
  } page;
  headless::Environment env;
  headless::Dialog dialog(page, env);
  dialog.Create();
  const std::string text = Console::Render(dialog);
  EXPECT_THAT(text, HasSubstr("  list      105   3 items  (disabled)\n            0     Apple\n")) << text;
  EXPECT_THAT(text, HasSubstr("  combo     107   \"\" 2 items  (disabled)\n            0     9600\n")) << text;
  EXPECT_THAT(text, HasSubstr("  tree      110   2 items  (disabled)\n            1     Fonts\n")) << text;
  // No item row carries a state.
  std::istringstream lines(text);
  std::string line;
  int disabled = 0;
  while (std::getline(lines, line)) {
    if (line.find("(disabled)") == std::string::npos) continue;
    ++disabled;
    EXPECT_NE(line.substr(0, 12), std::string(12, ' ')) << line;
  }
  EXPECT_EQ(disabled, 5) << text;  // the three above, OK and the disabled button
}

TEST(ConsoleScript, ActsByIdAndByTextAndRunsToTheEnd) {
  ids::ConformancePage page;
  int errors = -1;
  bool ended = false;
  const std::string out = RunScript(page,
                                    "# comment lines are skipped\n"
                                    "type 101 hello\n"
                                    "select 107 9600\n"
                                    "set 111 3\n"
                                    "tick 109 0\n"
                                    "click Cancel\n",
                                    &errors, &ended);
  EXPECT_EQ(errors, 0) << out;
  EXPECT_TRUE(ended);
  EXPECT_THAT(out, HasSubstr("> type 101 hello"));
  EXPECT_THAT(out, HasSubstr("edit      101   \"hello\""));
  EXPECT_THAT(out, HasSubstr("trackbar  111   3 (0..10)"));
  EXPECT_THAT(out, HasSubstr("=== dialog 900 closed: Cancel (2)"));
  EXPECT_THAT(out, Not(HasSubstr("comment")));
}

TEST(ConsoleScript, ReportsActionsThatCannotBeDone) {
  ids::ConformancePage page;
  int errors = 0;
  bool ended = true;
  const std::string out =
      RunScript(page, "click OK\nclick Nowhere\nfly away\nset 111 x\nwait 3600001\n", &errors, &ended);
  EXPECT_EQ(errors, 5) << out;
  EXPECT_FALSE(ended) << "the input ended first";
  EXPECT_THAT(out, HasSubstr("! control 1 cannot be clicked now"));
  EXPECT_THAT(out, HasSubstr("! no control \"Nowhere\" here"));
  EXPECT_THAT(out, HasSubstr("! unknown action \"fly\" (try help)"));
}

// A refused action says why: the control's state, or what an IP address
// control takes; a good address and the focus action go through.
TEST(ConsoleScript, SaysWhyAControlRefusesAnAction) {
  struct Row {
    std::string action;
    std::string error;  // empty: no error
  };
  const std::string ip = std::to_string(ids::kIp);
  const Row rows[] = {
      {"type " + ip + " 192.168.0.500",
       "! \"192.168.0.500\" is not an IP address: control " + ip +
           " takes four numbers from 0 to 255 with dots between, as 192.168.0.50"},
      {"type " + ip + " printer", "! \"printer\" is not an IP address: control " + ip},
      {"type " + ip + " 192.168.0.50", ""},
      {"type " + std::to_string(ids::kReadOnlyEdit) + " x",
       "! control " + std::to_string(ids::kReadOnlyEdit) + " cannot be typed into now (it is read-only)"},
      {"click Disabled", "! control " + std::to_string(ids::kDisabledButton) + " cannot be clicked now (it is disabled)"},
      {"focus " + std::to_string(ids::kLabel), "! control " + std::to_string(ids::kLabel) + " cannot be given the focus now"},
      {"focus Check", ""},
  };
  for (const Row& row : rows) {
    ids::ConformancePage page;
    int errors = -1;
    const std::string out = RunScript(page, row.action + "\n", &errors);
    EXPECT_EQ(errors, row.error.empty() ? 0 : 1) << row.action << "\n" << out;
    if (!row.error.empty()) {
      EXPECT_THAT(out, HasSubstr(row.error)) << row.action;
    }
  }
}

TEST(ConsoleScript, MessageBoxesAreShownAndAnsweredFromTheScript) {
  Asking page;
  int errors = -1;
  const std::string out = RunScript(page, "click Check\nanswer No\nclick 113\nMaybe\nyes\n", &errors);
  EXPECT_THAT(page.answers, ::testing::ElementsAre(kIdNo, kIdYes));
  EXPECT_EQ(errors, 1) << "\"Maybe\" is not a button";
  EXPECT_THAT(out, HasSubstr("--- message box: Warning\n  Really?\n  Second line\n  buttons: [Yes] [No]*"));
}

TEST(ConsoleScript, AMessageBoxLeftUnansweredIsDismissed) {
  Asking page;
  RunScript(page, "click Check\n");
  EXPECT_THAT(page.answers, ::testing::ElementsAre(kIdNo)) << "Yes/No cannot be cancelled: the default button";
}

TEST(ConsoleHelp, ListsTheActionsAndTheProgramsOwn) {
  std::istringstream in("help\n");
  std::ostringstream out;
  Console console(in, out);
  console.AddCommand("worker", "done|fail: end the install worker", [](const std::string&) { return std::string(); });
  const std::string help = console.Help();
  for (const char* action : {"click", "type", "select", "check", "tick", "set", "focus", "wait", "answer", "tab", "quit"})
    EXPECT_THAT(help, HasSubstr(std::string("  ") + action)) << action;
  EXPECT_THAT(help, HasSubstr("worker"));
}

TEST(ConsoleSheet, ShowsTabsAndTakesSheetActions) {
  ids::ConformancePage first, second;
  headless::Environment env;
  headless::Sheet sheet(u"Printer properties", env);
  sheet.AddPage(first, u"Main");
  sheet.AddPage(second, u"Version");
  std::istringstream in("tab Version\nok\n");
  std::ostringstream out;
  Console console(in, out);
  EXPECT_TRUE(console.RunSheet(sheet));
  EXPECT_EQ(console.Errors(), 0) << out.str();
  EXPECT_THAT(out.str(), HasSubstr("tabs: 0*:Main 1:Version"));
  EXPECT_THAT(out.str(), HasSubstr("tabs: 0:Main 1*:Version"));
  EXPECT_THAT(out.str(), HasSubstr("=== property sheet closed"));
}

}  // namespace
}  // namespace kit::ui::console
