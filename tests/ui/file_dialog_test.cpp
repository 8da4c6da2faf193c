// The open-file dialog in the headless and console hosts, the trackbar's
// three notifications, and pictures drawn as characters in the console.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <sstream>

#include "tests/ui/conformance_page.h"
#include "ui/console/console.h"
#include "ui/console/picture_text.h"

namespace kit::ui::console {
namespace {

using ::testing::ElementsAre;
using ::testing::HasSubstr;
namespace ids = kit::ui::testing;

// Asks for a file when Check is clicked, and keeps every trackbar
// notification.
struct Chooser : ids::ConformancePage {
  std::vector<std::optional<std::u16string>> chosen;
  std::vector<Notify> trackbar;
  bool OnCommand(Window& w, int id, Notify code) override {
    if (id == ids::kTrackbar) trackbar.push_back(code);
    if (id != ids::kCheck || code != Notify::kClicked) return false;
    OpenFileRequest request;
    request.title = u"Open";
    request.filter = {{u"*.JK(Firmware)", u"*.JK"}, {u"*.EEP(EEPROM)", u"*.EEP"}};
    request.flags = 0x00202C06;
    request.path_capacity = 16;
    chosen.push_back(w.OpenFile(request));
    return true;
  }
};

TEST(OpenFileDialog, HeadlessAnswersFromTheQueueKeepsEachRequestAndRefusesWhatDoesNotFit) {
  Chooser page;
  headless::Environment env;
  headless::Dialog d(page, env);
  d.Create();
  env.QueueFile(u"C:\\fw\\a.jk");
  env.QueueFile(std::nullopt);
  env.QueueFile(u"C:\\a-long-name.jk");  // 16 characters: no room for the terminator
  for (int i = 0; i < 4; ++i) ASSERT_TRUE(d.Click(ids::kCheck));
  EXPECT_THAT(page.chosen, ElementsAre(std::optional<std::u16string>(u"C:\\fw\\a.jk"), std::nullopt, std::nullopt,
                                       std::nullopt));
  ASSERT_EQ(env.FileDialogs().size(), 4u);
  EXPECT_EQ(env.FileDialogs()[0].title, u"Open");
  EXPECT_EQ(env.FileDialogs()[0].filter[1].second, u"*.EEP");
  EXPECT_EQ(env.FileDialogs()[0].flags, 0x00202C06u);
}

TEST(OpenFileDialog, TheConsoleShowsTitleAndFilterAndTakesAFileOrCancel) {
  Chooser page;
  std::istringstream in("click Check\nfile C:\\fw\\b.jk\nclick Check\ncancel\nclick Check\nfolder C:\\\n");
  std::ostringstream out;
  headless::Environment env;
  Console console(in, out);
  console.Attach(env);
  headless::Dialog d(page, env);
  d.Create();
  console.Run(d);
  EXPECT_THAT(page.chosen, ElementsAre(std::optional<std::u16string>(u"C:\\fw\\b.jk"), std::nullopt, std::nullopt));
  EXPECT_THAT(out.str(), HasSubstr("--- open-file dialog: Open\n  type *.JK(Firmware)  (*.JK)\n  type *.EEP(EEPROM)  (*.EEP)\n"));
  EXPECT_THAT(out.str(), HasSubstr("! an open-file dialog takes \"file <path>\" or \"cancel\""));
  EXPECT_EQ(console.Errors(), 1);
}

TEST(Trackbar, ADragMovesEndsAndLetsGoWhileASpinOnlyMoves) {
  Chooser page;
  headless::Environment env;
  headless::Dialog d(page, env);
  d.Create();
  ASSERT_TRUE(d.MoveTo(ids::kTrackbar, 4));
  EXPECT_THAT(page.trackbar, ElementsAre(Notify::kScrolled, Notify::kScrollEnded, Notify::kCaptureReleased));
  d.SetTrackbarSteps(ids::kTrackbar, 20, 1);
  EXPECT_EQ(d.Find(ids::kTrackbar)->page_size, 20);
  EXPECT_EQ(d.Find(ids::kTrackbar)->line_size, 1);
}

TEST(PictureText, KeepsTheProportionsAndShowsDarkAsDense) {
  Bitmap b;
  b.width = 200;
  b.height = 50;
  b.pixels.assign(200 * 50, 0xFFFFFF);
  for (int y = 0; y < 50; ++y)
    for (int x = 0; x < 100; ++x) b.pixels[static_cast<std::size_t>(y) * 200 + x] = 0;  // left half black
  const auto lines = PictureText(b);
  ASSERT_EQ(lines.size(), 6u);  // 48 columns for 200 pixels: 50 pixels are 12 half-height rows
  for (const std::string& line : lines) EXPECT_EQ(line, std::string(24, '#') + std::string(24, ' '));
  EXPECT_TRUE(PictureText(Bitmap{}).empty());
  Bitmap tall;
  tall.width = 1;
  tall.height = 1000;
  tall.pixels.assign(1000, 0x808080);
  EXPECT_EQ(PictureText(tall).size(), static_cast<std::size_t>(kPictureRows));
}

}  // namespace
}  // namespace kit::ui::console
