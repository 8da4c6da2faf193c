// The Utility page on a virtual machine with a printer: the "Custom Paper-"
// forms it lists, saves, resizes and deletes, the Delete button's rule, the
// message a standard user gets, and the self-test job.
#include <gtest/gtest.h>

#include "platform/sim/scratch_machine.h"
#include "platform/sim/stand_in_printer.h"
#include "plugin/core/utility/utility_page.h"
#include "ui/headless/dialog.h"

namespace kit::plugin::utility {
namespace {

using sim::Json;

class UtilityPageTest : public ::testing::Test {
 protected:
  void SetUp() override {
    std::string error;
    machine_ = sim::ScratchMachine::Create({}, &error);
    ASSERT_NE(machine_, nullptr) << error;
    ASSERT_TRUE(sim::AddStandInPrinter(machine_->machine(), u"VRT-Q40 Receipt", u"LPT1:", &error)) << error;
  }
  void TearDown() override {
    dialog_.reset();
    page_.reset();
  }

  void AddForm(const std::u16string& name, int width, int height) {
    PrinterHandle printer;
    ASSERT_TRUE(machine_->platform().spooler.OpenPrinter(u"VRT-Q40 Receipt", {}, &printer));
    ASSERT_TRUE(printer->AddForm(MakeForm(name, {width, height})));
  }
  std::optional<FormSize> SpoolerForm(const std::u16string& name) {
    PrinterHandle printer;
    EXPECT_TRUE(machine_->platform().spooler.OpenPrinter(u"VRT-Q40 Receipt", {}, &printer));
    const auto forms = ReadForms(*printer);
    const FormInfo1* form = forms ? FindForm(*forms, name) : nullptr;
    if (form == nullptr) return std::nullopt;
    EXPECT_EQ(form->flags, kFormUser);
    EXPECT_EQ(form->imageable_right, form->width);
    EXPECT_EQ(form->imageable_bottom, form->height);
    return SizeOf(*form);
  }
  void SetState(const std::function<void(Json&)>& change) {
    std::string message;
    machine_->machine().store().Update(
        [&](Json& s) {
          change(s);
          return true;
        },
        &message);
  }
  Json State() {
    Json s;
    std::string message;
    machine_->machine().store().Read(&s, &message);
    return s;
  }

  // Opens the page for the printer, with the host's handle or only its name.
  ui::headless::Dialog& Open(bool with_printer = true) {
    cuip_.pPrinterName = with_printer ? name_ : nullptr;
    device_.pOemCUIPParam = &cuip_;
    sheets::PagePlatform platform;
    platform.spooler = &machine_->platform().spooler;
    page_ = std::make_unique<UtilityPage>(sheets::PageContext::Device(device_, nullptr, platform));
    dialog_ = std::make_unique<ui::headless::Dialog>(*page_, env_);
    dialog_->Create();
    return *dialog_;
  }
  std::vector<std::u16string> Listed() {
    std::vector<std::u16string> items;
    for (int i = 0; i < dialog_->ItemCount(kFormListId); ++i) items.push_back(dialog_->ItemText(kFormListId, i));
    return items;
  }

