// This file is OS-independent.
#include "uninstall/quiet/uninstall_quiet.h"

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <functional>
#include <ostream>

#include "common/codepage/codepage.h"
#include "common/exit_codes/exit_codes.h"
#include "common/runlog/run_log.h"
#include "uninstall/app/exit_status.h"
#include "ui/message_box.h"
#include "ui/text.h"

namespace kit::uninstall::quiet {
namespace {

using ui::headless::Dialog;

std::string U8(std::u16string_view text) { return codepage::Utf16ToUtf8(text); }

using runlog::OneLine;

constexpr char kUtf8Bom[] = "\xEF\xBB\xBF";

std::vector<std::string> ListItems(Dialog& d, int id) {
  std::vector<std::string> items;
  for (int i = 0; i < d.ItemCount(id); ++i) items.push_back(U8(d.ItemText(id, i)));
  return items;
}

// A name as Windows compares printer names: letters without case.
std::string Folded(std::string_view text) {
  std::string out(text);
  for (char& c : out) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return out;
}

// The position of `name` in `items`, letters compared without case.
std::vector<std::string>::const_iterator FindName(const std::vector<std::string>& items, const std::string& name) {
  return std::find_if(items.begin(), items.end(),
                      [&](const std::string& item) { return Folded(item) == Folded(name); });
}

std::string Join(const std::vector<std::string>& items) {
  std::string out;
  for (const auto& i : items) out += (out.empty() ? "" : ", ") + i;
  return out.empty() ? "none" : out;
}

// The names of a --printers-from file, one a line; false when the file
// cannot be opened or read to its end.
bool ReadRecordedPrinters(const std::string& path, std::vector<std::string>* names) {
  std::error_code error;
  if (std::filesystem::is_directory(std::filesystem::u8path(path), error)) return false;
  std::ifstream file(std::filesystem::u8path(path), std::ios::binary);
  if (!file.is_open()) return false;
  for (std::string line; std::getline(file, line);) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    // Notepad and PowerShell 5's "-Encoding UTF8" open the file with a
    // UTF-8 byte-order mark; it is no part of the first name.
    if (names->empty() && line.rfind(kUtf8Bom, 0) == 0) line.erase(0, sizeof kUtf8Bom - 1);
    if (!line.empty()) names->push_back(line);
  }
  return !file.bad();
}

}  // namespace

bool WantsQuietOrHelp(const std::vector<std::string>& args) {
  return std::any_of(args.begin(), args.end(),
                     [](const std::string& a) { return a == "--quiet" || a == "--help" || a == "/?"; });
}

bool ParseQuietOptions(const std::vector<std::string>& args, QuietOptions* o, std::string* error) {
  *o = QuietOptions{};
  auto fail = [&](const std::string& option, const std::string& why) {
    *error = option + ": " + why;
    return false;
  };
  for (std::size_t i = 0; i < args.size(); ++i) {
    const std::string& a = args[i];
    if (a == "--help" || a == "/?") o->help = true;
    else if (a == "--quiet") o->quiet = true;
    else if (a == "--all") o->all = true;
    else if (a == "--remove-usb-driver") o->remove_usb_driver = true;
    else if (a == "--restart") o->restart = true;
    else if (a == "--skip-missing") o->skip_missing = true;
    else if (a == "--printer" || a == "--log" || a == "--printers-from") {
      if (i + 1 >= args.size() || args[i + 1].empty() || args[i + 1].rfind("--", 0) == 0) return fail(a, "needs a value");
      if (a == "--printer") {
        o->printers.push_back(args[++i]);
      } else if (a == "--printers-from") {
        if (!o->printers_from.empty()) return fail(a, "is given twice");
        o->printers_from = args[++i];
      } else {
        if (!o->log_file.empty()) return fail(a, "is given twice");
        o->log_file = args[++i];
      }
    } else {
      return fail(a, "is not an option of Uninstall (Uninstall --help lists them)");
    }
  }
  if (o->help) return true;
  if (!o->quiet) return fail(args.empty() ? "--quiet" : args.front(), "needs --quiet");
  if (o->all && (!o->printers.empty() || !o->printers_from.empty()))
    return fail(o->printers.empty() ? "--printers-from" : "--printer", "contradicts --all (which removes every component)");
  if (o->skip_missing && o->printers_from.empty()) return fail("--skip-missing", "needs --printers-from FILE");
  if (!o->all && o->printers.empty() && o->printers_from.empty() && !o->remove_usb_driver)
    return fail("--quiet", "needs --all, --printer NAME, --printers-from FILE or --remove-usb-driver");
  return true;
}

