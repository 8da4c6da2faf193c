#include "setup/usb/platform_usb_queries.h"

#include "setup/usb/usb_classification.h"
#include "setup/usb/usb_driver.h"
#include "setup/usb/usb_printer_id.h"
#include "ui/text.h"

namespace kit::setup {
namespace {

// The guard's texts are the only ones the version read shows.
class GuardPrompts final : public UsbPrompts {
 public:
  explicit GuardPrompts(const GuardNotice& notice) : notice_(notice) {}
  void Message(std::string_view) override {}
  void Notice(std::string_view text) override {
    if (notice_) notice_(ui::FromAnsi(text));
  }
  bool Ask(std::string_view) override { return false; }

 private:
  const GuardNotice& notice_;
};

}  // namespace

int PlatformUsbQueries::ReadPrinterUsbId(UsbPrompts& prompts) { return setup::ReadPrinterUsbId(env_, prompts); }

int PlatformUsbQueries::ClassifyConnectedPrinters() { return setup::ClassifyConnectedPrinters(env_); }

std::string PlatformUsbQueries::InstalledUsbDriverVersion() {
  GuardPrompts prompts(notice_);
  return setup::InstalledUsbDriverVersion(env_, prompts);
}

}  // namespace kit::setup
