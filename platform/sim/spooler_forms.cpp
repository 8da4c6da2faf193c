// Forms of the virtual machine's spooler.

#include "platform/sim/channel_faults.h"
#include "platform/sim/spooler_internal.h"

namespace kit::sim::spool {

bool SimPrinter::EnumForms(std::vector<FormInfo1>* forms, std::uint32_t buffer_size, std::uint32_t* needed,
                           std::uint32_t* returned) {
  forms->clear();
  if (needed) *needed = 0;
  if (returned) *returned = 0;
  std::vector<FormInfo1> all;
  const bool ok = spooler_.HandleCall(info_, closed_, "EnumForms", [&](Json& s) {
    for (const auto& f : s["spooler"]["forms"]) {
      all.push_back({f.value("flags", 0u), JsonText(f, "name"), f.value("width", 0), f.value("height", 0),
                     f.value("left", 0), f.value("top", 0), f.value("right", 0), f.value("bottom", 0)});
    }
    return true;
  });
  if (!ok) return false;
  std::uint32_t total = 0;
  for (const auto& f : all) total += (spooler_.PointerSize() == 8 ? 40 : 32) + Sz(f.name);
  if (needed) *needed = total;
  if (buffer_size < total) return Core::Fail(win32::kErrorInsufficientBuffer);
  *forms = std::move(all);
  if (returned) *returned = static_cast<std::uint32_t>(forms->size());
  return true;
}

namespace {
Json FormJson(const FormInfo1& form) {
  return {{"flags", kFormUser},          {"name", U8(form.name)},          {"width", form.width},
          {"height", form.height},       {"left", form.imageable_left},    {"top", form.imageable_top},
          {"right", form.imageable_right}, {"bottom", form.imageable_bottom}};
}
bool FormSizeValid(const FormInfo1& form) {
  return form.width > 0 && form.height > 0 && form.imageable_right >= form.imageable_left &&
         form.imageable_bottom >= form.imageable_top;
}
}  // namespace

bool SimPrinter::AddForm(const FormInfo1& form) {
  if (form.name.empty()) return Core::Fail(win32::kErrorInvalidFormName);
  if (!FormSizeValid(form)) return Core::Fail(win32::kErrorInvalidFormSize);
  return spooler_.HandleCall(info_, closed_, "AddForm", [&](Json& s) {
    if (auto refusal = FormChangeRefusal(s)) return Core::Fail(*refusal);
    auto& forms = s["spooler"]["forms"];
    if (FindByName(forms, form.name)) return Core::Fail(win32::kErrorFileExists);
    forms.push_back(FormJson(form));
    return true;
  });
}

bool SimPrinter::SetForm(WStringView name, const FormInfo1& form) {
  if (!FormSizeValid(form)) return Core::Fail(win32::kErrorInvalidFormSize);
  return spooler_.HandleCall(info_, closed_, "SetForm", [&](Json& s) {
    if (auto refusal = FormChangeRefusal(s)) return Core::Fail(*refusal);
    Json* f = FindByName(s["spooler"]["forms"], name);
    if (!f) return Core::Fail(win32::kErrorInvalidFormName);
    if ((*f).value("flags", 0u) == kFormBuiltin) return Core::Fail(win32::kErrorInvalidParameter);
    const std::string kept_name = (*f)["name"];
    *f = FormJson(form);
    (*f)["name"] = kept_name;
    return true;
  });
}

bool SimPrinter::DeleteForm(WStringView name) {
  return spooler_.HandleCall(info_, closed_, "DeleteForm", [&](Json& s) {
    if (auto refusal = FormChangeRefusal(s)) return Core::Fail(*refusal);
    Json* f = FindByName(s["spooler"]["forms"], name);
    if (!f) return Core::Fail(win32::kErrorInvalidFormName);
    if ((*f).value("flags", 0u) == kFormBuiltin) return Core::Fail(win32::kErrorInvalidParameter);
    EraseByName(s["spooler"]["forms"], name);
    return true;
  });
}

}  // namespace kit::sim::spool
