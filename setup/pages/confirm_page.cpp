#include "setup/pages/confirm_page.h"

#include <cstdio>
#include <cstdlib>

#include "common/oscode/os_code.h"
#include "common/strings/capacity.h"
#include "setup/app/system_detection.h"
#include "ui/fonts.h"
#include "ui/text.h"

namespace kit::setup {
namespace {

constexpr char kSection[] = "Confirm";
// The port name member's buffer (terminator included).
constexpr std::size_t kPortNameCapacity = 100;
constexpr std::size_t kCommonNameCapacity = 200;
constexpr char kDefaultCommonName[] = "KVCOM";
constexpr int kSerialPortCount = 8;
constexpr int kUsbPortCount = 4;
// COMMonitorVisiable: 1 offers the family's own serial ports on 64-bit
// Windows, 0 the system's COM1..COM8, anything else none.
constexpr int kComVisibleOwnPorts = 1;
constexpr int kComVisibleSystemPorts = 0;
// LPTDEFAULT 1: preselect the first parallel port.
constexpr int kLptDefaultParallel = 1;
constexpr std::array<int, 5> kSerialListIds = {kBaudListId, kDataBitsListId, kParityListId, kStopBitsListId,
                                               kFlowListId};
constexpr int kInitialDataBitsIndex = 3;  // "8"
constexpr int kInitialStopBitsIndex = 0;  // "1"
constexpr int kInitialParityIndex = 2;    // the third text, "None"
constexpr int kInitialFlowIndex = 2;      // the third text, "Hardware"
// The letters of the parity and flow-control items, by list position: the
// items' texts are translated, the letters stored with the port are not.
constexpr std::array<char, 5> kParityLetters = {'e', 'm', 'n', 'o', 's'};  // Even, Mark, None, Odd, Space
constexpr std::array<char, 3> kFlowLetters = {' ', 'x', 'p'};             // None, Xon/Xoff, Hardware

// The USB routines' boxes, owned by the page.
class PagePrompts final : public UsbPrompts {
 public:
  PagePrompts(const WizardContext& ctx, ui::Window& window) : ctx_(ctx), window_(window) {}
  void Message(std::string_view key) override { ctx_.Message(window_, key); }
  void Notice(std::string_view text) override { ctx_.Notice(window_, text); }
  bool Ask(std::string_view key) override { return ctx_.Ask(window_, key); }

