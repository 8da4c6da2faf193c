// The wizard with printers plugged into the machine: the port page reads
// the printer's id, and Install matches it to the chosen port.
#include <gtest/gtest.h>

#include "platform/sim/store.h"
#include "tests/setup/wizard/wizard_fixture.h"

namespace kit::setup {
namespace {

using testing::PageOf;
using testing::SampleKit;
using testing::VisiblePage;
using testing::WizardRun;

void PlugPrinter(WizardRun& run, int release) {
  std::string error;
  run.machine().store().Update(
      [&](nlohmann::json& s) {
        auto& dev = s["devices"];
        const unsigned inst = dev.value("next_inst", 2u);
        dev["list"].push_back({{"inst", inst},
                               {"instance_id", "USB\\VID_7A5C&PID_1000\\" + std::to_string(inst)},
                               {"hardware_ids", {"USB\\VID_7A5C&PID_1000"}},
                               {"plugged", true},
                               {"usb", {{"vid", 0x7A5C}, {"pid", 0x1000}, {"release", release}, {"kvusb", true}}}});
        dev["next_inst"] = inst + 1;
        return true;
      },
      &error);
}

std::vector<int> Releases(WizardRun& run) {
  nlohmann::json s;
  std::string error;
  run.machine().store().Read(&s, &error);
  std::vector<int> out;
  for (const auto& d : s["devices"]["list"])
    if (d.contains("usb")) out.push_back(d["usb"].value("release", -1));
  return out;
}

testing::KitFiles KitWithUsbLibrary() {
  auto kit = SampleKit();
  kit.Set("KvUsbInt.dll", "stand-in");
  return kit;
}

void WalkToPorts(ui::headless::Dialog& f, bool advanced) {
  PageOf(f, kLegalPage).Click(kLegalAcceptId);
  f.Click(ui::kIdOk);
  auto& s = PageOf(f, kSeriesPage);
  s.Click(kSeriesRadioIds[0]);
  s.Select(kSeriesListIds[0], 0);
  f.Click(ui::kIdOk);
  if (advanced) PageOf(f, kModePage).Click(kModeAdvancedId);
  f.Click(ui::kIdOk);
  ASSERT_EQ(VisiblePage(f), kConfirmPage);
}

TEST(KitsetupUsb, TwoPrintersAreReportedOnThePortPageAndStopAdvancedInstallWithoutASecondText) {
  WizardRun run("win7-x64-en");
  run.platform_usb = true;
  PlugPrinter(run, 0);
  PlugPrinter(run, 1);
  run.Run(KitWithUsbLibrary(), [&](ui::headless::Dialog& f) {
    WalkToPorts(f, /*advanced=*/true);
    EXPECT_EQ(run.FrameMessages(), std::vector<std::u16string>{u"Connect one printer"});
    ASSERT_TRUE(PageOf(f, kConfirmPage).SelectText(kPortListId, u"USB_VRT-Q40_2"));
    f.Click(ui::kIdOk);
    // The id read at Install says so once more; nothing else follows.
    EXPECT_EQ(run.FrameMessages(), (std::vector<std::u16string>{u"Connect one printer", u"Connect one printer"}));
    EXPECT_FALSE(f.Ended());
    EXPECT_EQ(VisiblePage(f), kConfirmPage);
    f.Click(ui::kIdCancel);
  });
  EXPECT_EQ(Releases(run), (std::vector<int>{0, 1}));
}

TEST(KitsetupUsb, TypicalInstallRewritesTheIdAfterTheQuestion) {
  for (const bool yes : {true, false}) {
    WizardRun run("win7-x64-en");
    run.platform_usb = true;
    PlugPrinter(run, 2);
    run.env.QueueAnswer(yes ? ui::kIdYes : ui::kIdNo);
    run.Run(KitWithUsbLibrary(), [&](ui::headless::Dialog& f) {
      WalkToPorts(f, /*advanced=*/false);
      EXPECT_TRUE(run.FrameMessages().empty());
      f.Click(ui::kIdOk);
      ASSERT_FALSE(run.FrameMessages().empty());
      EXPECT_EQ(run.FrameMessages()[0], u"Change the id?");
      if (!f.Ended()) f.Click(ui::kIdCancel);
    });
    EXPECT_EQ(Releases(run), std::vector<int>{yes ? 0 : 2}) << yes;
  }
}

}  // namespace
}  // namespace kit::setup
