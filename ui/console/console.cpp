#include "ui/console/console.h"

#include <charconv>
#include <istream>
#include <ostream>
#include <sstream>

#include "ui/console/picture_text.h"
#include "ui/text.h"

namespace kit::ui::console {
namespace {

using headless::Control;
using headless::Dialog;
using headless::SameVisibleText;

// One "wait" lets at most an hour pass, so that a mistyped number cannot keep
// a dialog's timers running for ages.
constexpr int kLongestWaitMs = 3600 * 1000;

std::string U8(std::u16string_view s) { return ToUtf8(s); }

std::string Quote(std::u16string_view s) {
  std::string out = "\"";
  for (char c : U8(s)) {
    if (c == '\r') continue;
    if (c == '\n') {
      out += "\\n";
      continue;
    }
    if (c == '"') out += '\\';
    out += c;
  }
  return out + "\"";
}

std::string Trim(const std::string& s) {
  const auto b = s.find_first_not_of(" \t\r\n");
  if (b == std::string::npos) return {};
  const auto e = s.find_last_not_of(" \t\r\n");
  return s.substr(b, e - b + 1);
}

// Splits off the first word; the rest is trimmed.
std::string Word(const std::string& s, std::string* rest) {
  const std::string t = Trim(s);
  const auto sp = t.find_first_of(" \t");
  if (sp == std::string::npos) {
    *rest = {};
    return t;
  }
  *rest = Trim(t.substr(sp));
  return t.substr(0, sp);
}

bool ParseInt(const std::string& s, int* value) {
  if (s.empty()) return false;
  const auto [end, ec] = std::from_chars(s.data(), s.data() + s.size(), *value);
  return ec == std::errc() && end == s.data() + s.size();
}

std::string ResultName(int result) {
  switch (result) {
    case kIdOk: return "OK";
    case kIdCancel: return "Cancel";
    case kIdYes: return "Yes";
    case kIdNo: return "No";
    default: return "result";
  }
}

std::string IdText(int id) { return id == kIdStatic ? "-" : std::to_string(id); }

std::string Pad(std::string s, std::size_t width) {
  if (s.size() < width) s.append(width - s.size(), ' ');
  return s;
}

void RenderControl(Dialog& d, const Control& c, const std::string& indent, std::ostringstream& out) {
  const int id = c.def.id;
  out << indent << Pad(KindName(c.def.kind), 10) << Pad(IdText(id), 6);
  std::ostringstream rows;  // the items of a list or tree, one line each
  switch (c.def.kind) {
    case ControlKind::kCheckBox: out << (c.checked ? "[x] " : "[ ] ") << Quote(c.text); break;
    case ControlKind::kRadioButton: out << (c.checked ? "(o) " : "( ) ") << Quote(c.text); break;
    case ControlKind::kPushButton: out << "[" << U8(c.text) << "]" << (c.def.Has(kDefault) ? " default" : ""); break;
    case ControlKind::kEdit:
    case ControlKind::kIpAddress:
      out << Quote(c.text) << (c.def.Has(kReadOnly) ? " read-only" : "");
      if (c.def.text_limit > 0) out << " (at most " << c.def.text_limit << ")";
      break;
    case ControlKind::kPicture:
      if (c.bitmap_resource != 0)
        out << "(bitmap " << c.bitmap_resource << ")";
      else if (c.bitmap.Empty())
        out << "(empty)";
      else
        out << "(picture " << c.bitmap.width << "x" << c.bitmap.height << ")";
      for (const std::string& line : PictureText(c.bitmap)) rows << "\n" << indent << "          |" << line << "|";
      break;
    case ControlKind::kIcon: out << "(icon " << c.def.resource << ")"; break;
    case ControlKind::kTrackbar:
    case ControlKind::kUpDown:
    case ControlKind::kProgressBar:
      out << d.Position(id) << " (" << c.low << ".." << c.high << ")";
      break;
    case ControlKind::kComboBox:
    case ControlKind::kListBox:
    case ControlKind::kListView: {
      if (c.def.kind == ControlKind::kComboBox) out << Quote(c.text) << " ";
      out << c.items.size() << (c.items.size() == 1 ? " item" : " items");
      if (!c.columns.empty()) {
        out << "; columns:";
        for (const auto& [title, width] : c.columns) out << " " << Quote(title) << " " << width;
      }
      for (std::size_t i = 0; i < c.items.size(); ++i) {
        rows << "\n" << indent << "          " << Pad(std::to_string(i), 4);
        rows << (static_cast<int>(i) == c.selection ? "> " : "  ");
        if (c.def.kind == ControlKind::kListView && c.def.Has(kCheckBoxes)) rows << (c.item_checked[i] ? "[x] " : "[ ] ");
        rows << U8(c.items[i]);
        if (i < c.sub_items.size())
          for (const auto& cell : c.sub_items[i]) rows << " | " << U8(cell);
      }
      break;
    }
    case ControlKind::kTreeView: {
      out << c.tree.size() << " items";
      for (std::size_t i = 0; i < c.tree.size(); ++i) {
        int depth = 0;
        for (int p = c.tree[i].parent; p != 0; p = c.tree[p - 1].parent) ++depth;
        rows << "\n" << indent << "          " << Pad(std::to_string(i + 1), 4)
             << (static_cast<int>(i + 1) == c.tree_selection ? "> " : "  ") << std::string(2 * depth, ' ')
             << U8(c.tree[i].text);
        if (c.tree[i].image >= 0 && c.tree[i].image < static_cast<int>(c.tree_images.size()))
          rows << "  (icon " << c.tree_images[c.tree[i].image] << ")";
      }
      break;
    }
    default: out << Quote(c.text); break;
  }
  // The control's state belongs to its own line, before any item rows: after
  // a list's last item it would read as that item's state.
  if (!c.enabled) out << "  (disabled)";
  out << rows.str() << "\n";
}

void RenderInto(Dialog& d, const std::string& indent, std::ostringstream& out) {
  // What the page paints itself (texts only; fills are decoration).
  for (const auto& op : d.Paint())
    if (op.kind == headless::PaintOp::Kind::kText) out << indent << Pad("painted", 16) << Quote(op.text) << "\n";
  for (const auto& c : d.Controls()) {
    if (!c.visible) continue;
    RenderControl(d, c, indent, out);
  }
  for (Dialog* child : d.Children()) {
    if (!d.ChildVisible(*child)) continue;
    out << indent << "page " << child->Template().id << ":\n";
    RenderInto(*child, indent + "  ", out);
  }
}

// A target is a control id or the visible text of a control, searched in the
// dialog and then in its visible child pages.
bool Resolve(Dialog& d, const std::string& target, Dialog** owner, int* id) {
  int number;
  if (ParseInt(target, &number)) {
    if (d.Find(number) != nullptr) {
      *owner = &d, *id = number;
      return true;
    }
    for (Dialog* child : d.Children())
      if (d.ChildVisible(*child) && child->Find(number) != nullptr) {
        *owner = child, *id = number;
        return true;
      }
    return false;
  }
  const std::u16string text = FromUtf8(target);
  if (const Control* c = d.FindByText(text)) {
    *owner = &d, *id = c->def.id;
    return true;
  }
  for (Dialog* child : d.Children())
    if (d.ChildVisible(*child))
      if (const Control* c = child->FindByText(text)) {
        *owner = child, *id = c->def.id;
        return true;
      }
  return false;
}

// Why a person cannot act on a control: "" when nothing in its state says.
std::string WhyUnreachable(Dialog& d, int id) {
  const Control* c = d.Find(id);
  if (c == nullptr) return {};
  if (!c->visible) return " (it is hidden)";
  if (!c->enabled) return " (it is disabled)";
  if (c->def.Has(kReadOnly)) return " (it is read-only)";
  return {};
}

}  // namespace

Console::Console(std::istream& in, std::ostream& out, Options options) : in_(in), out_(out), options_(options) {}

void Console::Attach(headless::Environment& env) {
  env_ = &env;
  env.responder = [this](const ShownMessageBox& box) { return AnswerMessageBox(box); };
  env.modal_driver = [this](Dialog& nested) { Run(nested); };
  env.folder_responder = [this](std::u16string_view title) { return AnswerFolderDialog(title); };
  env.file_responder = [this](const OpenFileRequest& request) { return AnswerFileDialog(request); };
}

std::optional<std::u16string> Console::AnswerFolderDialog(std::u16string_view title) {
  out_ << "--- folder dialog" << (title.empty() ? std::string() : ": " + U8(std::u16string(title))) << "\n";
  return ReadChosenPath("folder", "a folder dialog");
}

std::optional<std::u16string> Console::ReadChosenPath(const std::string& verb, const std::string& dialog) {
  out_ << "  " << verb << " <path> chooses it, cancel closes the dialog\n";
  std::string line;
  if (!quit_ && ReadAction(&line)) {
    std::string rest;
    const std::string word = Word(line, &rest);
    if (word == verb && !rest.empty()) {
      out_ << "  chose " << rest << "\n";
      return FromUtf8(rest);
    }
    if (word != "cancel") Report(dialog + " takes \"" + verb + " <path>\" or \"cancel\"");
  }
  out_ << "  (cancelled)\n";
  return std::nullopt;
}

void Console::AddCommand(std::string name, std::string help, std::function<std::string(const std::string&)> run) {
  extra_[std::move(name)] = {std::move(help), std::move(run)};
}

std::string Console::Render(Dialog& d) {
  std::ostringstream out;
  out << "=== " << (d.Caption().empty() ? std::string("(no caption)") : U8(d.Caption())) << "  [dialog "
      << d.Template().id << "]" << (d.Minimized() ? "  (minimised)" : "") << "\n";
  RenderInto(d, "  ", out);
  return out.str();
}

std::string Console::RenderSheet(headless::Sheet& sheet) {
  std::ostringstream out;
  out << "=== " << U8(sheet.Caption()) << "  [property sheet]\n  tabs:";
  for (int i = 0; i < sheet.TabCount(); ++i)
    out << " " << i << (i == sheet.Current() ? "*" : "") << ":" << U8(sheet.TabTitle(i));
  out << (sheet.Changed() ? "   (Apply available)" : "") << "\n";
  if (Dialog* page = sheet.CurrentPage()) {
    std::ostringstream body;
    RenderInto(*page, "  ", body);
    out << body.str();
  }
  return out.str();
}

std::string Console::RenderMessageBox(const ShownMessageBox& box) {
  std::ostringstream out;
  out << "--- message box: " << U8(box.caption) << "\n";
  std::istringstream lines(U8(box.text));
  for (std::string line; std::getline(lines, line);) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    out << "  " << line << "\n";
  }
  out << "  buttons:";
  const int def = DefaultAnswer(box.style);
  for (const auto& b : ButtonsOf(box.style)) out << " [" << b.label << "]" << (b.id == def ? "*" : "");
  out << "\n";
  return out.str();
}

