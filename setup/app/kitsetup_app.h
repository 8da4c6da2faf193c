// The setup wizard's application object: the start-up refusals in their
// order, then the wizard frame, modally; the program ends when it closes.
// This file is OS-independent.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>

#include "platform/platform.h"
#include "setup/frame/kitsetup_dlg.h"

namespace kit::setup {

inline constexpr char16_t kMutexName[] = u"kitsetup";
inline constexpr char16_t kUninstallTitle[] = u"Uninstall";
inline constexpr char16_t kUninstallTitleChinese[] = u"\u6253\u5370\u673A\u5378\u8F7D\u7A0B\u5E8F";

// Supported32OR64 values.
inline constexpr int kPackage32Only = 1;
inline constexpr int kPackage64Only = 2;

// How the wizard ended.
// The start-up message of a configuration file Windows will not give,
// before its path; Windows' reason follows on the next line.
inline constexpr char kUnreadableFileText[] = "Cannot read the configuration file ";

enum class StartResult {
  kFrameClosed,       // the frame ran and closed
  kAlreadyRunning,    // a first instance was brought to the front
  kUninstallRunning,  // "Setup"/Close
  kWindowsRefused,    // "Setup"/Nonsupport
  kWrongBitness,      // IDS_X64 or IDS_X32
  kNoPortKind,        // "Setup"/PortNull
  kUnreadableFile,    // setup.ini or a series file is there and cannot be read
};

// What the host provides: message boxes before any window exists, and the
// modal run of the frame.
struct AppHost {
  std::function<void(std::u16string_view text, std::u16string_view caption)> message_box;
  std::function<int(ui::Page& frame)> run_modal;
  // The install's progress dialog, modal without an owner; unset: owned by
  // the frame.
  std::function<int(ui::Page& progress)> run_progress;
  // An unattended host's answer no page asks for: a printer already there
  // under the install's name with the same driver and port is kept, and the
  // install ends done without adding a second copy.
  bool keep_existing_printer = false;
};

class CKitsetupApp {
 public:
  struct Options {
    Platform* platform = nullptr;
    // The package folder; empty: the folder of the running program.
    std::string package_folder;
    // Where the wizard asks about USB; null: the platform.
    UsbQueries* usb = nullptr;
    // The USB hand-off at Install; null: the platform's.
    UsbInstallHooks* usb_install = nullptr;
    AppHost host;
  };

  explicit CKitsetupApp(Options options);
  ~CKitsetupApp();

  // The start-up sequence and the frame.
  StartResult Run();

  // After Run: the frame, while the application object lives (null when
  // a refusal came first).
  const CKitsetupDlg* frame() const { return frame_.get(); }
  bool is_64bit() const { return is_64bit_; }
  const std::string& package_folder() const { return package_folder_; }

 private:
  void Refuse(std::string_view section, std::string_view key);
  bool AnyPortKind(const CPrinterInfManager& inf);
  // The message for setup.ini or a series file of this bitness that is
  // there and cannot be read (its path and Windows' reason); empty when
  // each is read or missing.
  std::string UnreadableConfiguration(Platform& p) const;

  Options options_;
  std::string package_folder_;
  bool is_64bit_ = false;
  std::unique_ptr<ini::FileSource> file_source_;
  std::unique_ptr<LanguageTexts> texts_;
  std::unique_ptr<CPrinterInfManager> inf_;
  std::unique_ptr<UsbQueries> own_usb_;
  std::unique_ptr<UsbInstallHooks> own_usb_install_;
  std::unique_ptr<WizardContext> context_;
  std::unique_ptr<CLegalDlg> legal_;
  std::unique_ptr<CPrinterSeries> series_;
  std::unique_ptr<CSetupModeSelect> mode_;
  std::unique_ptr<CSystemPage> system_page_;
  std::unique_ptr<CSetupConfirm> confirm_;
  std::unique_ptr<CKitsetupDlg> frame_;
  NamedMutexHandle mutex_;
};

// The folder of a program path: everything before its last backslash.
std::string PackageFolderOf(std::string_view module_path);

}  // namespace kit::setup
