// Raw jobs of the virtual machine's spooler: spooled into the machine
// folder and delivered by their port's mapping.

#include <filesystem>
#include <fstream>

#include "platform/sim/channel_faults.h"
#include "platform/sim/delivery.h"
#include "platform/sim/monitor_jobs.h"
#include "platform/sim/spooler_internal.h"

namespace kit::sim::spool {
namespace {

namespace fs = std::filesystem;

}  // namespace

// Delivers a finished job according to its port's mapping.
void SimSpooler::Deliver(Json& s, Json& job) {
  const WString port = JsonText(job, "port");
  Json mapping = {{"kind", kMapFile}};
  const auto& map = s["spooler"]["port_map"];
  for (const auto& [k, v] : map.items()) {
    if (EqualsNoCase(FromUtf8(k), port)) mapping = v;
  }
  if (!MonitorModuleOfPort(s, port).empty()) {
    // A port of a loaded monitor: the monitor takes the job once the call
    // has let go of the state (RunMonitorJobs).
    job["delivered_to"] = "monitor";
    job["status"] = kJobForMonitor;
    return;
  }
  const std::string kind = mapping.value("kind", std::string(kMapFile));
  const std::string target = mapping.value("target", std::string());
  job["delivered_to"] = kind + (target.empty() ? "" : ":" + target);
  if (kind == kMapHold) {
    job["status"] = "queued";
    return;
  }
  if (kind == kMapFile) {
    job["status"] = "printed";
    return;
  }
  Bytes data;
  std::ifstream in(core_.store().Folder() / job.value("file", std::string()), std::ios::binary);
  data.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
  std::string error;
  const bool sent = kind == kMapTcp ? SendTcp(target, data, &error) : SendDevice(target, data, &error);
  if (sent) {
    job["status"] = "printed";
    job.erase("error");
  } else {
    // The job stays in the queue with the error, as a port monitor that
    // cannot reach its printer leaves it.
    job["status"] = "error";
    job["error"] = error;
  }
}

std::uint32_t SimPrinter::StartDocPrinter(const DocInfo1& doc) {
  if (info_.kind != HandleInfo::Kind::kPrinter) return Core::Fail(win32::kErrorInvalidHandle), 0;
  if (current_job_ != 0) return Core::Fail(win32::kErrorInvalidPrinterState), 0;
  std::uint32_t id = 0;
  const bool ok = spooler_.HandleCall(info_, closed_, "StartDocPrinter", [&](Json& s) {
    auto& sp = s["spooler"];
    Json* p = FindByName(sp["printers"], info_.name);
    if (!p) return Core::Fail(win32::kErrorInvalidPrinterName);
    if ((*p).value("status", 0u) & kPrinterStatusPendingDeletion) return Core::Fail(win32::kErrorPrinterDeleted);
    const WString datatype = doc.datatype.empty() ? JsonText(*p, "datatype") : doc.datatype;
    if (!EqualsNoCase(datatype, u"RAW") && !EqualsNoCase(datatype, u"RAW [FF appended]") &&
        !EqualsNoCase(datatype, u"TEXT") && !EqualsNoCase(datatype, u"NT EMF 1.008")) {
      return Core::Fail(win32::kErrorInvalidDatatype);
    }
    id = sp.value("next_job", 1u);
    sp["next_job"] = id + 1;
    const std::string file = std::string(kJobsFolder) + "/" + std::to_string(id) + ".bin";
    std::error_code ec;
    fs::create_directories(spooler_.core().store().Folder() / kJobsFolder, ec);
    std::ofstream(spooler_.core().store().Folder() / file, std::ios::binary | std::ios::trunc);
    sp["jobs"].push_back({{"id", id},
                          {"printer", U8(info_.name)},
                          {"port", (*p)["port"]},
                          {"document", U8(doc.doc_name)},
                          {"output_file", U8(doc.output_file)},
                          {"datatype", U8(datatype)},
                          {"pieces", Json::array()},
                          {"pages", 0},
                          {"status", "spooling"},
                          {"file", file}});
    return true;
  });
  if (!ok) return 0;
  current_job_ = id;
  in_page_ = false;
  return id;
}

bool SimPrinter::StartPagePrinter() {
  if (current_job_ == 0) return Core::Fail(win32::kErrorSplNoStartdoc);
  return spooler_.HandleCall(info_, closed_, "StartPagePrinter", [&](Json& s) {
    for (auto& j : s["spooler"]["jobs"]) {
      if (j.value("id", 0u) == current_job_) j["pages"] = j.value("pages", 0) + 1;
    }
    in_page_ = true;
    return true;
  });
}

bool SimPrinter::WritePrinter(const std::uint8_t* data, std::uint32_t size, std::uint32_t* written) {
  if (written) *written = 0;
  if (current_job_ == 0) return Core::Fail(win32::kErrorSplNoStartdoc);
  if (size > 0 && data == nullptr) return Core::Fail(win32::kErrorInvalidParameter);
  return spooler_.HandleCall(info_, closed_, "WritePrinter", [&](Json& s) {
    for (auto& j : s["spooler"]["jobs"]) {
      if (j.value("id", 0u) != current_job_) continue;
      const std::uint32_t taken = TakeShortWrite(s, info_.name, size).value_or(size);
      std::ofstream out(spooler_.core().store().Folder() / j.value("file", std::string()),
                        std::ios::binary | std::ios::app);
      out.write(reinterpret_cast<const char*>(data), taken);
      out.flush();
      if (!out) return Core::Fail(win32::kErrorDiskFull);
      j["pieces"].push_back(taken);
      if (written) *written = taken;
      return true;
    }
    return Core::Fail(win32::kErrorSplNoStartdoc);
  });
}

bool SimPrinter::EndPagePrinter() {
  if (current_job_ == 0) return Core::Fail(win32::kErrorSplNoStartdoc);
  // The page ends even when the call reports a failure.
  in_page_ = false;
  return spooler_.HandleCall(info_, closed_, "EndPagePrinter", [](Json&) { return true; });
}

bool SimPrinter::EndDocPrinter() {
  if (current_job_ == 0) return Core::Fail(win32::kErrorSplNoStartdoc);
  const std::uint32_t job = current_job_;
  const bool ok = spooler_.HandleCall(info_, closed_, "EndDocPrinter", [&](Json& s) {
    for (auto& j : s["spooler"]["jobs"]) {
      if (j.value("id", 0u) == job) spooler_.Deliver(s, j);
    }
    return true;
  });
  current_job_ = 0;
  in_page_ = false;
  if (ok) RunMonitorJobs(spooler_.core().store());
  return ok;
}

}  // namespace kit::sim::spool
