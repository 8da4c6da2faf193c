// What a receipt user chooses for a job, as the printer application offers
// it over IPP: the vendor options of every driver, their keywords and
// defaults, and how a job's values become the operations at the job's four
// events (start and end of the document and of each page).
//
// The defaults are the document sheet's defaults on Windows: a 60 ms pulse
// of the cash drawer when the document starts, and at its end a feed to the
// cutter and a partial cut. So a till prints the same receipt through the
// kit's Windows driver and through this application.
//
// This file is OS-independent.
#pragma once

#include <functional>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "print/encoder/event_operations.h"
#include "print/model/model_table.h"

namespace kit::printapp {

// A vendor option: its IPP name (the printer's "NAME-supported" and
// "NAME-default" attributes, the job's "NAME"), its keywords and the default.
struct VendorOption {
  std::string_view name;
  std::span<const std::string_view> keywords;
  std::string_view default_keyword;
  std::string_view label;                           // the web interface's texts: the option's,
  std::span<const std::string_view> keyword_labels;  // and each keyword's, in order
};

// The option names, one constant each.
inline constexpr std::string_view kCutModeOption = "cut-mode";
inline constexpr std::string_view kCutTypeOption = "cut-type";
inline constexpr std::string_view kDrawerOption = "cash-drawer";
inline constexpr std::string_view kDrawerPulseOption = "drawer-pulse";
inline constexpr std::string_view kBuzzerOption = "buzzer";
inline constexpr std::string_view kLogoOption = "logo";
inline constexpr std::string_view kLogoPositionOption = "logo-position";
inline constexpr std::string_view kLogoAlignOption = "logo-align";

enum class CutMode { kPerJob, kPerPage, kNone };
enum class DrawerWhen { kNone, kBefore, kAfter };
enum class LogoWhere { kTop, kBottom };

// One job's choices, parsed.
struct JobOptions {
  CutMode cut_mode = CutMode::kPerJob;
  print::encoder::Cut cut = print::encoder::Cut::kPartial;
  DrawerWhen drawer = DrawerWhen::kBefore;
  int drawer_pulse = 4;  // 1..4: 10, 20, 40, 60 ms
  int buzzer = 0;        // 0..5: off, 1, 3, 5, 10, 20 beeps
  int logo = 0;          // 0 none, 1..9 a logo stored in the printer
  LogoWhere logo_where = LogoWhere::kTop;
  print::encoder::Align logo_align = print::encoder::Align::kLeft;
};

// The operations of the four events of a job.
struct JobEvents {
  print::encoder::EventOperations start_document;
  print::encoder::EventOperations start_page;
  print::encoder::EventOperations end_page;
  print::encoder::EventOperations end_document;
};

// The options a model offers: those of the commands it takes (no cash
// drawer option on a model without a drawer connector).
std::vector<VendorOption> OptionsOf(const print::model::Model& model);

// Every option of any model, for the web interface's texts.
std::vector<VendorOption> AllOptions();

// Looks an option's value up by name; nothing when the job does not name it.
using OptionLookup = std::function<std::optional<std::string>(std::string_view name)>;

// The job's options from its values; a value that is not one of the
// option's keywords keeps the default. `trim` is IPP's finishings "trim":
// a cut after every page.
JobOptions ParseJobOptions(const OptionLookup& lookup, bool trim);

// The first option whose value is not one of its keywords, for a
// printer's defaults (a job's unknown value keeps the default instead);
// nothing when every value the lookup gives is offered.
std::optional<std::string_view> UnsupportedValue(std::span<const VendorOption> options, const OptionLookup& lookup);

// The four events' operations for the options. The encoder leaves out what
// a model does not take.
JobEvents EventsOf(const JobOptions& options);

}  // namespace kit::printapp
