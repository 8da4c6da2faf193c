// The message boxes of the plug-in's pages: every text and every title comes
// from the "MessageBox" section of the current language, loaded when a sheet
// is set up, with built-in English texts as the fallback.
// This file is OS-independent.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

#include "plugin/core/sheets/current_texts.h"
#include "ui/page.h"

namespace kit::plugin::sheets {

inline constexpr char16_t kMessageSection[] = u"MessageBox";
inline constexpr std::size_t kMessageCapacity = 1024;

enum class MessageTitle { kInformation, kWarning, kError };

enum class Message {
  kLayoutInformation1,
  kLayoutViewer,
  kOperationError1,
  kUtilityError1,
  k1DCodeError1,
  k2DCodeError1,
  kWatermarkError1,
  kWatermarkError2,
  kWatermarkError4,
  kWatermarkError5,
  kWatermarkError6,
  kWatermarkInformation1,
  kDownloadError1,
  kDownloadError2,
  kDownloadError3,
  kDownloadError4,
  kDownloadError5,
  kDownloadError6,
  kDownloadError7,
  kDownloadError8,
  kDownloadError9,
  kDownloadError10,
};
inline constexpr int kMessageCount = static_cast<int>(Message::kDownloadError10) + 1;

struct MessageKey {
  const char16_t* key;
  const char16_t* builtin;
};
// The key and built-in text of a message or a title.
MessageKey KeyOf(Message message);
MessageKey KeyOf(MessageTitle title);

// Loads every message and title text into the module's buffers (capacity
// 1024 each).
void LoadMessageTexts(const CurrentTexts& texts);
// The loaded text; the built-in text before the first load.
std::u16string TextOf(Message message);
std::u16string TextOf(MessageTitle title);

// MessageBoxW(page, text, title, style) with the loaded texts; returns the
// button pressed.
int ShowMessage(ui::Window& page, Message message, MessageTitle title, std::uint32_t style);

}  // namespace kit::plugin::sheets
