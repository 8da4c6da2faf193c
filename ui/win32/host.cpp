#include "ui/win32/host.h"
#include "ui/win32/dialog_host.h"

#include <commctrl.h>

#include <algorithm>
#include <cstdio>
#include <map>
#include <tuple>

#include "ui/dialog_bytes.h"
#include "ui/win32/controls_more.h"
#include "ui/win32/file_dialog_win32.h"
#include "ui/win32/shell_dialogs_win32.h"

namespace kit::ui::win32 {
namespace {

// The scroll code that only ends a trackbar or up-down movement.
constexpr int kEndScroll = 8;

HINSTANCE g_instance = nullptr;

}  // namespace

void LogFailure(const char* api) {
  std::fprintf(stderr, "ui/win32: %s failed, error %lu\n", api, GetLastError());
}

bool InitCommonControls() {
  INITCOMMONCONTROLSEX icc{sizeof icc, ICC_WIN95_CLASSES | ICC_INTERNET_CLASSES | ICC_PROGRESS_CLASS |
                                           ICC_BAR_CLASSES | ICC_UPDOWN_CLASS | ICC_LISTVIEW_CLASSES |
                                           ICC_TREEVIEW_CLASSES | ICC_TAB_CLASSES | ICC_STANDARD_CLASSES};
  if (!InitCommonControlsEx(&icc)) {
    LogFailure("InitCommonControlsEx");
    return false;
  }
  return true;
}

void SetModuleInstance(HINSTANCE instance) { g_instance = instance; }
HINSTANCE ModuleInstance() { return g_instance != nullptr ? g_instance : GetModuleHandleW(nullptr); }

// ------------------------------------------------------------------ DialogHost

void DialogHost::Attach(HWND hwnd) {
  hwnd_ = hwnd;
  SetWindowLongPtrW(hwnd, DWLP_USER, reinterpret_cast<LONG_PTR>(this));
  tree_items_.clear();
  Guard g(this);
  // What the template says that the dialog template bytes cannot carry.
  for (const auto& c : page_.Template().controls) {
    HWND h = GetDlgItem(hwnd, c.id);
    if (h == nullptr) continue;
    if (c.text_limit > 0) {
      SendMessageW(h, c.kind == ControlKind::kComboBox ? CB_LIMITTEXT : EM_LIMITTEXT,
                   static_cast<WPARAM>(c.text_limit), 0);
    }
    if (c.kind == ControlKind::kListView) {
      const DWORD ex = ListViewExStyleBits(c);
      SendMessageW(h, LVM_SETEXTENDEDLISTVIEWSTYLE, ex, ex);
      if (c.Has(kReportView)) {
        RECT r;
        GetClientRect(h, &r);
        LVCOLUMNW column{};
        column.mask = LVCF_WIDTH;
        column.cx = r.right - r.left;
        SendMessageW(h, LVM_INSERTCOLUMNW, 0, reinterpret_cast<LPARAM>(&column));
      }
    }
    if (c.kind == ControlKind::kUpDown && c.buddy != 0) {
      SendMessageW(h, UDM_SETBUDDY, reinterpret_cast<WPARAM>(GetDlgItem(hwnd, c.buddy)), 0);
    }
  }
}

void DialogHost::Command(int id, Notify code) {
  const bool handled = page_.OnCommand(*this, id, code);
  if (!handled && code == Notify::kClicked && (id == kIdOk || id == kIdCancel) &&
      (mode_ == Mode::kModal || mode_ == Mode::kModeless))
    EndDialog(id);
}

INT_PTR CALLBACK DialogHost::DialogProc(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam) {
  auto* host = reinterpret_cast<DialogHost*>(GetWindowLongPtrW(hwnd, DWLP_USER));
  if (message == WM_INITDIALOG) {
    host = reinterpret_cast<DialogHost*>(lparam);
    host->Attach(hwnd);
  }
  return host != nullptr ? host->Handle(message, wparam, lparam) : FALSE;
}

INT_PTR CALLBACK DialogHost::PageProc(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam) {
  auto* host = reinterpret_cast<DialogHost*>(GetWindowLongPtrW(hwnd, DWLP_USER));
  if (message == WM_INITDIALOG) {
    // A sheet page gets its own copy of the page record; the host rides in its lParam.
    host = reinterpret_cast<DialogHost*>(reinterpret_cast<const PROPSHEETPAGEW*>(lparam)->lParam);
    host->Attach(hwnd);
  }
  return host != nullptr ? host->Handle(message, wparam, lparam) : FALSE;
}

INT_PTR DialogHost::Handle(UINT message, WPARAM wparam, LPARAM lparam) {
  switch (message) {
    case WM_INITDIALOG:
      page_.OnInit(*this);
      return TRUE;
    case WM_COMMAND: {
      if (page_call_ > 0) return TRUE;
      const int id = LOWORD(wparam);
      const int code = HIWORD(wparam);
      if (lparam == 0) {  // Enter, Escape or an accelerator
        Command(id, Notify::kClicked);
        return TRUE;
      }
      switch (KindOf(id)) {
        case ControlKind::kPushButton:
        case ControlKind::kCheckBox:
        case ControlKind::kRadioButton:
        case ControlKind::kStatic:
        case ControlKind::kPicture:
          if (code == BN_CLICKED) Command(id, Notify::kClicked);
          break;
        case ControlKind::kEdit:
          if (code == EN_CHANGE) Command(id, Notify::kChanged);
          if (code == EN_KILLFOCUS) Command(id, Notify::kKillFocus);
          break;
        case ControlKind::kListBox:
          if (code == LBN_SELCHANGE) Command(id, Notify::kSelChanged);
          if (code == LBN_DBLCLK) Command(id, Notify::kDoubleClicked);
          break;
        case ControlKind::kComboBox:
          if (code == CBN_SELCHANGE) Command(id, Notify::kSelChanged);
          if (code == CBN_EDITCHANGE) Command(id, Notify::kChanged);
          break;
        case ControlKind::kIpAddress:
          if (code == EN_CHANGE) Command(id, Notify::kChanged);
          break;
        default: break;
      }
      return TRUE;
    }
    case kPostedCommand:
      Command(static_cast<int>(wparam), Notify::kClicked);
      return TRUE;
    case WM_NOTIFY: {
      LRESULT result = 0;
      if (HandleNotify(reinterpret_cast<const NMHDR*>(lparam), &result)) {
        SetWindowLongPtrW(hwnd_, DWLP_MSGRESULT, result);
        return TRUE;
      }
      return FALSE;
    }
    case WM_HSCROLL:
    case WM_VSCROLL: {
      if (page_call_ > 0 || lparam == 0) return FALSE;
      const int id = GetDlgCtrlID(reinterpret_cast<HWND>(lparam));
      const ControlKind kind = KindOf(id);
      if (LOWORD(wparam) == kEndScroll) {
        // TB_ENDTRACK: a trackbar tells its page; an up-down's end is not news.
        if (kind == ControlKind::kTrackbar) Command(id, Notify::kScrollEnded);
        return kind == ControlKind::kTrackbar ? TRUE : FALSE;
      }
      if (kind == ControlKind::kTrackbar || kind == ControlKind::kUpDown) Command(id, Notify::kScrolled);
      return TRUE;
    }
    case WM_TIMER:
      page_.OnTimer(*this, static_cast<int>(wparam));
      return TRUE;
    case WM_PAINT: {
      class GdiPainter final : public Painter {
       public:
        GdiPainter(HWND hwnd, HDC dc) : hwnd_(hwnd), dc_(dc) {}
        Rect ClientRect() const override {
          RECT r;
          GetClientRect(hwnd_, &r);
          return {r.left, r.top, r.right - r.left, r.bottom - r.top};
        }
        void DrawText(const Rect& box, std::u16string_view text, const FontSpec& font, Color color,
                      TextAlign align) override {
          HFONT f = CreateFontW(font.height, 0, 0, 0, font.weight, font.italic, FALSE, FALSE, font.charset,
                                OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, font.pitch_and_family,
                                Wide(font.face).c_str());
          HGDIOBJ old = SelectObject(dc_, f);
          SetTextColor(dc_, RGB(color.r, color.g, color.b));
          SetBkMode(dc_, TRANSPARENT);
          RECT r{box.x, box.y, box.x + box.cx, box.y + box.cy};
          std::wstring w = Wide(text);
          UINT format = DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX | (align == TextAlign::kCenter ? DT_CENTER : DT_LEFT);
          ::DrawTextW(dc_, w.c_str(), static_cast<int>(w.size()), &r, format);
          SelectObject(dc_, old);
          DeleteObject(f);
        }
        void FillRect(const Rect& box, Color color) override {
          HBRUSH b = CreateSolidBrush(RGB(color.r, color.g, color.b));
          RECT r{box.x, box.y, box.x + box.cx, box.y + box.cy};
          ::FillRect(dc_, &r, b);
          DeleteObject(b);
        }

       private:
        HWND hwnd_;
        HDC dc_;
      };
      PAINTSTRUCT ps;
      HDC dc = BeginPaint(hwnd_, &ps);
      GdiPainter painter(hwnd_, dc);
      if (icon_ != nullptr && IsIconic(hwnd_))
        detail::PaintMinimisedIcon(hwnd_, dc, icon_);
      else
        page_.OnPaint(*this, painter);
      EndPaint(hwnd_, &ps);
      return TRUE;
    }
    case WM_QUERYDRAGICON:  // answered by the return value itself
      return reinterpret_cast<INT_PTR>(icon_);
    case WM_DRAWITEM: {
      const auto* draw = reinterpret_cast<const DRAWITEMSTRUCT*>(lparam);
      if (draw->CtlType != ODT_STATIC) return FALSE;
      PaintPicture(draw);
      return TRUE;
    }
    case WM_SYSCOMMAND: {
      const int command = static_cast<int>(wparam & 0xFFF0);
      if (std::find(system_menu_.begin(), system_menu_.end(), command) == system_menu_.end()) return FALSE;
      Command(command, Notify::kMenu);
      SetWindowLongPtrW(hwnd_, DWLP_MSGRESULT, 0);
      return TRUE;
    }
    case WM_HELP:
      return page_.OnHelp(*this) ? TRUE : FALSE;
    case WM_DESTROY:
      page_.OnDestroy(*this);
      children_.clear();
      if (font_ != nullptr) {
        DeleteObject(font_);
        font_ = nullptr;
      }
      tooltip_ = nullptr;  // owned by the dialog, destroyed with it
      return FALSE;
    case WM_NCDESTROY:
      hwnd_ = nullptr;
      return FALSE;
    default: return FALSE;
  }
}

bool DialogHost::HandleNotify(const NMHDR* header, LRESULT* result) {
  SheetEvent event;
  switch (header->code) {
    case PSN_SETACTIVE: event = SheetEvent::kSetActive; break;
    case PSN_KILLACTIVE: event = SheetEvent::kKillActive; break;
    case PSN_APPLY: event = SheetEvent::kApply; break;
    case PSN_QUERYCANCEL: event = SheetEvent::kQueryCancel; break;
    case LVN_ITEMCHANGED: {
      if (page_call_ > 0) return false;
      const auto* change = reinterpret_cast<const NMLISTVIEW*>(header);
      if ((change->uChanged & LVIF_STATE) == 0) return false;
      const UINT changed = change->uNewState ^ change->uOldState;
      if (changed & LVIS_STATEIMAGEMASK) Command(static_cast<int>(header->idFrom), Notify::kChanged);
      if (changed & LVIS_SELECTED) Command(static_cast<int>(header->idFrom), Notify::kSelChanged);
      return false;
    }
    case NM_RELEASEDCAPTURE:
      if (page_call_ == 0 && KindOf(static_cast<int>(header->idFrom)) == ControlKind::kTrackbar)
        Command(static_cast<int>(header->idFrom), Notify::kCaptureReleased);
      return false;
    case NM_DBLCLK:
      if (page_call_ == 0 && KindOf(static_cast<int>(header->idFrom)) == ControlKind::kListView)
        Command(static_cast<int>(header->idFrom), Notify::kDoubleClicked);
      return false;
    case TVN_SELCHANGEDW:
      if (page_call_ == 0) Command(static_cast<int>(header->idFrom), Notify::kSelChanged);
      return false;
    default: return false;
  }
  const bool refuse = page_.OnSheet(*this, event) == SheetReply::kRefuse;
  switch (event) {
    case SheetEvent::kSetActive: *result = refuse ? -1 : 0; break;
    case SheetEvent::kKillActive: *result = refuse ? TRUE : FALSE; break;
    case SheetEvent::kApply: *result = refuse ? PSNRET_INVALID_NOCHANGEPAGE : PSNRET_NOERROR; break;
    case SheetEvent::kQueryCancel: *result = refuse ? TRUE : FALSE; break;
  }
  return true;
}

void DialogHost::PaintPicture(const DRAWITEMSTRUCT* draw) {
  const RECT& r = draw->rcItem;
  if (const auto res = resource_bitmaps_.find(static_cast<int>(draw->CtlID));
      res != resource_bitmaps_.end() && res->second != 0 && bitmaps_.count(res->first) == 0) {
    if (!detail::PaintBitmapResource(draw->hDC, r, res->second)) FillRect(draw->hDC, &r, GetSysColorBrush(COLOR_BTNFACE));
    return;
  }
  const auto it = bitmaps_.find(static_cast<int>(draw->CtlID));
  if (it == bitmaps_.end() || it->second.Empty()) {
    FillRect(draw->hDC, &r, GetSysColorBrush(COLOR_BTNFACE));
    return;
  }
  const Bitmap& b = it->second;
  BITMAPINFO info{};
  info.bmiHeader.biSize = sizeof info.bmiHeader;
  info.bmiHeader.biWidth = b.width;
  info.bmiHeader.biHeight = -b.height;  // top-down rows
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  info.bmiHeader.biCompression = BI_RGB;
  SetStretchBltMode(draw->hDC, COLORONCOLOR);
  StretchDIBits(draw->hDC, r.left, r.top, r.right - r.left, r.bottom - r.top, 0, 0, b.width, b.height,
                b.pixels.data(), &info, DIB_RGB_COLORS, SRCCOPY);
}

// ---- items

Window* DialogHost::CreateChild(Page& page, int frame_id) {
  HWND frame = Item(frame_id);
  if (frame == nullptr) return nullptr;
  auto child = std::make_unique<DialogHost>(page, Mode::kChild);
  HWND h = CreateDialogIndirectParamW(ModuleInstance(), child->TemplateBytes(), hwnd_, DialogProc,
                                      reinterpret_cast<LPARAM>(child.get()));
  if (h == nullptr) {
    LogFailure("CreateDialogIndirectParamW");
    return nullptr;
  }
  RECT r;
  GetWindowRect(frame, &r);
  MapWindowPoints(nullptr, hwnd_, reinterpret_cast<POINT*>(&r), 2);
  SetWindowPos(h, nullptr, r.left, r.top, r.right - r.left, r.bottom - r.top, SWP_NOZORDER | SWP_NOACTIVATE);
  ShowWindow(h, SW_HIDE);
  children_.push_back(std::move(child));
  return children_.back().get();
}

// ------------------------------------------------------------------ entry points

int RunModal(Page& page, HWND owner) {
  DialogHost host(page, DialogHost::Mode::kModal);
  const INT_PTR result = DialogBoxIndirectParamW(ModuleInstance(), host.TemplateBytes(), owner,
                                                 DialogHost::DialogProc, reinterpret_cast<LPARAM>(&host));
  if (result == -1) LogFailure("DialogBoxIndirectParamW");
  return static_cast<int>(result);
}

ModelessDialog::ModelessDialog(Page& page, HWND owner)
    : host_(std::make_unique<DialogHost>(page, DialogHost::Mode::kModeless)) {
  HWND h = CreateDialogIndirectParamW(ModuleInstance(), host_->TemplateBytes(), owner, DialogHost::DialogProc,
                                      reinterpret_cast<LPARAM>(host_.get()));
  if (h == nullptr) {
    LogFailure("CreateDialogIndirectParamW");
    return;
  }
  ShowWindow(h, SW_SHOW);
}

ModelessDialog::~ModelessDialog() = default;
HWND ModelessDialog::hwnd() const { return host_->hwnd(); }
bool ModelessDialog::Alive() const { return host_->hwnd() != nullptr; }

PropertyPageRecord::PropertyPageRecord(Page& page, Options options)
    : host_(std::make_unique<DialogHost>(page, DialogHost::Mode::kSheetPage)),
      bytes_(host_->bytes()),
      title_(Wide(options.title)) {
  record_.dwSize = options.record_size != 0 ? options.record_size : sizeof record_;
  record_.dwFlags = PSP_DLGINDIRECT | PSP_USETITLE | options.extra_flags;
  record_.hInstance = options.instance != nullptr ? options.instance : ModuleInstance();
  record_.pResource = reinterpret_cast<const DLGTEMPLATE*>(bytes_.data());
  record_.pszTitle = title_.c_str();
  record_.pfnDlgProc = DialogHost::PageProc;
  record_.lParam = reinterpret_cast<LPARAM>(host_.get());
  if (options.activation_context != nullptr) record_.hActCtx = options.activation_context;
}

PropertyPageRecord::~PropertyPageRecord() = default;
HWND PropertyPageRecord::hwnd() const { return host_->hwnd(); }

INT_PTR RunPropertySheet(std::u16string_view caption, const std::vector<PropertyPageRecord*>& pages, HWND owner) {
  std::vector<PROPSHEETPAGEW> records;
  for (const auto* p : pages) records.push_back(p->Record());
  const std::wstring title = Wide(caption);
  PROPSHEETHEADERW header{};
  header.dwSize = sizeof header;
  header.dwFlags = PSH_PROPSHEETPAGE | PSH_NOCONTEXTHELP;
  header.hwndParent = owner;
  header.hInstance = ModuleInstance();
  header.pszCaption = title.c_str();
  header.nPages = static_cast<UINT>(records.size());
  header.ppsp = records.data();
  const INT_PTR result = PropertySheetW(&header);
  if (result < 0) LogFailure("PropertySheetW");
  return result;
}

}  // namespace kit::ui::win32
