// This file is OS-independent.
#include "plugin/core/sheets/page_context.h"

#include <string>

#include "plugin/core/sheets/sheet_protocol.h"

namespace kit::plugin::sheets {

com::LPARAM PageContext::Address() const {
  return document_ != nullptr ? reinterpret_cast<com::LPARAM>(document_) : reinterpret_cast<com::LPARAM>(device_);
}

com::HANDLE PageContext::SheetHandle() const {
  return document_ != nullptr ? document_->hComPropSheet : device_->hComPropSheet;
}

com::HANDLE PageContext::ResultPage() const { return document_ != nullptr ? document_->hPage : device_->hPage; }

com::PFNCOMPROPSHEET PageContext::Callback() const {
  return document_ != nullptr ? document_->pfnComPropSheet : device_->pfnComPropSheet;
}

com::OEMCUIPPARAM* PageContext::CommonParam() const {
  return document_ != nullptr ? document_->pOemCUIPParam : device_->pOemCUIPParam;
}

std::u16string PageContext::PrinterName() const {
  const com::OEMCUIPPARAM* param = CommonParam();
  if (param == nullptr || param->pPrinterName == nullptr) return {};
  return std::u16string(param->pPrinterName);
}

std::uintptr_t PageContext::PrinterHandleValue() const {
  const com::OEMCUIPPARAM* param = CommonParam();
  return param == nullptr ? 0 : reinterpret_cast<std::uintptr_t>(param->hPrinter);
}

std::optional<PrivateDevModeSpan> PageContext::PrivateRecord() const {
  if (document_ == nullptr || document_->lParamInit == 0) return std::nullopt;
  auto* param = reinterpret_cast<com::OEMUIPSPARAM*>(document_->lParamInit);
  if (param->pOEMDM == nullptr) return std::nullopt;
  // The host sized the record by the plug-in's own answer to OEMDM_SIZE.
  return PrivateDevModeSpan(static_cast<std::uint8_t*>(param->pOEMDM), kPrivateDevModeSize);
}

PrinterHandle UseSheetPrinter(Spooler* spooler, const com::OEMCUIPPARAM* param) {
  if (spooler == nullptr || param == nullptr) return nullptr;
  PrinterHandle printer;
  if (param->hPrinter != nullptr) printer = spooler->BorrowPrinter(reinterpret_cast<std::uintptr_t>(param->hPrinter));
  if (!printer && param->pPrinterName != nullptr && param->pPrinterName[0] != u'\0') {
    PrinterDefaults defaults;
    defaults.desired_access = kPrinterAccessUse;
    if (!spooler->OpenPrinter(param->pPrinterName, defaults, &printer)) printer.reset();
  }
  return printer;
}

com::LONG_PTR PageContext::ReportApplied() const {
  const com::PFNCOMPROPSHEET callback = Callback();
  if (callback == nullptr) return 0;
  return callback(SheetHandle(), kCpsFuncSetResult, reinterpret_cast<com::LPARAM>(ResultPage()), kCpsuiOk);
}

}  // namespace kit::plugin::sheets
