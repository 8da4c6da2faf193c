// The texts of the kit's two port dialogs (the serial port's and the USB
// port's Configure Port), in the kit's three languages, and the choice of
// language: the one the plug-in's pages show. That is the user's stored
// choice (HKEY_CURRENT_USER "SOFTWARE\VELDRAN\LANGUAGE\", value
// "LANGUAGE_VRTQ40": the chosen language's text file) unless the user
// follows the system language ("IsFirstRun_VRTQ40" contains "TRUE", or is
// not there yet), where the system default language decides as it does for
// the plug-in and the setup wizard: Chinese (PRC) the simplified texts,
// Chinese (Taiwan, Hong Kong, Singapore) the traditional ones, any other
// English. The values and language ids are the plug-in's
// (plugin/core/language/language_files.h); the dialogs only read them.
// This file is OS-independent.
#pragma once

#include <array>
#include <cstdint>
#include <initializer_list>
#include <string>

#include "platform/registry.h"
#include "platform/types.h"

namespace kit::monitors {

enum class PortUiLanguage { kEnglish, kSimplifiedChinese, kTraditionalChinese };

struct PortUiTexts {
  std::u16string caption;  // the dialogs' caption and their message boxes'
  std::u16string port;     // "Port:"
  // The serial port's settings.
  std::u16string baud;
  std::u16string data_bits;
  std::u16string parity;
  std::u16string stop_bits;
  std::u16string flow;
  std::array<std::u16string, 5> parity_names;  // none, odd, even, mark, space
  std::array<std::u16string, 3> flow_names;    // hardware, XON/XOFF, none
  std::u16string ok;
  std::u16string cancel;
  std::u16string close;
  std::u16string defaults;
  std::u16string read_only;        // shown when the user may not change the settings
  std::u16string bad_combination;  // stop bits the data bits cannot have
  // Failures: %1 the port or the monitor, %2 the error's number, %3 its text.
  std::u16string open_failed;
  std::u16string read_failed;
  std::u16string damaged;  // a stored setting no serial port takes: the defaults are shown
  std::u16string write_failed;
  std::u16string not_a_port;
  // The USB port: %1 the port's index; %2 … %4 the first USB ids of its
  // printer; %5 the remainder they leave divided by 8.
  std::u16string index;
  std::u16string prints_to;
  std::u16string printer_rule;
  std::u16string no_settings;
  bool chinese_font = false;  // the dialogs take the kit's shared Chinese font
};

// The language of the system default language id alone.
PortUiLanguage SystemPortUiLanguage(std::uint16_t system_language);
// The dialogs' language for this user (see the top of this file).
PortUiLanguage ChoosePortUiLanguage(Registry& registry, std::uint16_t system_language);

const PortUiTexts& TextsFor(PortUiLanguage language);

// `n` in decimal digits.
std::u16string DecimalText(std::uint32_t n);

// `text` with "%1" … "%9" replaced by `args` in order; a mark without an
// argument stays as it is.
std::u16string FillText(std::u16string_view text, std::initializer_list<std::u16string_view> args);

}  // namespace kit::monitors
