#include "ui/win32/controls_more.h"

#include <cstdio>

#include "ui/win32/host.h"
#include "ui/win32/subclass_win32.h"

namespace kit::ui::win32::detail {
namespace {

// The characters of one list-view cell the host reads back at most.
constexpr int kCellCapacity = 1024;
constexpr int kTreeIconSize = 16;
// Subclass ids of this file.
constexpr UINT_PTR kTreeImagesSubclass = 0x4B54;  // "KT"
constexpr UINT_PTR kKeyFilterSubclass = 0x4B46;   // "KF"
// The window property that holds a tree's own image list.
constexpr wchar_t kTreeImagesProperty[] = L"KitTreeImages";

void LogFailure(const char* api) {
  std::fprintf(stderr, "ui/win32: %s failed, error %lu\n", api, GetLastError());
}

LRESULT CALLBACK TreeImagesProc(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam, UINT_PTR id, DWORD_PTR data) {
  (void)data;
  if (message == WM_NCDESTROY) {
    // A tree view never destroys its image list itself.
    if (auto owned = static_cast<HIMAGELIST>(RemovePropW(hwnd, kTreeImagesProperty))) ImageList_Destroy(owned);
    RemoveSubclass(hwnd, TreeImagesProc, id);
  }
  return DefSubclass(hwnd, message, wparam, lparam);
}

LRESULT CALLBACK KeyFilterProc(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam, UINT_PTR id, DWORD_PTR data) {
  auto filter = reinterpret_cast<KeyFilter>(data);
  switch (message) {
    case WM_GETDLGCODE: return DLGC_WANTALLKEYS;
    case WM_CHAR: {
      KeyPress key;
      key.character = static_cast<char16_t>(wparam);
      key.ctrl = GetKeyState(VK_CONTROL) < 0;
      key.shift = GetKeyState(VK_SHIFT) < 0;
      key.tab = GetKeyState(VK_TAB) < 0;
      switch (filter(key)) {
        case KeyAction::kPass: break;
        case KeyAction::kDrop: return 0;
        case KeyAction::kNextControl: PostMessageW(GetParent(hwnd), WM_NEXTDLGCTL, 0, FALSE); return 0;
        case KeyAction::kPreviousControl: PostMessageW(GetParent(hwnd), WM_NEXTDLGCTL, 1, FALSE); return 0;
      }
      break;
    }
    case WM_NCDESTROY: RemoveSubclass(hwnd, KeyFilterProc, id); break;
    default: break;
  }
  return DefSubclass(hwnd, message, wparam, lparam);
}

}  // namespace

void SetListColumn(HWND list, int column, std::u16string_view title, int width) {
  std::wstring text = Wide(title);
  LVCOLUMNW c{};
  c.mask = LVCF_TEXT | LVCF_WIDTH | LVCF_SUBITEM;
  c.pszText = text.data();
  c.cx = width;
  c.iSubItem = column;
  // A list whose columns have titles shows its header (the template makes
  // report views without one).
  const LONG style = GetWindowLongW(list, GWL_STYLE);
  if (style & LVS_NOCOLUMNHEADER) SetWindowLongW(list, GWL_STYLE, style & ~LVS_NOCOLUMNHEADER);
  const auto header = reinterpret_cast<HWND>(SendMessageW(list, LVM_GETHEADER, 0, 0));
  const int count = header != nullptr ? static_cast<int>(SendMessageW(header, HDM_GETITEMCOUNT, 0, 0)) : 0;
  if (column < count) {
    SendMessageW(list, LVM_SETCOLUMNW, static_cast<WPARAM>(column), reinterpret_cast<LPARAM>(&c));
    return;
  }
  if (SendMessageW(list, LVM_INSERTCOLUMNW, static_cast<WPARAM>(count), reinterpret_cast<LPARAM>(&c)) < 0)
    LogFailure("LVM_INSERTCOLUMNW");
}

void SetListSubItemText(HWND list, int index, int column, std::u16string_view text) {
  std::wstring w = Wide(text);
  LVITEMW item{};
  item.iSubItem = column;
  item.pszText = w.data();
  SendMessageW(list, LVM_SETITEMTEXTW, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&item));
}

