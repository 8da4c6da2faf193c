#include "setup/printer/printer_creation.h"

#include "platform/port_data.h"
#include "platform/spooler_lists.h"

namespace kit::setup {
namespace {

PrinterInfo2 ToInfo(const EngineContext& ctx, const PrinterRecord& record, const std::string& name) {
  PrinterInfo2 info;
  info.printer_name = ctx.Wide(name);
  info.port_name = ctx.Wide(record.port_name);
  info.driver_name = ctx.Wide(record.driver_name);
  info.print_processor = ctx.Wide(record.print_processor);
  info.attributes = record.attributes;
  info.priority = 0;
  return info;
}

// AddPrinter; the returned handle is closed at once.
bool Add(EngineContext& ctx, const PrinterRecord& record, const std::string& name, win32::Error* error) {
  PrinterHandle printer;
  if (ctx.platform.spooler.AddPrinter(u"", ToInfo(ctx, record, name), &printer)) {
    printer->ClosePrinter();
    return true;
  }
  *error = ctx.platform.system.GetLastError();
  return false;
}

// Whether `name` is one AddPrinterWithUniqueName gives for `base`: the base
// itself, or (numbered) the base followed by "(1)" … "(98)".
bool IsNameFor(const WString& name, const WString& base, bool numbered) {
  if (EqualsNoCase(name, base)) return true;
  if (!numbered || name.size() <= base.size() + 2 || !EqualsNoCase(WStringView(name).substr(0, base.size()), base))
    return false;
  const WStringView number = WStringView(name).substr(base.size());
  if (number.front() != u'(' || number.back() != u')' || number[1] == u'0') return false;
  int value = 0;
  for (std::size_t i = 1; i + 1 < number.size(); ++i) {
    if (number[i] < u'0' || number[i] > u'9' || value > kLastNumberedName) return false;
    value = value * 10 + (number[i] - u'0');
  }
  return value >= 1 && value <= kLastNumberedName;
}

}  // namespace

bool FindSamePrinter(EngineContext& ctx, PrinterRecord* record, bool is_usb) {
  const auto printers = EnumLocalPrinters(ctx.platform.spooler, 2);
  if (!printers) return false;
  const PrinterInfo2 wanted = ToInfo(ctx, *record, record->printer_name);
  for (const PrinterInfo2& printer : *printers) {
    if (IsNameFor(printer.printer_name, wanted.printer_name, !is_usb) &&
        EqualsNoCase(printer.driver_name, wanted.driver_name) && EqualsNoCase(printer.port_name, wanted.port_name)) {
      record->printer_name = ctx.Ansi(printer.printer_name);
      return true;
    }
  }
  return false;
}

bool AddTcpIpPort(EngineContext& ctx, std::string_view port_name, std::string_view address, win32::Error* error) {
  PortData1 data;
  data.port_name = ctx.Wide(port_name);
  data.version = kPortDataVersion1;
  data.protocol = kProtocolRawTcp;
  data.size = kPortData1Size;
  data.host_address = ctx.Wide(address);
  data.snmp_community = kSnmpCommunity;
  data.double_spool = kDoubleSpool;
  data.port_number = kRawPortNumber;
  data.snmp_enabled = 0;
  data.snmp_dev_index = kSnmpDeviceIndex;

  PrinterDefaults defaults;
  defaults.desired_access = kServerAccessAdminister;
  PrinterHandle xcv;
  if (!ctx.platform.spooler.OpenPrinter(kXcvStandardTcpIpMonitor, defaults, &xcv)) {
    *error = ctx.platform.system.GetLastError();
    return false;
  }
  Bytes output;
  std::uint32_t needed = 0;
  std::uint32_t status = 0;
  if (!xcv->XcvData(kAddPortCommand, EncodePortData1(data), kXcvOutputSize, &output, &needed, &status)) {
    *error = ctx.platform.system.GetLastError();
    return false;
  }
  // The monitor answers "already exists" for a port made by an earlier install.
  if (status != win32::kErrorSuccess && status != win32::kErrorAlreadyExists) {
    *error = status;
    return false;
  }
  return true;
}

bool AddPrinterWithUniqueName(EngineContext& ctx, PrinterRecord* record, bool is_usb) {
  const std::string base = record->printer_name;
  win32::Error error = win32::kErrorSuccess;
  bool added = Add(ctx, *record, base, &error);
  if (!added && error == win32::kErrorPrinterAlreadyExists) {
    if (is_usb) {
      ctx.Fail(ctx.Message("IDS_ERR_TOOMANY"));
    } else {
      for (int n = 1; n <= kLastNumberedName && !added; ++n) {
        const std::string name = base + "(" + std::to_string(n) + ")";
        added = Add(ctx, *record, name, &error);
        if (added) record->printer_name = name;
        if (!added && error != win32::kErrorPrinterAlreadyExists) break;
      }
      if (!added && error == win32::kErrorPrinterAlreadyExists) ctx.Fail(ctx.Message("IDS_ERR_TOOMANY"));
    }
  }
  if (!added && !ctx.failed()) {
    ctx.Fail(ctx.Message("IDS_ERR_ADDPRINTER") + std::string(kLineBreak) + ctx.SystemText(error));
  }
  if (!added) record->printer_name.clear();
  return added;
}

}  // namespace kit::setup
