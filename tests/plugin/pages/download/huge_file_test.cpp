// Files far larger than anything the Download page sends: a 1.5 GB sparse
// file whose bitmap header names a small or an oversized picture. Add reads
// its headers and what they can need, once; the preview repaints from those
// bytes; the file download refuses the file before taking any buffer. The
// process's peak resident size shows that the file was never read whole.
#include <gtest/gtest.h>
#include <sys/resource.h>

#include <filesystem>

#include "tests/plugin/pages/download/download_fixture.h"
#include "tests/print/logo/test_images.h"

namespace kit::plugin::download::testing {
namespace {

constexpr std::uint64_t kHugeFileBytes = 1536ull << 20;
// Far below the file, far above what the page may read of it.
constexpr long kMaxGrowthKib = 100 * 1024;

long PeakResidentKib() {
  rusage usage{};
  getrusage(RUSAGE_SELF, &usage);
  return usage.ru_maxrss;
}

class HugeFileTest : public DownloadPageTest {
 protected:
  // A 24-bit bitmap header of `width` x `height`, then holes up to 1.5 GB.
  WString PutHuge(const WString& name, int width, int height) {
    std::vector<std::uint8_t> head = logo::testing::Make24(1, 1, [](int, int) { return logo::testing::Bgr{}; });
    head.resize(54);
    for (int i = 0; i < 4; ++i) {
      head[18 + i] = static_cast<std::uint8_t>(width >> (8 * i));
      head[22 + i] = static_cast<std::uint8_t>(height >> (8 * i));
    }
    const WString path = Put(name, head);
    std::filesystem::resize_file(machine_->machine().HostPath(path), kHugeFileBytes);
    return path;
  }
};

TEST_F(HugeFileTest, AddThePreviewAndTheDownloadNeverReadTheWholeFile) {
  const long before = PeakResidentKib();
  Open();
  // The header alone refuses the picture.
  Add(PutHuge(u"big.bmp", 5000, 4000));
  EXPECT_EQ(Messages().back().substr(0, 37), u"The image is too big to be selected.\n");
  EXPECT_EQ(d().ItemCount(kLogoListId), 0);

  // A small picture is listed and drawn in both modes, repaint after repaint.
  const WString small = PutHuge(u"small.bmp", 100, 100);
  Add(small);
  ASSERT_EQ(d().ItemCount(kLogoListId), 1);
  ASSERT_TRUE(d().Select(kLogoListId, 0));
  for (const int radio : {kOriginalRadioId, kTransformRadioId}) {
    ASSERT_TRUE(d().Click(radio));
    for (int repaint = 0; repaint < 3; ++repaint) {
      d().Paint();
      EXPECT_EQ(d().Find(kPreviewFrameId)->bitmap.width, 100);
    }
  }

  // The file download refuses it with the memory message; nothing is sent.
  env_.QueueFile(small);
  ASSERT_TRUE(d().Click(kBrowseButtonId));
  ASSERT_TRUE(d().Click(kDownloadButtonId));
  EXPECT_EQ(Messages().back(), u"Failed to Alloc the required memory!");
  EXPECT_TRUE(Jobs().empty());
  EXPECT_LT(PeakResidentKib() - before, kMaxGrowthKib);
}

}  // namespace
}  // namespace kit::plugin::download::testing
