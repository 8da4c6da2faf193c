// Where the watermark picture lives, for the Water Mark page that writes it
// and the rendering plug-in that prints it.
//
// The page runs in the user's program, the rendering plug-in (for a local
// job spooled as EMF) in the spooler, under the system's account: their
// temporary folders differ. So the picture goes to a folder both reach, the
// machine's common application data, one folder per user:
//
//   <common application data>\PrinterDriverKit\Watermark\<user>\<printer>1.bmp
//
// and the record names the user (WatermarkOwner) when the page writes it.
// A record that names nobody (written before) takes the picture from the
// temporary folder, "<temp><printer>1.bmp", as it always did.
//
// This file is OS-independent.
#pragma once

#include <string>
#include <string_view>

#include "plugin/core/devmode/private_devmode.h"

namespace kit::plugin::watermark_place {

// Below the common application data folder.
inline constexpr char16_t kPictureFolder[] = u"PrinterDriverKit\\Watermark";
// After the printer's name.
inline constexpr char16_t kPictureSuffix[] = u"1.bmp";

// Whether `name` can be one folder or file name in a path: not empty, not
// ending in a dot or a space, no control character and none of
// \ / : * ? " < > |.
bool IsPlainName(std::u16string_view name);

// "<common>\PrinterDriverKit\Watermark\<owner>"; empty when the common
// folder is unknown or the owner is not a plain name that fits the record.
std::u16string OwnerFolder(std::u16string_view common_app_data, std::u16string_view owner);

// "<folder>\<printer>1.bmp" (a backslash added when the folder lacks its
// own); empty when the folder is empty or the printer is not a plain name
// (a network printer's "\\server\queue" would lead into other folders).
std::u16string PictureIn(std::u16string_view folder, std::u16string_view printer);

struct PictureFolders {
  std::u16string common_app_data;  // CSIDL_COMMON_APPDATA
  std::u16string temp;             // GetTempPath, with its backslash
};

// The picture the record's watermark prints: its owner's, or the temporary
// folder's for a record that names no owner; empty when none can be named
// (an owner that is no plain name is not looked for elsewhere).
std::u16string PictureFor(const PrivateDevMode& record, const PictureFolders& folders, std::u16string_view printer);

}  // namespace kit::plugin::watermark_place
