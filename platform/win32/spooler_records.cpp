#include "platform/win32/spooler_records.h"

namespace kit::win32 {
namespace {

// The device mode a record points at: its public part plus the driver's
// private bytes that follow it.
Bytes DevModeBytes(const DEVMODEW* dev_mode) {
  if (dev_mode == nullptr) return {};
  const auto* p = reinterpret_cast<const std::uint8_t*>(dev_mode);
  return Bytes(p, p + dev_mode->dmSize + dev_mode->dmDriverExtra);
}

}  // namespace

PrinterInfo2Record::PrinterInfo2Record(const PrinterInfo2& info)
    : server_(Wide(info.server_name)),
      printer_(Wide(info.printer_name)),
      share_(Wide(info.share_name)),
      port_(Wide(info.port_name)),
      driver_(Wide(info.driver_name)),
      comment_(Wide(info.comment)),
      location_(Wide(info.location)),
      sep_file_(Wide(info.sep_file)),
      processor_(Wide(info.print_processor)),
      datatype_(Wide(info.datatype)),
      parameters_(Wide(info.parameters)),
      dev_mode_(info.dev_mode) {
  record_.pServerName = MutableOrNull(server_);
  record_.pPrinterName = Mutable(printer_);
  record_.pShareName = MutableOrNull(share_);
  record_.pPortName = Mutable(port_);
  record_.pDriverName = Mutable(driver_);
  record_.pComment = MutableOrNull(comment_);
  record_.pLocation = MutableOrNull(location_);
  // A device mode shorter than its own header is not handed to Windows.
  record_.pDevMode = dev_mode_.size() >= offsetof(DEVMODEW, dmFields)
                         ? reinterpret_cast<DEVMODEW*>(dev_mode_.data())
                         : nullptr;
  record_.pSepFile = MutableOrNull(sep_file_);
  record_.pPrintProcessor = Mutable(processor_);
  record_.pDatatype = MutableOrNull(datatype_);
  record_.pParameters = MutableOrNull(parameters_);
  record_.pSecurityDescriptor = nullptr;
  record_.Attributes = info.attributes;
  record_.Priority = info.priority;
  record_.DefaultPriority = info.default_priority;
  record_.StartTime = info.start_time;
  record_.UntilTime = info.until_time;
  record_.Status = info.status;
  record_.cJobs = info.jobs;
  record_.AveragePPM = info.average_ppm;
}

DriverInfo3Record::DriverInfo3Record(const DriverInfo3& info)
    : name_(Wide(info.name)),
      environment_(Wide(info.environment)),
      driver_path_(Wide(info.driver_path)),
      data_file_(Wide(info.data_file)),
      config_file_(Wide(info.config_file)),
      help_file_(Wide(info.help_file)),
      dependent_files_(JoinMultiString(info.dependent_files)),
      monitor_(Wide(info.monitor_name)),
      datatype_(Wide(info.default_data_type)) {
  record_.cVersion = info.version;
  record_.pName = Mutable(name_);
  record_.pEnvironment = MutableOrNull(environment_);
  record_.pDriverPath = Mutable(driver_path_);
  record_.pDataFile = Mutable(data_file_);
  record_.pConfigFile = Mutable(config_file_);
  record_.pHelpFile = MutableOrNull(help_file_);
  record_.pDependentFiles = info.dependent_files.empty() ? nullptr : Mutable(dependent_files_);
  record_.pMonitorName = MutableOrNull(monitor_);
  record_.pDefaultDataType = MutableOrNull(datatype_);
}

FormRecord::FormRecord(const FormInfo1& form) : name_(Wide(form.name)) {
  record_.Flags = form.flags;
  record_.pName = Mutable(name_);
  record_.Size.cx = form.width;
  record_.Size.cy = form.height;
  record_.ImageableArea.left = form.imageable_left;
  record_.ImageableArea.top = form.imageable_top;
  record_.ImageableArea.right = form.imageable_right;
  record_.ImageableArea.bottom = form.imageable_bottom;
}

std::size_t PrinterInfoSize(std::uint32_t level) {
  switch (level) {
    case 1: return sizeof(PRINTER_INFO_1W);
    case 2: return sizeof(PRINTER_INFO_2W);
    case 4: return sizeof(PRINTER_INFO_4W);
    case 5: return sizeof(PRINTER_INFO_5W);
    default: return 0;
  }
}

bool DecodePrinterInfo(std::uint32_t level, const BYTE* record, PrinterInfo2* info) {
  *info = PrinterInfo2{};
  switch (level) {
    case 1: {
      const auto* p = reinterpret_cast<const PRINTER_INFO_1W*>(record);
      info->attributes = p->Flags;
      info->printer_name = FromWide(p->pName);
      info->comment = FromWide(p->pComment);
      return true;
    }
    case 2: {
      const auto* p = reinterpret_cast<const PRINTER_INFO_2W*>(record);
      info->server_name = FromWide(p->pServerName);
      info->printer_name = FromWide(p->pPrinterName);
      info->share_name = FromWide(p->pShareName);
      info->port_name = FromWide(p->pPortName);
      info->driver_name = FromWide(p->pDriverName);
      info->comment = FromWide(p->pComment);
      info->location = FromWide(p->pLocation);
      info->dev_mode = DevModeBytes(p->pDevMode);
      info->sep_file = FromWide(p->pSepFile);
      info->print_processor = FromWide(p->pPrintProcessor);
      info->datatype = FromWide(p->pDatatype);
      info->parameters = FromWide(p->pParameters);
      info->attributes = p->Attributes;
      info->priority = p->Priority;
      info->default_priority = p->DefaultPriority;
      info->start_time = p->StartTime;
      info->until_time = p->UntilTime;
      info->status = p->Status;
      info->jobs = p->cJobs;
      info->average_ppm = p->AveragePPM;
      return true;
    }
    case 4: {
      const auto* p = reinterpret_cast<const PRINTER_INFO_4W*>(record);
      info->printer_name = FromWide(p->pPrinterName);
      info->server_name = FromWide(p->pServerName);
      info->attributes = p->Attributes;
      return true;
    }
    case 5: {
      const auto* p = reinterpret_cast<const PRINTER_INFO_5W*>(record);
      info->printer_name = FromWide(p->pPrinterName);
      info->port_name = FromWide(p->pPortName);
      info->attributes = p->Attributes;
      info->device_not_selected_timeout = p->DeviceNotSelectedTimeout;
      info->transmission_retry_timeout = p->TransmissionRetryTimeout;
      return true;
    }
    default:
      return false;
  }
}

FormInfo1 DecodeForm(const FORM_INFO_1W& form) {
  FormInfo1 f;
  f.flags = form.Flags;
  f.name = FromWide(form.pName);
  f.width = form.Size.cx;
  f.height = form.Size.cy;
  f.imageable_left = form.ImageableArea.left;
  f.imageable_top = form.ImageableArea.top;
  f.imageable_right = form.ImageableArea.right;
  f.imageable_bottom = form.ImageableArea.bottom;
  return f;
}

DriverInfo3 DecodeDriver(const DRIVER_INFO_3W& driver) {
  DriverInfo3 d;
  d.version = driver.cVersion;
  d.name = FromWide(driver.pName);
  d.environment = FromWide(driver.pEnvironment);
  d.driver_path = FromWide(driver.pDriverPath);
  d.data_file = FromWide(driver.pDataFile);
  d.config_file = FromWide(driver.pConfigFile);
  d.help_file = FromWide(driver.pHelpFile);
  d.dependent_files = SplitMultiString(driver.pDependentFiles);
  d.monitor_name = FromWide(driver.pMonitorName);
  d.default_data_type = FromWide(driver.pDefaultDataType);
  return d;
}

MonitorInfo2 DecodeMonitor1(const MONITOR_INFO_1W& monitor) { return MonitorInfo2{FromWide(monitor.pName), {}, {}}; }

MonitorInfo2 DecodeMonitor2(const MONITOR_INFO_2W& monitor) {
  return MonitorInfo2{FromWide(monitor.pName), FromWide(monitor.pEnvironment), FromWide(monitor.pDLLName)};
}

PortInfo2 DecodePort1(const PORT_INFO_1W& port) {
  PortInfo2 p;
  p.port_name = FromWide(port.pName);
  return p;
}

PortInfo2 DecodePort2(const PORT_INFO_2W& port) {
  PortInfo2 p;
  p.port_name = FromWide(port.pPortName);
  p.monitor_name = FromWide(port.pMonitorName);
  p.description = FromWide(port.pDescription);
  p.port_type = port.fPortType;
  return p;
}

std::wstring JoinMultiString(const std::vector<WString>& items) {
  std::wstring list;
  for (const auto& item : items) {
    list += Wide(item);
    list.push_back(L'\0');
  }
  list.push_back(L'\0');
  return list;
}

std::vector<WString> SplitMultiString(const wchar_t* list) {
  std::vector<WString> items;
  if (list == nullptr) return items;
  while (*list != L'\0') {
    WString item = FromWide(list);
    list += item.size() + 1;
    items.push_back(std::move(item));
  }
  return items;
}

}  // namespace kit::win32