void PrintQuietHelp(std::ostream& out, const std::string& program) {
  out << "usage: " << program << " --quiet (--all | --printer NAME ...) [--remove-usb-driver] [--restart] [--log FILE]\n"
      << "       " << program << " --help | /?\n\n"
      << "  --all                 remove every printer, port monitor and print processor of the family\n"
      << "  --printer NAME        remove this printer of the family (repeatable)\n"
      << "  --printers-from FILE  remove the printers FILE names, one a line (kitsetup --record);\n"
      << "                        a name no printer has here is named and the status is 1\n"
      << "  --skip-missing        pass over the names of FILE no printer has here (a package's\n"
      << "                        removal after a printer was deleted by hand, or its retry)\n"
      << "  --remove-usb-driver   also remove the family's USB printer driver\n"
      << "  --restart             restart Windows when the removal asks for it (default: no restart, exit 3010)\n"
      << "  --log FILE            every log line and message, one line each with the time\n\n"
      << "Exit status: 0 done, 1 failed (the reason on standard error), 2 refused before\n"
      << "any change (options, a foreign printer name, jobs queued on a printer, another\n"
      << "setup or uninstaller running), 3010 done but Windows must restart.\n";
}

QuietUninstallHost::QuietUninstallHost(const QuietOptions& options, std::ostream* log) : options_(options), log_(log) {
  env_.responder = [this](const ui::ShownMessageBox& box) {
    Log(U8(box.caption) + ": " + OneLine(box.text));
    return ui::DefaultAnswer(box.style);
  };
  // The restart dialog (button 1 restarts, 2 does not).
  env_.modal_driver = [this](Dialog& nested) {
    FlushWindowLog();
    Log(OneLine(nested.Caption()) + ": " + (options_.restart ? "restart (--restart)" : "no restart"));
    nested.Click(options_.restart ? ui::kIdOk : ui::kIdCancel);
    if (!nested.Ended()) nested.Close();
  };
}

void QuietUninstallHost::Log(const std::string& line) {
  if (log_ != nullptr) runlog::WriteRunLogLine(*log_, line);
}

void QuietUninstallHost::FlushWindowLog() {
  if (main_ == nullptr) return;
  const std::vector<std::string> lines = ListItems(*main_, kLogId);
  for (; window_lines_logged_ < lines.size(); ++window_lines_logged_) Log(lines[window_lines_logged_]);
}

UninstallAppHost QuietUninstallHost::Host() {
  UninstallAppHost host;
  host.message_box = [this](std::u16string_view text, std::u16string_view caption) {
    start_up_message_ = OneLine(text);
    Log(U8(caption) + ": " + start_up_message_);
  };
  host.run_modal = [this](ui::Page& page) {
    Dialog dialog(page, env_);
    main_ = &dialog;
    dialog.Create();
    // A window that closed as it opened (its configuration missing, ...)
    // has said why in its outcome.
    if (!dialog.Ended()) Drive(dialog);
    FlushWindowLog();
    main_ = nullptr;
    if (!dialog.Ended()) dialog.Close();
    return dialog.Result();
  };
  return host;
}

