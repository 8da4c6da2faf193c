// Spooler calls both monitor tests under Wine make: the ports a monitor
// lists, XcvData's input, and a raw printer on a port.
#pragma once

#include <windows.h>
#include <winspool.h>

#include <string>
#include <vector>

namespace kit::monitors::wine {

// The ports EnumPorts level 2 lists under `monitor`, in its order; a
// failure adds "(EnumPorts failed N)".
inline std::vector<std::wstring> PortsOf(const wchar_t* monitor) {
  DWORD needed = 0, returned = 0;
  EnumPortsW(nullptr, 2, nullptr, 0, &needed, &returned);
  std::vector<BYTE> buffer(needed + 1);
  std::vector<std::wstring> ours;
  if (!EnumPortsW(nullptr, 2, buffer.data(), needed, &needed, &returned)) {
    ours.push_back(L"(EnumPorts failed " + std::to_wstring(GetLastError()) + L")");
    return ours;
  }
  const auto* ports = reinterpret_cast<const PORT_INFO_2W*>(buffer.data());
  for (DWORD i = 0; i < returned; ++i) {
    if (ports[i].pMonitorName && std::wstring(ports[i].pMonitorName) == monitor) ours.push_back(ports[i].pPortName);
  }
  return ours;
}

// The input of an XcvData call: each text in UTF-16LE with its NUL.
inline std::vector<BYTE> XcvInput(std::initializer_list<const wchar_t*> texts) {
  std::vector<BYTE> bytes;
  for (const wchar_t* text : texts) {
    for (const wchar_t* c = text;; ++c) {
      bytes.push_back(static_cast<BYTE>(*c & 0xFF));
      bytes.push_back(static_cast<BYTE>(*c >> 8));
      if (*c == 0) break;
    }
  }
  return bytes;
}

// Adds a printer for raw jobs through WinPrint; true when it is there
// (added now or before), else GetLastError says why.
inline bool AddRawPrinter(const wchar_t* name, const wchar_t* port, const wchar_t* driver) {
  PRINTER_INFO_2W info{};
  info.pPrinterName = const_cast<wchar_t*>(name);
  info.pPortName = const_cast<wchar_t*>(port);
  info.pDriverName = const_cast<wchar_t*>(driver);
  info.pPrintProcessor = const_cast<wchar_t*>(L"WinPrint");
  info.pDatatype = const_cast<wchar_t*>(L"RAW");
  HANDLE added = AddPrinterW(nullptr, 2, reinterpret_cast<BYTE*>(&info));
  if (added == nullptr) return GetLastError() == ERROR_PRINTER_ALREADY_EXISTS;
  ClosePrinter(added);
  return true;
}

}  // namespace kit::monitors::wine
