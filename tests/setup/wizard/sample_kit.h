// The kit a test runs the wizard on: a small consistent configuration with
// its language file, licence and left-band picture, and USB answers the
// test chooses. No platform types here, so that the Windows tests share it.
#pragma once

#include <map>
#include <string>

#include "setup/usb/usb_queries.h"

namespace kit::setup::testing {

// Answers the port page's USB questions as a test sets them.
struct FakeUsb final : UsbQueries {
  int classification = kUsbMakerDriverOrNone;
  std::string version = kNoDriverVersion;
  int usb_id = kNoUsbPrinter;
  int ReadPrinterUsbId(UsbPrompts&) override { return usb_id; }
  int ClassifyConnectedPrinters() override { return classification; }
  std::string InstalledUsbDriverVersion() override { return version; }
};

// The kit's files by package-relative path: path -> bytes.
struct KitFiles {
  std::map<std::string, std::string> files;
  void Set(const std::string& relative, std::string text) { files[relative] = std::move(text); }
  void Remove(const std::string& relative) { files.erase(relative); }
};

// A consistent small kit: five models over the four series, licence on.
KitFiles SampleKit();
// A 4 x 2 bitmap file, 24 bits per pixel.
std::string SmallBitmapFile();

}  // namespace kit::setup::testing
