// This file is OS-independent.
#include "plugin/core/main/paper_option.h"

#include "plugin/core/language/density_option.h"
#include "platform/types.h"

namespace kit::plugin::main {

int PaperOptions::EntryOfOption(long option) const {
  for (std::size_t i = 0; i < option_index.size(); ++i)
    if (option_index[i] == option) return static_cast<int>(i);
  return -1;
}

int PaperOptions::EntryOfName(std::u16string_view stored) const {
  if (stored.empty()) return -1;
  for (std::size_t i = 0; i < names.size(); ++i)
    if (EqualsNoCase(names[i], stored)) return static_cast<int>(i);
  for (std::size_t i = 0; i < names.size(); ++i)
    if (names[i].size() >= stored.size() && EqualsNoCase(std::u16string_view(names[i]).substr(0, stored.size()), stored))
      return static_cast<int>(i);
  return -1;
}

PaperOptions ReadPaperOptions(com::OEMCUIPPARAM* param) {
  PaperOptions options;
  if (param == nullptr || param->pDrvOptItems == nullptr) return options;
  for (com::DWORD i = 0; i < param->cDrvOptItems; ++i) {
    com::OPTITEM& item = param->pDrvOptItems[i];
    if (item.DMPubID != kDmPubFormName) continue;
    options.item = &item;
    const com::OPTTYPE* type = item.pOptType;
    if (type == nullptr || type->pOptParam == nullptr) break;
    for (int n = 0; n < type->Count; ++n) {
      const com::WCHAR* name = type->pOptParam[n].pData;
      if (name == nullptr || name[0] == u'\0') continue;
      options.names.emplace_back(name);
      options.option_index.push_back(n);
    }
    break;
  }
  return options;
}

bool ChoosePaper(const PaperOptions& options, int entry, com::OEMCUIPPARAM* param, com::IPrintOemDriverUI* driver) {
  if (options.item == nullptr || entry < 0 || entry >= static_cast<int>(options.option_index.size())) return false;
  options.item->Sel = options.option_index[entry];
  options.item->Flags |= com::kOptifChanged;
  if (driver != nullptr && param != nullptr)
    driver->lpVtbl->DrvUpdateUISetting(driver, param->poemuiobj, options.item, 0, kDocumentSheetMode);
  return true;
}

}  // namespace kit::plugin::main