std::string Console::Help() const {
  std::ostringstream out;
  out << "Actions (a control is named by its id or by its visible text):\n"
         "  click <control>           press a button, check box or radio button\n"
         "  type <id> <text>          replace the text of an edit field\n"
         "  select <id> <n|text>      choose item n (from 0), else the item with that text\n"
         "  check <control>           tick a check box;  uncheck <control> clears it\n"
         "  tick <id> <n>             tick item n of a list with check boxes; untick <id> <n>\n"
         "  set <id> <n>              move a trackbar or spin control to n\n"
         "  tree <id> <n>             select item n of a tree\n"
         "  menu <command>            choose a system-menu entry\n"
         "  paste <id> <text>         Ctrl+V: paste text at the end of an edit field\n"
         "  key <id> tab|shift-tab|<c>  one key typed into an edit field (tab moves the focus on)\n"
         "  focus <control>           move the focus to a control (the edit left gets its kill-focus)\n"
         "  dblclick <id> <n>         double-click item n of a list\n"
         "  command <id>              send a control's command, even a hidden button's\n"
         "  help-key                  press F1\n"
         "  close                     the window's close box\n"
         "  wait <ms>                 let time pass (timers run)\n"
         "  tab <n|title>, apply, ok, cancel   property sheets\n"
         "  answer <button>           answer a message box (or just the button's name)\n"
         "  folder <path>, cancel     answer a folder dialog\n"
         "  file <path>, cancel       answer an open-file dialog\n"
         "  show                      show the dialog again\n"
         "  help                      this list\n"
         "  quit                      stop\n";
  for (const auto& [name, extra] : extra_) out << "  " << Pad(name, 26) << extra.help << "\n";
  out << "Lines starting with # are comments.\n";
  return out.str();
}

