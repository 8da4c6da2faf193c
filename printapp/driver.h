// The printer application's drivers: one per model of the family's table,
// each filling PAPPL's driver data from the model (resolution, roll sizes,
// margins, the vendor options of the commands it takes) and naming the
// callbacks that print (raster_job.h).
#pragma once

#include <pappl/pappl.h>

#include <vector>

#include "print/model/model_table.h"

namespace kit::printapp {

// The document format of a job sent in the printer's own command bytes: it
// goes to the printer unchanged.
inline constexpr char kRawFormat[] = "application/vnd.veldran-receipt";
// The maker as IEEE 1284 device ids and the make-and-model text name it.
inline constexpr char kMaker[] = "VELDRAN";

// PAPPL's driver list, one entry per model, in the table's order.
std::vector<pappl_pr_driver_t>& Drivers();

// PAPPL's driver callback: the driver data and capability attributes of the
// model named by `driver_name`.
bool DriverCallback(pappl_system_t* system, const char* driver_name, const char* device_uri,
                    const char* device_id, pappl_pr_driver_data_t* data, ipp_t** attrs, void* cbdata);

// PAPPL's auto-add callback: the driver of a family printer by its IEEE 1284
// device id ("MFG:VELDRAN;MDL:VRT-Q40;"), nullptr for any other printer.
const char* AutoAddCallback(const char* device_info, const char* device_uri, const char* device_id, void* data);

// The model a printer was made with.
const print::model::Model* ModelOf(pappl_printer_t* printer);

}  // namespace kit::printapp
