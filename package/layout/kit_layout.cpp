#include "package/layout/kit_layout.h"

#include <algorithm>
#include <set>

#include "common/oscode/os_code.h"
#include "common/text/setup_string.h"
#include "common/text/uninstall_string.h"
#include "package/layout/kit_folder_files.h"
#include "setup/app/system_detection.h"
#include "setup/config/model_config.h"
#include "setup/engine/driver_record.h"
#include "setup/frame/kitsetup_dlg.h"
#include "setup/install/install_worker.h"
#include "uninstall/config/ini_search.h"
#include "uninstall/config/uninstall_ini.h"

namespace kit::package {

namespace fs = std::filesystem;

namespace {

// The system default languages the programs choose their files by.
constexpr std::uint16_t kLanguages[] = {0x0409 /* English */, 0x0804 /* PRC */, 0x0404 /* Taiwan */};
// The uninstaller's two help files, opened from the current directory.
constexpr const char* kUninstallHelpFiles[] = {"Uninstall_EN.CHM", "Uninstall_CN.CHM"};
constexpr char kGuideFolder[] = "Guide\\";
constexpr char kPayload32[] = "W32";
constexpr char kPayload64[] = "W64";
constexpr int kLastOsCode = 7;

std::string Lower(std::string text) {
  for (char& c : text) {
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  }
  return text;
}

std::string StripLeadingSeparator(std::string path) {
  while (!path.empty() && (path.front() == '\\' || path.front() == '.')) path.erase(path.begin());
  return path;
}

class Collector {
 public:
  void Add(std::string path, std::string why) {
    if (seen_.insert(Lower(path)).second) files_.push_back({std::move(path), std::move(why)});
  }
  std::vector<RequiredFile> Take() { return std::move(files_); }