bool Console::ReadAction(std::string* line) {
  while (!input_ended_) {
    if (options_.interactive) out_ << "> " << std::flush;
    std::string raw;
    if (!std::getline(in_, raw)) {
      input_ended_ = true;
      break;
    }
    const std::string t = Trim(raw);
    if (t.empty() || t[0] == '#') continue;
    if (!options_.interactive) out_ << "> " << t << "\n";
    *line = t;
    return true;
  }
  return false;
}

void Console::Report(const std::string& error) {
  ++errors_;
  out_ << "! " << error << "\n";
}

int Console::AnswerMessageBox(const ShownMessageBox& box) {
  out_ << RenderMessageBox(box);
  std::string line;
  while (!quit_ && ReadAction(&line)) {
    std::string rest;
    std::string word = Word(line, &rest);
    if (word == "answer" || word == "click") word = rest;
    for (const auto& b : ButtonsOf(box.style)) {
      int number;
      if (SameVisibleText(FromUtf8(b.label), FromUtf8(word)) || (ParseInt(word, &number) && number == b.id)) {
        out_ << "  answered " << b.label << "\n";
        return b.id;
      }
    }
    if (word == "help") {
      out_ << "  answer with one of the buttons shown\n";
      continue;
    }
    if (word == "quit") {
      quit_ = true;
      break;
    }
    Report("this message box has no button \"" + word + "\"");
  }
  // Input over: the box is closed without a choice where it can be, else its
  // default button is pressed.
  const int answer = DismissAnswer(box.style) != 0 ? DismissAnswer(box.style) : DefaultAnswer(box.style);
  out_ << "  (no answer given: " << ResultName(answer) << ")\n";
  return answer;
}

