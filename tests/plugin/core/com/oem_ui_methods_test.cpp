// The plug-in object's methods as the host calls them: results, out-values
// and the thread's last error.
#include <cstring>
#include <memory>
#include <vector>

#include "tests/plugin/core/com/fake_driver.h"
#include "tests/plugin/core/com/plugin_fixture.h"
#include "plugin/core/com/module_state.h"
#include "plugin/core/com/oem_ui_core.h"
#include "plugin/core/devmode/private_devmode.h"

namespace kit::plugin::com::testing {
namespace {

using GetInfoTest = PluginTest;

TEST_F(GetInfoTest, WritesSignatureAndVersion) {
  DWORD value = 0, needed = 0;
  EXPECT_EQ(V().GetInfo(ui_, OEMGI_GETSIGNATURE, &value, sizeof value, &needed), kSOk);
  EXPECT_EQ(value, 0x56513430u);
  EXPECT_EQ(needed, 4u);
  unsigned char bytes[4];
  std::memcpy(bytes, &value, 4);
  EXPECT_EQ(bytes[3], 'V');  // "VQ40", most significant byte first
  EXPECT_EQ(bytes[0], '0');

  // An unaligned, larger buffer works as well.
  unsigned char buffer[9] = {};
  EXPECT_EQ(V().GetInfo(ui_, OEMGI_GETVERSION, buffer + 1, 8, &needed), kSOk);
  std::memcpy(&value, buffer + 1, 4);
  EXPECT_EQ(value, 1u);
  EXPECT_EQ(buffer[5], 0);
}

TEST_F(GetInfoTest, RefusesOtherModesAndAMissingSizePointer) {
  DWORD value = 0x77, needed = 0x55;
  EXPECT_EQ(V().GetInfo(ui_, OEMGI_GETINTERFACEVERSION, &value, 4, &needed), kEFail);
  EXPECT_EQ(GetThreadLastError(), 87u);
  EXPECT_EQ(needed, 0x55u);
  for (DWORD mode : {0u, 5u, 0xFFFFFFFFu}) {
    SetThreadLastError(kSentinelError);
    EXPECT_EQ(V().GetInfo(ui_, mode, &value, 4, &needed), kEFail);
    EXPECT_EQ(GetThreadLastError(), 87u);
  }
  SetThreadLastError(kSentinelError);
  EXPECT_EQ(V().GetInfo(ui_, OEMGI_GETSIGNATURE, &value, 4, nullptr), kEFail);
  EXPECT_EQ(GetThreadLastError(), 87u);
  EXPECT_EQ(value, 0x77u);
}

TEST_F(GetInfoTest, ReportsTheSizeBeforeRefusingAShortBuffer) {
  DWORD value = 0x77, needed = 0;
  EXPECT_EQ(V().GetInfo(ui_, OEMGI_GETSIGNATURE, &value, 3, &needed), kEFail);
  EXPECT_EQ(GetThreadLastError(), 122u);
  EXPECT_EQ(needed, 4u);
  EXPECT_EQ(value, 0x77u);
  needed = 0;
  SetThreadLastError(kSentinelError);
  EXPECT_EQ(V().GetInfo(ui_, OEMGI_GETVERSION, nullptr, 4, &needed), kEFail);
  EXPECT_EQ(GetThreadLastError(), 122u);
  EXPECT_EQ(needed, 4u);
  // Publisher info: a short buffer is refused like the others...
  needed = 0;
  EXPECT_EQ(V().GetInfo(ui_, OEMGI_GETPUBLISHERINFO, &value, 0, &needed), kEFail);
  EXPECT_EQ(GetThreadLastError(), 122u);
  EXPECT_EQ(needed, 4u);
  // ...and with room it is declined as not supported, needing nothing.
  EXPECT_EQ(V().GetInfo(ui_, OEMGI_GETPUBLISHERINFO, &value, 4, &needed), kEFail);
  EXPECT_EQ(GetThreadLastError(), 50u);
  EXPECT_EQ(needed, 0u);
  EXPECT_EQ(value, 0x77u);
}

using QueryColorProfileTest = PluginTest;

TEST_F(QueryColorProfileTest, NeedsThirtyTwoBytes) {
  std::vector<unsigned char> buffer(40, 0xAA);
  ULONG size = 31, flags = 0x99;
  EXPECT_EQ(V().QueryColorProfile(ui_, nullptr, nullptr, nullptr, nullptr, 0, buffer.data(), &size, &flags), kEFail);
  EXPECT_EQ(GetThreadLastError(), 122u);
  EXPECT_EQ(size, 32u);
  EXPECT_EQ(flags, 0x99u);
  EXPECT_EQ(buffer[0], 0xAA);

  size = 0;
  SetThreadLastError(kSentinelError);
  EXPECT_EQ(V().QueryColorProfile(ui_, nullptr, nullptr, nullptr, nullptr, 0, nullptr, &size, &flags), kEFail);
  EXPECT_EQ(GetThreadLastError(), 122u);
  EXPECT_EQ(size, 32u);

  size = 32;
  EXPECT_EQ(V().QueryColorProfile(ui_, nullptr, nullptr, nullptr, nullptr, 0, buffer.data(), &size, &flags), kSOk);
  EXPECT_EQ(size, 32u);
  EXPECT_EQ(flags, 2u);
  std::u16string name(reinterpret_cast<const char16_t*>(buffer.data()));  // buffer is suitably aligned
  EXPECT_EQ(name, u"OEMPROFILE.icm");
  EXPECT_EQ(buffer[30], 0xAA);  // 15 characters with the terminator: nothing written beyond
}

TEST_F(QueryColorProfileTest, AnswersOnlyTheDeviceProfileAndChecksItsPointers) {
  unsigned char buffer[64];
  ULONG size = 64, flags = 0;
  EXPECT_EQ(V().QueryColorProfile(ui_, nullptr, nullptr, nullptr, nullptr, 1, buffer, &size, &flags), kEFail);
  EXPECT_EQ(GetThreadLastError(), kSentinelError);  // refused at once, without a last error
  EXPECT_EQ(size, 64u);
  EXPECT_EQ(V().QueryColorProfile(ui_, nullptr, nullptr, nullptr, nullptr, 0, buffer, nullptr, &flags), kEFail);
  EXPECT_EQ(GetThreadLastError(), 87u);
  SetThreadLastError(kSentinelError);
  EXPECT_EQ(V().QueryColorProfile(ui_, nullptr, nullptr, nullptr, nullptr, 0, buffer, &size, nullptr), kEFail);
  EXPECT_EQ(GetThreadLastError(), 87u);
}

using CommonUIPropTest = PluginTest;

TEST_F(CommonUIPropTest, StoresTheParameterForBothSheets) {
  OEMCUIPPARAM param{};
  param.cOEMOptItems = 9;
  EXPECT_EQ(V().CommonUIProp(ui_, OEMCUIP_DOCPROP, &param), kSOk);
  EXPECT_EQ(param.cOEMOptItems, 9u);  // the document case touches nothing
  OemUiObject* object = ObjectOf(ui_);
  EXPECT_EQ(object->device_sheet.pOemCUIPParam, &param);
  EXPECT_EQ(object->document_sheet.pOemCUIPParam, &param);

  OEMCUIPPARAM printer{};
  printer.cOEMOptItems = 9;
  EXPECT_EQ(V().CommonUIProp(ui_, OEMCUIP_PRNPROP, &printer), kSOk);
  EXPECT_EQ(printer.cOEMOptItems, 0u);  // no items of the plug-in's own
  EXPECT_EQ(object->document_sheet.pOemCUIPParam, &printer);

  OPTITEM items[2]{};
  printer.pOEMOptItems = items;
  printer.cOEMOptItems = 2;
  EXPECT_EQ(V().CommonUIProp(ui_, OEMCUIP_PRNPROP, &printer), kSOk);
  EXPECT_EQ(printer.cOEMOptItems, 2u);
}

TEST_F(CommonUIPropTest, RefusesOtherModesAndANullParameter) {
  OEMCUIPPARAM param{};
  EXPECT_EQ(V().CommonUIProp(ui_, 3, &param), kEFail);
  EXPECT_EQ(GetThreadLastError(), 87u);
  SetThreadLastError(kSentinelError);
  EXPECT_EQ(V().CommonUIProp(ui_, 0, &param), kEFail);
  EXPECT_EQ(GetThreadLastError(), 87u);
  SetThreadLastError(kSentinelError);
  EXPECT_EQ(V().CommonUIProp(ui_, OEMCUIP_PRNPROP, nullptr), kEFail);
  EXPECT_EQ(GetThreadLastError(), 87u);
  EXPECT_EQ(ObjectOf(ui_)->device_sheet.pOemCUIPParam, &param);  // the last good one stays
}

using PublishDriverInterfaceTest = PluginTest;

TEST_F(PublishDriverInterfaceTest, KeepsTheFirstDriverAndGivesItBackAtTheEnd) {
  FakeDriver first, second;
  EXPECT_EQ(V().PublishDriverInterface(ui_, first.Unknown()), kSOk);
  EXPECT_EQ(first.refs, 2u);
  EXPECT_EQ(ObjectOf(ui_)->driver, &first);
  EXPECT_EQ(V().PublishDriverInterface(ui_, second.Unknown()), kSOk);
  EXPECT_EQ(second.refs, 1u);
  EXPECT_EQ(ObjectOf(ui_)->driver, &first);
  EXPECT_EQ(V().Release(AsUnknown(ui_)), 0u);
  ui_ = nullptr;
  EXPECT_EQ(first.refs, 1u);
}

TEST_F(PublishDriverInterfaceTest, FailsWhenTheHostHasNoDriverInterface) {
  FakeDriver refusing;
  refusing.refuse_query = true;
  EXPECT_EQ(V().PublishDriverInterface(ui_, refusing.Unknown()), kEFail);
  EXPECT_EQ(ObjectOf(ui_)->driver, nullptr);
  EXPECT_EQ(V().PublishDriverInterface(ui_, nullptr), kEFail);
  EXPECT_EQ(GetThreadLastError(), 87u);
  // A later, willing host still gets through.
  FakeDriver willing;
  EXPECT_EQ(V().PublishDriverInterface(ui_, willing.Unknown()), kSOk);
  EXPECT_EQ(ObjectOf(ui_)->driver, &willing);
  EXPECT_EQ(V().Release(AsUnknown(ui_)), 0u);
  ui_ = nullptr;
  EXPECT_EQ(willing.refs, 1u);
}

using DevModeTest = PluginTest;

TEST_F(DevModeTest, ReportsTheRecordSize) {
  OEMDMPARAM param{};
  EXPECT_EQ(V().DevMode(ui_, OEMDM_SIZE, &param), kSOk);
  EXPECT_EQ(param.cbBufSize, 1976u);
}

TEST_F(DevModeTest, RefusesUnknownModesAndLeavesBothRecordsUntouched) {
  std::vector<unsigned char> in(1976, 0x11), out(1976, 0x22);
  OEMDMPARAM param{};
  param.pOEMDMIn = in.data();
  param.pOEMDMOut = out.data();
  param.cbBufSize = 1976;
  for (DWORD mode : {0u, 5u, 0x80000001u}) {
    SetThreadLastError(kSentinelError);
    EXPECT_EQ(V().DevMode(ui_, mode, &param), kEFail);
    EXPECT_EQ(GetThreadLastError(), 87u);
  }
  EXPECT_EQ(in, std::vector<unsigned char>(1976, 0x11));
  EXPECT_EQ(out, std::vector<unsigned char>(1976, 0x22));
  EXPECT_EQ(param.cbBufSize, 1976u);
  SetThreadLastError(kSentinelError);
  EXPECT_EQ(V().DevMode(ui_, OEMDM_SIZE, nullptr), kEFail);
  EXPECT_EQ(GetThreadLastError(), 87u);
}

using DeclinedMethodsTest = PluginTest;

TEST_F(DeclinedMethodsTest, AnswerNotImplementedAndSetNoError) {
  DWORD result = 0x33;
  EXPECT_EQ(V().DevQueryPrintEx(ui_, nullptr, nullptr, nullptr, nullptr), kENotImpl);
  EXPECT_EQ(V().DeviceCapabilities(ui_, nullptr, nullptr, nullptr, 1, nullptr, nullptr, nullptr, 0, &result),
            kENotImpl);
  EXPECT_EQ(V().UpgradePrinter(ui_, 1, nullptr), kENotImpl);
  EXPECT_EQ(V().PrinterEvent(ui_, nullptr, 1, 0, 0), kENotImpl);
  EXPECT_EQ(V().DriverEvent(ui_, 1, 1, nullptr, 0), kENotImpl);
  EXPECT_EQ(V().FontInstallerDlgProc(ui_, nullptr, 0, 0, 0), kENotImpl);
  EXPECT_EQ(V().UpdateExternalFonts(ui_, nullptr, nullptr, nullptr), kENotImpl);
  EXPECT_EQ(result, 0x33u);
  EXPECT_EQ(GetThreadLastError(), kSentinelError);
}

// Sheet handlers installed by the sheet-hosting unit receive the object's
// contexts with the driver interface copied in.
DocumentSheetContext* g_seen_document = nullptr;
DeviceSheetContext* g_seen_device = nullptr;
LPARAM g_seen_lparam = 0;

HRESULT RecordDocument(PROPSHEETUI_INFO*, LPARAM lParam, DocumentSheetContext& context) {
  g_seen_document = &context;
  g_seen_lparam = lParam;
  return kSOk;
}
HRESULT RecordDevice(PROPSHEETUI_INFO*, LPARAM lParam, DeviceSheetContext& context) {
  g_seen_device = &context;
  g_seen_lparam = lParam;
  return kSFalse;
}

using SheetMethodsTest = PluginTest;

TEST_F(SheetMethodsTest, RunTheInstalledHandlersWithTheObjectsContexts) {
  PROPSHEETUI_INFO info{};
  EXPECT_EQ(V().DocumentPropertySheets(ui_, &info, 5), kENotImpl);  // no pages without the sheet unit

  FakeDriver driver;
  ASSERT_EQ(V().PublishDriverInterface(ui_, driver.Unknown()), kSOk);
  SetSheetHandlers(RecordDocument, RecordDevice);
  EXPECT_EQ(V().DocumentPropertySheets(ui_, &info, 5), kSOk);
  EXPECT_EQ(g_seen_document, &ObjectOf(ui_)->document_sheet);
  EXPECT_EQ(g_seen_document->pDriver, &driver);
  EXPECT_EQ(g_seen_lparam, 5);
  EXPECT_EQ(V().DevicePropertySheets(ui_, &info, 6), kSFalse);
  EXPECT_EQ(g_seen_device, &ObjectOf(ui_)->device_sheet);
  EXPECT_EQ(g_seen_device->pDriver, &driver);
  EXPECT_EQ(g_seen_lparam, 6);
  SetSheetHandlers(nullptr, nullptr);
  // The object gives the driver back while it still exists.
  EXPECT_EQ(V().Release(AsUnknown(ui_)), 0u);
  ui_ = nullptr;
  EXPECT_EQ(driver.refs, 1u);
}

}  // namespace
}  // namespace kit::plugin::com::testing