 private:
  std::set<std::string> seen_;
  std::vector<RequiredFile> files_;
};

std::string ProgramName(const char* base, Flavour flavour) {
  return flavour == Flavour::kLinux ? std::string(base) : std::string(base) + ".exe";
}

void AddFixedNames(Collector& out, const LayoutOptions& options) {
  out.Add(ProgramName("kitsetup", options.flavour), "the setup wizard");
  out.Add(ProgramName("Uninstall", options.flavour), "the uninstaller");
  out.Add(std::string(setup::kSetupIni), "kitsetup: the package settings");
  for (int s = 0; s < setup::kSeriesCount; ++s) {
    for (bool is_64bit : {false, true}) {
      out.Add(setup::SeriesFile(static_cast<setup::Series>(s), is_64bit),
              "kitsetup: a series' model data");
    }
  }
  out.Add(setup::kLeftBitmapFile, "kitsetup: the frame's left band");
  out.Add(setup::kRegUtilityProgram, "kitsetup: the post-install tool");
  for (const auto language : kLanguages) {
    out.Add(setup::SetupLanguageFile(language), "kitsetup: its texts");
    out.Add(setup::LicenceFileName(language), "kitsetup: the licence page");
    out.Add(kGuideFolder + setup::HelpFileName(language), "kitsetup: F1 help");
    out.Add(StripLeadingSeparator(uninstall::UninstallLanguageFile(language)), "Uninstall: its texts");
  }
  out.Add(std::string(uninstall::kConfigFolder) + "\\" + uninstall::kUninstallIniName, "Uninstall: what it may remove");
  for (const char* help : kUninstallHelpFiles) out.Add(help, "Uninstall: F1 help");
  if (!options.usb_hand_off) return;
  for (const char* library : kUsbLibraries) out.Add(library, "kitsetup and Uninstall: the USB library");
  for (const char* folder : {kUsbDriverFolder32, kUsbDriverFolder64}) {
    // The wizard starts Install.exe by that name on every kit, the Linux one included.
    out.Add(std::string(folder) + "\\Install.exe", "kitsetup and Uninstall: Install");
    for (const char* file : kUsbDriverPackageFiles) {
      out.Add(std::string(folder) + "\\" + file, "Install: a driver package of its own folder");
    }
  }
}

void AddDriverFiles(Collector& out, const setup::DriverDescription& d, const std::string& folder,
                    const std::string& why) {
  const std::string* named[] = {&d.driver_path, &d.data_file, &d.config_file, &d.help_file,
                                &d.processor_dll, &d.dependent_file, &d.oem_ui_dll, &d.oem_render_dll,
                                &d.oem_render_ini, &d.control_font_file, &d.driver_log_viewer, &d.driver_log_ini};
  for (const std::string* file : named) {
    if (setup::NamesFile(*file)) out.Add(folder + "\\" + *file, why);
  }
  for (const auto& file : d.language_resource_files) {
    if (setup::NamesFile(file)) out.Add(folder + "\\" + file, why);
  }
}

void AddMonitorFiles(Collector& out, const setup::MonitorSet& set, const std::string& folder,
                     const std::string& why) {
  for (const auto* monitor : {&set.language, &set.usb, &set.serial}) {
    for (const auto* file : {&monitor->dll, &monitor->ui_dll}) {
      if (setup::NamesFile(*file)) out.Add(folder + "\\" + *file, why);
    }
  }
}

// The payload of one bitness, as the wizard reads its configuration on a
// Windows of that bitness.
void AddPayload(Collector& out, const ini::FileSource& files, bool is_64bit) {
  const std::string folder = is_64bit ? kPayload64 : kPayload32;
  setup::CPrinterInfManager::Options config_options;
  config_options.files = &files;
  config_options.package_folder = kKitRoot;
  config_options.is_64bit = is_64bit;
  const setup::CPrinterInfManager config(config_options);

  for (int os = 0; os <= kLastOsCode; ++os) {
    AddMonitorFiles(out, setup::ReadMonitorSet(config, os), folder,
                    "kitsetup: setup.ini COMMON-MONITOR" + std::string(SetupSectionSuffix(os)));
  }
  for (int i = 1; i <= config.ModelCount(); ++i) {
    const auto model = config.ReadModelEntry(i);
    if (!model) continue;
    for (int os = 0; os <= kLastOsCode; ++os) {
      for (auto flavour : {setup::Flavour::kStd, setup::Flavour::kGdi}) {
        AddDriverFiles(out, setup::ReadDriverDescription(config, model->series, model->name, os, flavour), folder,
                       "kitsetup: " + config.SeriesFileFor(model->series) + " [" + model->name +
                           std::string(SetupSectionSuffix(os)) + "]");
      }
    }
  }
  // The files the install engine copies from the payload by fixed name.
  // (Windows' own files XP's tools need are not among them: the install
  // takes them from the system, and a kit that carried a copy would only
  // ever offer it to a system that lacks one.)
  for (std::string_view file : {setup::kUnidrvTtfSub, setup::kUnidrvResources, setup::kUnidrvStdNames,
                                setup::kIconLibrary, setup::kUnidrvDll, setup::kColourLibrary}) {
    out.Add(folder + "\\" + std::string(file), "kitsetup: a file the install copies by its fixed name");
  }
  const auto switches = setup::ReadPackageSwitches(config);
  out.Add(folder + "\\" + ClassPrinterInf(switches.inf_file_name, is_64bit),
          "kitsetup: the class-printer INF (setup.ini Inffilename)");
}

// The monitor and processor files Uninstall.ini names for removal: each must
// be a file the payload installs, in one payload folder or the other.
void CheckUninstallNames(const ini::FileSource& files, const fs::path& kit, std::vector<RequiredFile>* missing) {
  const std::string ini_path = std::string(kKitRoot) + "\\" + uninstall::kConfigFolder + "\\" + uninstall::kUninstallIniName;
  for (int os = 0; os <= kLastOsCode; ++os) {
    uninstall::UninstallIni ini(files, ini_path, {}, os);
    ini.Load();
    std::vector<std::string> names;
    for (const auto& monitor : ini.monitors()) {
      for (auto& file : ini.MonitorFiles(monitor)) names.push_back(file);
    }
    for (const auto& processor : ini.processors()) {
      if (auto file = ini.ProcessorFile(processor); !file.empty()) names.push_back(file);
    }
    for (const auto& name : names) {
      if (!FindNoCase(kit, std::string(kPayload32) + "\\" + name) &&
          !FindNoCase(kit, std::string(kPayload64) + "\\" + name)) {
        missing->push_back({"W32\\" + name + " or W64\\" + name,
                            "Uninstall: Uninstall.ini names it for removal (" + std::string(UninstallSectionSuffix(os)) + ")"});
      }
    }
  }
}

std::string Relative(const fs::path& kit, const fs::path& file) {
  std::string text = fs::relative(file, kit).generic_string();
  std::replace(text.begin(), text.end(), '/', '\\');
  return text;
}

}  // namespace

bool ParseFlavour(std::string_view text, Flavour* flavour) {
  if (text == "x86") *flavour = Flavour::kX86;
  else if (text == "x64") *flavour = Flavour::kX64;
  else if (text == "linux") *flavour = Flavour::kLinux;
  else return false;
  return true;
}

std::string ClassPrinterInf(std::string_view inf_file_name, bool is_64bit) {
  if (inf_file_name.empty() || inf_file_name.substr(0, 3) == "err") return "Setup.inf";
  return std::string(inf_file_name) + (is_64bit ? "64.inf" : "32.inf");
}

std::vector<RequiredFile> RequiredFiles(const fs::path& kit, const LayoutOptions& options) {
  Collector out;
  AddFixedNames(out, options);
  const KitFolderFiles files(kit);
  AddPayload(out, files, false);
  AddPayload(out, files, true);
  return out.Take();
}

LayoutReport CheckLayout(const fs::path& kit, const LayoutOptions& options) {
  LayoutReport report;
  std::set<std::string> required;
  for (auto& file : RequiredFiles(kit, options)) {
    const auto found = FindNoCase(kit, file.path);
    if (found && fs::is_regular_file(*found)) {
      required.insert(Lower(Relative(kit, *found)));
    } else {
      report.missing.push_back(std::move(file));
    }
  }
  CheckUninstallNames(KitFolderFiles(kit), kit, &report.missing);
  std::error_code ec;
  for (auto it = fs::recursive_directory_iterator(kit, ec); !ec && it != fs::recursive_directory_iterator();
       it.increment(ec)) {
    if (it->is_directory()) continue;
    const std::string relative = Relative(kit, it->path());
    if (!required.count(Lower(relative))) report.unexpected.push_back(relative);
  }
  std::sort(report.unexpected.begin(), report.unexpected.end());
  return report;
}

}  // namespace kit::package
