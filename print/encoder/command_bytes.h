// Every command byte sequence the kit sends to the family's printers, in one
// table: the raw jobs of the driver's pages (logos, barcode and QR test
// prints), the raster block and the per-event operations of a print job.
// Multi-byte numbers inside commands are little-endian. The virtual printer
// (tools/kvjob) reads every command of this table.
//
// This file is OS-independent.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>

namespace kit::print::commands {

// ---- The printer's self-test page ------------------------------------------

inline constexpr std::array<std::uint8_t, 7> kSelfTestCommand{0x1D, 0x28, 0x41, 0x02, 0x00, 0x00, 0x02};

// ---- Stored logos (download page) ------------------------------------------

// Deletes every logo stored in the printer: 1C 71 00 00 0A.
inline constexpr std::array<std::uint8_t, 5> kClearLogosCommand{0x1C, 0x71, 0x00, 0x00, 0x0A};
// Defines n stored logos: 1C 71 n, then per logo its header and data.
inline constexpr std::uint8_t kDefineLogosCommand[2] = {0x1C, 0x71};
inline constexpr std::uint8_t kLineFeed = 0x0A;
// The printer keeps logos 1 to 9.
inline constexpr std::size_t kMaxLogos = 9;

// ---- 1D barcode and QR test prints ----------------------------------------

inline constexpr std::uint8_t kHriFontCommand[2] = {0x1D, 0x66};      // 1D 66 f
inline constexpr std::uint8_t kHriPositionCommand[2] = {0x1D, 0x48};  // 1D 48 p
inline constexpr std::uint8_t kWidthCommand[2] = {0x1D, 0x77};        // 1D 77 w
inline constexpr std::uint8_t kHeightCommand[2] = {0x1D, 0x68};       // 1D 68 h
inline constexpr std::uint8_t kPrintBarcodeCommand[2] = {0x1D, 0x6B}; // 1D 6B m
inline constexpr std::uint8_t kDataEnd = 0x00;

// ---- Raster printing -------------------------------------------------------

// 1D 76 30 m xL xH yL yH, then y rows of x bytes, the leftmost dot in the
// high bit, a 1 bit a printed dot; m = 0 prints at normal size.
inline constexpr std::array<std::uint8_t, 3> kRasterBlockCommand{0x1D, 0x76, 0x30};
inline constexpr std::uint8_t kRasterNormalSize = 0x00;
inline constexpr std::size_t kRasterHeaderSize = 8;
// Feeds n dots (1B 4A n, n up to 255): how blank rows and paper feeds travel.
inline constexpr std::array<std::uint8_t, 2> kFeedDotsCommand{0x1B, 0x4A};
inline constexpr int kMaxFeedDots = 255;

// ---- Per-event operations of a print job -----------------------------------

// Justification for what follows: 1B 61 n, n = 0 left, 1 centred, 2 right.
inline constexpr std::array<std::uint8_t, 2> kAlignCommand{0x1B, 0x61};
inline constexpr std::uint8_t kAlignLeft = 0x00;
// Prints stored logo n at normal size: 1C 70 n 00.
inline constexpr std::array<std::uint8_t, 2> kPrintLogoCommand{0x1C, 0x70};
inline constexpr std::uint8_t kLogoNormalSize = 0x00;
// Cuts: 1D 56 m. m = 00 full, 01 partial at the print line; 41 n full and
// 42 n partial after feeding the paper to the cutter (and n dots more, 0 here).
inline constexpr std::array<std::uint8_t, 2> kCutCommand{0x1D, 0x56};
inline constexpr std::uint8_t kFullCut = 0x00;
inline constexpr std::uint8_t kPartialCut = 0x01;
inline constexpr std::uint8_t kFeedAndFullCut = 0x41;
inline constexpr std::uint8_t kFeedAndPartialCut = 0x42;
inline constexpr std::uint8_t kNoExtraFeed = 0x00;
// A pulse on the drawer connector: 1B 70 m t1 t2, m = 0 the drawer's pin 2,
// 1 pin 5; on t1 x 2 ms, off t2 x 2 ms.
inline constexpr std::array<std::uint8_t, 2> kPulseCommand{0x1B, 0x70};
inline constexpr std::uint8_t kDrawerPin = 0x00;
// The herald (the order messenger: a bell or lamp on the drawer connector's
// second output) is a pulse on pin 5. A choice: the family's language has
// no herald command of its own.
inline constexpr std::uint8_t kHeraldPin = 0x01;
inline constexpr int kPulseUnitMs = 2;
inline constexpr std::uint8_t kHeraldPulseUnits = 50;  // 100 ms on and off, a choice
// "Cash Drawer Waiting 10ms" .. "60ms" (choices 1 to 4): the pulse's on and off
// times, each the named time. A choice: the list names one time per entry.
inline constexpr std::array<std::uint8_t, 5> kDrawerPulseMs{0, 10, 20, 40, 60};
// The buzzer: 1B 42 n t, n beeps of t x 50 ms each.
inline constexpr std::array<std::uint8_t, 2> kBuzzerCommand{0x1B, 0x42};
// "Beep off", "Beep one", "three", "five", "ten", "twenty" (choices 0 to 5).
inline constexpr std::array<std::uint8_t, 6> kBuzzerBeeps{0, 1, 3, 5, 10, 20};
inline constexpr std::uint8_t kBeepUnits = 2;  // 100 ms a beep, a choice

// ---- Resident fonts ---------------------------------------------------------

// Print mode: 1B 21 n; bit 0 selects Font B (0 Font A), the other bits
// (emphasis, double height and width, underline) cleared here.
inline constexpr std::array<std::uint8_t, 2> kPrintModeCommand{0x1B, 0x21};
inline constexpr std::uint8_t kPrintModeFontB = 0x01;
// Character size: 1D 21 n, n = (across - 1) << 4 | (down - 1), 1 to 8 each way.
inline constexpr std::array<std::uint8_t, 2> kCharacterSizeCommand{0x1D, 0x21};
inline constexpr int kMaxMagnification = 8;
// Code page of the characters 80..FF: 1B 74 n.
inline constexpr std::array<std::uint8_t, 2> kCodePageCommand{0x1B, 0x74};
// Absolute print position on the line: 1B 24 nL nH, dots from the line's
// left edge.
inline constexpr std::array<std::uint8_t, 2> kAbsolutePositionCommand{0x1B, 0x24};

}  // namespace kit::print::commands
