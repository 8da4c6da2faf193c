// A printer's receipt defaults take only the values the printer offers.
//
// PAPPL 1.3 stores any value given for a vendor option's default (the
// Printing Defaults page, Set-Printer-Attributes) and then advertises it:
// "cut-mode-default=bogus" or "logo-default=logo-99" were kept. Both roads
// come through the two library functions below (by their exported names,
// so the program's own definitions come first); a value that is not one of
// the option's keywords is refused before the library's own function runs:
// over IPP with client-error-attributes-or-values-not-supported and the
// value in the unsupported group, on the web page with its "Bad printer
// defaults." banner.
#include <dlfcn.h>

#include <string>

#include <pappl/pappl.h>

#include "printapp/driver.h"
#include "printapp/job_options.h"

namespace {

constexpr char kDefaultSuffix[] = "-default";

// The printer's options, or none for a printer of no family model.
std::vector<kit::printapp::VendorOption> OptionsOfPrinter(pappl_printer_t* printer) {
  const kit::print::model::Model* model = printer ? kit::printapp::ModelOf(printer) : nullptr;
  return model ? kit::printapp::OptionsOf(*model) : std::vector<kit::printapp::VendorOption>{};
}

}  // namespace

// Set-Printer-Attributes (and Create-Printer's attributes): "NAME-default"
// keywords of the printer attributes group.
extern "C" bool _papplPrinterSetAttributes(pappl_client_t* client, pappl_printer_t* printer) {
  using Set = bool (*)(pappl_client_t*, pappl_printer_t*);
  static const auto library = reinterpret_cast<Set>(dlsym(RTLD_NEXT, "_papplPrinterSetAttributes"));
  ipp_t* request = papplClientGetRequest(client);
  bool refused = false;
  for (const kit::printapp::VendorOption& option : OptionsOfPrinter(printer)) {
    const std::string name = std::string(option.name) + kDefaultSuffix;
    ipp_attribute_t* attr = request ? ippFindAttribute(request, name.c_str(), IPP_TAG_ZERO) : nullptr;
    if (!attr || ippGetGroupTag(attr) != IPP_TAG_PRINTER) continue;
    const char* value = ippGetString(attr, 0, nullptr);
    const kit::printapp::OptionLookup lookup = [&](std::string_view asked) -> std::optional<std::string> {
      if (asked != option.name || !value) return std::nullopt;
      return std::string(value);
    };
    const ipp_tag_t tag = ippGetValueTag(attr);
    if (ippGetCount(attr) != 1 || (tag != IPP_TAG_KEYWORD && tag != IPP_TAG_NAME) || !value ||
        kit::printapp::UnsupportedValue({&option, 1}, lookup)) {
      papplClientRespondIPPUnsupported(client, attr);
      refused = true;
    }
  }
  return !refused && library(client, printer);
}

// The Printing Defaults page's (and the IPP road's) vendor values, by
// option name.
extern "C" bool papplPrinterSetDriverDefaults(pappl_printer_t* printer, pappl_pr_driver_data_t* data,
                                               int num_vendor, cups_option_t* vendor) {
  using Set = bool (*)(pappl_printer_t*, pappl_pr_driver_data_t*, int, cups_option_t*);
  static const auto library = reinterpret_cast<Set>(dlsym(RTLD_NEXT, "papplPrinterSetDriverDefaults"));
  const std::vector<kit::printapp::VendorOption> options = OptionsOfPrinter(printer);
  const kit::printapp::OptionLookup lookup = [&](std::string_view name) -> std::optional<std::string> {
    const std::string key(name);
    const char* value = cupsGetOption(key.c_str(), num_vendor, vendor);
    if (!value) value = cupsGetOption((key + kDefaultSuffix).c_str(), num_vendor, vendor);
    if (!value) return std::nullopt;
    return std::string(value);
  };
  if (const auto refused = kit::printapp::UnsupportedValue(options, lookup)) {
    papplLogPrinter(printer, PAPPL_LOGLEVEL_ERROR, "The default of %.*s is not one of its values: refused.",
                    static_cast<int>(refused->size()), refused->data());
    return false;
  }
  return library(printer, data, num_vendor, vendor);
}
