// The common property-sheet UI's side of the plug-in's sheets: the requests
// a sheet handler answers, the callback functions it calls, and the values
// they carry (the Windows printer driver kit's numbers).
// This file is OS-independent.
#pragma once

#include "plugin/core/com/host_types.h"

namespace kit::plugin::sheets {

// PROPSHEETUI_INFO.Version the handlers accept (PROPSHEETUI_INFO_VERSION).
inline constexpr com::WORD kPropSheetUiInfoVersion = 0x0100;

// PROPSHEETUI_INFO.Reason.
inline constexpr com::WORD kReasonInit = 0;           // PROPSHEETUI_REASON_INIT
inline constexpr com::WORD kReasonGetInfoHeader = 1;  // PROPSHEETUI_REASON_GET_INFO_HEADER
inline constexpr com::WORD kReasonDestroy = 2;        // PROPSHEETUI_REASON_DESTROY
inline constexpr com::WORD kReasonSetResult = 3;      // PROPSHEETUI_REASON_SET_RESULT
inline constexpr com::WORD kReasonGetIcon = 4;        // PROPSHEETUI_REASON_GET_ICON

// pfnComPropSheet functions.
inline constexpr com::UINT kCpsFuncAddPropSheetPageW = 1;  // CPSFUNC_ADD_PROPSHEETPAGEW
inline constexpr com::UINT kCpsFuncSetResult = 9;          // CPSFUNC_SET_RESULT

// The result a page reports when the user applied the sheet (CPSUI_OK).
inline constexpr com::LPARAM kCpsuiOk = 1;

// The title the header request gets, in every language.
inline constexpr char16_t kHeaderTitle[] = u"OEM UI Page";

}  // namespace kit::plugin::sheets
