// The setup wizard's configuration: the kit's INI files read as the wizard
// reads them.
//
// The wizard knows no model of its own. Every model, driver file, monitor,
// print processor, port kind and supported Windows comes from
// "DRVCONFIG\setup.ini" and the per-series files beside it, below the
// package folder (the folder that holds the running program). All reads go
// through the Windows profile semantics (names without case, absent key
// gives the default) and come in three forms:
//  - integer keys: read as text with default "0" (at most 199 characters)
//    and converted by leading-digit decimal conversion, so text reads as 0;
//  - name keys: at most 49 characters (50-byte buffers), default "0";
//  - file keys: at most 199 characters (200-byte buffers), default "0"; "0"
//    or an empty value means there is no such file.
// The wizard is an ANSI program: names and paths are bytes in the system's
// ANSI code page. This file is OS-independent.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

#include "common/ini/profile_file.h"

namespace kit::setup {

// Buffer sizes of the three value forms (terminator included).
inline constexpr std::size_t kIntTextCapacity = 200;
inline constexpr std::size_t kNameCapacity = 50;
inline constexpr std::size_t kFileCapacity = 200;
// The default of every key whose absence the wizard tests.
inline constexpr std::string_view kAbsentValue = "0";

inline constexpr std::string_view kConfigFolder = "DRVCONFIG";
inline constexpr std::string_view kSetupIni = "DRVCONFIG\\setup.ini";
inline constexpr std::string_view kDeviceNameSection = "DEVICENAME";

// The four printer series, by the index the wizard uses throughout.
enum class Series : int { kReceipt = 0, kTicket = 1, kLabel = 2, kEmbedded = 3 };
inline constexpr int kSeriesCount = 4;

// Whether `series` is one of the four (the wizard's index is -1 while no
// series is chosen).
bool IsKnownSeries(Series series);
// The suffix of a model entry in [DEVICENAME] that names its series; empty
// for an index outside the four.
std::string_view SeriesSuffix(Series series);
// The per-series file, package-relative, for the running bitness; empty for
// an index outside the four, whose keys then all read as their defaults.
std::string SeriesFile(Series series, bool is_64bit);

// Whether a file key's value names a file ("0" and "" do not).
bool NamesFile(std::string_view file_value);

// Leading-digit decimal conversion as the C library's atoi does it:
// optional spaces, an optional sign, then digits; anything else reads as 0.
// Values beyond the range of int are clamped.
int LeadingDecimal(std::string_view text);

struct ModelEntry {
  Series series = Series::kReceipt;
  std::string name;  // the text before the series suffix
};

class CPrinterInfManager {
 public:
  struct Options {
    const ini::FileSource* files = nullptr;  // where the kit's files are read
    std::string package_folder;              // e.g. "C:\Kit" (no trailing backslash needed)
    bool is_64bit = false;                   // the 64-bit flag: choose the "_64" series files
    ini::ProfileOptions profile;             // the system's ANSI code page
  };

  explicit CPrinterInfManager(Options options);

  // The full path of a package-relative file.
  std::string PackagePath(std::string_view relative) const;

  // Integer key of a package-relative file: default "0", decimal conversion.
  int ReadInt(std::string_view relative_file, std::string_view section,
              std::string_view key) const;
  // Name key (49 characters at most, default "0").
  std::string ReadName(std::string_view relative_file, std::string_view section,
                       std::string_view key) const;
  // File key (199 characters at most, default "0").
  std::string ReadFile(std::string_view relative_file, std::string_view section,
                       std::string_view key) const;
  // Any string key with its own capacity and default.
  std::string ReadString(std::string_view relative_file, std::string_view section,
                         std::string_view key, std::string_view default_value,
                         std::size_t capacity) const;

  // setup.ini [DEVICENAME]: an integer key, and a string key (default "0").
  int ReadDeviceNameInt(std::string_view key) const;
  std::string ReadDeviceNameString(std::string_view key) const;

  // Number of model entries (DEVICENUMBER).
  int ModelCount() const;
  // Model entry i (1-based, bounded by DEVICENUMBER): its series and model
  // name, or nothing when i is out of range or the entry has no suffix.
  std::optional<ModelEntry> ReadModelEntry(int index) const;
  // The entry DEFAULTNAME points at.
  std::optional<ModelEntry> ReadDefaultModel() const;

  // The per-series file of a series for this machine's bitness.
  std::string SeriesFileFor(Series series) const { return SeriesFile(series, options_.is_64bit); }
  // Integer, name and file keys of the per-series file of `series`.
  int ReadSeriesInt(Series series, std::string_view section, std::string_view key) const;
  std::string ReadSeriesName(Series series, std::string_view section, std::string_view key) const;
  std::string ReadSeriesFile(Series series, std::string_view section, std::string_view key) const;
  std::string ReadSeriesString(Series series, std::string_view section, std::string_view key,
                               std::string_view default_value, std::size_t capacity) const;

  bool is_64bit() const { return options_.is_64bit; }
  const Options& options() const { return options_; }

 private:
  Options options_;
};

}  // namespace kit::setup
