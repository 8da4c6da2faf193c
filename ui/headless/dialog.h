// The headless host: dialogs as a control model in memory, driven by tests
// and by the console host the way a person drives the real window.
//
// User actions (Click, Type, Select, ...) act only on controls a person could
// reach: a hidden or disabled control, or a read-only edit, refuses them and
// the action returns false. Page calls through Window are never refused.
// This file is OS-independent.
#pragma once

#include <cstdint>
#include <deque>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "ui/page.h"

namespace kit::ui::headless {

class Dialog;
class Sheet;

struct TreeNode {
  int parent = 0;
  std::u16string text;
  int image = -1;  // index into the control's tree_images; -1 none
  bool expanded = false;
};

// State of one control.
struct Control {
  ControlTemplate def;
  std::u16string text;
  bool enabled = true;
  bool visible = true;
  bool checked = false;
  bool focused = false;
  std::vector<std::u16string> items;
  std::vector<bool> item_checked;
  int selection = -1;
  std::vector<TreeNode> tree;  // item n is tree[n - 1]; 0 is the root
  int tree_selection = 0;
  int low = 0;
  int high = 100;
  int position = 0;
  int page_size = 0;  // trackbar: Page Up/Down step (0: not set)
  int line_size = 0;  // trackbar: arrow-key step
  Bitmap bitmap;
  std::u16string tooltip;
  bool (*filter)(char16_t) = nullptr;
  int horizontal_extent = 0;  // list box: characters of the widest line, once fitted
  // List view in report mode: column titles and widths, and the texts of
  // columns 1.. of each item (column 0 is `items`).
  std::vector<std::pair<std::u16string, int>> columns;
  std::vector<std::vector<std::u16string>> sub_items;
  int visible_item = -1;            // list view: the item last scrolled into view
  std::vector<int> tree_images;     // tree view: icon resource ids
  int first_visible_tree_item = 0;  // tree view: 0 = not scrolled
  int bitmap_resource = 0;          // picture: the bitmap resource shown, 0 none
  KeyFilter key_filter = nullptr;
};

struct PaintOp {
  enum class Kind { kText, kFill } kind = Kind::kText;
  Rect box;
  std::u16string text;
  FontSpec font;
  Color color;
  TextAlign align = TextAlign::kLeft;
};

struct ParentMessage {
  std::uint32_t message;
  std::uintptr_t wparam;
  std::intptr_t lparam;
  bool posted;
};

// Shared by every dialog of one run: the virtual clock with its timers, the
// message-box responder and the driver of nested modal dialogs.
class Environment {
 public:
  // Answers for the next message boxes, in order. When none is queued the
  // responder runs; without a responder the box gets its default answer and
  // is counted as unanswered, so a test can tell a box it did not expect.
  void QueueAnswer(int answer) { answers_.push_back(answer); }
  std::function<int(const ShownMessageBox&)> responder;
  const std::vector<ShownMessageBox>& MessageBoxes() const { return boxes_; }
  int UnansweredBoxes() const { return unanswered_; }
  // Answers for the next folder dialogs, in order (nullopt: Cancel). When
  // none is queued the folder responder runs; without one the dialog is
  // cancelled. Every title shown is kept.
  void QueueFolder(std::optional<std::u16string> folder) { folder_answers_.push_back(std::move(folder)); }
  std::function<std::optional<std::u16string>(std::u16string_view title)> folder_responder;
  const std::vector<std::u16string>& FolderDialogs() const { return folder_titles_; }
  // Answers for the next open-file dialogs, in order (nullopt: Cancel). When
  // none is queued the file responder runs; without one the dialog is
  // cancelled. Every request shown (title, filter, flags) is kept.
  void QueueFile(std::optional<std::u16string> path) { file_answers_.push_back(std::move(path)); }
  std::function<std::optional<std::u16string>(const OpenFileRequest& request)> file_responder;
  const std::vector<OpenFileRequest>& FileDialogs() const { return file_requests_; }
  // The property sheets open in this run.
  const std::vector<Sheet*>& Sheets() const { return sheets_; }

  // Runs a nested modal dialog: the driver acts on it until it ends. Without
  // a driver a modal dialog ends at once with Cancel.
  std::function<void(Dialog&)> modal_driver;

  // Virtual time in milliseconds. Advance fires every timer that falls due,
  // in time order, each as often as its period allows.
  std::int64_t Now() const { return now_; }
  void Advance(std::int64_t milliseconds);

  // Internal: used by Dialog.
  int ShowMessageBox(ShownMessageBox box);
  std::optional<std::u16string> ShowFolderDialog(std::u16string_view title);
  std::optional<std::u16string> ShowFileDialog(const OpenFileRequest& request);
  void RegisterSheet(Sheet* sheet);
  void UnregisterSheet(Sheet* sheet);
  void Register(Dialog* dialog);
  void Unregister(Dialog* dialog);

