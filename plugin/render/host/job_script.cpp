// This file is OS-independent.
#include "plugin/render/host/job_script.h"

#include <algorithm>
#include <cstdlib>

#include "print/gpd/gpd_check.h"
#include "print/gpd/gpd_file.h"

namespace kit::plugin::render_host {
namespace {

using print::gpd::Entry;

constexpr std::pair<std::string_view, Section> kSections[] = {
    {"JOB_SETUP", Section::kJobSetup},     {"DOC_SETUP", Section::kDocSetup},   {"PAGE_SETUP", Section::kPageSetup},
    {"PAGE_FINISH", Section::kPageFinish}, {"DOC_FINISH", Section::kDocFinish}, {"JOB_FINISH", Section::kJobFinish},
};

// The bytes of a command string without arguments: its quoted texts, with
// <hex> substrings as bytes.
std::vector<std::uint8_t> Bytes(std::string_view s) {
  std::vector<std::uint8_t> out;
  bool quoted = false, hex = false;
  std::string digits;
  for (char c : s) {
    if (!quoted) {
      quoted = c == '"';
      continue;
    }
    if (hex) {
      if (c == '>') {
        for (std::size_t i = 0; i + 1 < digits.size(); i += 2) {
          out.push_back(static_cast<std::uint8_t>(std::strtoul(digits.substr(i, 2).c_str(), nullptr, 16)));
        }
        digits.clear();
        hex = false;
      } else if (c != ' ') {
        digits += c;
      }
    } else if (c == '<') {
      hex = true;
    } else if (c == '"') {
      quoted = false;
    } else {
      out.push_back(static_cast<std::uint8_t>(c));
    }
  }
  return out;
}

void Collect(const std::vector<Entry>& entries, JobScript& script) {
  for (const Entry& e : entries) {
    if (e.keyword == "Command") {
      const Entry* order = print::gpd::First(e.children, "Order");
      if (order != nullptr) {
        const std::size_t dot = order->value.find('.');
        const std::string section = order->value.substr(0, dot);
        const auto known = std::find_if(std::begin(kSections), std::end(kSections),
                                        [&](const auto& s) { return s.first == section; });
        if (known != std::end(kSections) && dot != std::string::npos) {
          JobCommand command;
          command.section = known->second;
          command.order = std::atoi(order->value.c_str() + dot + 1);
          command.name = print::gpd::ConstructName(e);
          if (const Entry* id = print::gpd::First(e.children, "CallbackID")) {
            command.callback = true;
            command.callback_id = static_cast<unsigned>(std::atoi(id->value.c_str()));
          } else {
            command.bytes = Bytes(print::gpd::CommandString(e));
          }
          script.commands.push_back(std::move(command));
        }
      }
    }
    if (e.keyword == "IPCallbackID") script.image_callback = static_cast<unsigned>(std::atoi(e.value.c_str()));
    Collect(e.children, script);
  }
}

}  // namespace

JobScript ReadJobScript(std::string_view gpd_text) {
  JobScript script;
  const auto findings = print::gpd::CheckGpd(gpd_text);
  if (!findings.empty()) {
    script.error = print::gpd::Describe("data file", findings.front());
    return script;
  }
  const print::gpd::GpdFile file = print::gpd::ReadGpd(gpd_text);
  if (const Entry* model = print::gpd::First(file.root, "ModelName")) {
    std::string_view name = model->value;
    if (name.size() >= 2 && name.front() == '"' && name.back() == '"') name = name.substr(1, name.size() - 2);
    script.model_name = name;
  }
  Collect(file.root, script);
  std::stable_sort(script.commands.begin(), script.commands.end(), [](const JobCommand& a, const JobCommand& b) {
    return a.section != b.section ? a.section < b.section : a.order < b.order;
  });
  return script;
}

std::vector<const JobCommand*> CommandsOf(const JobScript& script, Section section) {
  std::vector<const JobCommand*> found;
  for (const JobCommand& c : script.commands) {
    if (c.section == section) found.push_back(&c);
  }
  return found;
}

}  // namespace kit::plugin::render_host