void QuietUninstallHost::Drive(Dialog& d) {
  const auto* main = dynamic_cast<const CUninstallPrinterDlg*>(&d.page());
  const std::vector<std::string> listed = ListItems(d, kComponentListId);
  // The family's printers as the window found them.
  std::vector<std::string> family_printers;
  if (main != nullptr)
    for (const Component& c : main->entries())
      if (c.kind == ComponentKind::kPrinter) family_printers.push_back(U8(ui::FromAnsi(c.name)));
  std::vector<std::string> wanted;
  if (options_.all) {
    d.Click(kSelectButtonId);
    wanted = listed;
  }
  std::vector<std::string> names = options_.printers;
  if (!options_.printers_from.empty()) {
    for (const std::string& line : options_.recorded) {
      if (FindName(listed, line) == listed.end()) {
        Log(line + " (" + options_.printers_from + ") is no longer there");
        if (!options_.skip_missing) missing_.push_back(line);
        continue;
      }
      names.push_back(line);
    }
  }
  for (const std::string& name : names) {
    if (FindName(family_printers, name) == family_printers.end()) {
      refusal_ = "--printer " + name + ": not a printer of this family on this system (the family's printers here: " +
                 Join(family_printers) + ")";
      return;
    }
    const auto at = FindName(listed, name);
    d.CheckItem(kComponentListId, static_cast<int>(at - listed.begin()), true);
    wanted.push_back(*at);
  }
  // The family's drivers no printer uses go with the recorded printers: a
  // removal that failed after deleting the printers (the package's first
  // "msiexec /x") leaves them, and its retry finishes the job.
  if (!options_.printers_from.empty() && main != nullptr) {
    const std::vector<Component>& entries = main->entries();
    for (std::size_t i = 0; i < entries.size(); ++i) {
      if (entries[i].kind != ComponentKind::kDriver || i >= listed.size()) continue;
      d.CheckItem(kComponentListId, static_cast<int>(i), true);
      wanted.push_back(listed[i]);
    }
  }
  FlushWindowLog();
  // The quiet window offers the USB driver's removal wherever the driver is
  // installed (no printer need be attached); elsewhere there is nothing of
  // it to remove.
  if (options_.remove_usb_driver && !(d.IsEnabled(kUsbBoxId) && d.Check(kUsbBoxId, true)))
    Log("--remove-usb-driver: the USB printer driver is not installed here");
  for (const auto& w : wanted) Log("removing " + w);
  d.Click(kUninstallButtonId);
  FlushWindowLog();
}

int QuietUninstallHost::ExitCode(UninstallStart start, const CUninstallPrinterDlg* window, std::ostream& err) {
  RemovalEnding ending =
      refusal_.empty() ? UninstallEnding(start, start_up_message_, window) : RemovalEnding{exit_code::kRefused, refusal_};
  // The rest was removed; a name of the file that no printer has is not
  // "done" (a name mistyped, or a printer of another system's record).
  const bool done = ending.status == exit_code::kDone || ending.status == exit_code::kRestartNeeded;
  if (done && !missing_.empty())
    ending = {exit_code::kFailed, "--printers-from: no printer of this name here: " + Join(missing_)};
  if (start == UninstallStart::kDialogClosed) {
    Log(ending.status == exit_code::kDone            ? "done"
        : ending.status == exit_code::kRestartNeeded ? "done; Windows must restart"
                                                     : "ended: " + ending.why);
  }
  return ReportEnding(ending, err);
}

int RunQuiet(const QuietOptions& options, Platform& platform, std::ostream& err,
             const std::function<void()>& before_run) {
  std::ofstream log;
  if (!options.log_file.empty() && !runlog::OpenRunLog(options.log_file, &log)) {
    err << "Uninstall: --log: cannot write " << options.log_file << "\n" << std::flush;
    return exit_code::kRefused;
  }
  // Read here, from the caller's folder, before the run moves to the kit's.
  QuietOptions with_names = options;
  if (!options.printers_from.empty() && !ReadRecordedPrinters(options.printers_from, &with_names.recorded)) {
    const std::string line = "--printers-from: cannot read " + options.printers_from;
    if (log.is_open()) runlog::WriteRunLogLine(log, "ended: " + line);
    err << "Uninstall: " << line << "\n" << std::flush;
    return exit_code::kRefused;
  }
  QuietUninstallHost host(with_names, log.is_open() ? &log : nullptr);
  if (before_run) before_run();
  CUninstallPrinterApp::Options app_options;
  app_options.platform = &platform;
  app_options.usb_removal_without_printer = options.remove_usb_driver;
  app_options.host = host.Host();
  CUninstallPrinterApp app(std::move(app_options));
  const UninstallStart start = app.Run();
  return host.ExitCode(start, app.dialog(), err);
}

}  // namespace kit::uninstall::quiet
