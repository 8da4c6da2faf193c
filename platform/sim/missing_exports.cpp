#include "platform/sim/missing_exports.h"

namespace kit::sim {
namespace {

constexpr char kMissingLibraries[] = "missing_libraries";
constexpr char kMissingProcs[] = "missing_procs";
constexpr char kProcSeparator = '!';

std::string Upper(std::string_view text) { return UpperKey(FromUtf8(std::string(text))); }

bool Listed(const Json& state, const char* list, const std::string& key) {
  if (!state.contains("system") || !state["system"].contains(list)) return false;
  for (const auto& entry : state["system"][list]) {
    if (entry.is_string() && Upper(entry.get<std::string>()) == key) return true;
  }
  return false;
}

void AddOnce(Json& state, const char* list, const std::string& key) {
  if (Listed(state, list, key)) return;
  state["system"][list].push_back(key);
}

}  // namespace

std::string LibraryKey(std::string_view name) {
  const auto slash = name.find_last_of("\\/");
  std::string base(slash == std::string_view::npos ? name : name.substr(slash + 1));
  if (base.find('.') == std::string::npos) base += ".dll";
  return Upper(base);
}

bool LibraryMissing(const Json& state, std::string_view library) {
  return Listed(state, kMissingLibraries, LibraryKey(library));
}

bool ProcMissing(const Json& state, std::string_view library, std::string_view proc) {
  if (LibraryMissing(state, library)) return true;
  return Listed(state, kMissingProcs, LibraryKey(library) + kProcSeparator + Upper(proc));
}

std::string MarkMissing(Json& state, std::string_view name) {
  const auto bang = name.find(kProcSeparator);
  const std::string_view library = name.substr(0, bang);
  if (library.empty() || library.find_first_of("\\/") != std::string_view::npos)
    return "a library name is needed (LIBRARY or LIBRARY!ENTRY)";
  if (bang == std::string_view::npos) {
    AddOnce(state, kMissingLibraries, LibraryKey(library));
    return {};
  }
  const std::string_view proc = name.substr(bang + 1);
  if (proc.empty() || proc.find(kProcSeparator) != std::string_view::npos)
    return "an entry point name is needed after '!'";
  AddOnce(state, kMissingProcs, LibraryKey(library) + kProcSeparator + Upper(proc));
  return {};
}

}  // namespace kit::sim
