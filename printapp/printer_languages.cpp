// A printer's "printer-strings-languages-supported" is answered once in
// each Get-Printer-Attributes (and Get-Printers) answer.
//
// PAPPL 1.3 builds that attribute while it copies a printer's attributes
// into an answer, but adds it to the printer's own stored attributes
// instead of the answer: the first answer lacked it, every later one held
// it once more than the one before (ipptool's ipp-1.1 and ipp-2.0 tests
// fail on the duplicate), the stored attributes grew by one with every
// request, and they were written while other requests read them. The two
// library functions below are defined under their exported names, so the
// program's own definitions come first; each calls the library's own one.
// While a printer's attributes are copied for a client, the attribute is
// added to that client's answer, each language once.
#include <dlfcn.h>

#include <cstring>
#include <string_view>
#include <vector>

#include <pappl/pappl.h>

namespace {

constexpr char kLanguagesAttr[] = "printer-strings-languages-supported";

// The client whose answer the printer's attributes are being copied into,
// on this thread.
thread_local pappl_client_t* g_copying_for = nullptr;

}  // namespace

extern "C" void _papplPrinterCopyAttributesNoLock(pappl_printer_t* printer, pappl_client_t* client, cups_array_t* ra,
                                                  const char* format) {
  using Copy = void (*)(pappl_printer_t*, pappl_client_t*, cups_array_t*, const char*);
  static const auto library = reinterpret_cast<Copy>(dlsym(RTLD_NEXT, "_papplPrinterCopyAttributesNoLock"));
  pappl_client_t* const outer = g_copying_for;
  g_copying_for = client;
  library(printer, client, ra, format);
  g_copying_for = outer;
}

extern "C" ipp_attribute_t* ippAddStrings(ipp_t* ipp, ipp_tag_t group, ipp_tag_t value_tag, const char* name,
                                          int num_values, const char* language, const char* const* values) {
  using Add = ipp_attribute_t* (*)(ipp_t*, ipp_tag_t, ipp_tag_t, const char*, int, const char*, const char* const*);
  static const auto library = reinterpret_cast<Add>(dlsym(RTLD_NEXT, "ippAddStrings"));
  ipp_t* answer = g_copying_for ? papplClientGetResponse(g_copying_for) : nullptr;
  if (!answer || !name || std::strcmp(name, kLanguagesAttr) != 0 || num_values <= 0 || !values) {
    return library(ipp, group, value_tag, name, num_values, language, values);
  }
  // One value a language: the application's texts and PAPPL's own may
  // both be registered for one.
  std::vector<const char*> once;
  for (int i = 0; i < num_values; ++i) {
    bool seen = !values[i];
    for (const char* kept : once) seen = seen || std::string_view(kept) == values[i];
    if (!seen) once.push_back(values[i]);
  }
  if (once.empty()) return nullptr;
  return library(answer, group, value_tag, name, static_cast<int>(once.size()), language, once.data());
}
