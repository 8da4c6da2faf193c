// This file is OS-independent.
#include "monitors/portui/serial_port_page.h"

#include <algorithm>
#include <iterator>
#include <utility>

#include "ui/fonts.h"

namespace kit::monitors {
namespace {

// The labels' ids, so that each language can name them.
constexpr int kPortLabelId = 1210;
constexpr int kBaudLabelId = 1211;
constexpr int kDataBitsLabelId = 1212;
constexpr int kParityLabelId = 1213;
constexpr int kStopBitsLabelId = 1214;
constexpr int kFlowLabelId = 1215;

ui::DialogTemplate MakeSerialTemplate() {
  using namespace ui;
  DialogTemplate t;
  t.id = kSerialDialogId;
  t.caption = u"Configure Port";
  t.cx = 200;
  t.cy = 142;
  t.font = DialogFont();
  t.kind = DialogKind::kPopup;
  // A drop-down list's rectangle includes its opened list.
  constexpr std::uint32_t kList = kDropDownList | kVScroll | kTabStop;
  t.controls = {
      {kPortLabelId, ControlKind::kStatic, u"Port:", {10, 10, 80, 8}, kNone},
      {kPortNameId, ControlKind::kStatic, u"", {95, 10, 95, 8}, kNone},
      {kBaudLabelId, ControlKind::kStatic, u"Bits per second:", {10, 28, 80, 8}, kNone},
      {kBaudListId, ControlKind::kComboBox, u"", {95, 26, 95, 120}, kList | kGroup},
      {kDataBitsLabelId, ControlKind::kStatic, u"Data bits:", {10, 46, 80, 8}, kNone},
      {kDataBitsListId, ControlKind::kComboBox, u"", {95, 44, 95, 80}, kList},
      {kParityLabelId, ControlKind::kStatic, u"Parity:", {10, 64, 80, 8}, kNone},
      {kParityListId, ControlKind::kComboBox, u"", {95, 62, 95, 80}, kList},
      {kStopBitsLabelId, ControlKind::kStatic, u"Stop bits:", {10, 82, 80, 8}, kNone},
      {kStopBitsListId, ControlKind::kComboBox, u"", {95, 80, 95, 80}, kList},
      {kFlowLabelId, ControlKind::kStatic, u"Flow control:", {10, 100, 80, 8}, kNone},
      {kFlowListId, ControlKind::kComboBox, u"", {95, 98, 95, 80}, kList},
      // The note takes the place of Restore Defaults and OK, which it
      // replaces when the settings cannot be changed.
      {kReadOnlyNoteId, ControlKind::kStatic, u"", {10, 118, 125, 18}, kHidden},
      {kRestoreDefaultsId, ControlKind::kPushButton, u"Restore Defaults", {10, 120, 70, 14}, kTabStop},
      {ui::kIdOk, ControlKind::kPushButton, u"OK", {86, 120, 50, 14}, kDefault | kTabStop},
      {ui::kIdCancel, ControlKind::kPushButton, u"Cancel", {140, 120, 50, 14}, kTabStop},
  };
  return t;
}


// The index of `value` in `choices`; 0 when it is not there.
template <typename T, std::size_t N>
int IndexOf(const T (&choices)[N], T value) {
  const auto at = std::find(std::begin(choices), std::end(choices), value);
  return at == std::end(choices) ? 0 : static_cast<int>(at - std::begin(choices));
}

// The entry of `choices` a list shows; the first when nothing is selected.
template <typename T, std::size_t N>
T ChoiceAt(const T (&choices)[N], int index) {
  return choices[index >= 0 && static_cast<std::size_t>(index) < N ? index : 0];
}

}  // namespace

std::vector<std::uint32_t> BaudChoices(std::uint32_t current) {
  std::vector<std::uint32_t> bauds(std::begin(kOfferedBauds), std::end(kOfferedBauds));
  const auto at = std::lower_bound(bauds.begin(), bauds.end(), current);
  if (at == bauds.end() || *at != current) bauds.insert(at, current);
  return bauds;
}

SerialPortPage::SerialPortPage(const PortUiTexts& texts, WString port, SerialSettings settings,
                               XcvChannel* channel, ErrorDescriber describe)
    : texts_(texts),
      port_(std::move(port)),
      settings_(settings),
      channel_(channel),
      describe_(std::move(describe)),
      bauds_(BaudChoices(settings.baud)) {}

const ui::DialogTemplate& SerialPortPage::Template() const {
  static const ui::DialogTemplate t = MakeSerialTemplate();
  return t;
}

void SerialPortPage::OnInit(ui::Window& window) {
  if (texts_.chinese_font) window.SetFont(ui::ChineseSharedFont());
  window.SetCaption(texts_.caption);
  window.SetText(kPortLabelId, texts_.port);
  window.SetText(kPortNameId, port_);
  window.SetText(kBaudLabelId, texts_.baud);
  window.SetText(kDataBitsLabelId, texts_.data_bits);
  window.SetText(kParityLabelId, texts_.parity);
  window.SetText(kStopBitsLabelId, texts_.stop_bits);
  window.SetText(kFlowLabelId, texts_.flow);
  window.SetText(kRestoreDefaultsId, texts_.defaults);
  window.SetText(ui::kIdOk, texts_.ok);
  window.SetText(ui::kIdCancel, texts_.cancel);

  for (const std::uint32_t baud : bauds_) window.AddItem(kBaudListId, DecimalText(baud));
  for (const std::uint8_t bits : kDataBitChoices) window.AddItem(kDataBitsListId, DecimalText(bits));
  for (const std::u16string& name : texts_.parity_names) window.AddItem(kParityListId, name);
  for (const char16_t* stop : {u"1", u"1.5", u"2"}) window.AddItem(kStopBitsListId, stop);
  for (const std::u16string& name : texts_.flow_names) window.AddItem(kFlowListId, name);
  ShowSettings(window, settings_);

  if (channel_ == nullptr) {
    for (const int id : {kBaudListId, kDataBitsListId, kParityListId, kStopBitsListId, kFlowListId}) {
      window.Enable(id, false);
    }
    window.Show(kRestoreDefaultsId, false);
    window.Show(ui::kIdOk, false);
    window.SetText(ui::kIdCancel, texts_.close);
    window.SetText(kReadOnlyNoteId, texts_.read_only);
    window.Show(kReadOnlyNoteId, true);
  }
}

void SerialPortPage::ShowSettings(ui::Window& window, const SerialSettings& settings) {
  const auto baud = std::find(bauds_.begin(), bauds_.end(), settings.baud);
  window.SetSelection(kBaudListId, baud == bauds_.end() ? -1 : static_cast<int>(baud - bauds_.begin()));
  window.SetSelection(kDataBitsListId, IndexOf(kDataBitChoices, settings.data_bits));
  window.SetSelection(kParityListId, IndexOf(kParityChoices, settings.parity));
  window.SetSelection(kStopBitsListId, IndexOf(kStopBitChoices, settings.stop_bits));
  window.SetSelection(kFlowListId, IndexOf(kFlowChoices, settings.flow));
}

SerialSettings SerialPortPage::Chosen(const ui::Window& window) const {
  SerialSettings s;
  const int baud = window.Selection(kBaudListId);
  s.baud = baud >= 0 && static_cast<std::size_t>(baud) < bauds_.size() ? bauds_[baud] : settings_.baud;
  s.data_bits = ChoiceAt(kDataBitChoices, window.Selection(kDataBitsListId));
  s.parity = ChoiceAt(kParityChoices, window.Selection(kParityListId));
  s.stop_bits = ChoiceAt(kStopBitChoices, window.Selection(kStopBitsListId));
  s.flow = ChoiceAt(kFlowChoices, window.Selection(kFlowListId));
  return s;
}

void SerialPortPage::Fail(ui::Window& window, std::u16string_view text, std::uint32_t error) {
  const std::u16string message =
      FillText(text, {port_, DecimalText(error), describe_ ? describe_(error) : std::u16string()});
  window.MessageBox(message, texts_.caption, ui::kMbOk | ui::kMbIconError);
}

bool SerialPortPage::OnCommand(ui::Window& window, int id, ui::Notify code) {
  if (code != ui::Notify::kClicked) return false;
  if (id == kRestoreDefaultsId) {
    ShowSettings(window, kDefaultSerialSettings);
    return true;
  }
  if (id != ui::kIdOk) return false;
  if (channel_ == nullptr) {
    window.EndDialog(ui::kIdCancel);
    return true;
  }
  const SerialSettings chosen = Chosen(window);
  // The monitor refuses what no serial port takes: say which rule, before
  // asking it.
  if (!ParseSerialSettings(FormatSerialSettings(chosen))) {
    window.MessageBox(texts_.bad_combination, texts_.caption, ui::kMbOk | ui::kMbIconWarning);
    return true;
  }
  const std::uint32_t status = SetPortSettings(*channel_, port_, chosen);
  if (status != 0) {
    Fail(window, texts_.write_failed, status);
    return true;
  }
  settings_ = chosen;
  window.EndDialog(ui::kIdOk);
  return true;
}

}  // namespace kit::monitors
