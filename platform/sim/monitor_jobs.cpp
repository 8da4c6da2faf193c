#include "platform/sim/monitor_jobs.h"

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

#include "platform/sim/core.h"
#include "platform/sim/machine.h"
#include "platform/sim/monitor_modules.h"

namespace kit::sim {
namespace {

namespace fs = std::filesystem;

constexpr char kJobPrinting[] = "printing";

}  // namespace

std::string MonitorModuleOfPort(const Json& state, const WString& port) {
  for (const auto& m : state["spooler"].value("monitors", Json::array())) {
    if (!m.contains("module")) continue;
    for (const auto& name : m.value("ports", Json::array())) {
      if (name.is_string() && EqualsNoCase(FromUtf8(name.get<std::string>()), port)) {
        return m["module"].get<std::string>();
      }
    }
  }
  return {};
}

std::string LanguageMonitorModuleOfPrinter(const Json& state, const WString& printer) {
  const Json& sp = state["spooler"];
  WString driver;
  for (const auto& p : sp.value("printers", Json::array())) {
    if (EqualsNoCase(JsonText(p, "name"), printer)) driver = JsonText(p, "driver");
  }
  if (driver.empty()) return {};
  WString monitor;
  for (const auto& d : sp.value("drivers", Json::array())) {
    if (EqualsNoCase(JsonText(d, "name"), driver) && !JsonText(d, "monitor").empty()) monitor = JsonText(d, "monitor");
  }
  if (monitor.empty()) return {};
  for (const auto& m : sp.value("monitors", Json::array())) {
    if (EqualsNoCase(JsonText(m, "name"), monitor) && m.contains("module")) return m["module"].get<std::string>();
  }
  return {};
}

namespace {

Json* FindJob(Json& state, std::uint32_t id) {
  for (auto& j : state["spooler"]["jobs"]) {
    if (j.value("id", 0u) == id) return &j;
  }
  return nullptr;
}

bool Pending(const Json& job) {
  const std::string status = job.value("status", std::string());
  return status == kJobForMonitor || status == kJobWaiting;
}

}  // namespace

int RunMonitorJobs(Store& store) {
  Json state;
  std::string message;
  if (store.Read(&state, &message) != StoreError::kNone) return 0;
  std::vector<std::uint32_t> ids;
  for (const auto& j : state["spooler"].value("jobs", Json::array())) {
    if (Pending(j)) ids.push_back(j.value("id", 0u));
  }
  int bits = 0;
  for (const std::uint32_t id : ids) {
    // Claimed first, so that two programs on the machine never send one job
    // twice.
    Json job;
    std::string module, language_module;
    store.Update(
        [&](Json& s) {
          Json* j = FindJob(s, id);
          if (j == nullptr || !Pending(*j)) return false;
          module = MonitorModuleOfPort(s, JsonText(*j, "port"));
          if (module.empty()) return false;
          language_module = LanguageMonitorModuleOfPrinter(s, JsonText(*j, "printer"));
          (*j)["status"] = kJobPrinting;
          job = *j;
          return true;
        },
        &message);
    if (job.is_null()) continue;
    if (bits == 0) bits = NativeProcessBits(store.Folder(), &message);
    std::ifstream in(store.Folder() / job.value("file", std::string()), std::ios::binary);
    const Bytes data{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    MonitorJobResult result;
    std::uint32_t error = 0;
    const LoadedMonitor* monitor = InitializeMonitor(store.Folder() / module, store.Folder(), bits, &error);
    // The driver's language monitor; a module that loads as a port monitor
    // instead is passed by, the port monitor taking the job itself.
    const LoadedMonitor* language = nullptr;
    bool language_failed = false;
    if (monitor != nullptr && !language_module.empty()) {
      language = InitializeMonitor(store.Folder() / language_module, store.Folder(), bits, &error);
      language_failed = language == nullptr;
      if (language != nullptr && !IsLanguageMonitor(*language)) language = nullptr;
    }
    if (monitor == nullptr || language_failed) {
      result.error = error;
      result.failed_call = "InitializePrintMonitor2";
    } else {
      MonitorJob request;
      request.port = JsonText(job, "port");
      request.printer = JsonText(job, "printer");
      request.id = id;
      request.data = &data;
      request.from = job.value("sent", std::uint64_t{0});
      result = SendThroughMonitor(*monitor, language, request);
    }
    store.Update(
        [&](Json& s) {
          Json* j = FindJob(s, id);
          if (j == nullptr) return false;
          (*j)["sent"] = result.sent;
          if (result.error != 0) {
            // The monitor refused the job: it stays in the queue with the
            // error, as Windows shows a job its port cannot take.
            (*j)["status"] = "error";
            (*j)["error"] = result.failed_call + " failed with " + std::to_string(result.error);
          } else if (result.sent >= data.size()) {
            (*j)["status"] = "printed";
            j->erase("error");
          } else {
            (*j)["status"] = kJobWaiting;
          }
          return true;
        },
        &message);
  }
  int waiting = 0;
  if (store.Read(&state, &message) == StoreError::kNone) {
    for (const auto& j : state["spooler"].value("jobs", Json::array())) waiting += j.value("status", std::string()) == kJobWaiting;
  }
  return waiting;
}

WString JobStatusText(Store& store, const WString& printer, std::uint32_t job) {
  Json state;
  std::string message;
  if (store.Read(&state, &message) != StoreError::kNone) return {};
  for (const auto& j : state["spooler"].value("jobs", Json::array())) {
    if (j.value("id", 0u) == job && EqualsNoCase(JsonText(j, "printer"), printer)) return JsonText(j, "status_text");
  }
  return {};
}

bool SetJobStatusText(Store& store, const WString& printer, std::uint32_t job, const WString& text) {
  std::string message;
  bool found = false;
  store.Update(
      [&](Json& s) {
        Json* j = FindJob(s, job);
        if (j == nullptr || !EqualsNoCase(JsonText(*j, "printer"), printer)) return false;
        found = true;
        if (text.empty()) {
          j->erase("status_text");
        } else {
          (*j)["status_text"] = U8(text);
        }
        return true;
      },
      &message);
  return found;
}

}  // namespace kit::sim
