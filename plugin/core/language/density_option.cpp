#include "plugin/core/language/density_option.h"

#include <array>
#include <deque>
#include <string>

#include "common/strings/capacity.h"
#include "common/strings/decimal.h"

namespace kit::plugin {
namespace {

using NameBuffer = std::array<char16_t, kDensityTextCapacity>;

// Names handed to the driver. A deque never moves its elements, so a pointer
// given out once stays valid while later renames reuse or add buffers.
NameBuffer g_item_name{};
std::deque<NameBuffer>& OptionNames() {
  static std::deque<NameBuffer> names;
  return names;
}

constexpr std::u16string_view kDensityMarkers[] = {u"Density", u"\u6D53\u5EA6", u"\u6FC3\u5EA6"};  // 浓度, 濃度

std::u16string_view TextAt(const com::WCHAR* text) {
  if (text == nullptr) return {};
  return std::u16string_view(text);
}

bool IsDensityItem(const com::OPTITEM& item) {
  if (item.Level != kDensityItemLevel || item.DMPubID != com::kDmPubNone) return false;
  const com::OPTTYPE* type = item.pOptType;
  if (type == nullptr || type->Count == 0 || type->pOptParam == nullptr) return false;
  const std::u16string_view first = TextAt(type->pOptParam[0].pData);
  for (std::u16string_view marker : kDensityMarkers)
    if (first.find(marker) != std::u16string_view::npos) return true;
  return false;
}

void Fill(NameBuffer& buffer, std::u16string_view text) { CopyToBuffer(text, buffer.data(), buffer.size()); }

}  // namespace

bool RenameDensityOption(com::OEMCUIPPARAM& param, com::IPrintOemDriverUI* driver, std::u16string_view item_name,
                         std::u16string_view option_name) {
  if (param.pDrvOptItems == nullptr) return false;
  for (com::DWORD i = 0; i < param.cDrvOptItems; ++i) {
    com::OPTITEM& item = param.pDrvOptItems[i];
    if (!IsDensityItem(item)) continue;
    Fill(g_item_name, item_name);
    item.pName = g_item_name.data();
    std::deque<NameBuffer>& names = OptionNames();
    for (unsigned n = 0; n < item.pOptType->Count; ++n) {
      if (names.size() <= n) names.emplace_back();
      Fill(names[n], std::u16string(option_name) + DecimalText(n));
      item.pOptType->pOptParam[n].pData = names[n].data();
    }
    item.Flags |= com::kOptifChanged;
    if (driver != nullptr) driver->lpVtbl->DrvUpdateUISetting(driver, param.poemuiobj, &item, 0, kDocumentSheetMode);
    return true;
  }
  return false;
}

}  // namespace kit::plugin
