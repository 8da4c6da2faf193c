// This file is OS-independent.
#include "setup/quiet/quiet_wizard.h"

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <ostream>

#include "common/codepage/codepage.h"
#include "common/exit_codes/exit_codes.h"
#include "common/runlog/run_log.h"
#include "platform/spooler_lists.h"
#include "setup/app/exit_status.h"
#include "setup/pages/confirm_page.h"
#include "setup/pages/legal_page.h"
#include "setup/pages/mode_page.h"
#include "setup/pages/series_page.h"
#include "setup/progress/progress_headless.h"
#include "ui/message_box.h"

namespace kit::setup::quiet {
namespace {

using ui::headless::Dialog;

std::string U8(std::u16string_view text) { return codepage::Utf16ToUtf8(text); }
std::u16string U16(std::string_view text) { return codepage::Utf8ToUtf16(text); }

std::string Lower(std::string text) {
  for (char& c : text) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return text;
}

// The items of a list, joined for a message.
std::string Items(Dialog& owner, int id) {
  std::string out;
  for (int i = 0; i < owner.ItemCount(id); ++i) out += (i == 0 ? "" : ", ") + U8(owner.ItemText(id, i));
  return out.empty() ? "none" : out;
}

// The item whose text equals `text` (letters in either case); -1 when none.
int FindItem(Dialog& owner, int id, const std::string& text) {
  for (int i = 0; i < owner.ItemCount(id); ++i)
    if (U8(owner.ItemText(id, i)) == text) return i;
  for (int i = 0; i < owner.ItemCount(id); ++i)
    if (Lower(U8(owner.ItemText(id, i))) == Lower(text)) return i;
  return -1;
}

// An option with its value, quoted (a port name ends in a colon).
std::string Named(const char* option, const std::string& value) { return std::string(option) + " \"" + value + "\""; }

using runlog::OneLine;

}  // namespace

QuietWizardHost::QuietWizardHost(const QuietOptions& options, std::ostream* log) : options_(options), log_(log) {
  env_.responder = [this](const ui::ShownMessageBox& box) { return Answer(box); };
}

void QuietWizardHost::Log(const std::string& line) {
  if (log_ != nullptr) runlog::WriteRunLogLine(*log_, line);
}

AppHost QuietWizardHost::Host() {
  AppHost host;
  host.message_box = [this](std::u16string_view text, std::u16string_view caption) {
    start_up_message_ = OneLine(text);
    Log(U8(caption) + ": " + start_up_message_);
  };
  host.run_modal = [this](ui::Page& frame) {
    frame_ = dynamic_cast<const CKitsetupDlg*>(&frame);
    printers_before_ = LocalPrinters();
    Dialog dialog(frame, env_);
    dialog.Create();
    if (!dialog.Ended()) Drive(dialog);
    if (!dialog.Ended()) dialog.Close();
    return dialog.Result();
  };
  host.run_progress = [this](ui::Page& progress) {
    Log("installing");
    return RunProgressHeadless(env_, progress);
  };
  host.keep_existing_printer = options_.keep_existing;
  return host;
}

std::string QuietWizardHost::UsbIdKeptReason() const {
  const std::string id = "--usb-id: the printer's USB id " + std::to_string(frame_->printer_usb_id()) +
                         " does not match the port " + frame_->install_request().port_name;
  // --usb-id keep answered the question; without the option it was not.
  return options_.rewrite_usb_id ? id + " and was kept" : id + "; --usb-id rewrite gives it the port's id";
}

int QuietWizardHost::Answer(const ui::ShownMessageBox& box) {
  Log(U8(box.caption) + ": " + OneLine(box.text));
  if ((box.style & 0xF) != ui::kMbYesNo) return ui::DefaultAnswer(box.style);
  // The questions of an install: the printer's USB id before the worker
  // (the options' answer; without one the id stays and nothing is
  // installed), and the restart after it (never restarted unasked).
  if (frame_ != nullptr && !frame_->worker_started()) {
    const bool rewrite = options_.rewrite_usb_id.value_or(false);
    usb_id_kept_ = !rewrite;
    Log(std::string("answered ") + (rewrite ? "Yes (--usb-id rewrite)" : "No"));
    return rewrite ? ui::kIdYes : ui::kIdNo;
  }
  Log("answered No");
  return ui::kIdNo;
}

Dialog* QuietWizardHost::Owner(Dialog& frame, int id) {
  if (frame.Find(id) != nullptr) return &frame;
  for (Dialog* child : frame.Children())
    if (frame.ChildVisible(*child) && child->Find(id) != nullptr) return child;
  return nullptr;
}

bool QuietWizardHost::Click(Dialog& frame, int id) {
  Dialog* owner = Owner(frame, id);
  return owner != nullptr && owner->Click(id);
}

bool QuietWizardHost::Refuse(Dialog& frame, const std::string& option, const std::string& why) {
  refusal_ = option.empty() ? why : option + ": " + why;
  Log("refused: " + refusal_);
  if (!frame.Ended()) frame.Close();
  return false;
}

bool QuietWizardHost::RefusedByBox(Dialog& frame, std::size_t before, const std::string& option) {
  const auto& boxes = env_.MessageBoxes();
  if (boxes.size() == before) return false;
  Refuse(frame, option, OneLine(boxes.back().text));
  return true;
}

void QuietWizardHost::Drive(Dialog& frame) {
  if (frame_ == nullptr) return;
  // The licence page (when the kit shows one): Accept, then Next.
  if (frame_->current_page() == kLegalPage) {
    Click(frame, kLegalAcceptId);
    Log("licence accepted (--accept-licence)");
    const std::size_t before = env_.MessageBoxes().size();
    if (!Click(frame, ui::kIdOk) || frame_->current_page() != kSeriesPage) {
      if (!RefusedByBox(frame, before, "--accept-licence"))
        Refuse(frame, "--accept-licence", "the wizard did not go on past the licence page");
      return;
    }
  }
  if (!DriveSeriesPage(frame) || list_only_) {
    if (list_only_ && !frame.Ended()) frame.Close();
    return;
  }
  if (!DriveModePage(frame) || !DrivePortPage(frame)) return;

  // Install: the install start's checks and questions, then the worker.
  const std::size_t before = env_.MessageBoxes().size();
  Click(frame, ui::kIdOk);
  if (frame.Ended()) return;
  // The wizard stayed open: the install start failed or refused.
  if (frame_->start_failed()) {
    // The USB id question kept "No" is told by the id, not by its text.
    std::string why = usb_id_kept_ ? UsbIdKeptReason() : "";
    const auto& boxes = env_.MessageBoxes();
    for (std::size_t i = before; i < boxes.size(); ++i) {
      if (usb_id_kept_ && (boxes[i].style & 0xF) == ui::kMbYesNo) continue;
      why += (why.empty() ? "" : "; ") + OneLine(boxes[i].text);
    }
    refusal_ = why.empty() ? "the install did not start" : why;
    Log("failed: " + refusal_);
    frame.Close();
    return;
  }
  if (usb_id_kept_ && env_.MessageBoxes().size() == before + 1) {
    Refuse(frame, "", UsbIdKeptReason() + " (nothing was installed)");
    return;
  }
  if (!RefusedByBox(frame, before, (options_.port.empty() ? std::string("--port (the page's choice)") : Named("--port", options_.port))))
    Refuse(frame, "", "the install did not start");
}

bool QuietWizardHost::DriveSeriesPage(Dialog& frame) {
  Dialog* page = Owner(frame, kSeriesListIds[0]);
  if (page == nullptr) return Refuse(frame, "", "the series page was not shown");
  models_.assign(kSeriesCount, {});
  for (int s = 0; s < kSeriesCount; ++s)
    for (int i = 0; i < page->ItemCount(kSeriesListIds[s]); ++i)
      models_[s].push_back(U8(page->ItemText(kSeriesListIds[s], i)));
  if (list_only_) return true;

  int series = options_.series.value_or(-1);
  int item = -1;
  if (!options_.model.empty()) {
    for (int s = 0; s < kSeriesCount && item < 0; ++s) {
      if (options_.series && s != *options_.series) continue;
      item = FindItem(*page, kSeriesListIds[s], options_.model);
      if (item >= 0) series = s;
    }
    if (item < 0) {
      std::string offered;
      for (int s = 0; s < kSeriesCount; ++s)
        if (!models_[s].empty() && (!options_.series || s == *options_.series))
          offered += (offered.empty() ? "" : "; ") + std::string(kSeriesNames[s]) + ": " +
                     Items(*page, kSeriesListIds[s]);
      return Refuse(frame, Named("--model", options_.model),
                    std::string("not a model of this kit") +
                        (options_.series ? " in the " + std::string(kSeriesNames[*options_.series]) + " series" : "") +
                        " (" + (offered.empty() ? "none" : offered) + ")");
    }
  }
  if (series >= 0) {
    if (!page->IsEnabled(kSeriesRadioIds[series]))
      return Refuse(frame, Named("--series", std::string(kSeriesNames[series])), "this kit has no model of that series");
    page->Click(kSeriesRadioIds[series]);
    if (item >= 0 && !page->Select(kSeriesListIds[series], item))
      return Refuse(frame, Named("--model", options_.model), "the series page did not take it");
  }
  // The model the page now holds: the selection of the checked series.
  for (int s = 0; s < kSeriesCount; ++s)
    if (page->IsChecked(kSeriesRadioIds[s]) && page->Selection(kSeriesListIds[s]) >= 0)
      model_ = U8(page->ItemText(kSeriesListIds[s], page->Selection(kSeriesListIds[s])));
  if (options_.set_default) page->Check(kSeriesDefaultId, *options_.set_default);
  Log("series page: " + (model_.empty() ? std::string("the page's choice") : model_) +
      (options_.set_default ? ", set as default" : ""));
  const std::size_t before = env_.MessageBoxes().size();
  if (!Click(frame, ui::kIdOk) || frame_->current_page() != kModePage) {
    if (!RefusedByBox(frame, before, Named("--model", options_.model)))
      Refuse(frame, "", "the wizard did not go on past the series page");
    return false;
  }
  return true;
}

bool QuietWizardHost::DriveModePage(Dialog& frame) {
  Dialog* page = Owner(frame, kModeAdvancedId);
  if (page == nullptr) return Refuse(frame, "", "the mode page was not shown");
  if (options_.advanced) {
    const int id = *options_.advanced ? kModeAdvancedId : kModeTypicalId;
    if (!page->IsEnabled(id))
      return Refuse(frame, "--mode advanced", "this model has no Advanced setup (" + model_ + ")");
    page->Click(id);
  }
  Log(std::string("mode page: ") + (page->IsChecked(kModeAdvancedId) ? "Advanced" : "Typical"));
  // Next passes the OS page on its own; its support check may refuse.
  const std::size_t before = env_.MessageBoxes().size();
  if (!Click(frame, ui::kIdOk) || frame_->current_page() != kConfirmPage) {
    if (!RefusedByBox(frame, before, options_.model.empty() ? std::string("--model") : Named("--model", options_.model)))
      Refuse(frame, "", "the wizard did not reach the port page");
    return false;
  }
  return true;
}

bool QuietWizardHost::DrivePortPage(Dialog& frame) {
  Dialog* page = Owner(frame, kPortListId);
  if (page == nullptr) return Refuse(frame, "", "the port page was not shown");
  if (!options_.port.empty()) {
    int item = -1;
    if (options_.PortIsUsb() && options_.port.size() == kUsbPortOption.size()) {
      // "USB": the page's entry of the model's port index (1 unless given).
      const std::string suffix = std::string(1, '_') + std::to_string(options_.usb_port.value_or(kFirstUsbPort));
      for (int i = 0; i < page->ItemCount(kPortListId) && item < 0; ++i) {
        const std::string text = U8(page->ItemText(kPortListId, i));
        if (text.rfind("USB_", 0) == 0 && text.size() > suffix.size() &&
            text.compare(text.size() - suffix.size(), suffix.size(), suffix) == 0)
          item = i;
      }
    } else {
      item = FindItem(*page, kPortListId, options_.port);
    }
    const std::string option =
        Named("--port", options_.port) + (options_.usb_port ? " --usb-port " + std::to_string(*options_.usb_port) : "");
    if (item < 0)
      return Refuse(frame, option, "not offered for " + model_ + " here (the port page offers " +
                                       Items(*page, kPortListId) + ")");
    if (!page->Select(kPortListId, item)) return Refuse(frame, option, "the port page did not take it");
  }
  const std::string port = U8(page->ItemText(kPortListId, page->Selection(kPortListId)));
  if (!options_.ip.empty()) {
    if (!page->IsEnabled(kIpAddressId) || !page->Type(kIpAddressId, U16(options_.ip)))
      return Refuse(frame, Named("--ip", options_.ip), "the port page takes no address for " + port);
  }
  // The serial settings, as the port page names them.
  struct Setting {
    const char* option;
    int id;
    std::string text;  // select by text
    int index;         // else by index (-1: not given)
  };
  const Setting settings[] = {
      {"--baud", kBaudListId, options_.baud, -1},
      {"--parity", kParityListId, "", options_.parity.value_or(-1)},
      {"--data-bits", kDataBitsListId, options_.data_bits, -1},
      {"--stop-bits", kStopBitsListId, options_.stop_bits, -1},
      {"--flow", kFlowListId, "", options_.flow.value_or(-1)},
  };
  for (const Setting& s : settings) {
    if (s.text.empty() && s.index < 0) continue;
    if (!page->IsEnabled(s.id)) return Refuse(frame, s.option, "the port page has no serial settings for " + port);
    const int item = s.index >= 0 ? s.index : FindItem(*page, s.id, s.text);
    if (item < 0 || item >= page->ItemCount(s.id) || !page->Select(s.id, item))
      return Refuse(frame, s.option, "the port page offers " + Items(*page, s.id));
  }
  if (options_.raster) {
    if (!page->IsVisible(kRasterCheckId) || !page->IsEnabled(kRasterCheckId))
      return Refuse(frame, std::string("--raster ") + (*options_.raster ? "on" : "off"),
                    "the port page offers no raster choice for " + port);
    page->Check(kRasterCheckId, *options_.raster);
  }
  Log("port page: " + port);
  return true;
}

std::vector<std::string> QuietWizardHost::LocalPrinters() const {
  std::vector<std::string> names;
  if (platform_ == nullptr) return names;
  for (const PrinterInfo2& p : EnumLocalPrinters(platform_->spooler, 2).value_or(std::vector<PrinterInfo2>{}))
    names.push_back(U8(p.printer_name));
  return names;
}

void QuietWizardHost::RecordNewPrinters() {
  if (options_.record_file.empty() || platform_ == nullptr) return;
  std::ofstream record(std::filesystem::u8path(options_.record_file), std::ios::app | std::ios::binary);
  for (const std::string& name : LocalPrinters()) {
    if (std::find(printers_before_.begin(), printers_before_.end(), name) != printers_before_.end()) continue;
    record << name << "\n";
    Log("recorded " + name + " in " + options_.record_file);
  }
  if (!record) Log("--record: cannot write " + options_.record_file);
}

int QuietWizardHost::ExitCode(StartResult result, const CKitsetupApp& app, std::ostream& err) {
  const int code = WizardExitCode(result, app.frame());
  std::string why;
  if (code == exit_code::kDone || code == exit_code::kRestartNeeded) {
    if (app.frame() != nullptr && !app.frame()->kept_printer().empty())
      Log("kept " + app.frame()->kept_printer() + ": installed already with this driver on this port (--keep-existing)");
    RecordNewPrinters();
    Log(code == exit_code::kDone ? "done" : "done; Windows must restart");
    return code;
  }
  if (result == StartResult::kAlreadyRunning) {
    why = "another setup program is running";
  } else if (result != StartResult::kFrameClosed) {
    why = start_up_message_;
  } else if (!refusal_.empty()) {
    why = refusal_;
  } else if (!env_.MessageBoxes().empty()) {
    why = OneLine(env_.MessageBoxes().back().text);
  } else {
    why = "the install did not finish";
  }
  Log("ended: " + why);
  err << "kitsetup: " << why << "\n" << std::flush;
  return code;
}

}  // namespace kit::setup::quiet