namespace kit::plugin::com::testing {
namespace {

// DevMode hands the records to the record codec; these tests check what the
// COM side adds: the host's buffer sizes and pointers.
class DevModeRecordTest : public PluginTest {
 protected:
  void SetUp() override {
    PluginTest::SetUp();
    SetSystemDirectory(u"D:\\WINNT\\system32");
  }
  void TearDown() override {
    SetSystemDirectory(u"C:\\Windows\\system32");
    PluginTest::TearDown();
  }
  static std::vector<std::uint8_t> Defaults() {
    std::vector<std::uint8_t> bytes(kPrivateDevModeSize);
    WriteDefaults(PrivateDevModeSpan(bytes.data(), kPrivateDevModeSize), u"D:\\WINNT\\system32");
    return bytes;
  }
};

TEST_F(DevModeRecordTest, DefaultsUseTheSystemDirectoryOfTheModule) {
  std::vector<std::uint8_t> out(kPrivateDevModeSize, 0xEE);
  OEMDMPARAM param{};
  param.pOEMDMOut = out.data();
  param.cbBufSize = kPrivateDevModeSize;
  EXPECT_EQ(V().DevMode(ui_, OEMDM_DEFAULT, &param), kSOk);
  EXPECT_EQ(out, Defaults());
  const PrivateDevMode record = Decode(ConstPrivateDevModeSpan(out.data(), kPrivateDevModeSize));
  EXPECT_EQ(TextOf(record.LogDirectory), u"D:\\KVRODriverlog\\VRT-Q40");
}

TEST_F(DevModeRecordTest, ConvertAndValidateReadNoMoreThanTheRecord) {
  // A foreign record becomes the defaults.
  std::vector<std::uint8_t> in(kPrivateDevModeSize, 0x5A), out(kPrivateDevModeSize, 0);
  OEMDMPARAM param{};
  param.pOEMDMIn = in.data();
  param.pOEMDMOut = out.data();
  param.cbBufSize = kPrivateDevModeSize;
  EXPECT_EQ(V().DevMode(ui_, OEMDM_CONVERT, &param), kSOk);
  EXPECT_EQ(out, Defaults());

  // An own record announcing far more than it holds: exactly the record is
  // read (the sanitizers watch the heap block end), with Reserved repaired.
  auto own = std::make_unique<std::uint8_t[]>(kPrivateDevModeSize);
  std::memcpy(own.get(), Defaults().data(), kPrivateDevModeSize);
  const std::uint32_t huge = 0xFFFFFFFF;
  const std::int32_t reserved = 101;
  std::memcpy(own.get() + kOffsetSize, &huge, 4);
  std::memcpy(own.get() + kOffsetReserved, &reserved, 4);
  own[kOffsetZoomPercent] = 42;
  param.pOEMDMIn = own.get();
  EXPECT_EQ(V().DevMode(ui_, OEMDM_VALIDATE, &param), kSOk);
  const PrivateDevMode record = Decode(ConstPrivateDevModeSpan(out.data(), kPrivateDevModeSize));
  EXPECT_EQ(record.dwSize, kPrivateDevModeSize);
  EXPECT_EQ(record.Reserved, 0);
  EXPECT_EQ(record.ZoomPercent, 42);
}

TEST_F(DevModeRecordTest, AShortHostBufferIsRefusedUntouched) {
  std::vector<std::uint8_t> in(kPrivateDevModeSize, 0x5A), out(kPrivateDevModeSize, 0x22);
  OEMDMPARAM param{};
  param.pOEMDMIn = in.data();
  param.pOEMDMOut = out.data();
  param.cbBufSize = kPrivateDevModeSize - 1;
  for (DWORD mode : {OEMDM_DEFAULT, OEMDM_CONVERT, OEMDM_VALIDATE}) {
    SetThreadLastError(kSentinelError);
    EXPECT_EQ(V().DevMode(ui_, mode, &param), kEFail);
    EXPECT_EQ(GetThreadLastError(), 122u);
  }
  EXPECT_EQ(out, std::vector<std::uint8_t>(kPrivateDevModeSize, 0x22));
}

TEST_F(DevModeRecordTest, MissingRecordsLeaveEverythingAsItIs) {
  std::vector<std::uint8_t> out(kPrivateDevModeSize, 0x22);
  OEMDMPARAM param{};
  param.pOEMDMOut = out.data();
  param.cbBufSize = kPrivateDevModeSize;
  EXPECT_EQ(V().DevMode(ui_, OEMDM_CONVERT, &param), kSOk);
  EXPECT_EQ(out, std::vector<std::uint8_t>(kPrivateDevModeSize, 0x22));
  param.pOEMDMOut = nullptr;
  for (DWORD mode : {OEMDM_DEFAULT, OEMDM_CONVERT, OEMDM_VALIDATE}) {
    EXPECT_EQ(V().DevMode(ui_, mode, &param), kSOk) << mode;
  }
}

TEST_F(DevModeRecordTest, ValidateWithoutAnInputValidatesTheOutputInPlace) {
  OEMDMPARAM param{};
  param.cbBufSize = kPrivateDevModeSize;
  // A record of this plug-in: the header is stamped, Reserved repaired, and
  // every setting stays.
  std::vector<std::uint8_t> own = Defaults();
  const std::uint32_t old_version = 4;
  const std::int32_t reserved = 250;
  std::memcpy(own.data() + kOffsetVersion, &old_version, 4);
  std::memcpy(own.data() + kOffsetReserved, &reserved, 4);
  own[kOffsetZoomPercent] = 42;
  param.pOEMDMOut = own.data();
  EXPECT_EQ(V().DevMode(ui_, OEMDM_VALIDATE, &param), kSOk);
  std::vector<std::uint8_t> expected = Defaults();
  expected[kOffsetZoomPercent] = 42;
  EXPECT_EQ(own, expected);

  // Anything else in the host's buffer becomes the defaults.
  std::vector<std::uint8_t> foreign(kPrivateDevModeSize, 0x22);
  param.pOEMDMOut = foreign.data();
  EXPECT_EQ(V().DevMode(ui_, OEMDM_VALIDATE, &param), kSOk);
  EXPECT_EQ(foreign, Defaults());
}

}  // namespace
}  // namespace kit::plugin::com::testing
