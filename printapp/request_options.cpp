// A job's options reach the printer with each attribute once.
//
// PAPPL 1.3 turns "-o NAME=VALUE" options (`kvprinter submit`, and a job
// made from a file) into a request's attributes in two passes: the
// standard options it knows, then every name of the printer's
// job-creation-attributes-supported by the type of its NAME-supported.
// "page-ranges" is in both: `-o page-ranges=2-3` went out as the range and
// again as the boolean false (page-ranges-supported's type), and the job
// kept both (ipptool's Get-Jobs tests fail on the duplicate). The library
// function below is defined under its exported name, so the program's own
// definition comes first; it calls the library's own one and then drops
// each later copy of an attribute in a group, keeping the first (the
// standard pass's).
#include <dlfcn.h>

#include <set>
#include <string>
#include <utility>
#include <vector>

#include <pappl/pappl.h>

extern "C" void _papplMainloopAddOptions(ipp_t* request, int num_options, cups_option_t* options, ipp_t* supported) {
  using Add = void (*)(ipp_t*, int, cups_option_t*, ipp_t*);
  static const auto library = reinterpret_cast<Add>(dlsym(RTLD_NEXT, "_papplMainloopAddOptions"));
  library(request, num_options, options, supported);
  if (!request) return;
  std::set<std::pair<ipp_tag_t, std::string>> seen;
  std::vector<ipp_attribute_t*> again;
  for (ipp_attribute_t* attr = ippFirstAttribute(request); attr; attr = ippNextAttribute(request)) {
    const char* name = ippGetName(attr);
    if (!name) {
      seen.clear();  // a separator: a group of its own follows
      continue;
    }
    if (!seen.emplace(ippGetGroupTag(attr), name).second) again.push_back(attr);
  }
  for (ipp_attribute_t* attr : again) ippDeleteAttribute(request, attr);
}
