#include "tools/usbstandin/stand_in_files_win32.h"

#include <windows.h>

namespace kit::usbstandin {
namespace {

// The printer file is a few lines; anything larger is not one.
constexpr DWORD kMaxFileSize = 64 * 1024;

}  // namespace

std::wstring BesideModule(const char* name) {
  // The module that holds this code: the allocation its code lies in
  // (GetModuleHandleExW would say the same, but exists from XP on only).
  MEMORY_BASIC_INFORMATION memory{};
  if (::VirtualQuery(reinterpret_cast<const void*>(&BesideModule), &memory, sizeof memory) == 0) return {};
  const auto self = static_cast<HMODULE>(memory.AllocationBase);
  std::wstring path(MAX_PATH, L'\0');
  for (;;) {
    const DWORD length = ::GetModuleFileNameW(self, path.data(), static_cast<DWORD>(path.size()));
    if (length == 0) return {};
    if (length < path.size()) {
      path.resize(length);
      break;
    }
    path.resize(path.size() * 2);
  }
  path.resize(path.find_last_of(L"\\/") + 1);
  for (const char* c = name; *c; ++c) path.push_back(static_cast<wchar_t>(*c));
  return path;
}

std::string ReadWhole(const std::wstring& path) {
  HANDLE file = ::CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return {};
  std::string text;
  const DWORD size = ::GetFileSize(file, nullptr);
  if (size != INVALID_FILE_SIZE && size <= kMaxFileSize) {
    text.resize(size);
    DWORD read = 0;
    if (size == 0 || !::ReadFile(file, text.data(), size, &read, nullptr)) read = 0;
    text.resize(read);
  }
  ::CloseHandle(file);
  return text;
}

namespace {
bool Write(const std::wstring& path, const std::string& text, DWORD disposition, bool append) {
  HANDLE file = ::CreateFileW(path.c_str(), append ? FILE_APPEND_DATA : GENERIC_WRITE, FILE_SHARE_READ, nullptr,
                              disposition, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return false;
  DWORD written = 0;
  const bool ok = text.empty() ||
                  (::WriteFile(file, text.data(), static_cast<DWORD>(text.size()), &written, nullptr) &&
                   written == text.size());
  ::CloseHandle(file);
  return ok;
}
}  // namespace

bool WriteWhole(const std::wstring& path, const std::string& text) { return Write(path, text, CREATE_ALWAYS, false); }
bool Append(const std::wstring& path, const std::string& text) { return Write(path, text, OPEN_ALWAYS, true); }

}  // namespace kit::usbstandin