std::string Console::Apply(Dialog& d, const std::string& line, bool* quit) {
  std::string rest;
  const std::string action = Word(line, &rest);
  Dialog* owner = nullptr;
  int id = 0;
  auto need = [&](const std::string& target) -> std::string {
    if (!Resolve(d, target, &owner, &id)) return "no control \"" + target + "\" here";
    return {};
  };
  auto refused = [&](const char* what) {
    return std::string("control ") + std::to_string(id) + " cannot be " + what + " now" + WhyUnreachable(*owner, id);
  };

  if (action == "help") {
    out_ << Help();
    return {};
  }
  if (action == "show") {
    out_ << Render(d);
    return {};
  }
  if (action == "quit") {
    *quit = true;
    return {};
  }
  if (action == "click") {
    if (auto e = need(rest); !e.empty()) return e;
    return owner->Click(id) ? "" : refused("clicked");
  }
  if (action == "check" || action == "uncheck") {
    if (auto e = need(rest); !e.empty()) return e;
    return owner->Check(id, action == "check") ? "" : refused("checked");
  }
  if (action == "type") {
    std::string text;
    const std::string target = Word(rest, &text);
    if (auto e = need(target); !e.empty()) return e;
    if (owner->Type(id, FromUtf8(text))) return {};
    const Control* c = owner->Find(id);
    if (c->def.kind == ControlKind::kIpAddress && c->visible && c->enabled && !headless::ValidIpText(FromUtf8(text)))
      return "\"" + text + "\" is not an IP address: control " + std::to_string(id) +
             " takes four numbers from 0 to 255 with dots between, as 192.168.0.50";
    return refused("typed into");
  }
  if (action == "focus") {
    if (auto e = need(rest); !e.empty()) return e;
    return owner->Focus(id) ? "" : refused("given the focus");
  }
  if (action == "select" || action == "tick" || action == "untick" || action == "set" || action == "tree") {
    std::string arg;
    const std::string target = Word(rest, &arg);
    if (auto e = need(target); !e.empty()) return e;
    int n = 0;
    const bool numeric = ParseInt(arg, &n);
    if (action == "select") {
      // A number that is an item's index selects by index, anything else by
      // the item's text ("select 1030 2", "select 1030 9600").
      const bool ok = (numeric && owner->Select(id, n)) || owner->SelectText(id, FromUtf8(arg));
      return ok ? "" : "control " + std::to_string(id) + " has no item \"" + arg + "\" to select";
    }
    if (!numeric) return "\"" + arg + "\" is not a number";
    if (action == "set") return owner->MoveTo(id, n) ? "" : refused("moved");
    if (action == "tree") return owner->SelectTree(id, n) ? "" : refused("selected");
    return owner->CheckItem(id, n, action == "tick") ? "" : refused("ticked");
  }
  if (action == "paste") {
    std::string text;
    const std::string target = Word(rest, &text);
    if (auto e = need(target); !e.empty()) return e;
    return owner->Paste(id, FromUtf8(text)) ? "" : refused("pasted into");
  }
  if (action == "key") {
    std::string which;
    const std::string target = Word(rest, &which);
    if (auto e = need(target); !e.empty()) return e;
    KeyPress key;
    if (which == "tab" || which == "shift-tab") {
      key = {u'\t', false, which == "shift-tab", true};
    } else {
      const std::u16string c = FromUtf8(which);
      if (c.size() != 1) return "key needs tab, shift-tab or one character";
      key.character = c[0];
    }
    return owner->PressKey(id, key) ? "" : refused("typed into");
  }
  if (action == "dblclick") {
    std::string arg;
    const std::string target = Word(rest, &arg);
    if (auto e = need(target); !e.empty()) return e;
    int n = 0;
    if (!ParseInt(arg, &n)) return "\"" + arg + "\" is not a number";
    return owner->DoubleClickItem(id, n) ? "" : refused("double-clicked");
  }
  if (action == "command") {
    int number = 0;
    if (!ParseInt(rest, &number)) return "command needs a control id";
    if (d.SendCommand(number)) return {};
    for (Dialog* child : d.Children())
      if (d.ChildVisible(*child) && child->SendCommand(number)) return {};
    return "no control \"" + rest + "\" here";
  }
  if (action == "menu") {
    int command = -1;
    if (!ParseInt(rest, &command)) {
      for (const auto& [cmd, text] : d.SystemMenu())
        if (SameVisibleText(text, FromUtf8(rest))) command = cmd;
    }
    return d.ChooseSystemMenu(command) ? "" : "no system-menu entry \"" + rest + "\"";
  }
  if (action == "help-key") {
    d.PressHelp();
    return {};
  }
  if (action == "close") {
    d.Close();
    return {};
  }
  if (action == "wait") {
    int ms;
    if (!ParseInt(rest, &ms) || ms < 0 || ms > kLongestWaitMs)
      return "wait needs milliseconds, at most " + std::to_string(kLongestWaitMs);
    d.env().Advance(ms);
    return {};
  }
  if (auto it = extra_.find(action); it != extra_.end()) return it->second.run(rest);
  return "unknown action \"" + action + "\" (try help)";
}