std::u16string ListSubItemText(HWND list, int index, int column) {
  std::wstring buffer(kCellCapacity, L'\0');
  LVITEMW item{};
  item.iSubItem = column;
  item.pszText = buffer.data();
  item.cchTextMax = kCellCapacity;
  const LRESULT got = SendMessageW(list, LVM_GETITEMTEXTW, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&item));
  buffer.resize(static_cast<std::size_t>(got));
  return FromWide(buffer);
}

void SetTreeIconImages(HWND tree, const std::vector<int>& icon_ids) {
  HIMAGELIST images = ImageList_Create(kTreeIconSize, kTreeIconSize, ILC_COLOR32 | ILC_MASK,
                                       static_cast<int>(icon_ids.size()), 0);
  if (images == nullptr) {
    LogFailure("ImageList_Create");
    return;
  }
  for (int id : icon_ids) {
    auto icon = static_cast<HICON>(
        LoadImageW(ModuleInstance(), MAKEINTRESOURCEW(id), IMAGE_ICON, kTreeIconSize, kTreeIconSize, 0));
    if (icon == nullptr) {
      LogFailure("LoadImageW(tree icon)");
      // Keep the numbering of the images that follow.
      icon = LoadIconW(nullptr, MAKEINTRESOURCEW(32512));  // IDI_APPLICATION
      ImageList_AddIcon(images, icon);
      continue;
    }
    ImageList_AddIcon(images, icon);
    DestroyIcon(icon);
  }
  SendMessageW(tree, TVM_SETIMAGELIST, TVSIL_NORMAL, reinterpret_cast<LPARAM>(images));
  // The subclass owns the list; a list set here before goes now.
  if (auto owned = static_cast<HIMAGELIST>(GetPropW(tree, kTreeImagesProperty))) ImageList_Destroy(owned);
  SetPropW(tree, kTreeImagesProperty, images);
  SetSubclass(tree, TreeImagesProc, kTreeImagesSubclass, 0);
}

void SetTreeItemImage(HWND tree, HTREEITEM item, int image) {
  TVITEMW tv{};
  tv.mask = TVIF_HANDLE | TVIF_IMAGE | TVIF_SELECTEDIMAGE;
  tv.hItem = item;
  tv.iImage = image;
  tv.iSelectedImage = image;
  SendMessageW(tree, TVM_SETITEMW, 0, reinterpret_cast<LPARAM>(&tv));
}

bool PaintBitmapResource(HDC dc, const RECT& box, int resource_id) {
  auto bitmap = static_cast<HBITMAP>(
      LoadImageW(ModuleInstance(), MAKEINTRESOURCEW(resource_id), IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION));
  if (bitmap == nullptr) return false;
  BITMAP info{};
  GetObjectW(bitmap, sizeof info, &info);
  HDC memory = CreateCompatibleDC(dc);
  HGDIOBJ old = SelectObject(memory, bitmap);
  SetStretchBltMode(dc, COLORONCOLOR);
  StretchBlt(dc, box.left, box.top, box.right - box.left, box.bottom - box.top, memory, 0, 0, info.bmWidth,
             info.bmHeight, SRCCOPY);
  SelectObject(memory, old);
  DeleteDC(memory);
  DeleteObject(bitmap);
  return true;
}

void PaintMinimisedIcon(HWND window, HDC dc, HICON icon) {
  SendMessageW(window, WM_ICONERASEBKGND, reinterpret_cast<WPARAM>(dc), 0);
  RECT r;
  GetClientRect(window, &r);
  DrawIcon(dc, (r.right - r.left - GetSystemMetrics(SM_CXICON) + 1) / 2,
           (r.bottom - r.top - GetSystemMetrics(SM_CYICON) + 1) / 2, icon);
}

void SetEditKeyFilter(HWND edit, KeyFilter filter) {
  if (filter == nullptr) {
    RemoveSubclass(edit, KeyFilterProc, kKeyFilterSubclass);
    return;
  }
  if (!SetSubclass(edit, KeyFilterProc, kKeyFilterSubclass, reinterpret_cast<DWORD_PTR>(filter)))
    LogFailure("SetWindowSubclass");
}

}  // namespace kit::ui::win32::detail
