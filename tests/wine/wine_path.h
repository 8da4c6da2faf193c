// Paths of the build machine as the Windows tests see them under Wine.
#pragma once

#include <string>

namespace kit::wine {

// A Linux path under Wine maps onto drive Z:; a Windows path stays as it is.
inline std::wstring WindowsPath(std::string path) {
  if (!path.empty() && path[0] == '/') {
    for (auto& c : path) c = c == '/' ? '\\' : c;
    path = "Z:" + path;
  }
  return std::wstring(path.begin(), path.end());
}

}  // namespace kit::wine
