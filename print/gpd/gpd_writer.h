// Writes a model's printer data file (GPD), the file the universal printer
// driver reads to know the printer: its units, paper, resolution and the
// commands of a job. Both flavours of a model are written from the model
// table, so the data files can never disagree with the rendering plug-in.
//
// The GDI flavour prints text as raster; the STD flavour lists the printer's
// resident Font A and Font B as device fonts, so that text in them goes to
// the printer as text. Both list the fonts that are printer commands (the
// barcode, QR and control fonts) where the model has them.
//
// The four event operations are command callbacks: the plug-in's
// CommandCallback receives their ids at the start and end of the document
// and of each page, in the order sections the GPD language documents.
//
// This file is OS-independent.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "print/model/model_table.h"

namespace kit::print::gpd {

enum class Flavour : char { kGdi = 'G', kStd = 'S' };

// The callback ids of the event commands, as CommandCallback receives them.
enum CallbackId : unsigned {
  kStartDocCallback = 1,
  kStartPageCallback = 2,
  kEndPageCallback = 3,
  kEndDocCallback = 4,
  kXMoveCallback = 5,  // CmdXMoveAbsolute, with DestX
  kYMoveCallback = 6,  // CmdYMoveAbsolute, with DestY
};
// The ColorMode option's image-processing callback id: ImageProcessing
// receives every band of the page under it.
inline constexpr unsigned kImageCallback = 1;

// "VRTQ40G.GPD"
std::string FileName(const model::Model& model, Flavour flavour);
// The resource ids of the fonts a flavour lists, in the GPD's order.
std::vector<int> DeviceFontIdsOf(const model::Model& model, Flavour flavour);
// The whole file, lines ending in CR LF.
std::string WriteGpd(const model::Model& model, Flavour flavour);

// The plug-in list the universal driver reads at install ("VRTQ40.INI"):
// the rendering plug-in <token>R.DLL and the model's UI plug-in, if any.
std::string IniFileName(const model::Model& model);
std::string WritePluginIni(const model::Model& model);

}  // namespace kit::print::gpd
