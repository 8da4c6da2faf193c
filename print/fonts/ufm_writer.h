// Writes a font's Unidrv font metrics (.ufm) from the font table: the
// header, the Unidrv information with the font's selection commands, and the
// IFIMETRICS GDI matches an application's font request against. The fonts
// are fixed-pitch, so no width table follows; they have no kerning pairs.
// The characters go through Windows' built-in conversion of the model's code
// page (no glyph translation table of the kit's own).
//
// The output is a pure function of the model and the font: the same bytes
// on every run and every system.
//
// This file is OS-independent.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "print/fonts/font_table.h"

namespace kit::print::fonts {

std::vector<std::uint8_t> WriteUfm(const model::Model& model, const FontList& list, const PrinterFont& font);

// "VRTQ40_01.UFM": the file of a model's font, by its resource id.
std::string UfmFileName(const model::Model& model, const PrinterFont& font);

// The resource script that carries a model's metrics as RC_UFM resources:
// one line "<id> 260 "<file>"" per font, the files beside the script.
std::string WriteResourceScript(const model::Model& model);

// The built-in conversion (CC_...) of a Windows code page; 0 for a page
// Windows has none for.
std::int32_t BuiltInConversionOf(std::uint16_t code_page);
// The Windows character set that goes with a code page.
std::uint8_t CharsetOf(std::uint16_t code_page);

}  // namespace kit::print::fonts