  std::unique_ptr<sim::ScratchMachine> machine_;
  com::OEMCUIPPARAM cuip_{};
  com::DeviceSheetContext device_;
  char16_t name_[32] = u"VRT-Q40 Receipt";
  ui::headless::Environment env_;
  std::unique_ptr<UtilityPage> page_;
  std::unique_ptr<ui::headless::Dialog> dialog_;
};

TEST_F(UtilityPageTest, TheKitsFormComesFirstThenEveryNameHoldingThePrefixInSpoolerOrder) {
  AddForm(u"Custom Paper-B", 500, 1000);
  AddForm(u"My Custom Paper-X", 400, 3000);
  AddForm(u"Custom Paper-VQ40", 580, 2000);
  AddForm(u"custom paper-lower", 300, 300);  // the prefix as written, not without case
  ui::headless::Dialog& page = Open();
  EXPECT_EQ(Listed(), (std::vector<std::u16string>{u"Custom Paper-VQ40", u"Custom Paper-B", u"My Custom Paper-X"}));
  EXPECT_EQ(page.Selection(kFormListId), 0);
  EXPECT_EQ(page.Text(kFormNameEditId), u"VQ40");
  EXPECT_FALSE(page.IsEnabled(kDeleteButtonId));
  EXPECT_EQ(page.Text(kWidthEditId), u"580");
  EXPECT_EQ(page.Text(kHeightEditId), u"2000");
  EXPECT_EQ(page.Text(kWidthHintId), u"[ 287 - 558 (0.1mm) ]");
  EXPECT_EQ(page.Text(kHeightHintId), u"[ 225 - 40958 (0.1mm) ]");
  EXPECT_FALSE(page.IsVisible(kControlFontButtonId));
  EXPECT_EQ(sheets::PageWindow(sheets::PageSlot::kUtility), &page);

  ASSERT_TRUE(page.Select(kFormListId, 2));
  EXPECT_EQ(page.Text(kFormNameEditId), u"er-X");
  EXPECT_TRUE(page.IsEnabled(kDeleteButtonId));
  EXPECT_EQ(page.Text(kWidthEditId), u"400");
  EXPECT_EQ(page.Text(kHeightEditId), u"3000");
  EXPECT_EQ(page.Position(kHeightSpinId), 3000);

  // The page leaves its slot when it goes.
  dialog_.reset();
  page_.reset();
  EXPECT_EQ(sheets::PageWindow(sheets::PageSlot::kUtility), nullptr);
}

TEST_F(UtilityPageTest, WithoutTheKitsFormTheFirstEntryShowsItsOwnSize) {
  AddForm(u"Custom Paper-B", 500, 1000);
  ui::headless::Dialog& page = Open();
  EXPECT_EQ(page.Text(kFormNameEditId), u"B");
  EXPECT_TRUE(page.IsEnabled(kDeleteButtonId));
  EXPECT_EQ(page.Text(kWidthEditId), u"500");
  EXPECT_EQ(page.Text(kHeightEditId), u"1000");
}

TEST_F(UtilityPageTest, SaveClampsTheSizeAddsANewFormAndRewritesAnExistingOneWithoutCase) {
  AddForm(u"Custom Paper-A", 500, 1000);
  AddForm(u"Custom Paper-VQ40", 580, 2000);
  ui::headless::Dialog& page = Open();

  struct Case {
    const char16_t* name;
    const char16_t* width;
    const char16_t* height;
    const char16_t* shown_width;
    const char16_t* shown_height;
    const char16_t* form;
    FormSize stored;
  };
  const Case cases[] = {
      {u"N", u"600", u"100", u"558", u"225", u"Custom Paper-N", {558, 225}},
      {u"a", u"287", u"40958", u"287", u"40958", u"Custom Paper-A", {287, 40958}},  // rewrites A
      {u"VQ40", u"1", u"99999", u"287", u"40958", u"Custom Paper-VQ40", {287, 40958}},  // the kit's form resizes
      {u"", u"300", u"300", u"300", u"300", u"Custom Paper-", {300, 300}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(ToUtf8(c.form));
    ASSERT_TRUE(page.Type(kFormNameEditId, c.name));
    ASSERT_TRUE(page.Type(kWidthEditId, c.width));
    ASSERT_TRUE(page.Type(kHeightEditId, c.height));
    ASSERT_TRUE(page.Click(kSaveButtonId));
    EXPECT_EQ(page.Text(kWidthEditId), c.shown_width);
    EXPECT_EQ(page.Text(kHeightEditId), c.shown_height);
    const auto stored = SpoolerForm(c.form);
    ASSERT_TRUE(stored.has_value());
    EXPECT_EQ(stored->width, c.stored.width);
    EXPECT_EQ(stored->height, c.stored.height);
  }
  // Two new entries, each selected as it came; nothing added for A or VQ40.
  EXPECT_EQ(Listed(), (std::vector<std::u16string>{u"Custom Paper-VQ40", u"Custom Paper-A", u"Custom Paper-N",
                                                   u"Custom Paper-"}));
  EXPECT_EQ(page.Selection(kFormListId), 3);
  EXPECT_TRUE(page.IsEnabled(kDeleteButtonId));
  EXPECT_TRUE(env_.MessageBoxes().empty());
}

TEST_F(UtilityPageTest, AStandardUserIsToldTheSaveFailed) {
  AddForm(u"Custom Paper-A", 500, 1000);
  SetState([](Json& s) { s["system"]["admin"] = false; });
  ui::headless::Dialog& page = Open();
  for (const char16_t* name : {u"A", u"New"}) {
    ASSERT_TRUE(page.Type(kFormNameEditId, name));
    ASSERT_TRUE(page.Click(kSaveButtonId));
  }
  ASSERT_EQ(env_.MessageBoxes().size(), 2u);
  EXPECT_EQ(env_.MessageBoxes()[0].text, u"Set custom paper size failed!");
  EXPECT_EQ(env_.MessageBoxes()[0].caption, u"Error");
  EXPECT_EQ(env_.MessageBoxes()[0].style, ui::kMbIconError);
  EXPECT_EQ(Listed(), (std::vector<std::u16string>{u"Custom Paper-A"}));
  EXPECT_EQ(SpoolerForm(u"Custom Paper-A")->width, 500);
}

TEST_F(UtilityPageTest, DeleteSelectsTheEntryNowAtItsPlaceAndNeedsADeletableEntry) {
  AddForm(u"Custom Paper-VQ40", 580, 2000);
  AddForm(u"Custom Paper-B", 500, 1000);
  AddForm(u"Custom Paper-C", 400, 900);
  ui::headless::Dialog& page = Open();
  ASSERT_TRUE(page.Select(kFormListId, 2));
  ASSERT_TRUE(page.Click(kDeleteButtonId));
  EXPECT_FALSE(SpoolerForm(u"Custom Paper-C").has_value());
  EXPECT_EQ(Listed(), (std::vector<std::u16string>{u"Custom Paper-VQ40", u"Custom Paper-B"}));
  // The last entry went: the new last one is selected and shown.
  EXPECT_EQ(page.Selection(kFormListId), 1);
  EXPECT_EQ(page.Text(kFormNameEditId), u"B");
  EXPECT_EQ(page.Text(kWidthEditId), u"500");

  // A delete the spooler refuses keeps the entry.
  SetState([](Json& s) { s["faults"]["calls"].push_back({{"api", "DeleteForm"}, {"error", 5}, {"remaining", 1}}); });
  ASSERT_TRUE(page.Click(kDeleteButtonId));
  EXPECT_EQ(Listed().size(), 2u);
  ASSERT_TRUE(page.Click(kDeleteButtonId));
  EXPECT_EQ(Listed(), (std::vector<std::u16string>{u"Custom Paper-VQ40"}));
  EXPECT_EQ(page.Text(kFormNameEditId), u"VQ40");
  // The kit's form stays.
  EXPECT_FALSE(page.IsEnabled(kDeleteButtonId));
  EXPECT_FALSE(page.Click(kDeleteButtonId));
  EXPECT_TRUE(SpoolerForm(u"Custom Paper-VQ40").has_value());
}

TEST_F(UtilityPageTest, DeletingTheOnlyEntryLeavesNothingSelectedAndDeleteDisabled) {
  AddForm(u"Custom Paper-B", 500, 1000);
  ui::headless::Dialog& page = Open();
  ASSERT_TRUE(page.Click(kDeleteButtonId));
  EXPECT_TRUE(Listed().empty());
  EXPECT_EQ(page.Selection(kFormListId), -1);
  EXPECT_FALSE(page.IsEnabled(kDeleteButtonId));
  // Editing the name does not bring Delete back without an entry.
  ASSERT_TRUE(page.Type(kFormNameEditId, u"B"));
  EXPECT_FALSE(page.IsEnabled(kDeleteButtonId));
}

TEST_F(UtilityPageTest, WithoutAPrinterNothingIsListedAndNoCallIsMade) {
  AddForm(u"Custom Paper-B", 500, 1000);
  ui::headless::Dialog& page = Open(/*with_printer=*/false);
  EXPECT_TRUE(Listed().empty());
  EXPECT_FALSE(page.IsEnabled(kDeleteButtonId));
  ASSERT_TRUE(page.Type(kFormNameEditId, u"Z"));
  ASSERT_TRUE(page.Click(kSaveButtonId));
  ASSERT_TRUE(page.Click(kSelfTestButtonId));
  EXPECT_FALSE(SpoolerForm(u"Custom Paper-Z").has_value());
  EXPECT_TRUE(State()["spooler"]["jobs"].empty());
  EXPECT_TRUE(env_.MessageBoxes().empty());
}

TEST_F(UtilityPageTest, ALostEnumerationLeavesTheListEmptyAndSilent) {
  AddForm(u"Custom Paper-B", 500, 1000);
  SetState([](Json& s) { s["faults"]["calls"].push_back({{"api", "EnumForms"}, {"error", 5}}); });
  ui::headless::Dialog& page = Open();
  EXPECT_TRUE(Listed().empty());
  EXPECT_FALSE(page.IsEnabled(kDeleteButtonId));
  EXPECT_TRUE(env_.MessageBoxes().empty());
}

TEST_F(UtilityPageTest, SelfTestSendsOneJobOfFifteenBytesAndSaysNothing) {
  ui::headless::Dialog& page = Open();
  ASSERT_TRUE(page.Click(kSelfTestButtonId));
  const Json jobs = State()["spooler"]["jobs"];
  ASSERT_EQ(jobs.size(), 1u);
  EXPECT_EQ(jobs[0]["document"], "SELFTEST");
  EXPECT_EQ(jobs[0]["pieces"], Json::array({4, 7, 4}));
  // A spooler that refuses the job: still no message.
  SetState([](Json& s) { s["faults"]["calls"].push_back({{"api", "StartDocPrinter"}, {"error", 5}, {"remaining", 1}}); });
  ASSERT_TRUE(page.Click(kSelfTestButtonId));
  EXPECT_EQ(State()["spooler"]["jobs"].size(), 1u);
  EXPECT_TRUE(env_.MessageBoxes().empty());
}

}  // namespace
}  // namespace kit::plugin::utility
