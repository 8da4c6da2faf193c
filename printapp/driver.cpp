#include "printapp/driver.h"

#include <dlfcn.h>

#include <cstring>
#include <string>

#include "printapp/job_options.h"
#include "printapp/media_names.h"
#include "printapp/raster_job.h"
#include "printapp/server_files.h"
#include "printapp/system.h"

namespace kit::printapp {
namespace {

using print::model::Model;
using print::model::Series;

constexpr int kHundredthsPerTenth = 10;
// The family prints receipts at about this rate; PAPPL reports it as
// "pages-per-minute". A choice: the kit's data names no speed.
constexpr int kPagesPerMinute = 30;
constexpr char kRollSource[] = "main-roll";

// The strings the driver data points to live as long as the program.
struct ModelStrings {
  std::string driver_name;
  std::string description;
  std::string device_id;
  MediaNames media;
};

std::vector<ModelStrings>& Strings() {
  static std::vector<ModelStrings> strings = [] {
    std::vector<ModelStrings> all;
    for (const Model& m : print::model::Models()) {
      ModelStrings s;
      s.driver_name = DriverName(m);
      s.description = std::string(kMaker) + " " + std::string(m.name) + " " + std::to_string(m.dots_per_inch) + "dpi";
      s.device_id = std::string("MFG:") + kMaker + ";MDL:" + std::string(m.name) + ";";
      s.media = MediaNamesOf(m);
      all.push_back(std::move(s));
    }
    return all;
  }();
  return strings;
}

const ModelStrings* StringsOf(const Model& model) {
  const auto models = print::model::Models();
  for (std::size_t i = 0; i < models.size(); ++i) {
    if (&models[i] == &model) return &Strings()[i];
  }
  return nullptr;
}

pappl_media_col_t DefaultMedia(const Model& model, const ModelStrings& strings, int left_right) {
  pappl_media_col_t media{};
  media.size_width = model.paper_width_tenths_mm * kHundredthsPerTenth;
  media.size_length = model.rolls.empty() ? model.max_length_tenths_mm * kHundredthsPerTenth
                                          : model.rolls.front().length_tenths_mm * kHundredthsPerTenth;
  const std::string& name = strings.media.named.empty() ? strings.media.roll_max : strings.media.named.front();
  papplCopyString(media.size_name, name.c_str(), sizeof media.size_name);
  papplCopyString(media.source, kRollSource, sizeof media.source);
  media.left_margin = media.right_margin = left_right;
  media.tracking = model.series == Series::kLabel ? PAPPL_MEDIA_TRACKING_GAP : PAPPL_MEDIA_TRACKING_CONTINUOUS;
  papplCopyString(media.type, model.series == Series::kLabel ? "labels" : "continuous", sizeof media.type);
  return media;
}

// "NAME-supported" and "NAME-default" of every vendor option of the model.
ipp_t* VendorAttributes(const Model& model, pappl_pr_driver_data_t* data) {
  ipp_t* attrs = ippNew();
  for (const VendorOption& option : OptionsOf(model)) {
    if (data->num_vendor >= PAPPL_MAX_VENDOR) break;
    data->vendor[data->num_vendor++] = option.name.data();
    std::vector<const char*> keywords;
    for (std::string_view k : option.keywords) keywords.push_back(k.data());
    const std::string supported = std::string(option.name) + "-supported";
    const std::string fallback = std::string(option.name) + "-default";
    ippAddStrings(attrs, IPP_TAG_PRINTER, IPP_CONST_TAG(IPP_TAG_KEYWORD), supported.c_str(),
                  static_cast<int>(keywords.size()), nullptr, keywords.data());
    ippAddString(attrs, IPP_TAG_PRINTER, IPP_CONST_TAG(IPP_TAG_KEYWORD), fallback.c_str(), nullptr,
                 option.default_keyword.data());
  }
  return attrs;
}

}  // namespace

std::vector<pappl_pr_driver_t>& Drivers() {
  static std::vector<pappl_pr_driver_t> drivers = [] {
    std::vector<pappl_pr_driver_t> all;
    const auto models = print::model::Models();
    for (std::size_t i = 0; i < models.size(); ++i) {
      const ModelStrings& s = Strings()[i];
      all.push_back({s.driver_name.c_str(), s.description.c_str(), s.device_id.c_str(),
                     const_cast<Model*>(&models[i])});
    }
    return all;
  }();
  return drivers;
}

const Model* ModelOf(pappl_printer_t* printer) {
  const char* driver = papplPrinterGetDriverName(printer);
  return driver ? ModelOfDriver(driver) : nullptr;
}

bool DriverCallback(pappl_system_t* system, const char* driver_name, const char* device_uri,
                    const char* device_id, pappl_pr_driver_data_t* data, ipp_t** attrs, void* cbdata) {
  (void)device_id, (void)cbdata;
  // A printer is made only on a device the server may open: PAPPL asks
  // this callback before it makes one (add, the web page, the saved state).
  if (device_uri) {
    if (const auto refusal = FileDeviceRefusal(device_uri, FileDeviceFolder())) {
      papplLog(system, PAPPL_LOGLEVEL_ERROR, "Device \"%s\" refused: %s", device_uri, refusal->c_str());
      return false;
    }
  }
  const Model* model = driver_name ? ModelOfDriver(driver_name) : nullptr;
  const ModelStrings* strings = model ? StringsOf(*model) : nullptr;
  if (!strings) {
    papplLog(system, PAPPL_LOGLEVEL_ERROR, "No driver is named \"%s\".", driver_name ? driver_name : "");
    return false;
  }
  data->extension = const_cast<Model*>(model);
  SetPrintCallbacks(data);
  data->format = kRawFormat;
  std::snprintf(data->make_and_model, sizeof data->make_and_model, "%s %.*s", kMaker,
                static_cast<int>(model->name.size()), model->name.data());
  data->ppm = kPagesPerMinute;
  data->kind = (model->series == Series::kLabel ? PAPPL_KIND_LABEL : PAPPL_KIND_RECEIPT) | PAPPL_KIND_ROLL;
  data->orient_default = IPP_ORIENT_PORTRAIT;
  if (model->Takes(print::model::kBuzzer)) {
    data->identify_supported = data->identify_default = PAPPL_IDENTIFY_ACTIONS_SOUND;
  }

  // One-bit black dots: PAPPL dithers grey input to them.
  data->color_supported = PAPPL_COLOR_MODE_AUTO | PAPPL_COLOR_MODE_MONOCHROME | PAPPL_COLOR_MODE_BI_LEVEL;
  data->color_default = PAPPL_COLOR_MODE_MONOCHROME;
  data->raster_types = PAPPL_PWG_RASTER_TYPE_BLACK_1 | PAPPL_PWG_RASTER_TYPE_SGRAY_8;
  data->force_raster_type = PAPPL_PWG_RASTER_TYPE_BLACK_1;
  data->duplex = PAPPL_DUPLEX_NONE;
  data->sides_supported = data->sides_default = PAPPL_SIDES_ONE_SIDED;
  if (model->Takes(print::model::kPartialCut) || model->Takes(print::model::kFullCut)) {
    data->finishings = PAPPL_FINISHINGS_TRIM;
  }

  data->num_resolution = 1;
  data->x_resolution[0] = data->y_resolution[0] = model->dots_per_inch;
  data->x_default = data->y_default = model->dots_per_inch;

  // The paper's edges beyond the printed line; none at the top and bottom.
  const int printable = model->PrintableWidthTenthsMm() * kHundredthsPerTenth;
  data->left_right = std::max(0, model->paper_width_tenths_mm * kHundredthsPerTenth - printable) / 2;
  data->bottom_top = 0;

  data->num_media = 0;
  for (const std::string& name : strings->media.named) {
    if (data->num_media < PAPPL_MAX_MEDIA - 2) data->media[data->num_media++] = name.c_str();
  }
  data->media[data->num_media++] = strings->media.roll_min.c_str();
  data->media[data->num_media++] = strings->media.roll_max.c_str();
  data->num_source = 1;
  data->source[0] = kRollSource;
  data->media_default = DefaultMedia(*model, *strings, data->left_right);
  data->media_ready[0] = data->media_default;
  data->tracking_supported = data->media_default.tracking;
  data->num_type = 1;
  data->type[0] = model->series == Series::kLabel ? "labels" : "continuous";

  *attrs = VendorAttributes(*model, data);
  return true;
}

const char* AutoAddCallback(const char* device_info, const char* device_uri, const char* device_id, void* data) {
  (void)device_info, (void)device_uri, (void)data;
  if (!device_id) return nullptr;
  cups_option_t* pairs = nullptr;
  const int count = papplDeviceParseID(device_id, &pairs);
  const char* maker = cupsGetOption("MFG", count, pairs);
  if (!maker) maker = cupsGetOption("MANUFACTURER", count, pairs);
  const char* name = cupsGetOption("MDL", count, pairs);
  if (!name) name = cupsGetOption("MODEL", count, pairs);
  const char* driver = nullptr;
  if (maker && name && strcasecmp(maker, kMaker) == 0) {
    if (const Model* model = print::model::FindModel(name)) {
      for (const pappl_pr_driver_t& d : Drivers()) {
        if (d.extension == model) driver = d.name;
      }
    }
  }
  cupsFreeOptions(count, pairs);
  return driver;
}

}  // namespace kit::printapp

// PAPPL asks this before it makes a printer on a device (by its exported
// name, so the program's own definition comes first). PAPPL 1.3 takes a
// `file:` device only when its file exists already; a new file inside the
// server's file-folder (its folder there, the path plain) is taken too,
// and the file device makes it at the first job.
extern "C" bool papplDeviceIsSupported(const char* uri) {
  using Supported = bool (*)(const char*);
  static const auto library = reinterpret_cast<Supported>(dlsym(RTLD_NEXT, "papplDeviceIsSupported"));
  const std::string_view text = uri ? uri : "";
  if (text.substr(0, 5) == "file:" && !kit::printapp::FileDeviceRefusal(text, kit::printapp::FileDeviceFolder())) {
    return true;
  }
  return library(uri);
}
