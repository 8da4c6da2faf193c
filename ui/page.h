// The UI layer's main header: the page base class and the window interface
// through which a page reaches its controls. This file is OS-independent.
//
// Event convention (holds for every host: Win32, headless, console)
// -----------------------------------------------------------------
// * A page is plain C++: it keeps its own state and talks to its window only
//   through `Window`. No page sees an HWND.
// * The host owns the window and its controls. The caller owns the page and
//   keeps it alive for as long as the window exists; the host never deletes a
//   page. A `Window&` handed to a handler is valid only during that call,
//   except in OnInit, where a page may keep it until OnDestroy.
// * Controls are addressed by their template id. Asking for a control the
//   template does not have is harmless: reads give empty/zero/false, writes
//   do nothing.
// * OnInit runs once, after every control of the template exists with the
//   template's texts and styles. Initial values are set there.
// * OnCommand(id, code) runs after the control has changed (a check box is
//   already toggled, a list already has its new selection). It returns true
//   when the page handled it. For ids 1 (OK) and 2 (Cancel) an unhandled
//   command ends the dialog with that id, as a dialog box does.
// * OnSheet answers a property-sheet notification with kAccept or kRefuse;
//   the host turns that into the sheet's own reply (stay on the page, keep the
//   sheet open, refuse activation).
// * OnTimer runs for timers the page started with SetTimer, until KillTimer
//   or the end of the window.
// * OnPaint draws through a Painter valid only for that call; child controls
//   paint themselves.
// * Texts are UTF-16 (`std::u16string`). The ANSI programs convert at one
//   point, ui/text.h.
// * Message boxes return the id of the button pressed (kIdOk, kIdYes, ...).
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "ui/bitmap.h"
#include "ui/message_box.h"
#include "ui/template.h"

namespace kit::ui {

// Notification codes carried by OnCommand.
enum class Notify {
  kClicked,        // button, check box, radio button, static with kNotify
  kChanged,        // edit text changed; list-view check box or item changed
  kSelChanged,     // list, combo, tree view selection changed
  kDoubleClicked,  // list box item
  kScrolled,       // trackbar or up-down moved
  kKillFocus,      // edit lost the focus
  kMenu,           // system-menu command (id is the menu command)
  kReleased,       // trackbar released the mouse capture (NM_RELEASEDCAPTURE)
};

// The system's open-file dialog (GetOpenFileNameW) as a page asks for it.
struct OpenFileRequest {
  std::u16string filter_name;     // shown for the pattern, e.g. "*.bmp"
  std::u16string pattern;         // e.g. "*.bmp"
  std::uint32_t flags = 0;        // OPENFILENAMEW.Flags
  std::size_t path_capacity = 0;  // characters of the path buffer, terminator included
};

enum class SheetEvent { kSetActive, kKillActive, kApply, kQueryCancel };
enum class SheetReply { kAccept, kRefuse };

// RGB colour.
struct Color {
  std::uint8_t r = 0, g = 0, b = 0;
  friend bool operator==(const Color&, const Color&) = default;
};

enum class TextAlign { kLeft, kCenter };

// Drawing surface of one OnPaint call, in pixels of the client area.
class Painter {
 public:
  virtual ~Painter() = default;
  virtual Rect ClientRect() const = 0;
  // One line of text, vertically centred in `box`, with a transparent
  // background.
  virtual void DrawText(const Rect& box, std::u16string_view text, const FontSpec& font, Color color,
                        TextAlign align) = 0;
  virtual void FillRect(const Rect& box, Color color) = 0;
};

class Page;

// What an edit's key filter does with one typed character.
enum class KeyAction {
  kPass,             // the edit takes the character
  kDrop,             // the character is lost
  kNextControl,      // the character is lost and the focus moves on (Tab)
  kPreviousControl,  // the same, backwards (Shift+Tab)
};
// One typed character with the keys held while it was typed.
struct KeyPress {
  char16_t character = 0;
  bool ctrl = false;
  bool shift = false;
  bool tab = false;  // the Tab key is down
};
using KeyFilter = KeyAction (*)(const KeyPress&);

// The window of one page, as the page sees it.
class Window {
 public:
  virtual ~Window() = default;

  // Caption of the window itself.
  virtual void SetCaption(std::u16string_view text) = 0;
  virtual std::u16string Caption() const = 0;

