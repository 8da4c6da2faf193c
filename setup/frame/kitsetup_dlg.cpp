#include "setup/frame/kitsetup_dlg.h"

#include "common/oscode/os_code.h"
#include "setup/about/about_dialog.h"
#include "setup/app/system_detection.h"
#include "common/bmp/bitmap_decode.h"
#include "setup/printer/port_names.h"
#include "ui/fonts.h"
#include "ui/text.h"

namespace kit::setup {
namespace {

constexpr char kSetup[] = "Setup";
constexpr char16_t kOpenVerb[] = u"open";
constexpr char kGuideFolder[] = ".\\Guide\\";
// The largest wizard picture read (the kit's is a few tens of kilobytes).
constexpr std::uint64_t kMaxLeftBitmapBytes = 8u << 20;

ui::DialogTemplate MakeTemplate() {
  using namespace ui;
  DialogTemplate t;
  t.id = kFrameDialogId;
  t.caption = kFrameTitle;
  t.cx = 392;
  t.cy = 212;
  t.font = DialogFont();
  t.kind = DialogKind::kPopup;
  t.minimize_box = true;
  t.controls = {
      {kLeftBandId, ControlKind::kPicture, u"", {7, 7, 104, 176}, kSingleBorder},
      {kPageAreaId, ControlKind::kStatic, u"", {116, 7, kPageWidth, kPageHeight}, kHidden},
      {kHelpHintId, ControlKind::kStatic, u"", {7, 194, 150, 8}, kNone},
      {kBackId, ControlKind::kPushButton, u"< Back", {210, 190, 54, 14}, kTabStop | kDisabled},
      {kIdOk, ControlKind::kPushButton, u"Next >", {266, 190, 54, 14}, kTabStop | kDefault},
      {kIdCancel, ControlKind::kPushButton, u"Cancel", {331, 190, 54, 14}, kTabStop},
  };
  return t;
}

// The OS code that needs each support key, and the refusal text.
struct SupportRule {
  int os_code;
  const char* key;
  const char* message;
};
constexpr SupportRule kSupportRules[] = {
    {kOsNt4, "SystemNTSupported", "IDS_NOTSUPPORTNT"},
    {kOsServer2003, "System2003Supported", "IDS_NOTSUPPORT2003"},
    {kOsVista, "SystemVistaSupported", "IDS_NOTSUPPORTVISTA"},
    {kOsServer2008, "System2008Supported", "IDS_NOTSUPPORT2008"},
    {kOsWin7, "SystemWin7Supported", "IDS_NOTSUPPORTWin7"},
};

}  // namespace

CKitsetupDlg::CKitsetupDlg(const WizardContext& context, WizardPages pages, bool load_licence)
    : ctx_(context), typed_(pages), load_licence_(load_licence) {
  pages_ = {&pages.legal, &pages.series, &pages.mode, &pages.system, &pages.confirm};
}

const ui::DialogTemplate& CKitsetupDlg::Template() const {
  static const ui::DialogTemplate t = MakeTemplate();
  return t;
}

void CKitsetupDlg::OnInit(ui::Window& window) {
  window_ = &window;
  window.AddSystemMenuItem(kAboutCommand, ctx_.Text("Message", "IDS_ABOUTBOX"));
  window.SetIcon(kProgramIconId);
  if (ctx_.chinese_font) window.SetFont(ui::ChineseSharedFont());
  // Without a caption text the window keeps its template title, so that a
  // second start can still find it.
  const std::u16string caption = ctx_.Text(kSetup, "Caption");
  if (!caption.empty()) window.SetCaption(caption);
  announced_ = ctx_.shell.AnnounceWindow(window.Caption());
  window.SetText(kHelpHintId, ctx_.Text(kSetup, "Help"));

  for (WizardPage* page : pages_) {
    page->SetFrame(this);
    windows_.push_back(window.CreateChild(*page, kPageAreaId));
  }
  if (!load_licence_) {
    EnableNext(true);
    ShowPage(kSeriesPage);
  } else {
    EnableNext(false);
    ShowPage(kLegalPage);
  }
  window.SetText(kBackId, ctx_.Text(kSetup, "Back"));
  window.SetText(ui::kIdOk, ctx_.Text(kSetup, pages_.size() < 2 ? "Install" : "Next"));
  window.SetText(ui::kIdCancel, ctx_.Text(kSetup, "Cancel"));

  Bytes file;
  std::optional<ui::Bitmap> left;
  if (ctx_.files.ReadFile(ui::FromAnsi(ctx_.package_folder + "\\" + kLeftBitmapFile), kMaxLeftBitmapBytes, &file))
    left = bmp::DecodeBitmapFile(file);
  if (!left) {
    ctx_.Message(window, "IDS_ERR_NOLEFT");
    CancelFrame();
    return;
  }
  window.DrawBitmap(kLeftBandId, *left);

  const int os = DetectOs(ctx_.system).code;
  if (os >= kOsWin2000 && os <= kOsWin7 && !IsAdministrator(ctx_.system)) {
    ctx_.Message(window, "IDS_ADMIN");
    CancelFrame();
  }
}

void CKitsetupDlg::OnDestroy(ui::Window&) {
  announced_.reset();
  window_ = nullptr;
}

void CKitsetupDlg::EnableNext(bool enabled) {
  if (window_ != nullptr) window_->Enable(ui::kIdOk, enabled);
}

void CKitsetupDlg::CancelFrame() {
  if (window_ != nullptr) window_->EndDialog(ui::kIdCancel);
}

bool CKitsetupDlg::ShowPage(int n) {
  if (window_ == nullptr || n < 0 || n > LastPage()) return false;
  if (current_ >= 0) {
    if (!pages_[current_]->ValidateAndSave()) return false;
    if (windows_[current_] != nullptr) window_->ShowChild(*windows_[current_], false);
  }
  if (current_ == kModePage && n < kModePage) typed_.confirm.set_reload_baud_rate(true);
  if (current_ == kLegalPage) EnableNext(typed_.series.has_models());
  if (current_ == kSeriesPage && n > kSeriesPage) {
    const int series = typed_.series.series_index();
    const int advanced = series < 0 ? 0
                                    : ctx_.inf.ReadSeriesInt(static_cast<Series>(series),
                                                             typed_.series.model_name() + ".PORT", "AdvancedSetup");
    typed_.mode.AllowAdvanced(advanced != 0);
  }
  if (current_ == kSystemPage && n > kSystemPage && !LeaveSystemPageForward()) {
    current_ = kSystemPage;
    if (windows_[current_] != nullptr) window_->ShowChild(*windows_[current_], true);
    return false;
  }
  current_ = n;
  if (windows_[current_] != nullptr) window_->ShowChild(*windows_[current_], true);
  // The OS page only shows what was detected: on the way forward it is
  // passed at once, and its support checks run.
  if (current_ == kSystemPage && !navigating_back_) window_->PostCommand(ui::kIdOk);
  return true;
}

// The support checks of the model for the detected Windows, and the baud
// rate the model asks for. False when the model does not support it.
bool CKitsetupDlg::LeaveSystemPageForward() {
  const int series = typed_.series.series_index();
  const std::string section = typed_.series.model_name() + ".PORT";
  auto read = [&](const char* key) {
    return series < 0 ? 0 : ctx_.inf.ReadSeriesInt(static_cast<Series>(series), section, key);
  };
  if (typed_.confirm.reload_baud_rate()) {
    typed_.confirm.PreselectBaudRate(read("BaudRate"));
    typed_.confirm.set_reload_baud_rate(false);
  }
  const int os = typed_.system.os_code();
  for (const SupportRule& rule : kSupportRules) {
    if (os == rule.os_code && read(rule.key) == 0) {
      ctx_.Message(*window_, rule.message);
      return false;
    }
  }
  return true;
}

void CKitsetupDlg::GatherForPortPage() {
  request_.series_index = typed_.series.series_index();
  request_.model_name = typed_.series.model_name();
  request_.set_as_default = typed_.series.set_as_default();
  request_.setup_ini = ctx_.inf.PackagePath(kSetupIni);
  request_.series_file = request_.series_index < 0
                             ? std::string{}
                             : ctx_.inf.PackagePath(ctx_.inf.SeriesFileFor(static_cast<Series>(request_.series_index)));
  request_.mode = typed_.mode.mode();
  request_.os_code = typed_.system.os_code();
  typed_.confirm.SetMode(request_.mode);
  typed_.confirm.FillPortList(request_.model_name, request_.os_code, request_.series_index);
}

void CKitsetupDlg::OnNext() {
  if (current_ < LastPage()) {
    ShowPage(current_ + 1);
    if (current_ == LastPage()) {
      GatherForPortPage();
      window_->SetText(ui::kIdOk, ctx_.Text(kSetup, "Install"));
    }
    window_->Enable(kBackId, true);
    window_->SetFocus(ui::kIdOk);
    return;
  }
  OnInstall();
}

void CKitsetupDlg::OnBack() {
  navigating_back_ = true;
  if (current_ > 0) {
    // The button says Next again on every page before the last.
    window_->SetText(ui::kIdOk, ctx_.Text(kSetup, "Next"));
    // From the port page straight to the mode page: the OS page is never
    // shown on the way back.
    ShowPage(current_ == kConfirmPage ? kModePage : current_ - 1);
  }
  if ((!load_licence_ && current_ == kSeriesPage) || current_ == kLegalPage) {
    window_->Enable(kBackId, false);
    window_->SetFocus(ui::kIdOk);
  }
  EnableNext(true);
  navigating_back_ = false;
}

void CKitsetupDlg::OnInstall() {
  for (WizardPage* page : pages_)
    if (!page->ValidateAndSave()) return;
  const CSetupConfirm& port = typed_.confirm;
  request_.series_index = typed_.series.series_index();
  request_.port_name = port.port_name();
  request_.raster = port.raster();
  request_.baud_rate = port.baud_rate();
  request_.data_bits = port.data_bits();
  request_.stop_bits = port.stop_bits();
  request_.parity = port.parity();
  request_.flow = port.flow();
  request_.ip_address = port.ip_address();
  request_.port_kind = KindOfPort(request_.port_name);
  request_.ip_bytes = ParseIpAddressText(request_.ip_address);
  // No model chosen (no series checked): nothing to install.
  if (typed_.series.model_name().empty()) {
    ctx_.Message(*window_, "IDS_ERR_SELPRINTER");
    return;
  }
  install_requested_ = true;
  RunInstall();
}

bool CKitsetupDlg::OnCommand(ui::Window& window, int id, ui::Notify code) {
  if (code == ui::Notify::kMenu) {
    if (id < kAboutCommand || id > kAboutCommandLast) return false;
    AboutDialog about(ctx_.texts, ctx_.chinese_font);
    window.RunModal(about);
    return true;
  }
  if (code != ui::Notify::kClicked) return false;
  switch (id) {
    case ui::kIdOk: OnNext(); return true;
    case kBackId: OnBack(); return true;
    case ui::kIdCancel: window.EndDialog(ui::kIdCancel); return true;
    default: return false;
  }
}

bool CKitsetupDlg::OnHelp(ui::Window&) {
  const std::u16string title = ctx_.Text("Help Guide", "Caption");
  if (const WindowHandle open = title.empty() ? 0 : ctx_.shell.FindWindow(title); open != 0) {
    ctx_.shell.SetForegroundWindow(open);
    ctx_.shell.ShowWindow(open, kSwRestore);
    return true;
  }
  ShellExecuteRequest request;
  request.verb = kOpenVerb;
  request.file = ui::FromAnsi(std::string(kGuideFolder) + HelpFileName(ctx_.language_id));
  ctx_.shell.ShellExecute(request);
  return true;
}

}  // namespace kit::setup
