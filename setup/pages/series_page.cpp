#include "setup/pages/series_page.h"

#include "common/strings/capacity.h"
#include "ui/fonts.h"
#include "ui/text.h"

namespace kit::setup {
namespace {

constexpr char kSection[] = "Series";
// The model name member's buffer (terminator included).
constexpr std::size_t kModelNameCapacity = 200;
constexpr std::array<const char*, kSeriesCount> kSeriesKeys = {"Receipt", "Ticket", "Label", "Embedded"};

ui::DialogTemplate MakeTemplate() {
  using namespace ui;
  DialogTemplate t;
  t.id = kSeriesDialogId;
  t.cx = kPageWidth;
  t.cy = kPageHeight;
  t.font = DialogFont();
  t.kind = DialogKind::kChild;
  t.centered = false;
  t.controls.push_back({kSeriesGroupId, ControlKind::kGroupBox, u"Select", {4, 2, 262, 150}, kNone});
  const std::array<const char16_t*, kSeriesCount> labels = {u"Receipt", u"Ticket", u"Label", u"Embedded"};
  for (int s = 0; s < kSeriesCount; ++s) {
    const int y = 18 + s * 32;
    t.controls.push_back({kSeriesRadioIds[s], ControlKind::kRadioButton, labels[s], {12, y, 90, 10},
                          (s == 0 ? kGroup : kNone) | kTabStop});
  }
  for (int s = 0; s < kSeriesCount; ++s) {
    const int y = 16 + s * 32;
    t.controls.push_back({kSeriesListIds[s], ControlKind::kComboBox, u"", {108, y, 150, 80},
                          kDropDownList | kVScroll | kTabStop | kGroup});
  }
  t.controls.push_back({kSeriesDefaultId, ControlKind::kCheckBox, u"Default", {12, 158, 240, 10}, kTabStop | kGroup});
  return t;
}

// Whether `text` begins with `prefix`, letters compared without case.
bool StartsWithNoCase(std::u16string_view text, std::u16string_view prefix) {
  if (prefix.size() > text.size()) return false;
  return EqualsNoCase(text.substr(0, prefix.size()), prefix);
}

}  // namespace

const ui::DialogTemplate& CPrinterSeries::Template() const {
  static const ui::DialogTemplate t = MakeTemplate();
  return t;
}

void CPrinterSeries::OnInit(ui::Window& window) {
  AttachWindow(window);
  window.SetText(kSeriesGroupId, Text(kSection, "Select"));
  for (int s = 0; s < kSeriesCount; ++s) window.SetText(kSeriesRadioIds[s], Text(kSection, kSeriesKeys[s]));
  window.SetText(kSeriesDefaultId, Text(kSection, "Default"));

  const int count = ctx_.inf.ModelCount();
  for (int i = 1; i <= count; ++i) {
    const auto entry = ctx_.inf.ReadModelEntry(i);
    if (!entry) continue;
    const int s = static_cast<int>(entry->series);
    models_[s].push_back(entry->name);
    window.AddItem(kSeriesListIds[s], ui::FromAnsi(entry->name));
  }
  has_models_ = false;
  for (int s = 0; s < kSeriesCount; ++s) {
    window.SetSelection(kSeriesListIds[s], 0);
    window.Enable(kSeriesListIds[s], false);
    if (models_[s].empty()) window.Enable(kSeriesRadioIds[s], false);
    else has_models_ = true;
  }

  const auto preset = ctx_.inf.ReadDefaultModel();
  if (!preset) return;  // no series checked, index -1, no model
  const int s = static_cast<int>(preset->series);
  for (int other = 0; other < kSeriesCount; ++other) window.SetChecked(kSeriesRadioIds[other], other == s);
  // The first entry that begins with the model's name, searching from the
  // second entry on and wrapping round to the first.
  const std::u16string wanted = ui::FromAnsi(preset->name);
  const int n = static_cast<int>(models_[s].size());
  for (int k = 1; k <= n; ++k) {
    const int i = k % n;
    if (StartsWithNoCase(window.ItemText(kSeriesListIds[s], i), wanted)) {
      window.SetSelection(kSeriesListIds[s], i);
      break;
    }
  }
  TakeSelection(window, s);
  window.Enable(kSeriesListIds[s], true);
  series_index_ = s;
}

void CPrinterSeries::TakeSelection(ui::Window& window, int series) {
  const int sel = window.Selection(kSeriesListIds[series]);
  if (sel < 0 || sel >= static_cast<int>(models_[series].size())) {
    model_name_.clear();
    return;
  }
  model_name_ = CopyCapped(models_[series][sel], kModelNameCapacity);
}

void CPrinterSeries::ChooseSeries(ui::Window& window, int series) {
  for (int s = 0; s < kSeriesCount; ++s) window.Enable(kSeriesListIds[s], false);
  TakeSelection(window, series);
  window.Enable(kSeriesListIds[series], true);
  series_index_ = series;
}

bool CPrinterSeries::OnCommand(ui::Window& window, int id, ui::Notify code) {
  for (int s = 0; s < kSeriesCount; ++s) {
    if (id == kSeriesRadioIds[s] && code == ui::Notify::kClicked) {
      ChooseSeries(window, s);
      return true;
    }
    if (id == kSeriesListIds[s] && code == ui::Notify::kSelChanged) {
      TakeSelection(window, s);
      return true;
    }
  }
  if (id == kSeriesDefaultId && code == ui::Notify::kClicked) {
    set_as_default_ = window.IsChecked(kSeriesDefaultId);
    return true;
  }
  return false;
}

}  // namespace kit::setup
