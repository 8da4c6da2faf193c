// The printer's user-defined paper sizes: spooler forms whose names contain
// "Custom Paper-", shown by their name after those 13 characters, with
// sizes in tenths of a millimetre (the spooler keeps thousandths). The kit's
// own form "Custom Paper-VQ40" comes first and is never deleted from the
// page.
// This file is OS-independent.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/spooler.h"

namespace kit::plugin::utility {

inline constexpr char16_t kCustomFormPrefix[] = u"Custom Paper-";
inline constexpr std::size_t kCustomFormPrefixLength = 13;
inline constexpr char16_t kKitDefaultForm[] = u"Custom Paper-VQ40";

// Sizes in tenths of a millimetre, and the spooler's unit.
inline constexpr int kMinFormWidth = 287;
inline constexpr int kMaxFormWidth = 558;
inline constexpr int kMinFormHeight = 225;
inline constexpr int kMaxFormHeight = 40958;
inline constexpr int kThousandthsPerTenth = 100;

struct FormSize {
  int width = 0;   // tenths of a millimetre
  int height = 0;
};

// EnumForms at level 1 in two passes (the size, then the forms); nullopt
// when the spooler refuses.
std::optional<std::vector<FormInfo1>> ReadForms(Printer& printer);

// The names the page lists, in order: "Custom Paper-VQ40" when it exists,
// then every other form whose name contains "Custom Paper-", in the
// spooler's order.
std::vector<std::u16string> ListedForms(const std::vector<FormInfo1>& forms);

// A listed name as the page shows it: its characters after the first 13
// ("My Custom Paper-X" shows "er-X").
std::u16string ShownName(std::u16string_view full_name);

// The form of that exact name.
const FormInfo1* FindForm(const std::vector<FormInfo1>& forms, std::u16string_view full_name);
// The form a Save of `typed` rewrites: a name containing "Custom Paper-"
// whose characters after the first 13 are `typed`, compared without case as
// the spooler compares form names.
const FormInfo1* FindSavedForm(const std::vector<FormInfo1>& forms, std::u16string_view typed);

FormSize SizeOf(const FormInfo1& form);
// A user form of `size`, its imageable area the whole sheet.
FormInfo1 MakeForm(std::u16string name, FormSize size);

int ClampWidth(int width);
int ClampHeight(int height);

}  // namespace kit::plugin::utility
