// The cabinet walk on a stored (uncompressed) cabinet written byte by byte:
// members offered in order, only the chosen ones extracted, and a target
// path too long for the extraction buffer stopping the walk.
#include <gtest/gtest.h>

#include "platform/win32/win32_common.h"
#include "platform/win32/windows_platform.h"
#include "tests/read_limit.h"

namespace kit::win32 {
namespace {

void Put(Bytes& out, std::uint32_t value, int bytes) {
  for (int i = 0; i < bytes; ++i) out.push_back(static_cast<std::uint8_t>(value >> (8 * i)));
}

struct Member {
  std::string name;
  std::string content;
};

// One folder, no compression, one data block with every member's bytes.
Bytes StoredCabinet(const std::vector<Member>& members) {
  constexpr std::uint32_t kHeaderSize = 36, kFolderSize = 8, kFileFixedSize = 16, kDataHeaderSize = 8;
  std::uint32_t files_size = 0, data_size = 0;
  for (const auto& m : members) {
    files_size += kFileFixedSize + static_cast<std::uint32_t>(m.name.size()) + 1;
    data_size += static_cast<std::uint32_t>(m.content.size());
  }
  const std::uint32_t data_offset = kHeaderSize + kFolderSize + files_size;
  Bytes cab{'M', 'S', 'C', 'F'};
  Put(cab, 0, 4);
  Put(cab, data_offset + kDataHeaderSize + data_size, 4);  // cabinet size
  Put(cab, 0, 4);
  Put(cab, kHeaderSize + kFolderSize, 4);  // first file entry
  Put(cab, 0, 4);
  cab.push_back(3);  // version 1.3
  cab.push_back(1);
  Put(cab, 1, 2);  // folders
  Put(cab, static_cast<std::uint32_t>(members.size()), 2);
  Put(cab, 0, 2);  // flags
  Put(cab, 0x4B49, 2);  // set id
  Put(cab, 0, 2);       // cabinet index
  Put(cab, data_offset, 4);
  Put(cab, 1, 2);  // one data block
  Put(cab, 0, 2);  // stored
  std::uint32_t offset = 0;
  for (const auto& m : members) {
    Put(cab, static_cast<std::uint32_t>(m.content.size()), 4);
    Put(cab, offset, 4);
    Put(cab, 0, 2);                             // folder 0
    Put(cab, ((2024 - 1980) << 9) | (5 << 5) | 17, 2);  // date
    Put(cab, 0, 2);                             // time
    Put(cab, 0x20, 2);                          // archive
    cab.insert(cab.end(), m.name.begin(), m.name.end());
    cab.push_back(0);
    offset += static_cast<std::uint32_t>(m.content.size());
  }
  Put(cab, 0, 4);  // no checksum
  Put(cab, data_size, 2);
  Put(cab, data_size, 2);
  for (const auto& m : members) cab.insert(cab.end(), m.content.begin(), m.content.end());
  return cab;
}

class CabinetWin32 : public ::testing::Test {
 protected:
  void SetUp() override {
    system_ = MakeSystemFacts();
    files_ = MakeFiles();
    devices_ = MakeDevices();
    folder_ = system_->GetTempPath() + u"kit-cabinet-" + FromUtf8(std::to_string(::GetCurrentProcessId()));
    files_->CreateDirectory(folder_);
    cabinet_ = folder_ + u"\\drivers.cab";
    ASSERT_TRUE(files_->WriteFile(cabinet_, StoredCabinet({{"unidrv.dll", "UNIDRV"}, {"readme.txt", "skip me"},
                                                            {"stdnames.gpd", "NAMES"}}),
                                  WriteMode::kCreateAlways));
  }
  void TearDown() override {
    for (const char16_t* name : {u"\\drivers.cab", u"\\unidrv.dll", u"\\readme.txt", u"\\stdnames.gpd"}) {
      files_->DeleteFile(folder_ + name);
    }
    files_->RemoveDirectory(folder_);
  }
  std::string Read(const WString& path) {
    Bytes content;
    if (!files_->ReadFile(path, kTestReadLimit, &content)) return "<missing>";
    return std::string(content.begin(), content.end());
  }

  std::unique_ptr<SystemFacts> system_;
  std::unique_ptr<Files> files_;
  std::unique_ptr<Devices> devices_;
  WString folder_, cabinet_;
};

TEST_F(CabinetWin32, MembersAreOfferedInOrderAndOnlyChosenOnesExtracted) {
  std::vector<CabinetMember> offered;
  ASSERT_TRUE(devices_->SetupIterateCabinet(cabinet_, [&](const CabinetMember& m) -> std::optional<WString> {
    offered.push_back(m);
    if (m.name == u"readme.txt") return std::nullopt;
    return folder_ + u"\\" + m.name;
  })) << system_->GetLastError();
  ASSERT_EQ(offered.size(), 3u);
  EXPECT_EQ(offered[0].name, u"unidrv.dll");
  EXPECT_EQ(offered[0].size, 6u);
  EXPECT_EQ(offered[1].name, u"readme.txt");
  EXPECT_EQ(offered[2].name, u"stdnames.gpd");
  EXPECT_EQ(Read(folder_ + u"\\unidrv.dll"), "UNIDRV");
  EXPECT_EQ(Read(folder_ + u"\\stdnames.gpd"), "NAMES");
  EXPECT_EQ(files_->GetFileAttributes(folder_ + u"\\readme.txt"), kInvalidFileAttributes);
}

TEST_F(CabinetWin32, TargetTooLongForTheExtractionBufferStopsTheWalk) {
  int offers = 0;
  system_->SetLastError(0);
  EXPECT_FALSE(devices_->SetupIterateCabinet(cabinet_, [&](const CabinetMember&) -> std::optional<WString> {
    ++offers;
    return folder_ + u"\\" + WString(300, u'a') + u".dll";
  }));
  EXPECT_EQ(system_->GetLastError(), kErrorFilenameExcedRange);
  EXPECT_EQ(offers, 1);
  EXPECT_EQ(files_->GetFileAttributes(folder_ + u"\\unidrv.dll"), kInvalidFileAttributes);
}

}  // namespace
}  // namespace kit::win32