  // Control text (labels, buttons, edits, the edit part of a combo box, an IP
  // address as dotted text).
  virtual void SetText(int id, std::u16string_view text) = 0;
  virtual std::u16string Text(int id) const = 0;
  // Appends at the end of an edit's text (log and progress lines).
  virtual void AppendText(int id, std::u16string_view text) = 0;

  virtual void Enable(int id, bool enabled) = 0;
  virtual bool IsEnabled(int id) const = 0;
  virtual void Show(int id, bool visible) = 0;
  virtual bool IsVisible(int id) const = 0;
  virtual void SetChecked(int id, bool checked) = 0;
  virtual bool IsChecked(int id) const = 0;
  virtual void SetFocus(int id) = 0;

  // List box, combo box, list view. Indices count from 0; -1 is "none".
  // AddItem returns the index the item got (sorted controls insert in order).
  virtual void ClearItems(int id) = 0;
  virtual int AddItem(int id, std::u16string_view text) = 0;
  virtual void DeleteItem(int id, int index) = 0;
  virtual int ItemCount(int id) const = 0;
  virtual std::u16string ItemText(int id, int index) const = 0;
  virtual void SetSelection(int id, int index) = 0;
  virtual int Selection(int id) const = 0;
  // List view with check boxes.
  virtual void SetItemChecked(int id, int index, bool checked) = 0;
  virtual bool IsItemChecked(int id, int index) const = 0;

  // Tree view: items are numbered by the host; 0 is the root.
  virtual int AddTreeItem(int id, int parent, std::u16string_view text) = 0;
  virtual void SelectTreeItem(int id, int item) = 0;
  virtual int SelectedTreeItem(int id) const = 0;
  virtual std::u16string TreeItemText(int id, int item) const = 0;

  // Trackbar, up-down and progress bar.
  virtual void SetRange(int id, int low, int high) = 0;
  virtual void SetPosition(int id, int position) = 0;
  virtual int Position(int id) const = 0;

  // Stretches `bitmap` over the client area of a picture control; an empty
  // bitmap clears it.
  virtual void DrawBitmap(int id, const Bitmap& bitmap) = 0;
  // Gives the window and every control this font.
  virtual void SetFont(const FontSpec& font) = 0;
  virtual void SetTooltip(int id, std::u16string_view text) = 0;
  // Edits: characters for which `accept` is false are dropped as typed.
  virtual void SetInputFilter(int id, bool (*accept)(char16_t)) = 0;
  // Appends an item to the system menu; choosing it runs OnCommand(command, kMenu).
  virtual void AddSystemMenuItem(int command, std::u16string_view text) = 0;
  // The window's large and small icon, from the program's icon resource.
  virtual void SetIcon(int resource_id) = 0;
  virtual void Minimize() = 0;
  // List box: lets it scroll sideways as far as its widest line needs.
  virtual void FitHorizontalExtent(int id) = 0;

  // List view in report mode: sets column `column` (title, width in pixels),
  // adding it after the last one when it is missing. Column 0 is the item's
  // own text (AddItem, ItemText).
  virtual void SetColumn(int id, int column, std::u16string_view title, int width) = 0;
  // The text of one column of an item (column 0 is the item's text).
  virtual void SetSubItemText(int id, int index, int column, std::u16string_view text) = 0;
  virtual std::u16string SubItemText(int id, int index, int column) const = 0;
  // List view: scrolls so that item `index` is visible.
  virtual void EnsureItemVisible(int id, int index) = 0;
  // Tree view: a 16 x 16 image list of the module's icon resources; image n
  // of an item is icon_ids[n], as normal and as selected image.
  virtual void SetTreeImages(int id, const std::vector<int>& icon_ids) = 0;
  virtual int AddTreeItemWithImage(int id, int parent, std::u16string_view text, int image) = 0;
  virtual void ExpandTreeItem(int id, int item) = 0;
  virtual void SetTreeItemText(int id, int item, std::u16string_view text) = 0;
  // Scrolls the tree so that `item` is the first visible one.
  virtual void ScrollTreeTo(int id, int item) = 0;
  // Picture control: the module's bitmap resource `resource_id`, stretched
  // over the client area; 0 clears it.
  virtual void ShowBitmapResource(int id, int resource_id) = 0;
  // Edits: every typed character goes through `filter` (null removes it).
  // The edit also asks for all keys, so Tab, Enter and Esc reach it.
  virtual void SetKeyFilter(int id, KeyFilter filter) = 0;

