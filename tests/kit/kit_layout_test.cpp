// The USB part of the kit folder as the Linux build lays it out, on a fresh
// virtual machine: both USBDRV folders with the installer and its packages,
// the driver's version read from the placeholder's own resource under either
// spelling of the folder ("USBDRV", "USBDrv"), the stand-in libraries in the
// package folder, and class-printer INFs whose model descriptions are the
// [USBCLASSPRINTER] keys of every USB routing configuration.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "common/ini/profile_file.h"
#include "platform/profile_file_source.h"
#include "platform/sim/kit_folder.h"
#include "platform/sim/scratch_machine.h"
#include "tests/read_limit.h"

namespace kit {
namespace {

namespace fs = std::filesystem;

constexpr char16_t kKit[] = u"C:\\kit";

class KitLayoutTest : public ::testing::Test {
 protected:
  void SetUp() override {
    std::string error;
    machine_ = sim::ScratchMachine::Create({}, &error);
    ASSERT_NE(machine_, nullptr) << error;
    ASSERT_TRUE(sim::LayOutKitFolder(KIT_FOLDER, machine_->machine().HostPath(kKit), &error)) << error;
  }
  Platform& p() { return machine_->platform(); }
  bool Exists(const WString& path) { return p().files.GetFileAttributes(path) != kInvalidFileAttributes; }
  std::string Text(const WString& path) {
    Bytes bytes;
    p().files.ReadFile(path, kTestReadLimit, &bytes);
    return std::string(bytes.begin(), bytes.end());
  }

  std::unique_ptr<sim::ScratchMachine> machine_;
};

TEST_F(KitLayoutTest, BothDriverFoldersHoldTheInstallerAndItsPackages) {
  for (const char16_t* folder : {u"\\USBDRV\\USBDriver\\", u"\\USBDRV\\USBDriver_x64\\"}) {
    for (const char16_t* file : {u"Install.exe", u"KVPUSB.INF", u"KVPUSB.sys", u"kvsusb.inf", u"KVSUSB.sys",
                                 u"USBVCOM.INF", u"USBVCOM.SYS", u"XKVVCOM.INF", u"XKVVCOM.SYS"}) {
      EXPECT_TRUE(Exists(kKit + WString(folder) + file)) << ToUtf8(folder) << ToUtf8(file);
    }
  }
  EXPECT_TRUE(Exists(WString(kKit) + u"\\" + kKvUsbIntDll));
  EXPECT_TRUE(Exists(WString(kKit) + u"\\" + kUsbPrintDll));
}

TEST_F(KitLayoutTest, DriverVersionReadsAlikeUnderEitherSpellingOfTheFolder) {
  for (const char16_t* path : {u"C:\\kit\\USBDRV\\USBDriver\\KVPUSB.sys", u"C:\\kit\\USBDrv\\USBDriver\\KVPUSB.sys",
                               u"c:\\KIT\\usbdrv\\usbdriver_x64\\kvpusb.SYS"}) {
    FileVersionInfo info;
    ASSERT_TRUE(p().files.GetFileVersionInfo(path, &info)) << ToUtf8(path) << " " << p().system.GetLastError();
    ASSERT_FALSE(info.translations.empty());
    char key[9];
    std::snprintf(key, sizeof key, "%04x%04x", info.translations[0].language, info.translations[0].code_page);
    WString version;
    EXPECT_TRUE(info.QueryString(u"\\StringFileInfo\\" + FromUtf8(key) + u"\\FileVersion", &version));
    EXPECT_EQ(version, u"2.0.1.6");
    EXPECT_EQ(info.file_version, (std::array<std::uint16_t, 4>{2, 0, 1, 6}));
  }
  // The package's INF names the same version.
  EXPECT_NE(Text(u"C:\\kit\\USBDrv\\USBDriver\\KVPUSB.INF").find("DriverVer   = 06/01/2013,2.0.1.6"), std::string::npos);
}

TEST_F(KitLayoutTest, EveryClassPrinterKeyIsAModelOfTheClassInfs) {
  PlatformFileSource source(p().files);
  struct Configuration {
    fs::path file;
    std::uint32_t usb_mode;
    std::u16string inf_stem;
  };
  const fs::path modes = fs::path(KIT_SOURCE_DATA) / "usbmodes";
  const Configuration configurations[] = {{modes / "setup_usbmode0.ini", 0, u"Setup"},
                                          {modes / "setup_usbmode1.ini", 1, u"KVROCLS"},
                                          {modes / "setup_usbmode2.ini", 2, u"Setup"}};
  for (const auto& c : configurations) {
    std::ifstream in(c.file, std::ios::binary);
    const std::string content((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    ASSERT_FALSE(content.empty()) << c.file;
    const WString ini = u"C:\\config.ini";
    ASSERT_TRUE(p().files.WriteFile(ini, Bytes(content.begin(), content.end()), WriteMode::kCreateAlways));
    EXPECT_EQ(ini::ReadProfileInt(source, ini, u"DEVICENAME", u"SupportedUSBMODE", -1), c.usb_mode);
    const std::u16string stem = ini::ReadProfileString(source, ini, u"DEVICENAME", u"Inffilename", u"err", 200);
    const std::u16string expected_stem = c.inf_stem == u"Setup" ? u"err" : c.inf_stem;
    EXPECT_EQ(stem, expected_stem);
    for (const auto& [folder, bits] : {std::pair{u"W32", u"32"}, std::pair{u"W64", u"64"}}) {
      // "Setup.inf" for the default stem, in the kit; any other configuration's
      // INF waits beside that configuration until a kit switches to it.
      std::string text;
      if (c.inf_stem == u"Setup") {
        text = Text(WString(kKit) + u"\\" + folder + u"\\Setup.inf");
      } else {
        std::ifstream inf(modes / ToUtf8(folder) / (ToUtf8(c.inf_stem) + ToUtf8(bits) + ".inf"), std::ios::binary);
        text.assign(std::istreambuf_iterator<char>(inf), std::istreambuf_iterator<char>());
      }
      ASSERT_FALSE(text.empty()) << ToUtf8(folder) << " " << ToUtf8(c.inf_stem);
      int keys = 0;
      for (const char* model : {"VRT-Q40", "VRT-T80", "VRT-L50", "VRT-E20"}) {
        for (const char* suffix : {"(U)1", "(U)2", "(U)3", "(U)4", "(U)"}) {
          const std::string key = std::string(model) + suffix;
          const std::string id = ToUtf8(ini::ReadProfileString(source, ini, u"USBCLASSPRINTER", FromUtf8(key), u"ERR", 200));
          // The value is the device id without "USBPRINT\", which Install adds.
          EXPECT_EQ(id.rfind("USB", 0), std::string::npos) << key << "=" << id;
          EXPECT_NE(text.find("\"" + key + "\" = "), std::string::npos) << key;
          EXPECT_NE(text.find(", USBPRINT\\" + id + ","), std::string::npos) << key;
          ++keys;
        }
      }
      EXPECT_EQ(keys, 20);
      EXPECT_NE(text.find(bits == std::u16string(u"32") ? "[KVRO.NTx86]" : "[KVRO.NTamd64]"), std::string::npos);
    }
  }
}

}  // namespace
}  // namespace kit
