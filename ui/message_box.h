// Message-box styles and answers, with the values Windows gives them, so that
// pages pass one style word to every host. This file is OS-independent.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace kit::ui {

// Buttons (low four bits of the style).
inline constexpr std::uint32_t kMbOk = 0x0;
inline constexpr std::uint32_t kMbOkCancel = 0x1;
inline constexpr std::uint32_t kMbAbortRetryIgnore = 0x2;
inline constexpr std::uint32_t kMbYesNoCancel = 0x3;
inline constexpr std::uint32_t kMbYesNo = 0x4;
inline constexpr std::uint32_t kMbRetryCancel = 0x5;
inline constexpr std::uint32_t kMbButtonMask = 0xF;
// Icons.
inline constexpr std::uint32_t kMbIconError = 0x10;
inline constexpr std::uint32_t kMbIconQuestion = 0x20;
inline constexpr std::uint32_t kMbIconWarning = 0x30;
inline constexpr std::uint32_t kMbIconInformation = 0x40;
inline constexpr std::uint32_t kMbIconMask = 0xF0;
// Default button.
inline constexpr std::uint32_t kMbDefButton2 = 0x100;
inline constexpr std::uint32_t kMbDefButton3 = 0x200;
inline constexpr std::uint32_t kMbDefButtonMask = 0xF00;

// Answers (the ids of the buttons).
inline constexpr int kIdOk = 1;
inline constexpr int kIdCancel = 2;
inline constexpr int kIdAbort = 3;
inline constexpr int kIdRetry = 4;
inline constexpr int kIdIgnore = 5;
inline constexpr int kIdYes = 6;
inline constexpr int kIdNo = 7;

struct MessageBoxButton {
  int id;
  const char* label;  // English label, as the console shows it
};

// The buttons a style shows, left to right.
std::vector<MessageBoxButton> ButtonsOf(std::uint32_t style);
// The answer when the box is closed without choosing (Escape or the close
// box): Cancel where there is one, OK for a lone OK box, else 0 (the box
// cannot be closed that way).
int DismissAnswer(std::uint32_t style);
// The answer of the default button (Enter).
int DefaultAnswer(std::uint32_t style);

// One message box as shown: kept by hosts that record them.
struct ShownMessageBox {
  std::u16string text;
  std::u16string caption;
  std::uint32_t style = 0;
  int answer = 0;
};

}  // namespace kit::ui
