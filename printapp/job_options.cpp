// This file is OS-independent.
#include "printapp/job_options.h"

#include <algorithm>
#include <array>
#include <iterator>

namespace kit::printapp {
namespace {

using print::encoder::Align;
using print::encoder::Cut;
using print::model::Model;

constexpr std::array<std::string_view, 3> kCutModes{"per-job", "per-page", "none"};
constexpr std::array<std::string_view, 2> kCutTypes{"partial", "full"};
constexpr std::array<std::string_view, 3> kDrawerWhens{"none", "before", "after"};
// The document sheet's "Cash Drawer Waiting 10ms" .. "60ms", choices 1 to 4.
constexpr std::array<std::string_view, 4> kDrawerPulses{"pulse-10ms", "pulse-20ms", "pulse-40ms", "pulse-60ms"};
// "Beep off" .. "Beep twenty", choices 0 to 5.
constexpr std::array<std::string_view, 6> kBuzzers{"off", "beep-1", "beep-3", "beep-5", "beep-10", "beep-20"};
// "Not Print Logo", "Print Logo1" .. "Print Logo9".
constexpr std::array<std::string_view, 10> kLogos{"none",   "logo-1", "logo-2", "logo-3", "logo-4",
                                                  "logo-5", "logo-6", "logo-7", "logo-8", "logo-9"};
constexpr std::array<std::string_view, 2> kLogoWheres{"top", "bottom"};
constexpr std::array<std::string_view, 3> kLogoAligns{"left", "center", "right"};

// The web interface's texts, the document sheet's where it has them.
constexpr std::array<std::string_view, 3> kCutModeLabels{"At the end of each job", "At the end of each page",
                                                         "No Cut"};
constexpr std::array<std::string_view, 2> kCutTypeLabels{"Partial Cut", "Full Cut"};
constexpr std::array<std::string_view, 3> kDrawerWhenLabels{"No Cash Drawer", "Open before printing",
                                                            "Open after printing"};
constexpr std::array<std::string_view, 4> kDrawerPulseLabels{"Cash Drawer Waiting 10ms", "Cash Drawer Waiting 20ms",
                                                             "Cash Drawer Waiting 40ms", "Cash Drawer Waiting 60ms"};
constexpr std::array<std::string_view, 6> kBuzzerLabels{"Beep off", "Beep one", "Beep three",
                                                        "Beep five", "Beep ten", "Beep twenty"};
constexpr std::array<std::string_view, 10> kLogoLabels{"Not Print Logo", "Print Logo1", "Print Logo2", "Print Logo3",
                                                       "Print Logo4",    "Print Logo5", "Print Logo6", "Print Logo7",
                                                       "Print Logo8",    "Print Logo9"};
constexpr std::array<std::string_view, 2> kLogoWhereLabels{"Top of the receipt", "Bottom of the receipt"};
constexpr std::array<std::string_view, 3> kLogoAlignLabels{"Left", "Centered", "Right"};

// The sheet's defaults: drawer list 4 at Start of Document, partial cut at
// End of Document.
constexpr int kDefaultDrawerPulse = 4;

constexpr VendorOption kCutModeVendor{kCutModeOption, kCutModes, "per-job", "Paper Cut", kCutModeLabels};
constexpr VendorOption kCutTypeVendor{kCutTypeOption, kCutTypes, "partial", "Cut Type", kCutTypeLabels};
constexpr VendorOption kDrawerVendor{kDrawerOption, kDrawerWhens, "before", "Open Drawer", kDrawerWhenLabels};
constexpr VendorOption kDrawerPulseVendor{kDrawerPulseOption, kDrawerPulses, "pulse-60ms", "Drawer Pulse",
                                          kDrawerPulseLabels};
constexpr VendorOption kBuzzerVendor{kBuzzerOption, kBuzzers, "off", "Buzzer", kBuzzerLabels};
constexpr VendorOption kLogoVendor{kLogoOption, kLogos, "none", "Print Logo", kLogoLabels};
constexpr VendorOption kLogoPositionVendor{kLogoPositionOption, kLogoWheres, "top", "Logo Position",
                                           kLogoWhereLabels};
constexpr VendorOption kLogoAlignVendor{kLogoAlignOption, kLogoAligns, "left", "Align", kLogoAlignLabels};

// The index of the job's value among `keywords`, or `fallback` when the job
// names no value or one that is not a keyword of the option.
template <std::size_t N>
int Choice(const OptionLookup& lookup, std::string_view name, const std::array<std::string_view, N>& keywords,
           int fallback) {
  const std::optional<std::string> value = lookup(name);
  if (!value) return fallback;
  const auto it = std::find(keywords.begin(), keywords.end(), *value);
  return it == keywords.end() ? fallback : static_cast<int>(std::distance(keywords.begin(), it));
}

}  // namespace

std::vector<VendorOption> OptionsOf(const Model& model) {
  std::vector<VendorOption> options;
  if (model.Takes(print::model::kPartialCut) || model.Takes(print::model::kFullCut)) {
    options.push_back(kCutModeVendor);
    if (model.Takes(print::model::kPartialCut) && model.Takes(print::model::kFullCut)) {
      options.push_back(kCutTypeVendor);
    }
  }
  if (model.Takes(print::model::kDrawer)) {
    options.push_back(kDrawerVendor);
    options.push_back(kDrawerPulseVendor);
  }
  if (model.Takes(print::model::kBuzzer)) options.push_back(kBuzzerVendor);
  if (model.Takes(print::model::kLogo)) {
    options.push_back(kLogoVendor);
    options.push_back(kLogoPositionVendor);
    options.push_back(kLogoAlignVendor);
  }
  return options;
}

std::vector<VendorOption> AllOptions() {
  return {kCutModeVendor, kCutTypeVendor,  kDrawerVendor,       kDrawerPulseVendor,
          kBuzzerVendor,  kLogoVendor,     kLogoPositionVendor, kLogoAlignVendor};
}

JobOptions ParseJobOptions(const OptionLookup& lookup, bool trim) {
  JobOptions o;
  o.cut_mode = static_cast<CutMode>(Choice(lookup, kCutModeOption, kCutModes, 0));
  if (trim) o.cut_mode = CutMode::kPerPage;
  o.cut = Choice(lookup, kCutTypeOption, kCutTypes, 0) == 1 ? Cut::kFull : Cut::kPartial;
  o.drawer = static_cast<DrawerWhen>(Choice(lookup, kDrawerOption, kDrawerWhens, 1));
  o.drawer_pulse = Choice(lookup, kDrawerPulseOption, kDrawerPulses, kDefaultDrawerPulse - 1) + 1;
  o.buzzer = Choice(lookup, kBuzzerOption, kBuzzers, 0);
  o.logo = Choice(lookup, kLogoOption, kLogos, 0);
  o.logo_where = static_cast<LogoWhere>(Choice(lookup, kLogoPositionOption, kLogoWheres, 0));
  o.logo_align = static_cast<Align>(Choice(lookup, kLogoAlignOption, kLogoAligns, 0));
  return o;
}

std::optional<std::string_view> UnsupportedValue(std::span<const VendorOption> options, const OptionLookup& lookup) {
  for (const VendorOption& option : options) {
    const std::optional<std::string> value = lookup(option.name);
    if (value && std::find(option.keywords.begin(), option.keywords.end(), *value) == option.keywords.end()) {
      return option.name;
    }
  }
  return std::nullopt;
}

JobEvents EventsOf(const JobOptions& options) {
  JobEvents e;
  // The cut ends a receipt: a page's with a cut per page, else the job's.
  // The logo stands at the top or the bottom of that same receipt.
  const bool per_page = options.cut_mode == CutMode::kPerPage;
  auto& receipt_start = per_page ? e.start_page : e.start_document;
  auto& receipt_end = per_page ? e.end_page : e.end_document;

  if (options.cut_mode != CutMode::kNone) {
    receipt_end.cut = options.cut;
    receipt_end.feed_to_cut = true;
  }
  if (options.logo > 0) {
    auto& where = options.logo_where == LogoWhere::kTop ? receipt_start : receipt_end;
    where.logo = options.logo;
    where.logo_align = options.logo_align;
    where.logo_after_cut = false;
  }
  if (options.drawer == DrawerWhen::kBefore) e.start_document.drawer = options.drawer_pulse;
  if (options.drawer == DrawerWhen::kAfter) e.end_document.drawer = options.drawer_pulse;
  e.end_document.buzzer = options.buzzer;
  return e;
}

}  // namespace kit::printapp
