// The stand-in libraries' files: the printer file and the write log beside
// the library module itself, read and written whole with the Win32 file API
// (no C runtime state shared with the caller).
#pragma once

#include <string>

namespace kit::usbstandin {

// The file of that name in the folder of the module holding this code.
std::wstring BesideModule(const char* name);
// The whole file as bytes; empty when it cannot be read.
std::string ReadWhole(const std::wstring& path);
bool WriteWhole(const std::wstring& path, const std::string& text);
bool Append(const std::wstring& path, const std::string& text);

}  // namespace kit::usbstandin