 private:
  const WizardContext& ctx_;
  ui::Window& window_;
};

// The letter of the selected item; `current` when nothing valid is selected.
template <std::size_t N>
char LetterAt(const std::array<char, N>& letters, int selection, char current) {
  if (selection < 0 || static_cast<std::size_t>(selection) >= N) return current;
  return letters[static_cast<std::size_t>(selection)];
}

ui::DialogTemplate MakeTemplate() {
  using namespace ui;
  DialogTemplate t;
  t.id = kConfirmDialogId;
  t.cx = kPageWidth;
  t.cy = kPageHeight;
  t.font = DialogFont();
  t.kind = DialogKind::kChild;
  t.centered = false;
  const std::uint32_t list = kDropDownList | kVScroll | kTabStop;
  t.controls = {
      {kConfirmGroupId, ControlKind::kGroupBox, u"Set", {4, 2, 262, 170}, kNone},
      {kConfirmPortsLabelId, ControlKind::kStatic, u"Ports", {10, 14, 100, 8}, kNone},
      {kPortListId, ControlKind::kListBox, u"", {10, 24, 100, 84}, kSorted | kVScroll | kBorder | kTabStop | kNotify},
      {kSerialGroupId, ControlKind::kGroupBox, u"Com", {116, 10, 144, 98}, kNone},
      {kBaudLabelId, ControlKind::kStatic, u"BaudRate", {122, 24, 56, 8}, kNone},
      {kBaudListId, ControlKind::kComboBox, u"", {180, 22, 74, 100}, list},
      {kDataBitsLabelId, ControlKind::kStatic, u"ByteSize", {122, 40, 56, 8}, kNone},
      {kDataBitsListId, ControlKind::kComboBox, u"", {180, 38, 74, 60}, list},
      {kParityLabelId, ControlKind::kStatic, u"Parity", {122, 56, 56, 8}, kNone},
      {kParityListId, ControlKind::kComboBox, u"", {180, 54, 74, 70}, list},
      {kStopBitsLabelId, ControlKind::kStatic, u"StopBits", {122, 72, 56, 8}, kNone},
      {kStopBitsListId, ControlKind::kComboBox, u"", {180, 70, 74, 50}, list},
      {kFlowLabelId, ControlKind::kStatic, u"Protocol", {122, 88, 56, 8}, kNone},
      {kFlowListId, ControlKind::kComboBox, u"", {180, 86, 74, 50}, list},
      {kRasterCheckId, ControlKind::kCheckBox, u"Raster Graphic Printing", {10, 114, 150, 10}, kTabStop},
      {kIpLabelId, ControlKind::kStatic, u"IP:", {116, 114, 14, 8}, kNone},
      {kIpAddressId, ControlKind::kIpAddress, u"", {132, 112, 100, 12}, kTabStop},
      {kUsbDriverNoteId, ControlKind::kStatic, u"", {10, 130, 250, 18}, kHidden},
      {kSerialNoteId, ControlKind::kStatic, u"", {10, 150, 250, 18}, kHidden},
  };
  return t;
}

bool Contains(std::string_view text, std::string_view part) { return text.find(part) != std::string_view::npos; }

int ItemIndexOf(ui::Window& window, int id, std::u16string_view text) {
  const int n = window.ItemCount(id);
  for (int i = 0; i < n; ++i)
    if (window.ItemText(id, i) == text) return i;
  return -1;
}

}  // namespace

PortKind KindOfPort(std::string_view name) {
  if (Contains(name, "USB_")) return kPortUsb;
  if (Contains(name, "COM")) return kPortSerial;
  if (Contains(name, "LPT")) return kPortParallel;
  if (Contains(name, "NET")) return kPortNetwork;
  return kPortUnknown;
}

const ui::DialogTemplate& CSetupConfirm::Template() const {
  static const ui::DialogTemplate t = MakeTemplate();
  return t;
}

void CSetupConfirm::OnInit(ui::Window& window) {
  AttachWindow(window);
  const std::pair<int, const char*> labels[] = {
      {kConfirmGroupId, "Set"},         {kConfirmPortsLabelId, "Ports"}, {kSerialGroupId, "Com"},
      {kBaudLabelId, "BaudRate"},       {kParityLabelId, "Parity"},      {kDataBitsLabelId, "ByteSize"},
      {kStopBitsLabelId, "StopBits"},   {kFlowLabelId, "Protocol"},      {kRasterCheckId, "Raster"},
  };
  for (const auto& [id, key] : labels) window.SetText(id, Text(kSection, key));
  window.SetText(kUsbDriverNoteId, Text("Message", "IDS_ERR_UPDATEUSB"));
  window.SetText(kSerialNoteId, Text("Message", "IDS_ERR_UNSUPPORTCOM"));

  for (int rate : kBaudRates) window.AddItem(kBaudListId, ui::FromUtf8(std::to_string(rate)));
  for (const char16_t* bits : {u"5", u"6", u"7", u"8"}) window.AddItem(kDataBitsListId, bits);
  for (const char16_t* stop : {u"1", u"1.5", u"2"}) window.AddItem(kStopBitsListId, stop);
  for (const char* key : {"Parity.Even", "Parity.Mark", "Parity.None", "Parity.Odd", "Parity.Space"})
    window.AddItem(kParityListId, Text(kSection, key));
  for (const char* key : {"Protocol.None", "Protocol.Xonoff", "Protocol.Hardware"})
    window.AddItem(kFlowListId, Text(kSection, key));
  window.SetSelection(kDataBitsListId, kInitialDataBitsIndex);
  window.SetSelection(kStopBitsListId, kInitialStopBitsIndex);
  window.SetSelection(kParityListId, kInitialParityIndex);
  window.SetSelection(kFlowListId, kInitialFlowIndex);
}

void CSetupConfirm::EnableSerialLists(ui::Window& window, bool enabled) {
  for (int id : kSerialListIds) window.Enable(id, enabled);
}

void CSetupConfirm::PreselectBaudRate(int configured) {
  int index = kFallbackBaudIndex;
  for (std::size_t i = 0; i < kBaudRates.size(); ++i)
    if (kBaudRates[i] == configured) index = static_cast<int>(i);
  baud_rate_ = kBaudRates[static_cast<std::size_t>(index)];
  if (window_ != nullptr) window_->SetSelection(kBaudListId, index);
}

void CSetupConfirm::FillPortList(const std::string& model, int os_code, int series) {
  if (window_ == nullptr) return;
  ui::Window& w = *window_;
  if (model == last_model_ && mode_ == last_mode_) return;  // keeps the list and the user's choice
  last_model_ = model;
  last_mode_ = mode_;
  os_code_ = os_code;
  w.ClearItems(kPortListId);
  port_name_.clear();
  // The serial note belongs to the model of this fill only.
  w.Show(kSerialNoteId, false);
  // No series chosen: every key reads as 0, so the list stays empty and the
  // connected printers are not asked about; Install then refuses.
  const bool series_known = IsKnownSeries(static_cast<Series>(series));

  const Series s = static_cast<Series>(series);
  const std::string section = model + ".PORT";
  const bool usb = ctx_.inf.ReadSeriesInt(s, section, "USBSUPPORTED") != 0;
  const bool lpt = ctx_.inf.ReadSeriesInt(s, section, "LPTSUPPORTED") != 0;
  const bool com = ctx_.inf.ReadSeriesInt(s, section, "COMSUPPORTED") != 0;
  const bool net = ctx_.inf.ReadSeriesInt(s, section, "NETSUPPORTED") != 0;
  const int lpt_default = ctx_.inf.ReadSeriesInt(s, section, "LPTDEFAULT");
  const int raster_hidden = ctx_.inf.ReadSeriesInt(s, section, "RASTERVISIABLE");
  const std::string common_name =
      ctx_.inf.ReadSeriesString(s, section, "COMMONNAME", kDefaultCommonName, kCommonNameCapacity);
  // The monitor section of the Windows detected now.
  const std::string monitor_section = "COMMON-MONITOR" + std::string(SetupSectionSuffix(DetectOs(ctx_.system).code));
  const int com_visible = ctx_.inf.ReadInt(kSetupIni, monitor_section, "COMMonitorVisiable");

  auto add = [&](const std::string& name) { w.AddItem(kPortListId, ui::FromAnsi(name)); };
  if (os_code >= kOsNt4 && os_code <= kOsWin7) {
    if (lpt)
      for (const char* p : {"LPT1:", "LPT2:", "LPT3:"}) add(p);
    if (!com) {
      w.Show(kSerialNoteId, true);
    } else if (ctx_.is_64bit && com_visible != kComVisibleOwnPorts) {
      if (com_visible == kComVisibleSystemPorts) {
        for (int i = 1; i <= kSerialPortCount; ++i) add("COM" + std::to_string(i) + ":");
      } else {
        w.Show(kSerialNoteId, true);
      }
    } else {
      for (int i = 1; i <= kSerialPortCount; ++i) add(common_name + std::to_string(i) + ":");
    }
  } else if (os_code == kOsWin9x) {
    if (lpt) add("LPT1:");
    if (com) {
      add("COM1:");
      add("COM2:");
    }
  }
  if (net) {
    add("NET:");
    w.Enable(kIpAddressId, true);
  }

  // The connected printer is asked for its id here too, so that two
  // printers are reported while the port is chosen.
  int classification = kUsbMakerDriverOrNone;
  if (series_known) {
    PagePrompts prompts(ctx_, w);
    ctx_.usb.ReadPrinterUsbId(prompts);
    classification = ctx_.usb.ClassifyConnectedPrinters();
  }
  if (usb && os_code != kOsNt4) {
    const std::string base = "USB_" + model + "_";
    if (mode_ == 1 /* Typical */) {
      add(base + "1");
      if (classification != kUsbClassPrintersOnly) {
        EnableSerialLists(w, false);
        w.Enable(kIpAddressId, false);
      }
    } else if (classification == kUsbClassPrintersOnly) {
      add(base + "1");
    } else {
      for (int i = 1; i <= kUsbPortCount; ++i) add(base + std::to_string(i));
      EnableSerialLists(w, false);
      w.Enable(kIpAddressId, false);
    }
  }

  // Preselection.
  const int count = w.ItemCount(kPortListId);
  int chosen = -1;
  if (usb) {
    for (int i = 0; i < count && chosen < 0; ++i)
      if (Contains(ui::ToAnsi(w.ItemText(kPortListId, i)), "USB_")) chosen = i;
    if (chosen >= 0) {
      EnableSerialLists(w, false);
      w.Enable(kIpAddressId, false);
    }
  }
  if (chosen < 0 && count > 0) {
    chosen = 0;
    if (lpt_default == kLptDefaultParallel && lpt)
      for (int i = 0; i < count; ++i)
        if (Contains(ui::ToAnsi(w.ItemText(kPortListId, i)), "LPT")) {
          chosen = i;
          break;
        }
  }
  if (chosen >= 0) {
    w.SetSelection(kPortListId, chosen);
    port_name_ = CopyCapped(ui::ToAnsi(w.ItemText(kPortListId, chosen)), kPortNameCapacity);
  }
  ApplyPortChoice(w);
  w.Show(kRasterCheckId, raster_hidden == 0);
  TransferToControls(w);
}

void CSetupConfirm::UpdateUsbNote(ui::Window& window) {
  if (os_code_ < kOsWin2000 || os_code_ > kOsWin7) return;
  const bool missing = ctx_.usb.InstalledUsbDriverVersion() == kNoDriverVersion;
  window.Show(kUsbDriverNoteId, missing);
}

// What the selected port decides after a fill.
void CSetupConfirm::ApplyPortChoice(ui::Window& w) {
  switch (KindOfPort(port_name_)) {
    case kPortUsb:
      w.Enable(kRasterCheckId, true);
      raster_ = 1;
      UpdateUsbNote(w);
      break;
    case kPortParallel:
    case kPortNetwork:
      w.Show(kUsbDriverNoteId, false);
      raster_ = 1;
      w.Enable(kRasterCheckId, true);
      EnableSerialLists(w, false);
      w.Enable(kIpAddressId, KindOfPort(port_name_) == kPortNetwork);
      break;
    case kPortSerial:
      w.Show(kUsbDriverNoteId, false);
      w.Enable(kRasterCheckId, false);
      raster_ = 0;
      EnableSerialLists(w, true);
      break;
    case kPortUnknown:
      break;
  }
}

void CSetupConfirm::OnPortChanged(ui::Window& w) {
  const int sel = w.Selection(kPortListId);
  port_name_ = sel < 0 ? std::string{} : CopyCapped(ui::ToAnsi(w.ItemText(kPortListId, sel)), kPortNameCapacity);
  const PortKind kind = KindOfPort(port_name_);
  if (kind == kPortSerial) {
    EnableSerialLists(w, true);
    w.Enable(kRasterCheckId, false);
    w.Enable(kIpAddressId, false);
    w.Show(kUsbDriverNoteId, false);
    raster_ = 0;
  } else {
    EnableSerialLists(w, false);
    w.Enable(kRasterCheckId, true);
    w.Enable(kIpAddressId, false);
    raster_ = 1;
    if (kind == kPortNetwork) w.Enable(kIpAddressId, true);
    // A USB port shows the driver note by the same rule as the fill.
    if (kind == kPortUsb) UpdateUsbNote(w);
    else w.Show(kUsbDriverNoteId, false);
  }
  TransferToControls(w);
}

void CSetupConfirm::OnSerialListChanged(ui::Window& w, int id) {
  const int sel = w.Selection(id);
  const std::string text = sel < 0 ? std::string{} : ui::ToAnsi(w.ItemText(id, sel));
  switch (id) {
    case kBaudListId: baud_rate_ = LeadingDecimal(text); break;
    case kDataBitsListId: data_bits_ = LeadingDecimal(text); break;
    case kStopBitsListId: stop_bits_ = std::atof(text.c_str()); break;
    case kParityListId: parity_ = LetterAt(kParityLetters, sel, parity_); break;
    case kFlowListId: flow_ = LetterAt(kFlowLetters, sel, flow_); break;
    default: break;
  }
}

void CSetupConfirm::TransferToControls(ui::Window& w) {
  const int index = ItemIndexOf(w, kPortListId, ui::FromAnsi(port_name_));
  if (index >= 0) w.SetSelection(kPortListId, index);
  // The IP address control keeps what the user typed; it is read at Install.
  w.SetChecked(kRasterCheckId, raster_ != 0);
}

bool CSetupConfirm::OnCommand(ui::Window& window, int id, ui::Notify code) {
  if (id == kPortListId && code == ui::Notify::kSelChanged) {
    OnPortChanged(window);
    return true;
  }
  if (code == ui::Notify::kSelChanged) {
    for (int list : kSerialListIds)
      if (id == list) {
        OnSerialListChanged(window, id);
        return true;
      }
  }
  if (id == kRasterCheckId && code == ui::Notify::kClicked) {
    raster_ = window.IsChecked(kRasterCheckId) ? 1 : 0;
    return true;
  }
  return false;
}

bool CSetupConfirm::ValidateAndSave() {
  if (window_ == nullptr) return true;
  const int sel = window_->Selection(kPortListId);
  if (sel >= 0) port_name_ = CopyCapped(ui::ToAnsi(window_->ItemText(kPortListId, sel)), kPortNameCapacity);
  raster_ = window_->IsChecked(kRasterCheckId) ? 1 : 0;
  ip_address_ = ui::ToAnsi(window_->Text(kIpAddressId));
  return true;
}

}  // namespace kit::setup
