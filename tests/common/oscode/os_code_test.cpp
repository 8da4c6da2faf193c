#include "common/oscode/os_code.h"

#include <gtest/gtest.h>

#include <string>

namespace kit {
namespace {

constexpr std::uint8_t kWs = kProductWorkstation;
constexpr std::uint8_t kSrv = kProductServer;
constexpr std::uint8_t kDc = kProductDomainController;
constexpr std::uint16_t kX86 = kProcessorArchitectureIntel;
constexpr std::uint16_t kX64 = kProcessorArchitectureAmd64;
constexpr std::uint16_t kIa64 = kProcessorArchitectureIa64;

OsVersion Nt(std::uint32_t major, std::uint32_t minor, std::uint8_t type = kWs,
             std::uint16_t arch = kX86) {
  return OsVersion{kPlatformWin32Nt, major, minor, type, arch};
}
OsVersion Win9x(std::uint32_t minor) {
  return OsVersion{kPlatformWin32Windows, 4, minor, 0, kX86};
}

std::string Describe(const OsVersion& v) {
  return "platform " + std::to_string(v.platform_id) + " " + std::to_string(v.major) + "." +
         std::to_string(v.minor) + " type " + std::to_string(v.product_type) + " arch " +
         std::to_string(v.processor_architecture);
}

// One row per line of the setup wizard's and uninstaller's classification,
// with the uninstaller's section suffix beside the wizard's.
struct SharedRow {
  OsVersion version;
  int code;
  const char* setup_suffix;
  const char* uninstall_suffix;
};

const SharedRow kSharedRows[] = {
    {Win9x(0), 0, ".98", ".98"},                       // Windows 95
    {Win9x(10), 0, ".98", ".98"},                      // Windows 98
    {Win9x(90), 0, ".98", ".98"},                      // Windows Me
    {OsVersion{kPlatformWin32s, 3, 10, 0, kX86}, 0, ".98", ".98"},  // neither 9x nor NT
    {Nt(3, 51), 0, ".98", ".98"},                      // NT below 4
    {Nt(4, 0), 1, ".NT", ".NT"},
    {Nt(4, 1), 0, ".98", ".98"},
    {Nt(4, 90), 0, ".98", ".98"},
    {Nt(5, 0), 2, ".2K", ".2K"},
    {Nt(5, 0, kSrv), 2, ".2K", ".2K"},
    {Nt(5, 1), 3, ".XP", ".2K"},
    {Nt(5, 1, kWs, kX64), 3, ".XP", ".2K"},
    {Nt(5, 2, kWs, kX64), 3, ".XP", ".2K"},            // XP x64
    {Nt(5, 2, kSrv, kX64), 4, ".2003", ".2003"},       // Server 2003 x64
    {Nt(5, 2, kSrv, kX86), 4, ".2003", ".2003"},       // Server 2003
    {Nt(5, 2, kDc, kX64), 4, ".2003", ".2003"},        // a domain controller is a server
    {Nt(5, 2, kWs, kX86), 4, ".2003", ".2003"},        // workstation but not on AMD64
    {Nt(5, 2, kWs, kIa64), 4, ".2003", ".2003"},       // Itanium is not AMD64
    {Nt(5, 3), 0, ".98", ".98"},
    {Nt(5, 9, kSrv), 0, ".98", ".98"},
    {Nt(6, 0), 5, ".Vista", ".Vista"},
    {Nt(6, 0, kSrv, kX64), 6, ".2008", ".2008"},
    {Nt(6, 0, kDc), 6, ".2008", ".2008"},
    {Nt(6, 1, kWs, kX64), 7, ".Win7", ".Win7"},
    {Nt(6, 1, kSrv, kX64), 6, ".2008", ".2008"},       // 2008 R2
    {Nt(6, 2), 7, ".Win7", ".Win7"},                   // Windows 8, and 8.1 and later behind the shim
    {Nt(6, 2, kSrv, kX64), 7, ".Win7", ".Win7"},       // Server 2012
    {Nt(6, 3), 7, ".Win7", ".Win7"},
    {Nt(6, 3, kSrv), 7, ".Win7", ".Win7"},
    {Nt(6, 9), 7, ".Win7", ".Win7"},
    {Nt(7, 3), 7, ".Win7", ".Win7"},                   // major above 6, minor above 2
    {Nt(10, 0, kWs, kX64), 7, ".Win7", ".Win7"},       // Windows 10 read without the shim
    {Nt(10, 0, kSrv, kX64), 7, ".Win7", ".Win7"},
    {Nt(7, 2), 7, ".Win7", ".Win7"},
};

TEST(ClassifyOs, EveryRowOfTheTableWithItsSectionSuffixes) {
  for (const auto& row : kSharedRows) {
    const OsCode code = ClassifyOs(row.version);
    EXPECT_EQ(code, row.code) << Describe(row.version);
    EXPECT_EQ(SetupSectionSuffix(code), row.setup_suffix) << Describe(row.version);
    EXPECT_EQ(UninstallSectionSuffix(code), row.uninstall_suffix) << Describe(row.version);
  }
}

TEST(ClassifyOs, OnlyWin32sIsAnUnknownPlatform) {
  EXPECT_TRUE(IsKnownPlatform(Win9x(10)));
  EXPECT_TRUE(IsKnownPlatform(Nt(6, 1)));
  EXPECT_FALSE(IsKnownPlatform(OsVersion{kPlatformWin32s, 3, 10, 0, kX86}));
  EXPECT_FALSE(IsKnownPlatform(OsVersion{3, 6, 1, kWs, kX86}));
}

TEST(SectionSuffix, IsEmptyForACodeOutsideTheTable) {
  for (int code : {-1, 8, 9, 100}) {
    EXPECT_TRUE(SetupSectionSuffix(code).empty()) << code;
    EXPECT_TRUE(UninstallSectionSuffix(code).empty()) << code;
  }
}

TEST(InstallOsCode, AddsWindows8AndLaterToTheSharedCodes) {
  struct Row {
    OsVersion version;
    int code;
  };
  const Row rows[] = {
      {Win9x(10), 0},
      {Nt(4, 0), 1},
      {Nt(4, 1), 0},
      {Nt(5, 0), 2},
      {Nt(5, 1), 3},
      {Nt(5, 2, kWs, kX64), 3},
      {Nt(5, 2, kSrv, kX64), 4},
      {Nt(5, 3), 0},
      {Nt(6, 0), 5},
      {Nt(6, 0, kSrv), 6},
      {Nt(6, 1), 7},
      {Nt(6, 1, kSrv), 6},
      {Nt(6, 2), 8},                 // Windows 8, and every later Windows behind the shim
      {Nt(6, 2, kSrv, kX64), 8},     // Server 2012
      {Nt(6, 3), 9},                 // 8.1 reporting its own version
      {Nt(6, 3, kSrv), 9},
      {Nt(10, 0, kWs, kX64), 9},     // Windows 10 reporting its own version
      {Nt(7, 1), 9},
  };
  for (const auto& row : rows) {
    EXPECT_EQ(InstallOsCode(row.version), row.code) << Describe(row.version);
  }
}

TEST(ClassifyOsForPage, EveryRowOfThePageTable) {
  struct Row {
    OsVersion version;
    bool has_button;
    int display;
    int stored;
  };
  const Row rows[] = {
      {Win9x(10), true, 0, 0},            // 98: "Windows 98/Me"
      {Win9x(90), true, 0, 0},            // Me
      {Win9x(0), false, 0, 0},            // 95 has no button
      {OsVersion{kPlatformWin32s, 3, 10, 0, kX86}, false, 0, 0},
      {Nt(4, 0), true, 1, 1},             // "Windows NT"
      {Nt(4, 1), false, 0, 0},
      {Nt(3, 51), false, 0, 0},
      {Nt(5, 0), true, 2, 2},             // "Windows 2000"
      {Nt(5, 1), true, 3, 3},             // "Windows XP"
      {Nt(5, 2, kWs, kX64), true, 3, 3},  // XP x64
      {Nt(5, 2, kSrv, kX64), true, 4, 4}, // "Windows Server 2003 "
      {Nt(5, 2, kWs, kX86), true, 4, 4},
      {Nt(5, 3), false, 0, 0},
      {Nt(6, 0), true, 5, 5},             // "Windows Vista"
      {Nt(6, 0, kSrv), true, 6, 6},       // "Windows Server 2008"
      {Nt(6, 1, kSrv, kX64), true, 6, 6},
      {Nt(6, 1), true, 7, 7},             // "Windows 7"
      {Nt(6, 2), true, 8, 7},             // "Windows 8(Windows 8.1)": 8 and 8.1 behind the shim
      {Nt(6, 2, kSrv, kX64), true, 9, 7}, // "Windows Server 2012"
      {Nt(6, 2, kDc, kX64), true, 9, 7},
      {Nt(6, 3), true, 8, 7},
      {Nt(6, 3, kSrv), true, 8, 7},       // 6.3 and above within 6, whatever the edition
      {Nt(7, 3), true, 8, 7},             // major above 6, minor above 2
      {Nt(10, 0, kWs, kX64), true, 8, 7}, // Windows 10 read without the shim
  };
  for (const auto& row : rows) {
    const OsPageDisplay shown = ClassifyOsForPage(row.version);
    EXPECT_EQ(shown.has_button, row.has_button) << Describe(row.version);
    EXPECT_EQ(shown.display_code, row.display) << Describe(row.version);
    EXPECT_EQ(StoredOsCode(shown.display_code), row.stored) << Describe(row.version);
  }
}

TEST(ClassifyOsForPage, StoredCodeAgreesWithTheWizardsOwnDetection) {
  // The OS page's choice becomes the install's OS code; for every version it
  // must be the code the wizard's own detection gives.
  for (const auto& row : kSharedRows) {
    EXPECT_EQ(StoredOsCode(ClassifyOsForPage(row.version).display_code), ClassifyOs(row.version))
        << Describe(row.version);
  }
}

}  // namespace
}  // namespace kit
