// This file is OS-independent.
#include "usbinstall/removal.h"

#include <array>
#include <span>

#include "common/codepage/codepage.h"
#include "common/exit_codes/exit_codes.h"
#include "common/ini/profile.h"
#include "platform/profile_file_source.h"
#include "platform/win32_errors.h"

namespace kit::usbinstall {
namespace {

constexpr std::string_view kStartLine = "uninstall the device drivers and delete application.\r\n";
constexpr std::string_view kFinishLine = "uninstall finish.....\r\n";
constexpr std::string_view kRemoveFailed = " CallClassInstaller(REMOVE) failed! ";

constexpr std::u16string_view kFamilyPrefixUpper = u"USB\\VID_7A5C&PID_";
constexpr std::u16string_view kFamilyPrefixMixed = u"USB\\Vid_7a5c&Pid_";
constexpr std::size_t kProductIdDigits = 4;
// The hardware-id property is read into a buffer of 1024 characters (the
// ANSI call's 1024 bytes); the wide call counts two bytes a character.
constexpr std::uint32_t kHardwareIdBufferBytes = 1024 * sizeof(char16_t);

constexpr std::string_view kUsbClass = "USB";
constexpr std::string_view kPortsClass = "Ports";
constexpr std::string_view kPrinterDisk = "KVRO Printer Driver";
constexpr std::string_view kScannerDisk = "KVRO Scanner and Printer Device Driver";
constexpr std::string_view kPortsMaker = "KVRO";

constexpr char16_t kInfFolder[] = u"\\inf\\";
constexpr char16_t kDriversFolder[] = u"\\Drivers\\";
constexpr char16_t kInfPattern[] = u"*.inf";

struct PackageFiles {
  std::span<const std::u16string_view> infs;
  std::span<const std::u16string_view> drivers;
};

constexpr std::array<std::u16string_view, 2> kPrinterInfs = {u"KVPUSB.INF", u"bulkusb.INF"};
constexpr std::array<std::u16string_view, 2> kPrinterSys = {u"KVPUSB.SYS", u"bulkusb.SYS"};
constexpr std::array<std::u16string_view, 2> kScannerInfs = {u"kvsusb.inf", u"bulkusb.INF"};
constexpr std::array<std::u16string_view, 2> kScannerSys = {u"KVSUSB.sys", u"bulkusb.SYS"};
constexpr std::array<std::u16string_view, 1> kUsbSerialInfs = {u"USBVCOM.INF"};
constexpr std::array<std::u16string_view, 1> kUsbSerialSys = {u"USBVCOM.SYS"};
constexpr std::array<std::u16string_view, 1> kNetworkSerialInfs = {u"XKVVCOM.INF"};
constexpr std::array<std::u16string_view, 1> kNetworkSerialSys = {u"XKVVCOM.SYS"};

PackageFiles FilesOf(ActionKind kind) {
  switch (kind) {
    case ActionKind::kRemoveUsbPrinter: return {kPrinterInfs, kPrinterSys};
    case ActionKind::kRemoveUsbScanner: return {kScannerInfs, kScannerSys};
    case ActionKind::kRemoveUsbSerial: return {kUsbSerialInfs, kUsbSerialSys};
    default: return {kNetworkSerialInfs, kNetworkSerialSys};
  }
}

bool UsesUsbClass(ActionKind kind) {
  return kind == ActionKind::kRemoveUsbPrinter || kind == ActionKind::kRemoveUsbScanner;
}

bool Contains(std::string_view text, std::string_view part) { return text.find(part) != std::string_view::npos; }

// Gives the file normal attributes and deletes it; false when it is still
// there (a missing file is no error).
bool DeleteQuietly(InstallerContext& context, WStringView path) {
  context.files.SetFileAttributes(path, kFileAttributeNormal);
  if (context.files.DeleteFile(path)) return true;
  const win32::Error error = context.system.GetLastError();
  return error == win32::kErrorFileNotFound || error == win32::kErrorPathNotFound;
}

bool DeleteInfWithTwin(InstallerContext& context, WStringView path) {
  const bool inf = DeleteQuietly(context, path);
  return DeleteQuietly(context, PnfTwinOf(path)) && inf;
}

// The first string of a multi-string property value in UTF-16LE bytes.
WString FirstString(const Bytes& value, std::uint32_t size) {
  WString text;
  for (std::size_t i = 0; i + 1 < value.size() && i + 1 < size; i += 2) {
    const char16_t c = static_cast<char16_t>(value[i] | (value[i + 1] << 8));
    if (c == 0) break;
    text.push_back(c);
  }
  return text;
}

// False when a family device of the action could not be removed.
bool RemoveDevices(InstallerContext& context, ActionKind kind) {
  const Guid& device_class = UsesUsbClass(kind) ? kGuidDevClassUsb : kGuidDevClassPorts;
  DeviceInfoSetHandle set = context.devices.SetupDiGetClassDevs(&device_class, u"", kDigcfPresent);
  if (!set) return true;  // no device of the class is present
  bool all_removed = true;
  DeviceInfoData device;
  for (std::uint32_t index = 0; set->SetupDiEnumDeviceInfo(index, &device); ++index) {
    Bytes value;
    std::uint32_t type = 0;
    std::uint32_t size = 0;
    if (!set->SetupDiGetDeviceRegistryProperty(device, kSpdrpHardwareId, &type, &value, kHardwareIdBufferBytes,
                                               &size)) {
      continue;
    }
    const auto product = FamilyProductId(FirstString(value, size));
    if (!product || !RemovesProduct(kind, *product)) continue;
    if (!set->SetupDiCallClassInstaller(kDifRemove, device)) {
      context.out << kRemoveFailed;
      all_removed = false;
    }
  }
  return all_removed;
}

// An INF in the Windows "inf" folder read through the platform's files.
class ProfileInfValues final : public InfValues {
 public:
  ProfileInfValues(std::string_view bytes, codepage::CodePage code_page) {
    ini::ProfileOptions options;
    options.ansi_code_page = code_page;
    options.utf8_without_bom = false;  // Windows reads a file without byte-order mark as ANSI
    profile_ = ini::Profile::Parse(bytes, options);
  }
  std::string Get(std::string_view section, std::string_view key) const override {
    return profile_.GetStringA(section, key, "", kInfValueCapacity);
  }

