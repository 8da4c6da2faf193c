#include "tools/vmachine/machine_diff.h"

#include <map>
#include <set>

#include "common/codepage/codepage.h"
#include "platform/sim/fd_io.h"
#include "platform/sim/store.h"

namespace kit::vmachine {

namespace fs = std::filesystem;
using Json = nlohmann::json;

namespace {

// Registry value types shown as text.
constexpr int kRegSz = 1;
constexpr int kRegExpandSz = 2;
constexpr int kRegDword = 4;
constexpr int kRegMultiSz = 7;
// Longer values are shortened in the text output (never in --json).
constexpr std::size_t kShownValueLength = 120;

using Flat = std::map<std::string, std::string>;

std::string Hex(const std::string& bytes) {
  static constexpr char kDigits[] = "0123456789abcdef";
  std::string out;
  out.reserve(bytes.size() * 2);
  for (unsigned char c : bytes) {
    out += kDigits[c >> 4];
    out += kDigits[c & 15];
  }
  return out;
}

std::string Unhex(const std::string& hex) {
  std::string out;
  for (std::size_t i = 0; i + 1 < hex.size(); i += 2) {
    out += static_cast<char>(std::stoi(hex.substr(i, 2), nullptr, 16));
  }
  return out;
}

std::optional<std::string> ReadHostFile(const fs::path& path) {
  std::string bytes;
  if (!sim::ReadHostFile(path.string(), &bytes)) return std::nullopt;
  return bytes;
}

void EraseMember(Json& node, const std::vector<std::string>& segments, std::size_t at) {
  const std::string& segment = segments[at];
  const bool last = at + 1 == segments.size();
  if (segment == "*" && (node.is_array() || node.is_object())) {
    for (auto& element : node) {
      if (last) continue;
      EraseMember(element, segments, at + 1);
    }
    return;
  }
  if (!node.is_object() || !node.contains(segment)) return;
  if (last) {
    node.erase(segment);
  } else {
    EraseMember(node[segment], segments, at + 1);
  }
}

void EraseVolatile(Json& state) {
  for (const auto& member : kVolatileState) {
    std::vector<std::string> segments;
    std::string path = member.path;
    for (std::size_t start = 0; start <= path.size();) {
      const std::size_t end = std::min(path.find('/', start), path.size());
      segments.push_back(path.substr(start, end - start));
      start = end + 1;
    }
    EraseMember(state, segments, 0);
  }
}

// The name a list element is known by: its "name" (with its environment,
// where drivers and processors of several exist), a device's instance id;
// empty for elements known only by their place.
std::string ElementName(const Json& element) {
  if (!element.is_object()) return {};
  for (const char* member : {"name", "instance_id"}) {
    if (element.contains(member) && element[member].is_string()) {
      std::string name = element[member].get<std::string>();
      if (element.contains("environment") && element["environment"].is_string()) {
        name += " (" + element["environment"].get<std::string>() + ")";
      }
      return name;
    }
  }
  return {};
}

// A list's elements by the names they are known by (their place where
// they have none; a repeated name gets "#2", "#3", ...).
std::map<std::string, const Json*> Elements(const Json& list) {
  std::map<std::string, const Json*> out;
  std::map<std::string, int> seen;
  for (std::size_t i = 0; i < list.size(); ++i) {
    std::string name = ElementName(list[i]);
    if (name.empty()) name = std::to_string(i);
    if (const int n = seen[name]++; n > 0) name += "#" + std::to_string(n + 1);
    out[name] = &list[i];
  }
  return out;
}

// Walks two state documents together: a member or list element only one
// side has is one difference, with its whole value.
void DiffNodes(const Json& a, const Json& b, const std::string& path, std::vector<Difference>* out) {
  const auto join = [&](const std::string& name) { return path.empty() ? name : path + "/" + name; };
  const auto walk = [&](const auto& ma, const auto& mb, auto value) {
    auto ia = ma.begin();
    auto ib = mb.begin();
    while (ia != ma.end() || ib != mb.end()) {
      if (ib == mb.end() || (ia != ma.end() && ia->first < ib->first)) {
        out->push_back({Difference::Change::kRemoved, "state", join(ia->first), value(ia->second).dump(), ""});
        ++ia;
      } else if (ia == ma.end() || ib->first < ia->first) {
        out->push_back({Difference::Change::kAdded, "state", join(ib->first), "", value(ib->second).dump()});
        ++ib;
      } else {
        DiffNodes(value(ia->second), value(ib->second), join(ia->first), out);
        ++ia;
        ++ib;
      }
    }
  };
  if (a.is_object() && b.is_object()) {
    std::map<std::string, const Json*> ma, mb;
    for (const auto& [name, value] : a.items()) ma[name] = &value;
    for (const auto& [name, value] : b.items()) mb[name] = &value;
    walk(ma, mb, [](const Json* j) -> const Json& { return *j; });
  } else if (a.is_array() && b.is_array()) {
    walk(Elements(a), Elements(b), [](const Json* j) -> const Json& { return *j; });
  } else if (a != b) {
    out->push_back({Difference::Change::kChanged, "state", path, a.dump(), b.dump()});
  }
}

std::string RegistryValueText(const Json& value) {
  const int type = value.value("t", 0);
  const std::string data = Unhex(value.value("d", std::string()));
  std::u16string text;
  for (std::size_t i = 0; i + 1 < data.size(); i += 2) {
    text += static_cast<char16_t>(static_cast<unsigned char>(data[i]) | static_cast<unsigned char>(data[i + 1]) << 8);
  }
  if (type == kRegSz || type == kRegExpandSz) {
    while (!text.empty() && text.back() == u'\0') text.pop_back();
    return "\"" + codepage::Utf16ToUtf8(text) + "\"";
  }
  if (type == kRegMultiSz) {
    while (!text.empty() && text.back() == u'\0') text.pop_back();
    for (auto& c : text) {
      if (c == u'\0') c = u'|';
    }
    return "multi \"" + codepage::Utf16ToUtf8(text) + "\"";
  }
  if (type == kRegDword && data.size() == 4) {
    std::uint32_t n = 0;
    for (int i = 3; i >= 0; --i) n = n << 8 | static_cast<unsigned char>(data[i]);
    return "dword " + std::to_string(n);
  }
  return "type " + std::to_string(type) + " hex:" + value.value("d", std::string());
}

// Keys as "HKLM\A\B" (value ""), values as "HKLM\A\B : Name".
void FlattenRegistry(const Json& node, const std::string& path, Flat* out) {
  (*out)[path] = "";
  if (node.contains("v")) {
    for (const auto& [name, value] : node["v"].items()) {
      (*out)[path + " : " + (name.empty() ? "(default)" : name)] = RegistryValueText(value);
    }
  }
  if (node.contains("k")) {
    for (const auto& [name, child] : node["k"].items()) FlattenRegistry(child, path + "\\" + name, out);
  }
}

void Compare(const Flat& a, const Flat& b, const std::string& kind, std::vector<Difference>* out) {
  auto ia = a.begin();
  auto ib = b.begin();
  while (ia != a.end() || ib != b.end()) {
    if (ib == b.end() || (ia != a.end() && ia->first < ib->first)) {
      out->push_back({Difference::Change::kRemoved, kind, ia->first, ia->second, ""});
      ++ia;
    } else if (ia == a.end() || ib->first < ia->first) {
      out->push_back({Difference::Change::kAdded, kind, ib->first, "", ib->second});
      ++ib;
    } else {
      if (ia->second != ib->second) out->push_back({Difference::Change::kChanged, kind, ia->first, ia->second, ib->second});
      ++ia;
      ++ib;
    }
  }
}

std::string Lower(std::string text) {
  for (char& c : text) {
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  }
  return text;
}

// Drive C: as folders and files (by path without case, as Windows names
// them); a file's value is its size and bytes.
struct DriveEntry {
  std::string shown;   // "C:\Windows\a.dll"
  bool folder = false;
  std::string bytes;
  std::string facts;   // what the state keeps of it: attributes, version resource
};

// The state's file facts, by the same key as the drive's entries.
std::map<std::string, std::string> FileFacts(const Json& state) {
  std::map<std::string, std::string> out;
  if (!state.contains("files") || !state["files"].is_object()) return out;
  for (const auto& [path, facts] : state["files"].items()) {
    std::string key = Lower(path);
    if (key.rfind("c:\\", 0) == 0) key.erase(0, 3);
    out[key] = facts.dump();
  }
  return out;
}

std::map<std::string, DriveEntry> ReadDrive(const fs::path& machine, const Json& state) {
  std::map<std::string, DriveEntry> out;
  const fs::path root = machine / sim::kDriveCFolder;
  std::error_code ec;
  for (auto it = fs::recursive_directory_iterator(root, ec); !ec && it != fs::recursive_directory_iterator();
       it.increment(ec)) {
    std::string relative = fs::relative(it->path(), root).generic_string();
    for (char& c : relative) {
      if (c == '/') c = '\\';
    }
    DriveEntry entry;
    entry.shown = "C:\\" + relative;
    entry.folder = it->is_directory();
    if (!entry.folder) entry.bytes = ReadHostFile(it->path()).value_or("");
    out[Lower(relative)] = std::move(entry);
  }
  for (const auto& [key, facts] : FileFacts(state)) {
    auto& entry = out[key];
    if (entry.shown.empty()) {
      // Facts of a path the walk does not list: drive C: itself, or one
      // that no longer exists.
      entry.shown = "C:\\" + key;
      entry.folder = key.empty() || fs::is_directory(root / key, ec);
    }
    entry.facts = facts;
  }
  return out;
}

void CompareDrives(const fs::path& a, const Json& state_a, const fs::path& b, const Json& state_b,
                   std::vector<Difference>* out) {
  const auto da = ReadDrive(a, state_a), db = ReadDrive(b, state_b);
  const auto describe = [](const DriveEntry& e) {
    std::string text = e.folder ? std::string() : std::to_string(e.bytes.size()) + " bytes";
    if (!e.facts.empty()) text += (text.empty() ? "" : " ") + e.facts;
    return text;
  };
  std::set<std::string> keys;
  for (const auto& [key, _] : da) keys.insert(key);
  for (const auto& [key, _] : db) keys.insert(key);
  for (const auto& key : keys) {
    const auto ia = da.find(key), ib = db.find(key);
    if (ib == db.end()) {
      out->push_back({Difference::Change::kRemoved, ia->second.folder ? "folder" : "file", ia->second.shown,
                      describe(ia->second), ""});
    } else if (ia == da.end()) {
      out->push_back({Difference::Change::kAdded, ib->second.folder ? "folder" : "file", ib->second.shown, "",
                      describe(ib->second)});
    } else if (ia->second.folder != ib->second.folder || ia->second.bytes != ib->second.bytes ||
               ia->second.facts != ib->second.facts) {
      std::string before = describe(ia->second), after = describe(ib->second);
      if (before == after) after += ", other bytes";
      out->push_back({Difference::Change::kChanged, ib->second.folder ? "folder" : "file", ib->second.shown, before,
                      after});
    }
  }
}

// A raw job's bytes join its entry, in place of its file name.
void AddJobBytes(Json& state, const fs::path& machine) {
  if (!state.contains("spooler") || !state["spooler"].contains("jobs")) return;
  for (auto& job : state["spooler"]["jobs"]) {
    if (!job.is_object() || !job.contains("file") || !job["file"].is_string()) continue;
    job["bytes"] = Hex(ReadHostFile(machine / job["file"].get<std::string>()).value_or(""));
  }
}

}  // namespace

std::vector<Difference> DiffStates(const Json& a, const Json& b) {
  Json sa = a, sb = b;
  EraseVolatile(sa);
  EraseVolatile(sb);
  Flat ra, rb;
  for (auto [state, flat] : {std::pair{&sa, &ra}, std::pair{&sb, &rb}}) {
    state->erase("files");  // compared with the files themselves
    if (state->contains("registry")) {
      for (const auto& [hive, node] : (*state)["registry"].items()) FlattenRegistry(node, hive, flat);
      state->erase("registry");
    }
  }
  std::vector<Difference> out;
  Compare(ra, rb, "registry", &out);
  DiffNodes(sa, sb, "", &out);
  return out;
}

bool DiffMachines(const fs::path& a, const fs::path& b, std::vector<Difference>* out, std::string* error) {
  Json sa, sb;
  for (auto [folder, state] : {std::pair{&a, &sa}, std::pair{&b, &sb}}) {
    if (sim::Store(*folder).Read(state, error) != sim::StoreError::kNone) {
      *error = folder->string() + ": " + *error;
      return false;
    }
    AddJobBytes(*state, *folder);
  }
  *out = DiffStates(sa, sb);
  CompareDrives(a, sa, b, sb, out);
  return true;
}

std::string DifferenceText(const Difference& d) {
  const auto shown = [](const std::string& value) {
    return value.size() > kShownValueLength ? value.substr(0, kShownValueLength) + "... (" +
                                                  std::to_string(value.size()) + " characters)"
                                            : value;
  };
  std::string line;
  switch (d.change) {
    case Difference::Change::kAdded: line = "+ " + d.kind + " " + d.path + (d.after.empty() ? "" : " = " + shown(d.after)); break;
    case Difference::Change::kRemoved: line = "- " + d.kind + " " + d.path + (d.before.empty() ? "" : " = " + shown(d.before)); break;
    case Difference::Change::kChanged: line = "~ " + d.kind + " " + d.path + ": " + shown(d.before) + " -> " + shown(d.after); break;
  }
  return line;
}

Json DifferencesJson(const std::vector<Difference>& differences) {
  Json out = Json::array();
  for (const auto& d : differences) {
    static constexpr const char* kChanges[] = {"added", "removed", "changed"};
    Json entry = {{"change", kChanges[static_cast<int>(d.change)]}, {"kind", d.kind}, {"path", d.path}};
    // A state value is JSON already: give it as a value, not as its text.
    const auto value = [&](const std::string& text) { return d.kind == "state" ? Json::parse(text) : Json(text); };
    if (d.change != Difference::Change::kAdded) entry["before"] = value(d.before);
    if (d.change != Difference::Change::kRemoved) entry["after"] = value(d.after);
    out.push_back(std::move(entry));
  }
  return out;
}

}  // namespace kit::vmachine
