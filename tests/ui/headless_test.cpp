// The headless host acts only where a person could, and keeps the page
// contract: notifications after the change, posted commands after the
// handler, timers on a virtual clock, scripted message boxes, nested modal
// dialogs, sheet notifications.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "tests/ui/conformance_page.h"
#include "ui/headless/dialog.h"
#include "ui/headless/sheet.h"

#include <algorithm>

namespace kit::ui::headless {
namespace {

using testing::ConformancePage;
namespace ids = kit::ui::testing;

struct Recorder : ConformancePage {
  std::vector<std::pair<int, Notify>> events;
  std::vector<bool> check_state_when_heard;
  bool OnCommand(Window& w, int id, Notify code) override {
    events.emplace_back(id, code);
    check_state_when_heard.push_back(w.IsChecked(ids::kCheck));
    return id == kIdCancel;  // Cancel is refused: the dialog stays
  }
};

struct HeadlessDialog : ::testing::Test {
  HeadlessDialog() { dialog.Create(); }
  Recorder page;
  Environment env;
  Dialog dialog{page, env};
};

TEST_F(HeadlessDialog, UnreachableControlsRefuseUserActions) {
  EXPECT_FALSE(dialog.Click(ids::kHiddenButton));
  EXPECT_FALSE(dialog.Click(ids::kDisabledButton));
  EXPECT_FALSE(dialog.Click(kIdOk)) << "the page disabled OK";
  EXPECT_FALSE(dialog.Type(ids::kReadOnlyEdit, u"x"));
  EXPECT_FALSE(dialog.Click(ids::kLabel)) << "hidden by the page";
  EXPECT_FALSE(dialog.Click(9999));
  EXPECT_TRUE(page.events.empty());
  EXPECT_FALSE(dialog.Ended());
}

TEST_F(HeadlessDialog, NotificationsComeAfterTheChange) {
  ASSERT_TRUE(dialog.Click(ids::kCheck));  // was checked by the page
  EXPECT_FALSE(dialog.IsChecked(ids::kCheck));
  ASSERT_EQ(page.events.size(), 1u);
  EXPECT_EQ(page.events[0], std::make_pair(int{ids::kCheck}, Notify::kClicked));
  EXPECT_FALSE(page.check_state_when_heard[0]);
  ASSERT_TRUE(dialog.Select(ids::kDropList, 0));
  EXPECT_EQ(dialog.Text(ids::kDropList), u"9600");
  EXPECT_EQ(page.events.back(), std::make_pair(int{ids::kDropList}, Notify::kSelChanged));
  EXPECT_FALSE(dialog.Select(ids::kDropList, 2)) << "no such item";
  EXPECT_TRUE(dialog.SelectText(ids::kSortedList, u"BANANA"));
  EXPECT_EQ(dialog.Selection(ids::kSortedList), 1);
}

TEST_F(HeadlessDialog, RadioButtonsOfAGroupExcludeEachOther) {
  ASSERT_TRUE(dialog.Click(ids::kRadio1));
  EXPECT_TRUE(dialog.IsChecked(ids::kRadio1));
  EXPECT_FALSE(dialog.IsChecked(ids::kRadio2));
}

TEST_F(HeadlessDialog, TypingKeepsTheLimitTheFilterAndDigitsOnly) {
  ASSERT_TRUE(dialog.Type(ids::kEdit, u"0123456789ABCDEF"));
  EXPECT_EQ(dialog.Text(ids::kEdit), u"0123456789") << "limit of 10";
  dialog.SetInputFilter(ids::kEdit, [](char16_t c) { return c != u'x'; });
  ASSERT_TRUE(dialog.Type(ids::kEdit, u"axbxc"));
  EXPECT_EQ(dialog.Text(ids::kEdit), u"abc");
  ASSERT_TRUE(dialog.Type(ids::kSpinEdit, u"1a2"));
  EXPECT_EQ(dialog.Text(ids::kSpinEdit), u"12");
  EXPECT_EQ(dialog.Position(ids::kSpin), 12) << "an up-down reads its buddy";
  ASSERT_TRUE(dialog.Type(ids::kSpinEdit, u"99"));
  EXPECT_EQ(dialog.Position(ids::kSpin), 7) << "out of range: the last position stays";
}

TEST_F(HeadlessDialog, IpAddressAcceptsOnlyFourFieldsUpTo255) {
  EXPECT_TRUE(dialog.Type(ids::kIp, u"10.0.0.1"));
  EXPECT_FALSE(dialog.Type(ids::kIp, u"10.0.0.256"));
  EXPECT_FALSE(dialog.Type(ids::kIp, u"10.0.0"));
  EXPECT_FALSE(dialog.Type(ids::kIp, u"10..0.1"));
  EXPECT_EQ(dialog.Text(ids::kIp), u"10.0.0.1");
}

TEST_F(HeadlessDialog, TrackbarAndSpinMovesAreClampedAndReported) {
  ASSERT_TRUE(dialog.MoveTo(ids::kTrackbar, -5));
  EXPECT_EQ(dialog.Position(ids::kTrackbar), 0);
  ASSERT_TRUE(dialog.MoveTo(ids::kSpin, 15));
  EXPECT_EQ(dialog.Text(ids::kSpinEdit), u"15");
  EXPECT_EQ(page.events.back(), std::make_pair(int{ids::kSpin}, Notify::kScrolled));
}

TEST_F(HeadlessDialog, ListViewCheckBoxesAndTreeSelection) {
  ASSERT_TRUE(dialog.CheckItem(ids::kListView, 0, false));
  EXPECT_FALSE(dialog.IsItemChecked(ids::kListView, 0));
  EXPECT_FALSE(dialog.CheckItem(ids::kListView, 3, true));
  EXPECT_TRUE(dialog.SelectTree(ids::kTree, 1));
  EXPECT_FALSE(dialog.SelectTree(ids::kTree, 3));
}

TEST_F(HeadlessDialog, LogListFitsItsWidestLineAndTheWindowMinimises) {
  dialog.AddItem(ids::kUnsortedList, u"a much longer log line");
  dialog.FitHorizontalExtent(ids::kUnsortedList);
  EXPECT_EQ(dialog.Find(ids::kUnsortedList)->horizontal_extent, 22);
  EXPECT_FALSE(dialog.Minimized());
  dialog.Minimize();
  EXPECT_TRUE(dialog.Minimized());
}

TEST_F(HeadlessDialog, CloseBoxSendsCancelWhichThePageMayRefuse) {
  dialog.Close();
  EXPECT_FALSE(dialog.Ended());
  EXPECT_EQ(page.events.back(), std::make_pair(int{kIdCancel}, Notify::kClicked));
}

// ---- a page with timers, posted commands, boxes and nested dialogs

struct Busy : Page {
  DialogTemplate t;
  std::vector<std::string> log;
  Page* nested = nullptr;
  int nested_result = 0;
  int box_answer = 0;
  Busy() {
    t.id = 1;
    t.caption = u"Busy";
    t.cx = 100;
    t.cy = 50;
    t.controls = {{10, ControlKind::kPushButton, u"&Go", {1, 1, 40, 14}},
                  {11, ControlKind::kPushButton, u"Ask", {45, 1, 40, 14}},
                  {12, ControlKind::kPicture, u"", {1, 20, 90, 25}}};
  }
  const DialogTemplate& Template() const override { return t; }
  bool OnCommand(Window& w, int id, Notify) override {
    if (id == 10) {
      w.PostCommand(20);
      log.push_back("go");
      w.SetTimer(1, 3);  // raised to 10 ms
      w.SetTimer(2, 50);
    }
    if (id == 20) log.push_back("posted");
    if (id == 11) box_answer = w.MessageBox(u"Remove it?", u"Question", kMbYesNo | kMbIconQuestion);
    if (id == 30 && nested != nullptr) nested_result = w.RunModal(*nested);
    return id == 10 || id == 11 || id == 20 || id == 30;
  }
  void OnTimer(Window& w, int id) override {
    log.push_back("timer " + std::to_string(id));
    if (id == 2) {
      w.KillTimer(1);
      w.KillTimer(2);
    }
  }
};

TEST(HeadlessBusy, PostedCommandsRunAfterTheHandler) {
  Busy page;
  Environment env;
  Dialog d(page, env);
  d.Create();
  ASSERT_TRUE(d.Click(10));
  EXPECT_THAT(page.log, ::testing::ElementsAre("go", "posted"));
}

TEST(HeadlessBusy, TimersRunOnTheVirtualClockWithTheSystemMinimum) {
  Busy page;
  Environment env;
  Dialog d(page, env);
  d.Create();
  d.Click(10);
  page.log.clear();
  env.Advance(9);
  EXPECT_TRUE(page.log.empty()) << "3 ms is raised to 10 ms";
  env.Advance(41);
  // Timer 1 fired at 10..50, timer 2 at 50 killed both.
  EXPECT_EQ(std::count(page.log.begin(), page.log.end(), "timer 1"), 5);
  EXPECT_EQ(page.log.back(), "timer 2");
  env.Advance(1000);
  EXPECT_EQ(page.log.size(), 6u);
  EXPECT_FALSE(d.HasTimer(1));
}

TEST(HeadlessBusy, MessageBoxesTakeQueuedAnswersAndAreRecorded) {
  Busy page;
  Environment env;
  Dialog d(page, env);
  d.Create();
  env.QueueAnswer(kIdNo);
  d.Click(11);
  EXPECT_EQ(page.box_answer, kIdNo);
  d.Click(11);  // nothing queued, no responder: the default button, counted
  EXPECT_EQ(page.box_answer, kIdYes);
  EXPECT_EQ(env.UnansweredBoxes(), 1);
  ASSERT_EQ(env.MessageBoxes().size(), 2u);
  EXPECT_EQ(env.MessageBoxes()[0].text, u"Remove it?");
  EXPECT_EQ(env.MessageBoxes()[0].caption, u"Question");
  EXPECT_EQ(env.MessageBoxes()[0].style, kMbYesNo | kMbIconQuestion);
  EXPECT_EQ(env.MessageBoxes()[0].answer, kIdNo);
}

TEST(HeadlessBusy, NestedModalDialogsAreDrivenAndGiveTheirResult) {
  Busy outer, inner;
  outer.nested = &inner;
  Environment env;
  env.modal_driver = [](Dialog& nested) { nested.EndDialog(42); };
  Dialog d(outer, env);
  d.Create();
  d.PostCommand(30);
  EXPECT_EQ(outer.nested_result, 42);
  env.modal_driver = nullptr;
  d.PostCommand(30);
  EXPECT_EQ(outer.nested_result, kIdCancel) << "without a driver the nested dialog is cancelled";
}

TEST(HeadlessBusy, FindByVisibleTextIgnoresCaseAndAccelerators) {
  Busy page;
  Environment env;
  Dialog d(page, env);
  d.Create();
  ASSERT_NE(d.FindByText(u"go"), nullptr);
  EXPECT_EQ(d.FindByText(u"go")->def.id, 10);
  EXPECT_EQ(d.FindByText(u"Stop"), nullptr);
}

// ---- property sheets

struct SheetPage : Page {
  DialogTemplate t;
  SheetReply kill = SheetReply::kAccept, apply = SheetReply::kAccept, cancel = SheetReply::kAccept;
  std::vector<SheetEvent> events;
  explicit SheetPage(int id) {
    t.id = id;
    t.kind = DialogKind::kChild;
    t.cx = 100;
    t.cy = 50;
    t.controls = {{1000, ControlKind::kCheckBox, u"Option", {1, 1, 60, 10}}};
  }
  const DialogTemplate& Template() const override { return t; }
  bool OnCommand(Window& w, int, Notify) override {
    w.SheetChanged();
    return true;
  }
  SheetReply OnSheet(Window&, SheetEvent e) override {
    events.push_back(e);
    if (e == SheetEvent::kKillActive) return kill;
    if (e == SheetEvent::kApply) return apply;
    if (e == SheetEvent::kQueryCancel) return cancel;
    return SheetReply::kAccept;
  }
};

TEST(HeadlessSheet, PagesAreCreatedWhenFirstShownAndKillActiveCanKeepThePage) {
  SheetPage a(1), b(2);
  Environment env;
  Sheet sheet(u"Properties", env);
  sheet.AddPage(a, u"Main");
  sheet.AddPage(b, u"Version");
  sheet.Open();
  EXPECT_EQ(sheet.PageAt(1), nullptr);
  a.kill = SheetReply::kRefuse;
  EXPECT_FALSE(sheet.SelectTab(1));
  EXPECT_EQ(sheet.Current(), 0);
  a.kill = SheetReply::kAccept;
  EXPECT_TRUE(sheet.SelectTab(1));
  ASSERT_NE(sheet.PageAt(1), nullptr);
  EXPECT_THAT(b.events, ::testing::ElementsAre(SheetEvent::kSetActive));
}

TEST(HeadlessSheet, ChangesEnableApplyAndApplyReachesEveryCreatedPage) {
  SheetPage a(1), b(2), c(3);
  Environment env;
  Sheet sheet(u"Properties", env);
  sheet.AddPage(a, u"A");
  sheet.AddPage(b, u"B");
  sheet.AddPage(c, u"C");
  sheet.Open();
  sheet.SelectTab(1);
  ASSERT_TRUE(sheet.CurrentPage()->Click(1000));
  EXPECT_TRUE(sheet.Changed());
  b.apply = SheetReply::kRefuse;
  EXPECT_FALSE(sheet.Ok());
  EXPECT_FALSE(sheet.Closed());
  EXPECT_TRUE(sheet.Changed()) << "a refused Apply leaves it available";
  b.apply = SheetReply::kAccept;
  EXPECT_TRUE(sheet.Ok());
  EXPECT_TRUE(sheet.Closed());
  EXPECT_EQ(std::count(a.events.begin(), a.events.end(), SheetEvent::kApply), 2);
  EXPECT_TRUE(c.events.empty()) << "a page never shown gets no Apply";
}

TEST(HeadlessSheet, APageRelabelsTheTabsOfItsSheet) {
  SheetPage a(1), b(2);
  Environment env;
  Sheet sheet(u"Properties", env);
  sheet.AddPage(a, u"Main");
  sheet.AddPage(b, u"Version");
  sheet.Open();
  Window& page = *sheet.CurrentPage();
  EXPECT_EQ(page.SheetTabCount(), 2);
  page.SetSheetTabTitle(1, u"Versionen");
  page.SetSheetTabTitle(2, u"no such tab");
  EXPECT_EQ(sheet.TabTitle(1), u"Versionen");
  EXPECT_EQ(sheet.TabTitle(0), u"Main");
}

TEST(HeadlessSheet, QueryCancelMayKeepTheSheetOpen) {
  SheetPage a(1);
  Environment env;
  Sheet sheet(u"Properties", env);
  sheet.AddPage(a, u"A");
  sheet.Open();
  a.cancel = SheetReply::kRefuse;
  EXPECT_FALSE(sheet.Cancel());
  a.cancel = SheetReply::kAccept;
  EXPECT_TRUE(sheet.Cancel());
  EXPECT_TRUE(sheet.Closed());
}

}  // namespace
}  // namespace kit::ui::headless
