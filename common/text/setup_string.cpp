// This file is OS-independent.
#include "common/text/setup_string.h"

#include <utility>

namespace kit::setup {
namespace {

constexpr unsigned kLangChineseSimplified = 0x0804;
constexpr unsigned kLangChineseTaiwan = 0x0404;
constexpr unsigned kLangChineseHongKong = 0x0C04;
constexpr unsigned kLangChineseSingapore = 0x1004;

constexpr char kTraditionalChineseFile[] = "language\\setup_TCN.ini";
constexpr char kSimplifiedChineseFile[] = "language\\setup_CN.ini";
constexpr char kEnglishFile[] = "language\\setup_EN.ini";

constexpr std::string_view kLineBreakMarks[] = {"\\1", "\\2", "\\3"};
constexpr std::string_view kLineBreak = "\r\n";

}  // namespace

std::string SetupLanguageFile(unsigned language_id) {
  switch (language_id) {
    case kLangChineseTaiwan:
    case kLangChineseHongKong:
    case kLangChineseSingapore:
      return kTraditionalChineseFile;
    case kLangChineseSimplified:
      return kSimplifiedChineseFile;
    default:
      return kEnglishFile;
  }
}

std::string ExpandSetupLineBreaks(std::string text) {
  for (const std::string_view mark : kLineBreakMarks) {
    const auto at = text.find(mark);
    if (at != std::string::npos) text.replace(at, mark.size(), kLineBreak);
  }
  return text;
}

CMyString::CMyString(const ini::FileSource& files, std::string language_file, std::string section,
                     ini::ProfileOptions options)
    : files_(files),
      language_file_(std::move(language_file)),
      section_(std::move(section)),
      options_(options) {}

std::string CMyString::Get(std::string_view key) const {
  return ExpandSetupLineBreaks(ini::ReadProfileStringA(files_, language_file_, section_, key, "",
                                                       kSetupTextCapacity, options_));
}

}  // namespace kit::setup