bool Console::Run(Dialog& d) {
  if (options_.interactive && !greeted_) {
    out_ << "(type help for the actions)\n";
    greeted_ = true;
  }
  std::string last = Render(d);
  out_ << last;
  std::string line;
  while (!d.Ended() && !quit_ && ReadAction(&line)) {
    bool quit = false;
    const std::string error = Apply(d, line, &quit);
    if (!error.empty()) Report(error);
    if (quit) quit_ = true;
    if (d.Ended()) break;
    const std::string now = Render(d);
    if (now != last) out_ << now;
    last = now;
  }
  if (d.Ended()) out_ << "=== dialog " << d.Template().id << " closed: " << ResultName(d.Result()) << " (" << d.Result() << ")\n";
  return d.Ended();
}

std::string Console::ApplySheet(headless::Sheet& sheet, const std::string& line, bool* quit, bool* handled) {
  std::string rest;
  const std::string action = Word(line, &rest);
  *handled = true;
  if (action == "tab") {
    int n;
    if (!ParseInt(rest, &n)) {
      n = -1;
      for (int i = 0; i < sheet.TabCount(); ++i)
        if (SameVisibleText(sheet.TabTitle(i), FromUtf8(rest))) n = i;
    }
    return sheet.SelectTab(n) ? "" : "the sheet stays on its page";
  }
  if (action == "apply") return sheet.Apply() ? "" : "a page refused Apply";
  if (action == "ok") return sheet.Ok() ? "" : "a page refused OK";
  if (action == "cancel") return sheet.Cancel() ? "" : "the page refused Cancel";
  if (action == "show") {
    out_ << RenderSheet(sheet);
    return {};
  }
  *handled = false;
  if (Dialog* page = sheet.CurrentPage()) return Apply(*page, line, quit);
  *handled = true;
  return "the sheet has no page";
}

bool Console::RunSheet(headless::Sheet& sheet) {
  sheet.Open();
  std::string last = RenderSheet(sheet);
  out_ << last;
  std::string line;
  while (!sheet.Closed() && !quit_ && ReadAction(&line)) {
    bool quit = false, handled = false;
    const std::string error = ApplySheet(sheet, line, &quit, &handled);
    if (!error.empty()) Report(error);
    if (quit) quit_ = true;
    if (sheet.Closed()) break;
    const std::string now = RenderSheet(sheet);
    if (now != last) out_ << now;
    last = now;
  }
  if (sheet.Closed()) out_ << "=== property sheet closed\n";
  return sheet.Closed();
}

}  // namespace kit::ui::console
