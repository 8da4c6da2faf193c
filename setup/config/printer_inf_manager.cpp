#include "setup/config/printer_inf_manager.h"

#include <array>
#include <climits>
#include <utility>

namespace kit::setup {
namespace {

struct SeriesFiles {
  std::string_view suffix;
  std::string_view file32;
  std::string_view file64;
};

// Model-entry suffixes and per-series files, by series index. The file
// names keep the capitalisation the kit ships; lookups ignore case anyway.
constexpr std::array<SeriesFiles, kSeriesCount> kSeriesTable{{
    {"-ReceiptPrinter", "setup_receipt.ini", "setup_receipt_64.ini"},
    {"-TicketPrinter", "setup_Ticket.ini", "setup_Ticket_64.ini"},
    {"-LabelPrinter", "setup_Label.ini", "setup_Label_64.ini"},
    {"-EmbeddedPrinter", "setup_Embedded.ini", "setup_Embedded_64.ini"},
}};

// A [DEVICENAME] entry is read into a 200-byte buffer.
constexpr std::size_t kModelEntryCapacity = 200;

bool IsCSpace(char c) {
  return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

// What a read gives without a file: the default, cut to the buffer.
std::string CappedDefault(std::string_view default_value, std::size_t capacity) {
  return std::string(default_value.substr(0, capacity ? capacity - 1 : 0));
}

}  // namespace

bool IsKnownSeries(Series series) {
  const int index = static_cast<int>(series);
  return index >= 0 && index < kSeriesCount;
}

std::string_view SeriesSuffix(Series series) {
  if (!IsKnownSeries(series)) return {};
  return kSeriesTable[static_cast<std::size_t>(series)].suffix;
}

std::string SeriesFile(Series series, bool is_64bit) {
  if (!IsKnownSeries(series)) return {};
  const auto& row = kSeriesTable[static_cast<std::size_t>(series)];
  std::string path(kConfigFolder);
  path += '\\';
  path += is_64bit ? row.file64 : row.file32;
  return path;
}

bool NamesFile(std::string_view file_value) {
  return !file_value.empty() && file_value != kAbsentValue;
}

int LeadingDecimal(std::string_view text) {
  std::size_t i = 0;
  while (i < text.size() && IsCSpace(text[i])) ++i;
  bool negative = false;
  if (i < text.size() && (text[i] == '+' || text[i] == '-')) {
    negative = text[i] == '-';
    ++i;
  }
  long long value = 0;
  for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i) {
    value = value * 10 + (text[i] - '0');
    if (value > static_cast<long long>(INT_MAX) + 1) break;  // clamped below
  }
  if (negative) value = -value;
  if (value > INT_MAX) return INT_MAX;
  if (value < INT_MIN) return INT_MIN;
  return static_cast<int>(value);
}

CPrinterInfManager::CPrinterInfManager(Options options) : options_(std::move(options)) {
  while (!options_.package_folder.empty() && options_.package_folder.back() == '\\') {
    options_.package_folder.pop_back();
  }
}

std::string CPrinterInfManager::PackagePath(std::string_view relative) const {
  std::string path = options_.package_folder;
  path += '\\';
  path += relative;
  return path;
}

std::string CPrinterInfManager::ReadString(std::string_view relative_file,
                                           std::string_view section, std::string_view key,
                                           std::string_view default_value,
                                           std::size_t capacity) const {
  if (options_.files == nullptr) return CappedDefault(default_value, capacity);
  return ini::ReadProfileStringA(*options_.files, PackagePath(relative_file), section, key,
                                 default_value, capacity, options_.profile);
}

int CPrinterInfManager::ReadInt(std::string_view relative_file, std::string_view section,
                                std::string_view key) const {
  return LeadingDecimal(ReadString(relative_file, section, key, kAbsentValue, kIntTextCapacity));
}

std::string CPrinterInfManager::ReadName(std::string_view relative_file,
                                         std::string_view section, std::string_view key) const {
  return ReadString(relative_file, section, key, kAbsentValue, kNameCapacity);
}

std::string CPrinterInfManager::ReadFile(std::string_view relative_file,
                                         std::string_view section, std::string_view key) const {
  return ReadString(relative_file, section, key, kAbsentValue, kFileCapacity);
}

int CPrinterInfManager::ReadDeviceNameInt(std::string_view key) const {
  return ReadInt(kSetupIni, kDeviceNameSection, key);
}

std::string CPrinterInfManager::ReadDeviceNameString(std::string_view key) const {
  return ReadString(kSetupIni, kDeviceNameSection, key, kAbsentValue, kModelEntryCapacity);
}

int CPrinterInfManager::ModelCount() const { return ReadDeviceNameInt("DEVICENUMBER"); }

std::optional<ModelEntry> CPrinterInfManager::ReadModelEntry(int index) const {
  if (index < 1 || index > ModelCount()) return std::nullopt;
  const std::string value = ReadDeviceNameString("DEVICENAME" + std::to_string(index));
  for (int s = 0; s < kSeriesCount; ++s) {
    const auto series = static_cast<Series>(s);
    const auto at = value.find(SeriesSuffix(series));
    if (at != std::string::npos) return ModelEntry{series, value.substr(0, at)};
  }
  return std::nullopt;
}

std::optional<ModelEntry> CPrinterInfManager::ReadDefaultModel() const {
  return ReadModelEntry(ReadDeviceNameInt("DEFAULTNAME"));
}

int CPrinterInfManager::ReadSeriesInt(Series series, std::string_view section,
                                      std::string_view key) const {
  if (!IsKnownSeries(series)) return LeadingDecimal(kAbsentValue);
  return ReadInt(SeriesFileFor(series), section, key);
}

std::string CPrinterInfManager::ReadSeriesName(Series series, std::string_view section,
                                               std::string_view key) const {
  if (!IsKnownSeries(series)) return std::string(kAbsentValue);
  return ReadName(SeriesFileFor(series), section, key);
}

std::string CPrinterInfManager::ReadSeriesFile(Series series, std::string_view section,
                                               std::string_view key) const {
  if (!IsKnownSeries(series)) return std::string(kAbsentValue);
  return ReadFile(SeriesFileFor(series), section, key);
}

std::string CPrinterInfManager::ReadSeriesString(Series series, std::string_view section,
                                                 std::string_view key,
                                                 std::string_view default_value,
                                                 std::size_t capacity) const {
  if (!IsKnownSeries(series)) return CappedDefault(default_value, capacity);
  return ReadString(SeriesFileFor(series), section, key, default_value, capacity);
}

}  // namespace kit::setup