  virtual int MessageBox(std::u16string_view text, std::u16string_view caption, std::uint32_t style) = 0;
  // The system's folder dialog (file-system folders only) owned by this
  // window, with `title` above the tree; the chosen folder, or nothing when
  // the user cancelled.
  virtual std::optional<std::u16string> BrowseForFolder(std::u16string_view title) = 0;
  // The open-file dialog owned by this window: the chosen path (at most
  // path_capacity - 1 characters), nothing when the user cancelled. A host
  // without one cancels.
  virtual std::optional<std::u16string> OpenFileDialog(const OpenFileRequest& request) {
    (void)request;
    return std::nullopt;
  }
  // Runs another page as a modal dialog owned by this window; returns its result.
  virtual int RunModal(Page& page) = 0;
  // Creates `page` as a child window placed in the rectangle of control
  // `frame_id` (sized to it, z-order unchanged), hidden until shown with
  // ShowChild. Returns the child's window, owned by this host.
  virtual Window* CreateChild(Page& page, int frame_id) = 0;
  virtual void ShowChild(Window& child, bool visible) = 0;

  // Property-sheet pages: tell the sheet that a value changed (Apply becomes
  // available), or send/post any other message to the parent window.
  virtual void SheetChanged() = 0;
  // The reverse: the page's values are saved, nothing is pending
  // (PSM_UNCHANGED).
  virtual void SheetUnchanged() = 0;
  // The tabs of the sheet this page is in (0 outside a sheet), and relabelling
  // one of them in the current language.
  virtual int SheetTabCount() const = 0;
  virtual void SetSheetTabTitle(int index, std::u16string_view title) = 0;
  // Other open property sheets (top-level dialogs whose title contains
  // `title_part`, in this process or another; this window's own sheet and
  // sheets titled exactly as it, which are of its own kind, excepted): their
  // last titles.size() tabs get `titles`, in order. Returns how many sheets
  // were relabelled.
  virtual int RelabelOtherSheets(std::u16string_view title_part, const std::vector<std::u16string>& titles) = 0;
  virtual std::intptr_t SendToParent(std::uint32_t message, std::uintptr_t wparam, std::intptr_t lparam) = 0;
  virtual void PostToParent(std::uint32_t message, std::uintptr_t wparam, std::intptr_t lparam) = 0;
  // Queues OnCommand(id, kClicked) for this page, after the current handler.
  virtual void PostCommand(int id) = 0;

  virtual void SetTimer(int timer_id, int milliseconds) = 0;
  virtual void KillTimer(int timer_id) = 0;
  // Asks for OnPaint to run again.
  virtual void Invalidate() = 0;
  // Ends a modal dialog with `result`, or destroys a modeless one.
  virtual void EndDialog(int result) = 0;
};

// Base of every dialog and page of the kit.
class Page {
 public:
  virtual ~Page() = default;
  virtual const DialogTemplate& Template() const = 0;

  virtual void OnInit(Window& window) { (void)window; }
  virtual bool OnCommand(Window& window, int id, Notify code) {
    (void)window, (void)id, (void)code;
    return false;
  }
  virtual SheetReply OnSheet(Window& window, SheetEvent event) {
    (void)window, (void)event;
    return SheetReply::kAccept;
  }
  virtual void OnTimer(Window& window, int timer_id) { (void)window, (void)timer_id; }
  virtual void OnPaint(Window& window, Painter& painter) { (void)window, (void)painter; }
  // F1 or the help key. Returns true when handled.
  virtual bool OnHelp(Window& window) {
    (void)window;
    return false;
  }
  virtual void OnDestroy(Window& window) { (void)window; }
};

// The message SheetChanged sends to the sheet (PSM_CHANGED).
inline constexpr std::uint32_t kSheetChangedMessage = 0x0468;
// The message SheetUnchanged sends to the sheet (PSM_UNCHANGED).
inline constexpr std::uint32_t kSheetUnchangedMessage = 0x046D;

// Id shared by labels that are never addressed.
inline constexpr int kIdStatic = -1;

}  // namespace kit::ui