 private:
  std::deque<int> answers_;
  std::vector<ShownMessageBox> boxes_;
  int unanswered_ = 0;
  std::int64_t now_ = 0;
  std::vector<Dialog*> dialogs_;
  std::deque<std::optional<std::u16string>> folder_answers_;
  std::vector<std::u16string> folder_titles_;
  std::deque<std::optional<std::u16string>> file_answers_;
  std::vector<OpenFileRequest> file_requests_;
  std::vector<Sheet*> sheets_;
};

class Dialog final : public Window {
 public:
  // `sheet` is set for property-sheet pages.
  Dialog(Page& page, Environment& env, Dialog* parent = nullptr, Sheet* sheet = nullptr);
  ~Dialog() override;
  Dialog(const Dialog&) = delete;
  Dialog& operator=(const Dialog&) = delete;

  // Builds the controls from the template and runs OnInit.
  void Create();

  // ---- User actions (false when a person could not do it) ----
  bool Click(int id);
  bool Type(int id, std::u16string_view text);  // replaces the text, as typed
  bool Select(int id, int index);
  bool SelectText(int id, std::u16string_view item);
  bool Check(int id, bool checked);  // check box: click when the state differs
  bool CheckItem(int id, int index, bool checked);  // list-view check box
  // Trackbar, up-down (clamped to the range). A trackbar is dragged with the
  // mouse: moved (kScrolled), the movement ended (kScrollEnded), the mouse
  // let go (kCaptureReleased).
  bool MoveTo(int id, int position);
  bool SelectTree(int id, int item);
  bool ChooseSystemMenu(int command);
  bool PressHelp();
  // Ctrl+V in an edit: the key goes through the key filter like any typed
  // character; when it passes, `text` is inserted at the end (the caret),
  // unfiltered as a paste is, up to the text limit.
  bool Paste(int id, std::u16string_view text);
  // One key typed into an edit through its key filter (and input filter).
  bool PressKey(int id, KeyPress key);
  // A double click on item `index` of a list view or list box (selects it).
  bool DoubleClickItem(int id, int index);
  // WM_COMMAND for control `id` sent by another program or a test: reaches
  // the page even when the control is hidden or disabled. False when the
  // template has no such control.
  bool SendCommand(int id);
  // A person moves the focus onto control `id` (clicks into it or tabs onto
  // it): the edit that had the focus gets kKillFocus first, as EN_KILLFOCUS.
  // False when the control cannot take the focus (hidden, disabled, or of a
  // kind that never takes it: labels, pictures, spin arrows).
  bool Focus(int id);
  // The focus leaves this dialog's controls for the sheet's own tabs or
  // buttons: the edit that had it gets kKillFocus.
  void FocusLeaves();
  // The control that has the focus, 0 when none.
  int FocusedControl() const;
  void Close();  // the close box: Cancel
  void FireTimer(int timer_id);
  std::vector<PaintOp> Paint();
  SheetReply Notify(SheetEvent event);

  // ---- Inspection ----
  Page& page() { return page_; }
  const DialogTemplate& Template() const { return page_.Template(); }
  const Control* Find(int id) const;
  const std::vector<Control>& Controls() const { return controls_; }
  // The control whose visible text is `text` (case-insensitive, "&" ignored).
  const Control* FindByText(std::u16string_view text) const;
  bool Ended() const { return ended_; }
  int Result() const { return result_; }
  bool Created() const { return created_; }
  const std::vector<ParentMessage>& ParentMessages() const { return parent_messages_; }
  const std::vector<std::pair<int, std::u16string>>& SystemMenu() const { return system_menu_; }
  const FontSpec* Font() const { return font_set_ ? &font_ : nullptr; }
  bool HasTimer(int timer_id) const;
  std::vector<Dialog*> Children();
  bool ChildVisible(const Dialog& child) const { return child.shown_; }
  Environment& env() { return env_; }
  bool NeedsPaint() const { return needs_paint_; }
  int Icon() const { return icon_; }
  bool Minimized() const { return minimized_; }

