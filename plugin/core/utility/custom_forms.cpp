// This file is OS-independent.
#include "plugin/core/utility/custom_forms.h"

#include <algorithm>

namespace kit::plugin::utility {

std::optional<std::vector<FormInfo1>> ReadForms(Printer& printer) {
  std::vector<FormInfo1> forms;
  std::uint32_t needed = 0, returned = 0;
  printer.EnumForms(&forms, 0, &needed, &returned);
  if (!printer.EnumForms(&forms, needed, &needed, &returned)) return std::nullopt;
  return forms;
}

std::vector<std::u16string> ListedForms(const std::vector<FormInfo1>& forms) {
  std::vector<std::u16string> listed;
  if (FindForm(forms, kKitDefaultForm) != nullptr) listed.push_back(kKitDefaultForm);
  for (const FormInfo1& form : forms) {
    if (form.name == kKitDefaultForm) continue;
    if (form.name.find(kCustomFormPrefix) != std::u16string::npos) listed.push_back(form.name);
  }
  return listed;
}

std::u16string ShownName(std::u16string_view full_name) {
  return std::u16string(full_name.size() > kCustomFormPrefixLength ? full_name.substr(kCustomFormPrefixLength)
                                                                   : std::u16string_view());
}

const FormInfo1* FindForm(const std::vector<FormInfo1>& forms, std::u16string_view full_name) {
  for (const FormInfo1& form : forms)
    if (form.name == full_name) return &form;
  return nullptr;
}

const FormInfo1* FindSavedForm(const std::vector<FormInfo1>& forms, std::u16string_view typed) {
  for (const FormInfo1& form : forms) {
    if (form.name.find(kCustomFormPrefix) == std::u16string::npos) continue;
    if (EqualsNoCase(ShownName(form.name), typed)) return &form;
  }
  return nullptr;
}

FormSize SizeOf(const FormInfo1& form) {
  return {form.width / kThousandthsPerTenth, form.height / kThousandthsPerTenth};
}

FormInfo1 MakeForm(std::u16string name, FormSize size) {
  FormInfo1 form;
  form.flags = kFormUser;
  form.name = std::move(name);
  form.width = size.width * kThousandthsPerTenth;
  form.height = size.height * kThousandthsPerTenth;
  form.imageable_left = 0;
  form.imageable_top = 0;
  form.imageable_right = form.width;
  form.imageable_bottom = form.height;
  return form;
}

int ClampWidth(int width) { return std::clamp(width, kMinFormWidth, kMaxFormWidth); }
int ClampHeight(int height) { return std::clamp(height, kMinFormHeight, kMaxFormHeight); }

}  // namespace kit::plugin::utility
