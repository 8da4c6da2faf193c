// This file is OS-independent.
#include "common/text/uninstall_string.h"

#include <utility>

namespace kit::uninstall {
namespace {

constexpr unsigned kLangChineseSimplified = 2052;
constexpr unsigned kLangChineseTaiwan = 1028;
constexpr unsigned kLangChineseHongKong = 3076;
constexpr unsigned kLangChineseSingapore = 4100;

constexpr char kSimplifiedChineseFile[] = "\\language\\uninstall_CN.ini";
constexpr char kTraditionalChineseFile[] = "\\language\\uninstall_TCN.ini";
constexpr char kEnglishFile[] = "\\language\\uninstall_EN.ini";

constexpr std::string_view kLineBreakMark = "\\n";
constexpr std::string_view kLineBreak = "\r\n";

}  // namespace

std::string UninstallLanguageFile(unsigned language_id) {
  switch (language_id) {
    case kLangChineseSimplified:
      return kSimplifiedChineseFile;
    case kLangChineseTaiwan:
    case kLangChineseHongKong:
    case kLangChineseSingapore:
      return kTraditionalChineseFile;
    default:
      return kEnglishFile;
  }
}

std::string ExpandUninstallLineBreak(std::string text) {
  const auto at = text.find(kLineBreakMark);
  if (at != std::string::npos) text.replace(at, kLineBreakMark.size(), kLineBreak);
  return text;
}

CMyString::CMyString(const ini::FileSource& files, std::string_view current_directory,
                     std::string_view language_file, std::string section,
                     ini::ProfileOptions options)
    : files_(files),
      path_(std::string(current_directory) + std::string(language_file)),
      section_(std::move(section)),
      options_(options) {}

std::string CMyString::Get(std::string_view key) const {
  return ExpandUninstallLineBreak(ini::ReadProfileStringA(files_, path_, section_, key, "",
                                                          kUninstallTextCapacity, options_));
}

}  // namespace kit::uninstall
