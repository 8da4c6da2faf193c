// Printers of the virtual machine's spooler: adding, opening, listing,
// changing and deleting them, and the default printer.

#include "platform/sim/spooler_internal.h"

namespace kit::sim::spool {
namespace {

constexpr std::uint32_t kMaxPrinterNameChars = 220;

}  // namespace

Json PrinterRecord(const PrinterInfo2& info) {
  const WString processor = info.print_processor.empty() ? WString(kDefaultPrintProcessor) : info.print_processor;
  return {{"name", U8(info.printer_name)},
          {"port", U8(info.port_name)},
          {"driver", U8(info.driver_name)},
          {"print_processor", U8(processor)},
          {"datatype", U8(info.datatype.empty() ? WString(u"RAW") : info.datatype)},
          {"comment", U8(info.comment)},
          {"location", U8(info.location)},
          {"share_name", U8(info.share_name)},
          {"sep_file", U8(info.sep_file)},
          {"parameters", U8(info.parameters)},
          {"dev_mode", ToHex(info.dev_mode)},
          {"attributes", info.attributes & ~kPrinterAttributeDefault},
          {"priority", info.priority == 0 ? 1u : info.priority},
          {"status", 0u}};
}

void StorePrinterRecord(Json& sp, Json record) {
  const std::string name = record.value("name", std::string());
  sp["printers"].push_back(std::move(record));
  // Windows makes the first printer the default one.
  if (JsonText(sp, "default_printer").empty()) sp["default_printer"] = name;
}

std::uint32_t SimSpooler::JobsOf(const Json& s, WStringView printer) {
  std::uint32_t n = 0;
  for (const auto& j : s["spooler"]["jobs"]) {
    if (EqualsNoCase(JsonText(j, "printer"), printer) && j.value("status", std::string()) != "printed") ++n;
  }
  return n;
}

PrinterInfo2 SimSpooler::ToInfo(const Json& s, const Json& p) {
  PrinterInfo2 i;
  i.printer_name = JsonText(p, "name");
  i.share_name = JsonText(p, "share_name");
  i.port_name = JsonText(p, "port");
  i.driver_name = JsonText(p, "driver");
  i.comment = JsonText(p, "comment");
  i.location = JsonText(p, "location");
  i.dev_mode = FromHex(p.value("dev_mode", std::string()));
  i.sep_file = JsonText(p, "sep_file");
  i.print_processor = JsonText(p, "print_processor");
  i.datatype = JsonText(p, "datatype");
  i.parameters = JsonText(p, "parameters");
  i.attributes = p.value("attributes", 0u) | kPrinterAttributeLocal;
  i.priority = p.value("priority", 1u);
  i.status = p.value("status", 0u);
  i.jobs = JobsOf(s, i.printer_name);
  return i;
}

// Bytes a PRINTER_INFO_n takes in the caller's buffer.
std::uint32_t SimSpooler::PrinterSize(std::uint32_t level, const PrinterInfo2& i) const {
  const std::uint32_t ptr = PointerSize();
  switch (level) {
    case 1: return (ptr == 8 ? 32 : 16) + Sz(i.printer_name) * 2 + Sz(i.comment);  // description holds the name
    case 2:
      return 13 * ptr + 8 * 4 + Sz(i.server_name) + Sz(i.printer_name) + Sz(i.share_name) + Sz(i.port_name) +
             Sz(i.driver_name) + Sz(i.comment) + Sz(i.location) + static_cast<std::uint32_t>(i.dev_mode.size()) +
             Sz(i.sep_file) + Sz(i.print_processor) + Sz(i.datatype) + Sz(i.parameters);
    case 4: return (ptr == 8 ? 24 : 12) + Sz(i.printer_name) + Sz(i.server_name);
    case 5: return (ptr == 8 ? 32 : 20) + Sz(i.printer_name) + Sz(i.port_name);
  }
  return 0;
}

bool SimSpooler::OpenPrinter(WStringView name, const PrinterDefaults& defaults, PrinterHandle* printer) {
  if (!name.empty() && name.front() == u',') RefreshMonitorPorts();
  HandleInfo info;
  info.access = defaults.desired_access;
  static constexpr WStringView kXcvMonitor = u",XcvMonitor ";
  static constexpr WStringView kXcvPort = u",XcvPort ";
  const bool ok = Call("OpenPrinter", name, [&](Json& s) {
    info.epoch = s["spooler"].value("epoch", std::uint64_t{0});
    const bool admin = s["system"].value("admin", true);
    if (name.empty()) {
      info.kind = HandleInfo::Kind::kServer;
      if ((defaults.desired_access & kServerAccessAdminister) && !admin) return Core::Fail(win32::kErrorAccessDenied);
      return true;
    }
    if (name.substr(0, std::min(name.size(), kXcvMonitor.size())) == kXcvMonitor) {
      info.kind = HandleInfo::Kind::kXcvMonitor;
      info.name = WString(name.substr(kXcvMonitor.size()));
      if (!FindByName(s["spooler"]["monitors"], info.name)) return Core::Fail(win32::kErrorInvalidPrinterName);
      if (!admin) return Core::Fail(win32::kErrorAccessDenied);
      return true;
    }
    if (name.substr(0, std::min(name.size(), kXcvPort.size())) == kXcvPort) {
      info.kind = HandleInfo::Kind::kXcvPort;
      info.name = WString(name.substr(kXcvPort.size()));
      if (!FindPort(AllPorts(s), info.name)) return Core::Fail(win32::kErrorInvalidPrinterName);
      return true;
    }
    Json* p = FindByName(s["spooler"]["printers"], name);
    if (!p) return Core::Fail(win32::kErrorInvalidPrinterName);
    info.kind = HandleInfo::Kind::kPrinter;
    info.name = JsonText(*p, "name");
    if ((defaults.desired_access & kPrinterAccessAdminister) && !admin) return Core::Fail(win32::kErrorAccessDenied);
    return true;
  });
  if (!ok) return false;
  *printer = std::make_unique<SimPrinter>(*this, info, 0);
  return true;
}

PrinterHandle SimSpooler::BorrowPrinter(std::uintptr_t native_handle) {
  const auto it = handles_.find(native_handle);
  if (it == handles_.end()) {
    Core::SetLastError(win32::kErrorInvalidHandle);
    return nullptr;
  }
  return std::make_unique<SimPrinter>(*this, it->second, native_handle);
}

bool SimSpooler::AddPrinter(WStringView server, const PrinterInfo2& info, PrinterHandle* printer) {
  RefreshMonitorPorts();
  HandleInfo handle;
  const bool ok = Call("AddPrinter", info.printer_name, [&](Json& s) {
    if (!server.empty()) return Core::Fail(win32::kErrorInvalidParameter);
    if (!s["system"].value("admin", true)) return Core::Fail(win32::kErrorAccessDenied);
    const WString& name = info.printer_name;
    if (name.empty() || name.size() > kMaxPrinterNameChars || name.find_first_of(u",\\!") != WString::npos) {
      return Core::Fail(win32::kErrorInvalidPrinterName);
    }
    auto& sp = s["spooler"];
    if (FindByName(sp["printers"], name)) return Core::Fail(win32::kErrorPrinterAlreadyExists);
    const WString env = core_.LocalEnvironment(s);
    if (!FindForEnvironment(sp["drivers"], info.driver_name, env)) return Core::Fail(win32::kErrorUnknownPrinterDriver);
    // A printer may list several ports separated by commas.
    WString ports = info.port_name;
    if (ports.empty()) return Core::Fail(win32::kErrorUnknownPort);
    const auto all = AllPorts(s);
    std::size_t pos = 0;
    while (pos <= ports.size()) {
      auto next = ports.find(u',', pos);
      if (next == WString::npos) next = ports.size();
      if (next > pos && !FindPort(all, ports.substr(pos, next - pos))) return Core::Fail(win32::kErrorUnknownPort);
      pos = next + 1;
    }
    Json p = PrinterRecord(info);
    if (!FindForEnvironment(sp["processors"], JsonText(p, "print_processor"), env)) {
      return Core::Fail(win32::kErrorUnknownPrintProcessor);
    }
    StorePrinterRecord(sp, std::move(p));
    handle.kind = HandleInfo::Kind::kPrinter;
    handle.name = name;
    handle.access = kPrinterAllAccess;
    handle.epoch = sp.value("epoch", std::uint64_t{0});
    return true;
  });
  if (!ok) return false;
  if (printer) *printer = std::make_unique<SimPrinter>(*this, handle, 0);
  return true;
}

bool SimSpooler::EnumPrinters(std::uint32_t flags, WStringView, std::uint32_t level,
                              std::vector<PrinterInfo2>* printers, std::uint32_t buffer_size, std::uint32_t* needed,
                              std::uint32_t* returned) {
  printers->clear();
  if (needed) *needed = 0;
  if (returned) *returned = 0;
  if (level != 1 && level != 2 && level != 4 && level != 5) return Core::Fail(win32::kErrorInvalidLevel);
  std::vector<PrinterInfo2> all;
  const bool ok = Call("EnumPrinters", {}, [&](Json& s) {
    if (!(flags & kPrinterEnumLocal)) return true;
    for (const auto& p : s["spooler"]["printers"]) all.push_back(ToInfo(s, p));
    return true;
  });
  if (!ok) return false;
  std::uint32_t total = 0;
  for (const auto& p : all) total += PrinterSize(level, p);
  if (needed) *needed = total;
  if (buffer_size < total) return Core::Fail(win32::kErrorInsufficientBuffer);
  *printers = std::move(all);
  if (returned) *returned = static_cast<std::uint32_t>(printers->size());
  return true;
}

bool SimSpooler::GetDefaultPrinter(WString* name) {
  return Call("GetDefaultPrinter", {}, [&](Json& s) {
    const WString d = JsonText(s["spooler"], "default_printer");
    if (d.empty()) return Core::Fail(win32::kErrorFileNotFound);
    *name = d;
    return true;
  });
}

bool SimSpooler::SetDefaultPrinter(WStringView name) {
  return Call("SetDefaultPrinter", name, [&](Json& s) {
    Json* p = FindByName(s["spooler"]["printers"], name);
    if (!p) return Core::Fail(win32::kErrorInvalidPrinterName);
    s["spooler"]["default_printer"] = (*p)["name"];
    return true;
  });
}

SimPrinter::SimPrinter(SimSpooler& spooler, HandleInfo info, std::uintptr_t borrowed)
    : spooler_(spooler), info_(std::move(info)), owned_(borrowed == 0), id_(borrowed) {
  if (owned_) id_ = spooler_.Register(info_);
}

SimPrinter::~SimPrinter() {
  if (owned_ && !closed_) ClosePrinter();
}

bool SimPrinter::ClosePrinter() {
  if (closed_) return Core::Fail(win32::kErrorInvalidHandle);
  if (!owned_) {
    closed_ = true;
    return true;
  }
  closed_ = true;
  spooler_.Unregister(id_);
  // Closing a handle with an open job ends the job, as the spooler does.
  const std::uint32_t job = current_job_;
  current_job_ = 0;
  if (job != 0) {
    spooler_.core().Update([&](Json& s) {
      for (auto& j : s["spooler"]["jobs"]) {
        if (j.value("id", 0u) == job && j.value("status", std::string()) == "spooling") spooler_.Deliver(s, j);
      }
      return true;
    });
  }
  // A printer marked for deletion goes when its last job is done.
  spooler_.core().Update([&](Json& s) {
    auto& printers = s["spooler"]["printers"];
    for (auto it = printers.begin(); it != printers.end(); ++it) {
      if (EqualsNoCase(JsonText(*it, "name"), info_.name) && ((*it).value("status", 0u) & kPrinterStatusPendingDeletion) &&
          SimSpooler::JobsOf(s, info_.name) == 0) {
        printers.erase(it);
        break;
      }
    }
    return true;
  });
  return true;
}

bool SimPrinter::GetPrinter(std::uint32_t level, PrinterInfo2* info, std::uint32_t buffer_size,
                            std::uint32_t* needed) {
  if (needed) *needed = 0;
  if (info_.kind != HandleInfo::Kind::kPrinter) return Core::Fail(win32::kErrorInvalidHandle);
  if (level != 1 && level != 2 && level != 4 && level != 5) return Core::Fail(win32::kErrorInvalidLevel);
  PrinterInfo2 found;
  const bool ok = spooler_.HandleCall(info_, closed_, "GetPrinter", [&](Json& s) {
    Json* p = FindByName(s["spooler"]["printers"], info_.name);
    if (!p) return Core::Fail(win32::kErrorInvalidPrinterName);
    found = spooler_.ToInfo(s, *p);
    return true;
  });
  if (!ok) return false;
  const std::uint32_t size = spooler_.PrinterSize(level, found);
  if (needed) *needed = size;
  if (buffer_size < size) return Core::Fail(win32::kErrorInsufficientBuffer);
  *info = found;
  return true;
}

bool SimPrinter::SetPrinter(const PrinterInfo2& info) {
  if (info_.kind != HandleInfo::Kind::kPrinter) return Core::Fail(win32::kErrorInvalidHandle);
  if (!(info_.access & kPrinterAccessAdminister)) return Core::Fail(win32::kErrorAccessDenied);
  if (!info.port_name.empty()) spooler_.RefreshMonitorPorts();
  return spooler_.HandleCall(info_, closed_, "SetPrinter", [&](Json& s) {
    Json* p = FindByName(s["spooler"]["printers"], info_.name);
    if (!p) return Core::Fail(win32::kErrorInvalidPrinterName);
    const auto ports = spooler_.AllPorts(s);
    if (!info.port_name.empty() && !spooler_.FindPort(ports, info.port_name)) return Core::Fail(win32::kErrorUnknownPort);
    (*p)["port"] = U8(info.port_name.empty() ? JsonText(*p, "port") : info.port_name);
    (*p)["comment"] = U8(info.comment);
    (*p)["location"] = U8(info.location);
    (*p)["dev_mode"] = ToHex(info.dev_mode);
    (*p)["attributes"] = info.attributes & ~(kPrinterAttributeDefault | kPrinterAttributeLocal);
    if (!info.driver_name.empty()) (*p)["driver"] = U8(info.driver_name);
    if (!info.print_processor.empty()) (*p)["print_processor"] = U8(info.print_processor);
    if (!info.datatype.empty()) (*p)["datatype"] = U8(info.datatype);
    // Windows 9x marks the default printer with an attribute.
    if (info.attributes & kPrinterAttributeDefault) s["spooler"]["default_printer"] = (*p)["name"];
    return true;
  });
}

bool SimPrinter::DeletePrinter() {
  if (info_.kind != HandleInfo::Kind::kPrinter) return Core::Fail(win32::kErrorInvalidHandle);
  if (!(info_.access & kPrinterAccessAdminister)) return Core::Fail(win32::kErrorAccessDenied);
  return spooler_.HandleCall(info_, closed_, "DeletePrinter", [&](Json& s) {
    auto& sp = s["spooler"];
    Json* p = FindByName(sp["printers"], info_.name);
    if (!p) return Core::Fail(win32::kErrorInvalidPrinterName);
    if (SimSpooler::JobsOf(s, info_.name) > 0) {
      // Windows keeps a printer with queued jobs until they are done.
      (*p)["status"] = (*p).value("status", 0u) | kPrinterStatusPendingDeletion;
      return true;
    }
    if (EqualsNoCase(JsonText(sp, "default_printer"), info_.name)) sp["default_printer"] = "";
    EraseByName(sp["printers"], info_.name);
    return true;
  });
}

}  // namespace kit::sim::spool
