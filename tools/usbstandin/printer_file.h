// The printers the kit's stand-in USB libraries simulate, read from the text
// file beside them (README.md here gives its layout), and the record of
// every write they take. Pure text handling, so it is tested on every build.
// This file is OS-independent.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace kit::usbstandin {

// The file beside the libraries, and the log they append writes to.
inline constexpr char kPrinterFileName[] = "UsbPrinters.txt";
inline constexpr char kWriteLogName[] = "UsbWrites.log";
// OpenDeviceX reaches indices 0-7.
inline constexpr std::size_t kMaxPrinters = 8;
// The descriptor the stand-in returns and the offset of its release number.
inline constexpr std::size_t kDescriptorSize = 18;
inline constexpr std::size_t kDescriptorReleaseOffset = 12;
// The caller's EnumUSBPrinter buffer, terminator included.
inline constexpr std::size_t kListBufferSize = 1024;

struct SimulatedPrinter {
  std::uint16_t vid = 0;
  std::uint16_t pid = 0;
  std::uint16_t release = 0;
  std::string list_text;  // what EnumUSBPrinter lists for it, may be empty
  std::size_t line = 0;   // 1-based line of the file, for rewriting it
};

// The printers of the file in order (index 0 first), at most kMaxPrinters.
// Comment lines, blank lines and malformed lines give no printer; `problems`
// (optional) receives one sentence per malformed line.
std::vector<SimulatedPrinter> ParsePrinterFile(std::string_view text, std::vector<std::string>* problems = nullptr);

// The file's text with the release of `printer` changed, all else kept.
std::string WithRelease(std::string_view text, const SimulatedPrinter& printer, std::uint16_t release);

// The USB device descriptor of a printer (little-endian fields).
void Descriptor(const SimulatedPrinter& printer, std::uint8_t out[kDescriptorSize]);

// The list text of all printers, cut to fit the caller's buffer with its
// terminator.
std::string PrinterList(const std::vector<SimulatedPrinter>& printers);

// The id-write command ("ESC s B E 0x92 0x99 GS I space" and the new id):
// true with the id when `data` is one.
bool IdWrite(const std::uint8_t* data, std::size_t length, std::uint16_t* id);

// One line of the write log: "write <index> pipe <pipe>: <hex bytes>".
std::string WriteLogLine(std::size_t index, int pipe, const std::uint8_t* data, std::size_t length);

}  // namespace kit::usbstandin