 private:
  ini::Profile profile_;
};

codepage::CodePage CodePageOf(SystemFacts& system) {
  switch (system.GetACP()) {
    case 936: return codepage::CodePage::kSimplifiedChinese;
    case 950: return codepage::CodePage::kTraditionalChinese;
    default: return codepage::CodePage::kWestern;
  }
}

// False when a family INF copy stays.
bool DeleteFamilyInfCopies(InstallerContext& context, ActionKind kind, WStringView inf_folder) {
  const FamilyInfSearch search = FindFamilyInfCopies(context.files, context.system, kind, inf_folder);
  if (!search.searched) {
    context.out << "Invalid File Handle. Get Last Error reports " << search.error << "\n";
    return search.error == win32::kErrorFileNotFound;  // no INF at all
  }
  bool all_deleted = true;
  for (const WString& path : search.copies)
    if (!DeleteInfWithTwin(context, path)) all_deleted = false;
  return all_deleted;
}

}  // namespace

std::optional<unsigned> FamilyProductId(WStringView first_hardware_id) {
  for (const auto prefix : {kFamilyPrefixUpper, kFamilyPrefixMixed}) {
    const auto at = first_hardware_id.find(prefix);
    if (at == WStringView::npos) continue;
    // The digits directly after the prefix, read as strtoul reads hex: up to
    // the first character that is not a hex digit.
    const auto digits = first_hardware_id.substr(at + prefix.size(), kProductIdDigits);
    unsigned value = 0;
    for (const char16_t c : digits) {
      unsigned digit;
      if (c >= u'0' && c <= u'9') digit = c - u'0';
      else if (c >= u'a' && c <= u'f') digit = c - u'a' + 10;
      else if (c >= u'A' && c <= u'F') digit = c - u'A' + 10;
      else break;
      value = value * 16 + digit;
    }
    return value;
  }
  return std::nullopt;
}

bool RemovesProduct(ActionKind kind, unsigned product_id) {
  const bool printer = product_id >= kFirstPrinterProductId && product_id <= kLastPrinterProductId;
  switch (kind) {
    case ActionKind::kRemoveUsbPrinter: return printer;
    case ActionKind::kRemoveUsbScanner: return !printer;
    case ActionKind::kRemoveUsbSerial:
    case ActionKind::kRemoveNetworkSerial: return true;
    default: return false;
  }
}

FamilyInfSearch FindFamilyInfCopies(Files& files, SystemFacts& system, ActionKind kind, WStringView inf_folder) {
  FamilyInfSearch result;
  FindData found;
  FindHandlePtr search = files.FindFirstFile(WString(inf_folder) + kInfPattern, &found);
  if (!search) {
    result.error = system.GetLastError();
    return result;
  }
  result.searched = true;
  const auto code_page = CodePageOf(system);
  do {
    if (found.attributes & kFileAttributeDirectory) continue;
    const WString path = WString(inf_folder) + found.file_name;
    Bytes bytes;
    if (!files.ReadFile(path, kMaxProfileFileBytes, &bytes)) continue;  // an unreadable file gives only defaults
    const ProfileInfValues values(std::string_view(reinterpret_cast<const char*>(bytes.data()), bytes.size()),
                                  code_page);
    if (HasFamilySignature(kind, values)) result.copies.push_back(path);
  } while (search->FindNextFile(&found));
  return result;
}

WString InfFolderOf(SystemFacts& system) { return system.GetWindowsDirectory() + kInfFolder; }

bool HasFamilySignature(ActionKind kind, const InfValues& inf) {
  const std::string inf_class = inf.Get("Version", "Class");
  if (kind == ActionKind::kRemoveUsbSerial || kind == ActionKind::kRemoveNetworkSerial) {
    return inf_class == kPortsClass && Contains(inf.Get("Strings", "Mfg"), kPortsMaker);
  }
  if (inf_class != kUsbClass) return false;
  const bool has_provider = !inf.Get("Strings", "Provider").empty() || !inf.Get("Strings", "KV").empty() ||
                            !inf.Get("Strings", "WN").empty();
  if (!has_provider) return false;
  const std::string disk = inf.Get("Strings", "Disk");
  if (kind == ActionKind::kRemoveUsbPrinter) return Contains(disk, kPrinterDisk);
  if (kind == ActionKind::kRemoveUsbScanner) return Contains(disk, kScannerDisk);
  return false;
}

WString PnfTwinOf(WStringView inf_path) {
  constexpr std::size_t kExtensionLength = 3;
  WString twin(inf_path);
  if (twin.size() >= kExtensionLength) twin.resize(twin.size() - kExtensionLength);
  return twin + u"PNF";
}

int RunRemoval(InstallerContext& context, ActionKind kind) {
  context.view.AppendProgress(kStartLine);
  bool complete = RemoveDevices(context, kind);

  const WString inf_folder = InfFolderOf(context.system);
  const WString drivers_folder = context.system.GetSystemDirectory() + kDriversFolder;
  const PackageFiles package = FilesOf(kind);
  for (const auto name : package.infs) complete = DeleteInfWithTwin(context, inf_folder + WString(name)) && complete;
  for (const auto name : package.drivers) complete = DeleteQuietly(context, drivers_folder + WString(name)) && complete;

  complete = DeleteFamilyInfCopies(context, kind, inf_folder) && complete;
  context.view.AppendProgress(kFinishLine);
  return complete ? exit_code::kDone : exit_code::kFailed;
}

}  // namespace kit::usbinstall
