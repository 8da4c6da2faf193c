// kitlayout: checks a laid-out kit folder.
//
//   kitlayout check KIT-FOLDER x86|x64|linux [--without-usb]
//   kitlayout list  KIT-FOLDER x86|x64|linux [--without-usb]
//
// "check" prints every required file that is missing and every file no
// program opens, and exits 0 only when there is neither; "list" prints the
// required files with who opens them. --without-usb leaves out the USB
// hand-off's files (for a kit built before they exist).
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <string>

#include "package/layout/kit_layout.h"

namespace {

constexpr int kExitOk = 0;
constexpr int kExitLayout = 1;
constexpr int kExitUsage = 2;

int Usage() {
  std::fputs("usage: kitlayout check|list KIT-FOLDER x86|x64|linux [--without-usb]\n", stderr);
  return kExitUsage;
}

}  // namespace

int main(int argc, char** argv) {
  using namespace kit::package;
  if (argc < 4 || argc > 5) return Usage();
  const std::string verb = argv[1];
  const std::filesystem::path kit = argv[2];
  LayoutOptions options;
  if (!ParseFlavour(argv[3], &options.flavour)) return Usage();
  if (argc == 5) {
    if (std::strcmp(argv[4], "--without-usb") != 0) return Usage();
    options.usb_hand_off = false;
  }
  if (!std::filesystem::is_directory(kit)) {
    std::fprintf(stderr, "kitlayout: %s is no folder\n", kit.c_str());
    return kExitUsage;
  }
  if (verb == "list") {
    for (const auto& file : RequiredFiles(kit, options)) std::printf("%s\t%s\n", file.path.c_str(), file.why.c_str());
    return kExitOk;
  }
  if (verb != "check") return Usage();
  const auto report = CheckLayout(kit, options);
  for (const auto& file : report.missing) {
    std::printf("missing: %s (%s)\n", file.path.c_str(), file.why.c_str());
  }
  for (const auto& file : report.unexpected) std::printf("unexpected: %s\n", file.c_str());
  const bool ok = report.missing.empty() && report.unexpected.empty();
  std::printf("kitlayout: %s %s: %s\n", argv[3], kit.c_str(), ok ? "complete" : "incomplete");
  return ok ? kExitOk : kExitLayout;
}
