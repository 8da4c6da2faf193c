#include "printapp/utilities_page.h"

#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <mutex>
#include <set>
#include <string>
#include <vector>

#include "printapp/driver.h"
#include "printapp/server_files.h"
#include "printapp/utility_jobs.h"

namespace kit::printapp {
namespace {

constexpr char kLinkLabel[] = "Utilities";
constexpr char kActionField[] = "action";
constexpr char kHalftoneField[] = "halftone";
// Form fields of the logo pictures: logo1 .. logo9.
constexpr char kLogoFieldPrefix[] = "logo";
constexpr int kLogoFields = 9;
constexpr const char* kHalftoneNames[] = {"None", "Dither M3", "Dither M4", "Error Diffuse"};
// The largest picture file a logo field takes: a 32-bit BMP of the largest
// logo (1024 x 768 dots) and its headers fit.
constexpr std::size_t kMaxLogoFileBytes = 4 * 1024 * 1024;
constexpr char kGuestUser[] = "guest";

// PAPPL 1.3 keeps the job name's pointer for the job's whole life, past
// the page's answer: the names live as long as the program. There are a
// few of them (one per kind of utility job).
const char* LastingName(const std::string& name) {
  static std::mutex lock;
  static std::set<std::string> names;
  std::lock_guard<std::mutex> hold(lock);
  return names.insert(name).first->c_str();
}

// Queues `job` on the printer in its own bytes; the message to show.
std::string Queue(pappl_printer_t* printer, pappl_client_t* client, const UtilityJob& job) {
  char path[1024];
  const char* name = LastingName(job.name);
  const int fd = papplCreateTempFile(path, sizeof path, name, "prn");
  if (fd < 0) return "The job cannot be written to the spool.";
  const bool written = write(fd, job.bytes.data(), job.bytes.size()) == static_cast<ssize_t>(job.bytes.size());
  close(fd);
  const char* user = papplClientGetUsername(client);
  if (!written || !papplJobCreateWithFile(printer, LastingName(user && *user ? user : kGuestUser), kRawFormat,
                                          name, 0, nullptr, path)) {
    unlink(path);
    return "The printer did not take the job.";
  }
  return "Sent: " + job.name + ", " + std::to_string(job.bytes.size()) + " bytes.";
}

// The logo pictures the form carries, in field order; PAPPL keeps each
// uploaded file in a temporary file and gives its name as the value. A
// value that is not such an upload (a path typed into a plain field) is
// refused and never opened beyond that check.
std::variant<UtilityJob, std::string> LogoJobOf(int num_form, cups_option_t* form) {
  std::vector<Bytes> pictures;
  for (int i = 1; i <= kLogoFields; ++i) {
    const std::string field = kLogoFieldPrefix + std::to_string(i);
    const char* file = cupsGetOption(field.c_str(), num_form, form);
    if (!file || !*file) continue;
    Upload upload = ReadUpload(file, papplGetTempDir(), kMaxLogoFileBytes);
    if (!upload.refusal.empty()) return "Logo " + std::to_string(i) + ": " + upload.refusal;
    if (upload.bytes.empty()) return std::string("Fail to open the selected file!");
    pictures.push_back(std::move(upload.bytes));
  }
  const char* halftone = cupsGetOption(kHalftoneField, num_form, form);
  int method = kDefaultHalftone;
  if (halftone && halftone[0] >= '0' && halftone[0] <= '3' && !halftone[1]) method = halftone[0] - '0';
  return LogoJob(pictures, method);
}

std::string Act(pappl_printer_t* printer, pappl_client_t* client, int num_form, cups_option_t* form) {
  const char* action = cupsGetOption(kActionField, num_form, form);
  const std::string what = action ? action : "";
  if (what == "self-test") return Queue(printer, client, SelfTestJob());
  if (what == "clear-logos") return Queue(printer, client, ClearLogosJob());
  if (what == "download-logos") {
    auto job = LogoJobOf(num_form, form);
    if (auto* message = std::get_if<std::string>(&job)) return *message;
    return Queue(printer, client, std::get<UtilityJob>(job));
  }
  return "Unknown action.";
}

void Button(pappl_client_t* client, const char* action, const char* label) {
  papplClientHTMLPrintf(client, "<input type=\"hidden\" name=\"action\" value=\"%s\">"
                        "<input type=\"submit\" value=\"%s\">", action, label);
}

void ShowPage(pappl_client_t* client, pappl_printer_t* printer, const std::string& path, const std::string& message) {
  papplClientHTMLPrinterHeader(client, printer, kLinkLabel, 0, nullptr, nullptr);
  papplClientHTMLPuts(client, "<div class=\"row\"><div class=\"col-12\">\n");
  if (!message.empty()) {
    papplClientHTMLPuts(client, "<div class=\"banner\">");
    papplClientHTMLEscape(client, message.c_str(), message.size());
    papplClientHTMLPuts(client, "</div>\n");
  }
  papplClientHTMLPuts(client, "<h2 class=\"title\">Self-test</h2>\n<p>Print a self-test page. "
                              "Check that communication settings is correct first.</p>\n");
  papplClientHTMLStartForm(client, path.c_str(), false);
  Button(client, "self-test", "Print self-test page");
  papplClientHTMLPuts(client, "</form>\n");

  papplClientHTMLPuts(client, "<h2 class=\"title\">Logo download</h2>\n<p>BMP pictures of at most 1024 &times; 768 "
                              "pixels. The printer stores them as logos 1 to n in this order, replacing the logos it "
                              "had; a job's <q>Print Logo</q> option (<code>logo</code>, "
                              "<code>logo-1</code> to <code>logo-9</code>) prints one of them.</p>\n");
  papplClientHTMLStartForm(client, path.c_str(), true);
  papplClientHTMLPuts(client, "<table class=\"form\"><tbody>\n");
  for (int i = 1; i <= kLogoFields; ++i) {
    papplClientHTMLPrintf(client, "<tr><th>Logo %d:</th><td><input type=\"file\" name=\"%s%d\" "
                          "accept=\".bmp,image/bmp\"></td></tr>\n", i, kLogoFieldPrefix, i);
  }
  papplClientHTMLPuts(client, "<tr><th>HalfTone:</th><td><select name=\"halftone\">");
  for (int i = 0; i < 4; ++i) {
    papplClientHTMLPrintf(client, "<option value=\"%d\"%s>%s</option>", i, i == kDefaultHalftone ? " selected" : "",
                          kHalftoneNames[i]);
  }
  papplClientHTMLPuts(client, "</select></td></tr>\n<tr><th></th><td>");
  Button(client, "download-logos", "Download all");
  papplClientHTMLPuts(client, "</td></tr></tbody></table></form>\n");

  papplClientHTMLPuts(client, "<h2 class=\"title\">Clear logos</h2>\n<p>Clear all the Logos in printer.</p>\n");
  papplClientHTMLStartForm(client, path.c_str(), false);
  Button(client, "clear-logos", "Clear All Logos");
  papplClientHTMLPuts(client, "</form>\n</div></div>\n");
  papplClientHTMLPrinterFooter(client);
}

// The page's data is the printer's id, never its address: a printer deleted
// later leaves its page behind, which then answers "not found".
bool ServeUtilities(pappl_client_t* client, void* data) {
  const int id = static_cast<int>(reinterpret_cast<std::intptr_t>(data));
  pappl_printer_t* printer = papplSystemFindPrinter(papplClientGetSystem(client), nullptr, id, nullptr);
  if (!printer) return false;
  if (!papplClientHTMLAuthorize(client)) return true;
  char path[256];
  papplPrinterGetPath(printer, kUtilitiesSubpath, path, sizeof path);
  std::string message;
  if (papplClientGetMethod(client) == HTTP_STATE_POST) {
    cups_option_t* form = nullptr;
    const int num_form = papplClientGetForm(client, &form);
    if (num_form == 0) {
      message = "The form came without its fields.";
    } else if (!papplClientIsValidForm(client, num_form, form)) {
      message = "The form is out of date; reload the page.";
    } else {
      message = Act(printer, client, num_form, form);
    }
    cupsFreeOptions(num_form, form);
  }
  ShowPage(client, printer, path, message);
  return true;
}

}  // namespace

void AddUtilitiesPage(pappl_printer_t* printer, void* data) {
  (void)data;
  char path[256];
  papplPrinterGetPath(printer, kUtilitiesSubpath, path, sizeof path);
  papplSystemAddResourceCallback(papplPrinterGetSystem(printer), path, "text/html", ServeUtilities,
                                 reinterpret_cast<void*>(static_cast<std::intptr_t>(papplPrinterGetID(printer))));
  papplPrinterAddLink(printer, kLinkLabel, path,
                      static_cast<pappl_loptions_t>(PAPPL_LOPTIONS_NAVIGATION | PAPPL_LOPTIONS_STATUS));
}

}  // namespace kit::printapp
