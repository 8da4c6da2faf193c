// This file is OS-independent.
#include "printapp/job_ids.h"

#include <algorithm>
#include <charconv>

namespace kit::printapp {
namespace {

constexpr std::size_t kPrinterDigits = 5;
constexpr std::size_t kJobDigits = 9;

// A whole decimal number of at least one digit, nothing else.
std::optional<int> Number(std::string_view text) {
  int value = 0;
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (error != std::errc() || end != text.data() + text.size() || text.empty() || value < 0) return std::nullopt;
  return value;
}

}  // namespace

std::string FormatJobIds(const HighestJobIds& ids) {
  std::string text;
  for (const auto& [printer, job] : ids) text += std::to_string(printer) + " " + std::to_string(job) + "\n";
  return text;
}

HighestJobIds ParseJobIds(std::string_view text) {
  HighestJobIds ids;
  while (!text.empty()) {
    const std::size_t end = text.find('\n');
    if (end == std::string_view::npos) break;  // a line cut short by a crash
    const std::string_view line = text.substr(0, end);
    text.remove_prefix(end + 1);
    const std::size_t space = line.find(' ');
    if (space == std::string_view::npos) continue;
    const auto printer = Number(line.substr(0, space));
    const auto job = Number(line.substr(space + 1));
    if (printer && job && *printer > 0) ids[*printer] = std::max(ids[*printer], *job);
  }
  return ids;
}

std::optional<std::pair<int, int>> SpoolFileJob(std::string_view name) {
  const std::size_t job_at = 1 + kPrinterDigits + 1;
  if (name.size() <= job_at + kJobDigits || name[0] != 'p' || name[1 + kPrinterDigits] != 'j' ||
      name[job_at + kJobDigits] != '-') {
    return std::nullopt;
  }
  const auto printer = Number(name.substr(1, kPrinterDigits));
  const auto job = Number(name.substr(job_at, kJobDigits));
  if (!printer || !job || *printer == 0 || *job == 0) return std::nullopt;
  return std::make_pair(*printer, *job);
}

bool CutByStop(JobState state, bool started, bool ended) {
  switch (state) {
    case JobState::kProcessing: case JobState::kStopped:
      return true;
    case JobState::kPending:
      return started;
    case JobState::kAborted:
      return !ended;
    default:
      return false;
  }
}

std::string SpoolFileJobName(std::string_view name) {
  const std::size_t dash = name.find('-');
  if (dash == std::string_view::npos) return "";
  name.remove_prefix(dash + 1);
  return std::string(name.substr(0, name.rfind('.')));
}

}  // namespace kit::printapp
