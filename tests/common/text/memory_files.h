// An in-memory file source for the tests of the text readers.
#pragma once

#include <map>
#include <optional>
#include <string>
#include <string_view>

#include "common/ini/profile_file.h"

namespace kit::testing {

class MemoryFiles final : public ini::FileSource {
 public:
  void Put(std::u16string path, std::string bytes) { files_[std::move(path)] = std::move(bytes); }
  std::optional<std::string> Read(std::u16string_view path) const override {
    ++reads_;
    const auto it = files_.find(std::u16string(path));
    if (it == files_.end()) return std::nullopt;
    return it->second;
  }
  bool Write(std::u16string_view path, std::string_view bytes) override {
    files_[std::u16string(path)] = std::string(bytes);
    return true;
  }
  int reads() const { return reads_; }

 private:
  std::map<std::u16string, std::string> files_;
  mutable int reads_ = 0;
};

}  // namespace kit::testing