  // ---- Window ----
  void SetCaption(std::u16string_view text) override { caption_ = std::u16string(text); }
  std::u16string Caption() const override { return caption_; }
  void SetText(int id, std::u16string_view text) override;
  std::u16string Text(int id) const override;
  void AppendText(int id, std::u16string_view text) override;
  void Enable(int id, bool enabled) override;
  bool IsEnabled(int id) const override;
  void Show(int id, bool visible) override;
  bool IsVisible(int id) const override;
  void SetChecked(int id, bool checked) override;
  bool IsChecked(int id) const override;
  void SetFocus(int id) override;
  void ClearItems(int id) override;
  int AddItem(int id, std::u16string_view text) override;
  void DeleteItem(int id, int index) override;
  int ItemCount(int id) const override;
  std::u16string ItemText(int id, int index) const override;
  void SetSelection(int id, int index) override;
  int Selection(int id) const override;
  void SetItemChecked(int id, int index, bool checked) override;
  bool IsItemChecked(int id, int index) const override;
  int AddTreeItem(int id, int parent, std::u16string_view text) override;
  void SelectTreeItem(int id, int item) override;
  int SelectedTreeItem(int id) const override;
  std::u16string TreeItemText(int id, int item) const override;
  void SetRange(int id, int low, int high) override;
  void SetPosition(int id, int position) override;
  int Position(int id) const override;
  void DrawBitmap(int id, const Bitmap& bitmap) override;
  void SetFont(const FontSpec& font) override;
  void SetTooltip(int id, std::u16string_view text) override;
  void SetInputFilter(int id, bool (*accept)(char16_t)) override;
  void AddSystemMenuItem(int command, std::u16string_view text) override;
  void SetIcon(int resource_id) override { icon_ = resource_id; }
  void Minimize() override { minimized_ = true; }
  void FitHorizontalExtent(int id) override;
  int SheetTabCount() const override;
  void SetSheetTabTitle(int index, std::u16string_view title) override;
  int RelabelOtherSheets(std::u16string_view title_part, const std::vector<std::u16string>& titles) override;
  int MessageBox(std::u16string_view text, std::u16string_view caption, std::uint32_t style) override;
  std::optional<std::u16string> BrowseForFolder(std::u16string_view title) override;
  std::optional<std::u16string> OpenFile(const OpenFileRequest& request) override;
  void SetTrackbarSteps(int id, int page_size, int line_size) override;
  int RunModal(Page& page) override;
  Window* CreateChild(Page& page, int frame_id) override;
  void ShowChild(Window& child, bool visible) override;
  void SheetChanged() override;
  std::intptr_t SendToParent(std::uint32_t message, std::uintptr_t wparam, std::intptr_t lparam) override;
  void PostToParent(std::uint32_t message, std::uintptr_t wparam, std::intptr_t lparam) override;
  void PostCommand(int id) override;
  void SetTimer(int timer_id, int milliseconds) override;
  void KillTimer(int timer_id) override;
  void Invalidate() override { needs_paint_ = true; }
  void EndDialog(int result) override;
  void SetColumn(int id, int column, std::u16string_view title, int width) override;
  void SetSubItemText(int id, int index, int column, std::u16string_view text) override;
  std::u16string SubItemText(int id, int index, int column) const override;
  void EnsureItemVisible(int id, int index) override;
  void SetTreeImages(int id, const std::vector<int>& icon_ids) override;
  int AddTreeItemWithImage(int id, int parent, std::u16string_view text, int image) override;
  void ExpandTreeItem(int id, int item) override;
  void SetTreeItemText(int id, int item, std::u16string_view text) override;
  void ScrollTreeTo(int id, int item) override;
  void ShowBitmapResource(int id, int resource_id) override;
  void SetKeyFilter(int id, KeyFilter filter) override;
  void SheetUnchanged() override;

  // Internal: the environment's clock asks for the next due timer.
  bool NextDue(std::int64_t until, std::int64_t* when, int* timer_id) const;
  void RunTimer(int timer_id, std::int64_t when);

 private:
  struct Timer {
    int id;
    int period;
    std::int64_t due;
  };

  Control* Get(int id);
  const Control* Get(int id) const;
  Control* Reachable(int id);
  void Command(int id, ui::Notify code);
  void DrainPosted();
  void DefaultCommand(int id);
  // Moves the focus to `id` (0: off every control), sending kKillFocus to
  // the edit left. A user action's own focus move; page calls stay silent.
  void MoveFocus(int id);

  Page& page_;
  Environment& env_;
  Dialog* parent_;
  Sheet* sheet_;
  std::vector<Control> controls_;
  std::u16string caption_;
  bool created_ = false;
  bool ended_ = false;
  bool shown_ = true;
  bool needs_paint_ = true;
  int result_ = 0;
  int depth_ = 0;  // nesting of handlers, so posted commands run after the outermost
  std::deque<int> posted_;
  std::vector<Timer> timers_;
  std::vector<ParentMessage> parent_messages_;
  std::vector<std::pair<int, std::u16string>> system_menu_;
  std::vector<std::unique_ptr<Dialog>> children_;
  FontSpec font_;
  bool font_set_ = false;
  int icon_ = 0;
  bool minimized_ = false;
};

// Case-insensitive comparison of visible texts, ignoring "&" accelerators.
bool SameVisibleText(std::u16string_view a, std::u16string_view b);

// What an IP address control takes: "a.b.c.d" with each field 0 to 255, or
// nothing (a cleared control).
bool ValidIpText(std::u16string_view text);

}  // namespace kit::ui::headless
