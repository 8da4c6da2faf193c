// The main window's opening, its buttons and help.
// This file is OS-independent.
#include "uninstall/dialog/uninstall_dlg.h"

#include "uninstall/config/ini_search.h"
#include "uninstall/config/log_text.h"
#include "uninstall/config/system_values.h"
#include "uninstall/dialog/small_dialogs.h"
#include "uninstall/flow/usb_option.h"
#include "ui/fonts.h"
#include "ui/text.h"

namespace kit::uninstall {
namespace {

constexpr char kMainSection[] = "Uninstall";
constexpr char kMessageSection[] = "Message";
constexpr char kRebootSection[] = "Reboot";
constexpr char kAboutSection[] = "About";
constexpr char16_t kWinspool[] = u"Winspool.drv";
constexpr char kDeletePrinterDriverEx[] = "DeletePrinterDriverExA";
constexpr char16_t kOpenVerb[] = u"open";

ui::DialogTemplate MakeTemplate() {
  using namespace ui;
  DialogTemplate t;
  t.id = kMainDialogId;
  t.caption = kDefaultTitle;
  t.cx = 213;
  t.cy = 169;
  t.font = DialogFont();
  t.kind = DialogKind::kPopup;
  t.minimize_box = true;
  t.controls = {
      {kNoteId, ControlKind::kStatic, u"", {5, 4, 202, 22}, kNone},
      {kComponentListId, ControlKind::kListView, u"", {4, 27, 205, 50},
       kListMode | kCheckBoxes | kFullRowSelect | kHotTrack | kGridLines | kSingleBorder | kTabStop},
      {kUsbBoxId, ControlKind::kCheckBox, u"", {4, 83, 185, 10}, kTabStop},
      {kLogId, ControlKind::kListBox, u"", {4, 98, 204, 44}, kVScroll | kBorder | kTabStop},
      {kUninstallButtonId, ControlKind::kPushButton, u"Uninstall", {2, 149, 65, 15}, kTabStop},
      {kSelectButtonId, ControlKind::kPushButton, u"Select", {73, 149, 65, 15}, kTabStop},
      {kIdCancel, ControlKind::kPushButton, u"Exit", {145, 149, 65, 15}, kTabStop},
  };
  return t;
}

}  // namespace

CUninstallPrinterDlg::CUninstallPrinterDlg(Options options)
    : options_(options), p_(*options.platform), files_(options.platform->files) {}

CUninstallPrinterDlg::~CUninstallPrinterDlg() {
  if (worker_.joinable()) worker_.join();
}

const ui::DialogTemplate& CUninstallPrinterDlg::Template() const {
  static const ui::DialogTemplate t = MakeTemplate();
  return t;
}

std::u16string CUninstallPrinterDlg::Text(const char* key) { return ui::FromAnsi(main_texts_->Get(key)); }

void CUninstallPrinterDlg::MessageBox(const std::string& text) {
  window_->MessageBox(ui::FromAnsi(text), kDefaultTitle, ui::kMbOk);
}

void CUninstallPrinterDlg::OnInit(ui::Window& window) {
  window_ = &window;
  dialog_thread_ = std::this_thread::get_id();
  const codepage::CodePage cp = AnsiCodePage(p_.system);
  const std::string current = ReadCurrentDirectory(p_.system, cp);
  const std::string language = UninstallLanguageFile(p_.system.GetSystemDefaultLangID());
  ini::ProfileOptions profile;
  profile.ansi_code_page = cp;
  messages_ = std::make_unique<CMyString>(files_, current, language, kMessageSection, profile);
  main_texts_ = std::make_unique<CMyString>(files_, current, language, kMainSection, profile);
  reboot_texts_ = std::make_unique<CMyString>(files_, current, language, kRebootSection, profile);
  about_texts_ = std::make_unique<CMyString>(files_, current, language, kAboutSection, profile);

  // 1-2: the font and the system menu.
  if (options_.chinese_font) window.SetFont(ui::ChineseSharedFont());
  window.AddSystemMenuItem(kAboutCommand, ui::FromAnsi(messages_->Get("IDS_ABOUTBOX")));
  window.SetIcon(kProgramIconId);
  // 3: redirection flag, then the OS code.
  const bool redirection = ReadRedirectionFlag(p_.system);
  const int os_code = ReadOsCode(p_.system);
  // 4: Uninstall.ini.
  const IniLocation location = LocateUninstallIni(p_.files, current, cp);
  if (location.outcome != IniSearch::kFound) {
    const std::string message = messages_->Get(IniSearchMessageKey(location.outcome));
    MessageBox(message);
    outcome_.ClosedAtOpen(message);
    window.EndDialog(ui::kIdCancel);
    return;
  }
  // Read once: a file Windows will not give closes the window as a missing
  // one does, instead of reading as empty and finding nothing.
  ini_snapshot_ = std::make_unique<ProfileSnapshot>(p_.files, p_.system);
  if (win32::Error error = win32::kErrorSuccess; !ini_snapshot_->Take(ui::FromAnsi(location.path), &error)) {
    std::string message = kIniUnreadableText + location.path + "\n" +
                          codepage::Utf16ToAnsi(p_.system.FormatMessage(error), cp);
    while (!message.empty() && (message.back() == '\n' || message.back() == '\r' || message.back() == ' '))
      message.pop_back();
    MessageBox(message);
    outcome_.ClosedAtOpen(message);
    window.EndDialog(ui::kIdCancel);
    return;
  }
  ini_ = std::make_unique<UninstallIni>(*ini_snapshot_, location.path, profile, os_code);
  ini_->Load();
  context_.reset(new UninstallContext{p_, cp, current, os_code, redirection, true, *ini_, *messages_,
                                      main_texts_->Get("CaptionName")});
  // 5: the list, with the spooler running (a setup killed while it had
  // stopped it leaves it so). What cannot be listed is logged below.
  const bool spooler_running = StartStoppedSpooler(p_);
  std::vector<std::string> not_listed;
  entries_ = BuildComponentList(*context_, &not_listed);
  // A spooler that does not start lists nothing: it is named first, so the
  // reason of the lists that follow is plain.
  if (!spooler_running) not_listed.insert(not_listed.begin(), kSpoolerNotStarted);
  outcome_.NotListed(not_listed);
  for (const auto& entry : entries_) window.AddItem(kComponentListId, ui::FromAnsi(entry.name));
  if (entries_.empty()) window.Enable(kSelectButtonId, false);
  // 6-7: the first log line, the texts and the caption. An empty list says
  // why it is empty before asking for a selection.
  for (const std::string& what : not_listed) AddLogLine(FormatLogText(kNotListedLine, what));
  if (entries_.empty() && not_listed.empty()) AddLogLine(FormatLogText(messages_->Get(kNothingFoundKey), ""));
  AddLogLine(FormatLogText(messages_->Get("IDS_SELECTPRN1"), ""));
  window.SetText(kNoteId, Text("Note"));
  window.SetText(kUninstallButtonId, Text("Uninstall"));
  window.SetText(kSelectButtonId, Text("Select"));
  window.SetText(ui::kIdCancel, Text("Exit"));
  window.SetText(kUsbBoxId, Text("USBuninstall"));
  // Without a title the window keeps its own, so that setup and a second
  // start still find it.
  if (const std::u16string title = Text("Title"); !title.empty()) window.SetCaption(title);
  announced_ = p_.shell.AnnounceWindow(window.Caption());
  // 8: the spooler library.
  LibraryHandle winspool = p_.system.LoadLibrary(kWinspool);
  if (!winspool) {
    MessageBox(kNoWinspool);
    return;
  }
  context_->has_delete_driver_ex = winspool->HasProc(kDeletePrinterDriverEx);
  // 9: the USB-driver option.
  if (!OfferUsbRemoval(*context_, [&](const std::string& text) { MessageBox(text); },
                       !options_.usb_removal_without_printer)) {
    window.Enable(kUsbBoxId, false);
  }
}

bool CUninstallPrinterDlg::OnCommand(ui::Window& window, int id, ui::Notify code) {
  if (id == kRunOnDialogThreadCommand) {
    RunPendingChange();
    return true;
  }
  if (code == ui::Notify::kMenu && id == kAboutCommand) {
    CAboutDlg about(*about_texts_, options_.chinese_font);
    window.RunModal(about);
    return true;
  }
  if (code != ui::Notify::kClicked) return false;
  switch (id) {
    case kUninstallButtonId:
      if (!running_ && context_) StartRun();
      return true;
    case kSelectButtonId:
      if (running_) return true;
      for (int i = 0; i < window.ItemCount(kComponentListId); ++i) window.SetItemChecked(kComponentListId, i, true);
      return true;
    case ui::kIdCancel:
      // The run enables Exit as its last change to the window, a moment
      // before it has ended: a click then ends the dialog when the run has.
      if (running_) exit_pending_ = true;
      return running_.load();
    default: return false;
  }
}

bool CUninstallPrinterDlg::OnHelp(ui::Window&) {
  // The program's own window may carry the same title: it is not the help.
  const WindowHandle own = announced_ ? announced_->Handle() : 0;
  WindowHandle help = p_.shell.FindWindowEx(0, kHelpWindowTitle);
  if (help != 0 && help == own) help = p_.shell.FindWindowEx(own, kHelpWindowTitle);
  if (help != 0) {
    p_.shell.SetForegroundWindow(help);
    p_.shell.ShowWindow(help, kSwRestore);
    return true;
  }
  ShellExecuteRequest request;
  request.verb = kOpenVerb;
  request.file = kHelpFileEnglish;
  request.show_command = kSwShow;
  if (p_.shell.ShellExecute(request) <= kShellExecuteErrorLimit) {
    request.file = kHelpFileChinese;
    p_.shell.ShellExecute(request);
  }
  return true;
}

void CUninstallPrinterDlg::OnDestroy(ui::Window&) {
  if (worker_.joinable()) worker_.join();
  announced_.reset();
  window_ = nullptr;
}

}  // namespace kit::uninstall
