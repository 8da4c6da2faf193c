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

std::uint8_t* PageContext::PrivateRecord() const {
  if (document_ == nullptr || document_->lParamInit == 0) return nullptr;
  auto* param = reinterpret_cast<com::OEMUIPSPARAM*>(document_->lParamInit);
  return static_cast<std::uint8_t*>(param->pOEMDM);
}

com::LONG_PTR PageContext::ReportApplied() const {
  const com::PFNCOMPROPSHEET callback = Callback();
  if (callback == nullptr) return 0;
  return callback(SheetHandle(), kCpsFuncSetResult, reinterpret_cast<com::LPARAM>(ResultPage()), kCpsuiOk);
}

}  // namespace kit::plugin::sheets
