// This file is OS-independent.
#include "usbinstall/outcome_texts.h"

#include "platform/win32_errors.h"

namespace kit::usbinstall {
namespace {

// Language ids.
constexpr std::uint16_t kChineseTaiwan = 1028;
constexpr std::uint16_t kChineseHongKong = 3076;
constexpr std::uint16_t kChineseMacao = 4100;
constexpr std::uint16_t kPortugueseBrazil = 1046;
constexpr std::uint16_t kPortuguesePortugal = 2070;
constexpr std::uint16_t kChinesePrc = 2052;

// Code page 950.
constexpr OutcomeTexts kTraditionalChinese = {
    // 印表機驅動安裝成功
    "\xA6\x4C\xAA\xED\xBE\xF7\xC5\x58\xB0\xCA\xA6\x77\xB8\xCB\xA6\xA8\xA5\x5C",
    // 添加印表機驅動失敗
    "\xB2\x4B\xA5\x5B\xA6\x4C\xAA\xED\xBE\xF7\xC5\x58\xB0\xCA\xA5\xA2\xB1\xD1",
    // 請重新啟動印表機後再安裝。
    "\xBD\xD0\xAD\xAB\xB7\x73\xB1\xD2\xB0\xCA\xA6\x4C\xAA\xED\xBE\xF7\xAB\xE1\xA6\x41\xA6\x77\xB8\xCB\xA1\x43",
};
constexpr OutcomeTexts kPortuguese = {
    "Driver da impressora instalado com sucesso.",
    "Erro ao adicionar driver de impressora.",
    "Favor reiniciar a impressora.",
};
// Code page 936.
constexpr OutcomeTexts kSimplifiedChinese = {
    // 打印机驱动安装成功。
    "\xB4\xF2\xD3\xA1\xBB\xFA\xC7\xFD\xB6\xAF\xB0\xB2\xD7\xB0\xB3\xC9\xB9\xA6\xA1\xA3",
    // 添加打印机驱动失败。
    "\xCC\xED\xBC\xD3\xB4\xF2\xD3\xA1\xBB\xFA\xC7\xFD\xB6\xAF\xCA\xA7\xB0\xDC\xA1\xA3",
    // 请重启打印机后再安装。
    "\xC7\xEB\xD6\xD8\xC6\xF4\xB4\xF2\xD3\xA1\xBB\xFA\xBA\xF3\xD4\xD9\xB0\xB2\xD7\xB0\xA1\xA3",
};
constexpr OutcomeTexts kEnglish = {
    "Successfully installed printer driver.",
    "Add printer driver error.",
    "Please repower printer and try again.",
};

bool IsDoubleByteCodePage(unsigned code_page) { return code_page == 936 || code_page == 950; }
bool IsLeadByte(unsigned char c) { return c >= 0x81 && c <= 0xFE; }

}  // namespace

OutcomeTexts OutcomeTextsFor(std::uint16_t language_id) {
  switch (language_id) {
    case kChineseTaiwan:
    case kChineseHongKong:
    case kChineseMacao: return kTraditionalChinese;
    case kPortugueseBrazil:
    case kPortuguesePortugal: return kPortuguese;
    case kChinesePrc: return kSimplifiedChinese;
    default: return kEnglish;
  }
}

std::string CutAnsi(std::string_view text, std::size_t capacity, unsigned code_page) {
  if (capacity == 0) return {};
  const std::size_t limit = capacity - 1;
  if (const auto nul = text.find('\0'); nul != std::string_view::npos) text = text.substr(0, nul);
  if (text.size() <= limit) return std::string(text);
  std::size_t kept = 0;
  while (kept < limit) {
    const std::size_t width =
        IsDoubleByteCodePage(code_page) && IsLeadByte(static_cast<unsigned char>(text[kept])) ? 2 : 1;
    if (kept + width > limit) break;
    kept += width;
  }
  return std::string(text.substr(0, kept));
}

std::string FailureText(const OutcomeTexts& texts, std::uint32_t error, std::string_view system_text,
                        unsigned code_page) {
  std::string text(texts.failure);
  if (error == win32::kErrorNoSuchDevinst) {
    text += texts.device_absent;
  } else {
    text += system_text;
  }
  return CutAnsi(text, kFailureTextCapacity, code_page);
}

}  // namespace kit::usbinstall
