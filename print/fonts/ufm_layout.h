// The byte layout of a Unidrv font metrics file (.ufm), as Microsoft's
// documentation of prntfont.h and winddi.h gives it: UNIFM_HDR, UNIDRVINFO
// with its two command strings, and the font's IFIMETRICS in the 32-bit form
// every .ufm holds (PRINTIFI32: its offsets are 32-bit on both bitnesses).
// Offsets are counted from the start of each structure; numbers are
// little-endian. The Windows builds check these offsets against the
// compiler's own headers (ufm_layout_check_win32.cpp).
//
// This file is OS-independent.
#pragma once

#include <cstddef>
#include <cstdint>

namespace kit::print::fonts::ufm {

// UNIFM_HDR
inline constexpr std::size_t kHdrSize = 44;
inline constexpr std::size_t kHdrDwSize = 0;
inline constexpr std::size_t kHdrVersion = 4;
inline constexpr std::size_t kHdrDefaultCodepage = 8;
inline constexpr std::size_t kHdrGlyphSetDataRcId = 12;
inline constexpr std::size_t kHdrLoUnidrvInfo = 16;
inline constexpr std::size_t kHdrLoIfiMetrics = 20;
inline constexpr std::size_t kHdrLoExtTextMetric = 24;
inline constexpr std::size_t kHdrLoWidthTable = 28;
inline constexpr std::size_t kHdrLoKernPair = 32;
inline constexpr std::uint32_t kUnifmVersion10 = 0x10000;  // UNIFM_VERSION_1_0

// UNIDRVINFO; an INVOC is {dwCount, loOffset}, loOffset counted from the
// start of the UNIDRVINFO.
inline constexpr std::size_t kUniSize = 48;
inline constexpr std::size_t kUniDwSize = 0;
inline constexpr std::size_t kUniGenFlags = 4;
inline constexpr std::size_t kUniType = 8;
inline constexpr std::size_t kUniCaps = 10;
inline constexpr std::size_t kUniXRes = 12;
inline constexpr std::size_t kUniYRes = 14;
inline constexpr std::size_t kUniYAdjust = 16;
inline constexpr std::size_t kUniYMoved = 18;
inline constexpr std::size_t kUniPrivateData = 20;
inline constexpr std::size_t kUniShift = 22;
inline constexpr std::size_t kUniSelectFont = 24;
inline constexpr std::size_t kUniUnSelectFont = 32;
inline constexpr std::uint32_t kUfmScalable = 4;  // UFM_SCALABLE
// fCaps: what Unidrv must not ask of the font (DF_NOITALIC, DF_NOUNDER,
// DF_NO_BOLD, DF_NO_DOUBLE_UNDERLINE, DF_NO_STRIKETHRU).
inline constexpr std::uint16_t kCapsNoSimulations = 0x01 | 0x02 | 0x08 | 0x10 | 0x20;

// IFIMETRICS (PRINTIFI32)
inline constexpr std::size_t kIfiSize = 184;
inline constexpr std::size_t kIfiCjThis = 0;
inline constexpr std::size_t kIfiCjIfiExtra = 4;
inline constexpr std::size_t kIfiFamilyName = 8;
inline constexpr std::size_t kIfiStyleName = 12;
inline constexpr std::size_t kIfiFaceName = 16;
inline constexpr std::size_t kIfiUniqueName = 20;
inline constexpr std::size_t kIfiFontSim = 24;
inline constexpr std::size_t kIfiCharSets = 40;
inline constexpr std::size_t kIfiWinCharSet = 44;
inline constexpr std::size_t kIfiWinPitchAndFamily = 45;
inline constexpr std::size_t kIfiWinWeight = 46;
inline constexpr std::size_t kIfiFlInfo = 48;
inline constexpr std::size_t kIfiFsSelection = 52;
inline constexpr std::size_t kIfiFsType = 54;
inline constexpr std::size_t kIfiUnitsPerEm = 56;
inline constexpr std::size_t kIfiLowestPPEm = 58;
inline constexpr std::size_t kIfiWinAscender = 60;
inline constexpr std::size_t kIfiWinDescender = 62;
inline constexpr std::size_t kIfiMacAscender = 64;
inline constexpr std::size_t kIfiMacDescender = 66;
inline constexpr std::size_t kIfiMacLineGap = 68;
inline constexpr std::size_t kIfiTypoAscender = 70;
inline constexpr std::size_t kIfiTypoDescender = 72;
inline constexpr std::size_t kIfiTypoLineGap = 74;
inline constexpr std::size_t kIfiAveCharWidth = 76;
inline constexpr std::size_t kIfiMaxCharInc = 78;
inline constexpr std::size_t kIfiCapHeight = 80;
inline constexpr std::size_t kIfiXHeight = 82;
inline constexpr std::size_t kIfiSubscriptXSize = 84;       // then Y size, X and Y offset,
inline constexpr std::size_t kIfiSuperscriptXSize = 92;     // the same for superscripts
inline constexpr std::size_t kIfiUnderscoreSize = 100;
inline constexpr std::size_t kIfiUnderscorePosition = 102;
inline constexpr std::size_t kIfiStrikeoutSize = 104;
inline constexpr std::size_t kIfiStrikeoutPosition = 106;
inline constexpr std::size_t kIfiChFirstChar = 108;  // then ch Last, Default, Break
inline constexpr std::size_t kIfiWcFirstChar = 112;
inline constexpr std::size_t kIfiWcLastChar = 114;
inline constexpr std::size_t kIfiWcDefaultChar = 116;
inline constexpr std::size_t kIfiWcBreakChar = 118;
inline constexpr std::size_t kIfiBaseline = 120;
inline constexpr std::size_t kIfiAspect = 128;
inline constexpr std::size_t kIfiCaret = 136;
inline constexpr std::size_t kIfiFontBox = 144;
inline constexpr std::size_t kIfiVendId = 160;
inline constexpr std::size_t kIfiKerningPairs = 164;
inline constexpr std::size_t kIfiPanoseCulture = 168;
inline constexpr std::size_t kIfiPanose = 172;

// winddi.h figures the writer and the check use.
inline constexpr std::uint32_t kFmInfoTechBitmap = 0x00000002;
inline constexpr std::uint32_t kFmInfoTechOutlineNotTrueType = 0x00000008;
inline constexpr std::uint32_t kFmInfo1Bpp = 0x00000020;
inline constexpr std::uint32_t kFmInfoIntegerWidth = 0x00000800;
inline constexpr std::uint32_t kFmInfoConstantWidth = 0x00001000;
inline constexpr std::uint32_t kFmInfoRightHanded = 0x00080000;
inline constexpr std::uint32_t kFmInfoIsotropicScalingOnly = 0x01000000;
inline constexpr std::uint16_t kFmSelRegular = 0x0040;
inline constexpr std::uint16_t kFmNoEmbedding = 0x0002;  // FM_TYPE_LICENSED
inline constexpr std::uint8_t kFixedPitchModern = 0x01 | 0x30;  // FIXED_PITCH | FF_MODERN
inline constexpr std::uint8_t kOemCharset = 255;             // OEM_CHARSET
inline constexpr std::uint8_t kAnsiCharset = 0;              // ANSI_CHARSET
inline constexpr std::uint8_t kGb2312Charset = 134;          // GB2312_CHARSET
inline constexpr std::uint8_t kChineseBig5Charset = 136;     // CHINESEBIG5_CHARSET

// The built-in glyph conversions of prntfont.h (CC_...), a .ufm names one
// instead of a glyph translation table's resource id.
inline constexpr std::int32_t kCcCp437 = -1;
inline constexpr std::int32_t kCcCp850 = -2;
inline constexpr std::int32_t kCcCp863 = -3;
inline constexpr std::int32_t kCcBig5 = -10;
inline constexpr std::int32_t kCcGb2312 = -16;

// The resource type of a .ufm and of a .gtt in a resource DLL: Unidrv finds
// a GPD's device fonts in its resource DLL by these types. The minidriver
// resource types of the WDK's unirc.h (minidrv.h): RC_TABLES 257, RC_FONT
// 258, RC_TRANSTAB 259, RC_UFM 260, RC_GTT 261, RC_HTPATTERN 264. No mingw
// header carries them, so no compiler check holds them (the resource script's
// layout is tested).
inline constexpr int kRcUfm = 260;  // RC_UFM
inline constexpr int kRcGtt = 261;  // RC_GTT

}  // namespace kit::print::fonts::ufm
