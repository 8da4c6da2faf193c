#include "setup/app/kitsetup_app.h"

#include "common/text/setup_string.h"
#include <vector>

#include "platform/profile_file_source.h"
#include "platform/win32_errors.h"
#include "setup/app/system_detection.h"
#include "setup/usb/platform_usb_queries.h"
#include "setup/usb/usb_hand_off.h"
#include "ui/text.h"

namespace kit::setup {

std::string PackageFolderOf(std::string_view module_path) {
  const auto slash = module_path.rfind('\\');
  return std::string(slash == std::string_view::npos ? std::string_view{} : module_path.substr(0, slash));
}

namespace {

ini::CodePage AnsiCodePageOf(std::uint32_t acp) {
  switch (acp) {
    case static_cast<std::uint32_t>(ini::CodePage::kSimplifiedChinese): return ini::CodePage::kSimplifiedChinese;
    case static_cast<std::uint32_t>(ini::CodePage::kTraditionalChinese): return ini::CodePage::kTraditionalChinese;
    default: return ini::CodePage::kWestern;
  }
}

}  // namespace

CKitsetupApp::CKitsetupApp(Options options) : options_(std::move(options)) {}
CKitsetupApp::~CKitsetupApp() {
  // The pages and the frame go before the context they refer to.
  frame_.reset();
  confirm_.reset();
  system_page_.reset();
  mode_.reset();
  series_.reset();
  legal_.reset();
}

void CKitsetupApp::Refuse(std::string_view section, std::string_view key) {
  if (options_.host.message_box) options_.host.message_box(ui::FromAnsi(texts_->Get(section, key)), kMessageCaption);
}

// Whether the model of the last entry offers USB, LPT or COM in any of the
// four series files of this bitness.
bool CKitsetupApp::AnyPortKind(const CPrinterInfManager& inf) {
  const int count = inf.ModelCount();
  // Every entry is read in turn; the model of the last one with a series
  // is the one checked.
  std::string model;
  for (int i = 1; i <= count; ++i)
    if (const auto parsed = inf.ReadModelEntry(i)) model = parsed->name;
  const std::string section = model + ".PORT";
  for (int s = 0; s < kSeriesCount; ++s)
    for (const char* key : {"USBSUPPORTED", "LPTSUPPORTED", "COMSUPPORTED"})
      if (inf.ReadSeriesInt(static_cast<Series>(s), section, key) != 0) return true;
  return false;
}

std::string CKitsetupApp::UnreadableConfiguration(Platform& p) const {
  std::vector<std::string> files = {std::string(kSetupIni)};
  for (int s = 0; s < kSeriesCount; ++s) files.push_back(inf_->SeriesFileFor(static_cast<Series>(s)));
  for (const std::string& relative : files) {
    const std::string path = inf_->PackagePath(relative);
    Bytes bytes;
    if (p.files.ReadFile(ui::FromAnsi(path), kMaxProfileFileBytes, &bytes)) continue;
    const win32::Error error = p.system.GetLastError();
    if (error == win32::kErrorFileNotFound || error == win32::kErrorPathNotFound) continue;
    std::string reason = ui::ToAnsi(p.system.FormatMessage(error));
    while (!reason.empty() && (reason.back() == '\n' || reason.back() == '\r' || reason.back() == ' ')) reason.pop_back();
    return std::string(kUnreadableFileText) + path + "\n" + reason;
  }
  return {};
}

StartResult CKitsetupApp::Run() {
  Platform& p = *options_.platform;
  ui::SetAnsiCodePage(p.system.GetACP());
  package_folder_ = options_.package_folder.empty() ? PackageFolderOf(ui::ToAnsi(p.system.GetModuleFileName()))
                                                    : options_.package_folder;
  const std::uint16_t language = p.system.GetSystemDefaultLangID();
  ini::ProfileOptions profile;
  profile.ansi_code_page = AnsiCodePageOf(p.system.GetACP());
  profile.utf8_without_bom = false;  // the wizard's files are ANSI
  file_source_ = std::make_unique<PlatformFileSource>(p.files);
  texts_ = std::make_unique<FileLanguageTexts>(*file_source_, package_folder_ + "\\" + SetupLanguageFile(language),
                                               profile);

  // 1. One wizard at a time: a second start brings the first to the front.
  p.system.SetLastError(0);
  mutex_ = p.shell.CreateMutex(kMutexName, true);
  if (mutex_ && p.system.GetLastError() == win32::kErrorAlreadyExists) {
    WindowHandle first = p.shell.FindWindow(kFrameTitle);
    if (first == 0) first = p.shell.FindWindow(kFrameTitleChinese);
    if (first != 0) {
      p.shell.SetForegroundWindow(first);
      if (p.shell.IsIconic(first)) p.shell.ShowWindow(first, kSwRestore);
    }
    return StartResult::kAlreadyRunning;
  }
  // 2. Never beside the uninstaller.
  if (p.shell.FindWindow(kUninstallTitle) != 0 || p.shell.FindWindow(kUninstallTitleChinese) != 0) {
    Refuse("Setup", "Close");
    return StartResult::kUninstallRunning;
  }
  // 3. Windows 98, Me and NT 4.0 are refused.
  if (IsRefusedWindows(ReadVersionFacts(p.system))) {
    Refuse("Setup", "Nonsupport");
    return StartResult::kWindowsRefused;
  }
  // 4. The 64-bit flag.
  is_64bit_ = Detect64BitWindows(p.system);

  CPrinterInfManager::Options inf_options;
  inf_options.files = file_source_.get();
  inf_options.package_folder = package_folder_;
  inf_options.is_64bit = is_64bit_;
  inf_options.profile = profile;
  inf_ = std::make_unique<CPrinterInfManager>(inf_options);

  // A configuration file Windows will not give reads as all defaults, and
  // the wizard would then refuse the model for a reason it does not have
  // ("not supported on Windows 7"): Windows' own reason is said instead. A
  // missing file keeps its defaults, as before.
  if (std::string unreadable = UnreadableConfiguration(p); !unreadable.empty()) {
    if (options_.host.message_box) options_.host.message_box(ui::FromAnsi(unreadable), kMessageCaption);
    return StartResult::kUnreadableFile;
  }

  // 5. The package's bitness.
  const int bitness = inf_->ReadDeviceNameInt("Supported32OR64");
  if (bitness == kPackage32Only && is_64bit_) {
    Refuse("Message", "IDS_X64");
    return StartResult::kWrongBitness;
  }
  if (bitness == kPackage64Only && !is_64bit_) {
    Refuse("Message", "IDS_X32");
    return StartResult::kWrongBitness;
  }
  // 6. At least one port kind for the model of the last entry.
  if (!AnyPortKind(*inf_)) {
    Refuse("Setup", "PortNull");
    return StartResult::kNoPortKind;
  }

  // 7, 8. The frame with its five pages, modally.
  UsbQueries* usb = options_.usb;
  if (usb == nullptr) {
    auto notice = [this](std::u16string_view text) {
      if (options_.host.message_box) options_.host.message_box(text, kMessageCaption);
    };
    own_usb_ = std::make_unique<PlatformUsbQueries>(UsbEnv{p, package_folder_, is_64bit_}, notice);
    usb = own_usb_.get();
  }
  context_ = std::unique_ptr<WizardContext>(new WizardContext{*texts_, *inf_, p.system, p.files, p.shell, *usb,
                                                              package_folder_, language, is_64bit_,
                                                              IsChineseLanguage(language)});
  const bool load_licence = inf_->ReadDeviceNameInt("LOADLICENSE") != 0;
  legal_ = std::make_unique<CLegalDlg>(*context_, load_licence, inf_->ReadDeviceNameInt("LANGUAGE"));
  series_ = std::make_unique<CPrinterSeries>(*context_);
  mode_ = std::make_unique<CSetupModeSelect>(*context_);
  system_page_ = std::make_unique<CSystemPage>(*context_);
  confirm_ = std::make_unique<CSetupConfirm>(*context_);
  frame_ = std::make_unique<CKitsetupDlg>(*context_, WizardPages{*legal_, *series_, *mode_, *system_page_, *confirm_},
                                          load_licence);
  UsbInstallHooks* usb_install = options_.usb_install;
  if (usb_install == nullptr) {
    own_usb_install_ = std::make_unique<UsbHandOff>();
    usb_install = own_usb_install_.get();
  }
  frame_->SetInstallHost({&p, options_.host.run_progress, usb_install, options_.host.keep_existing_printer});
  if (options_.host.run_modal) options_.host.run_modal(*frame_);
  return StartResult::kFrameClosed;
}

}  // namespace kit::setup
