// The font metrics' byte layout (ufm_layout.h) held against the compiler's
// own prntfont.h and winddi.h: a Windows build that disagrees does not
// compile. IFIMETRICS has the .ufm's 32-bit layout only where its offsets
// are 32-bit (the i686 build); the 64-bit build checks the fields before them.
#include <windows.h>
#include <winddi.h>
#include <prntfont.h>

#include <cstddef>

#include "print/fonts/ufm_layout.h"

namespace kit::print::fonts::ufm {

static_assert(sizeof(UNIFM_HDR) == kHdrSize);
static_assert(offsetof(UNIFM_HDR, dwSize) == kHdrDwSize);
static_assert(offsetof(UNIFM_HDR, dwVersion) == kHdrVersion);
static_assert(offsetof(UNIFM_HDR, ulDefaultCodepage) == kHdrDefaultCodepage);
static_assert(offsetof(UNIFM_HDR, lGlyphSetDataRCID) == kHdrGlyphSetDataRcId);
static_assert(offsetof(UNIFM_HDR, loUnidrvInfo) == kHdrLoUnidrvInfo);
static_assert(offsetof(UNIFM_HDR, loIFIMetrics) == kHdrLoIfiMetrics);
static_assert(offsetof(UNIFM_HDR, loExtTextMetric) == kHdrLoExtTextMetric);
static_assert(offsetof(UNIFM_HDR, loWidthTable) == kHdrLoWidthTable);
static_assert(offsetof(UNIFM_HDR, loKernPair) == kHdrLoKernPair);
static_assert(UNIFM_VERSION_1_0 == kUnifmVersion10);
static_assert(UFM_SCALABLE == kUfmScalable);

static_assert(sizeof(UNIDRVINFO) == kUniSize);
static_assert(offsetof(UNIDRVINFO, flGenFlags) == kUniGenFlags);
static_assert(offsetof(UNIDRVINFO, wType) == kUniType);
static_assert(offsetof(UNIDRVINFO, fCaps) == kUniCaps);
static_assert(offsetof(UNIDRVINFO, wXRes) == kUniXRes);
static_assert(offsetof(UNIDRVINFO, wYRes) == kUniYRes);
static_assert(offsetof(UNIDRVINFO, sYAdjust) == kUniYAdjust);
static_assert(offsetof(UNIDRVINFO, sYMoved) == kUniYMoved);
static_assert(offsetof(UNIDRVINFO, wPrivateData) == kUniPrivateData);
static_assert(offsetof(UNIDRVINFO, sShift) == kUniShift);
static_assert(offsetof(UNIDRVINFO, SelectFont) == kUniSelectFont);
static_assert(offsetof(UNIDRVINFO, UnSelectFont) == kUniUnSelectFont);
static_assert((DF_NOITALIC | DF_NOUNDER | DF_NO_BOLD | DF_NO_DOUBLE_UNDERLINE | DF_NO_STRIKETHRU) == kCapsNoSimulations);

static_assert(CC_CP437 == kCcCp437 && CC_CP850 == kCcCp850 && CC_CP863 == kCcCp863);
static_assert(CC_BIG5 == kCcBig5 && CC_GB2312 == kCcGb2312);
static_assert(FM_INFO_TECH_BITMAP == kFmInfoTechBitmap && FM_INFO_1BPP == kFmInfo1Bpp);
static_assert(FM_INFO_TECH_OUTLINE_NOT_TRUETYPE == kFmInfoTechOutlineNotTrueType);
static_assert(FM_INFO_INTEGER_WIDTH == kFmInfoIntegerWidth && FM_INFO_CONSTANT_WIDTH == kFmInfoConstantWidth);
static_assert(FM_INFO_RIGHT_HANDED == kFmInfoRightHanded);
static_assert(FM_INFO_ISOTROPIC_SCALING_ONLY == kFmInfoIsotropicScalingOnly);
static_assert(FM_SEL_REGULAR == kFmSelRegular && FM_NO_EMBEDDING == kFmNoEmbedding);
static_assert(OEM_CHARSET == kOemCharset && ANSI_CHARSET == kAnsiCharset);
static_assert(GB2312_CHARSET == kGb2312Charset && CHINESEBIG5_CHARSET == kChineseBig5Charset);
static_assert((FIXED_PITCH | FF_MODERN) == kFixedPitchModern);

static_assert(offsetof(IFIMETRICS, cjThis) == kIfiCjThis);
static_assert(offsetof(IFIMETRICS, cjIfiExtra) == kIfiCjIfiExtra);
static_assert(offsetof(IFIMETRICS, dpwszFamilyName) == kIfiFamilyName);
#if !defined(_WIN64)
static_assert(sizeof(IFIMETRICS) == kIfiSize);
static_assert(offsetof(IFIMETRICS, dpwszStyleName) == kIfiStyleName);
static_assert(offsetof(IFIMETRICS, dpwszFaceName) == kIfiFaceName);
static_assert(offsetof(IFIMETRICS, dpwszUniqueName) == kIfiUniqueName);
static_assert(offsetof(IFIMETRICS, dpFontSim) == kIfiFontSim);
static_assert(offsetof(IFIMETRICS, dpCharSets) == kIfiCharSets);
static_assert(offsetof(IFIMETRICS, jWinCharSet) == kIfiWinCharSet);
static_assert(offsetof(IFIMETRICS, jWinPitchAndFamily) == kIfiWinPitchAndFamily);
static_assert(offsetof(IFIMETRICS, usWinWeight) == kIfiWinWeight);
static_assert(offsetof(IFIMETRICS, flInfo) == kIfiFlInfo);
static_assert(offsetof(IFIMETRICS, fsSelection) == kIfiFsSelection);
static_assert(offsetof(IFIMETRICS, fsType) == kIfiFsType);
static_assert(offsetof(IFIMETRICS, fwdUnitsPerEm) == kIfiUnitsPerEm);
static_assert(offsetof(IFIMETRICS, fwdLowestPPEm) == kIfiLowestPPEm);
static_assert(offsetof(IFIMETRICS, fwdWinAscender) == kIfiWinAscender);
static_assert(offsetof(IFIMETRICS, fwdWinDescender) == kIfiWinDescender);
static_assert(offsetof(IFIMETRICS, fwdMacAscender) == kIfiMacAscender);
static_assert(offsetof(IFIMETRICS, fwdMacDescender) == kIfiMacDescender);
static_assert(offsetof(IFIMETRICS, fwdMacLineGap) == kIfiMacLineGap);
static_assert(offsetof(IFIMETRICS, fwdTypoAscender) == kIfiTypoAscender);
static_assert(offsetof(IFIMETRICS, fwdTypoDescender) == kIfiTypoDescender);
static_assert(offsetof(IFIMETRICS, fwdTypoLineGap) == kIfiTypoLineGap);
static_assert(offsetof(IFIMETRICS, fwdAveCharWidth) == kIfiAveCharWidth);
static_assert(offsetof(IFIMETRICS, fwdMaxCharInc) == kIfiMaxCharInc);
static_assert(offsetof(IFIMETRICS, fwdCapHeight) == kIfiCapHeight);
static_assert(offsetof(IFIMETRICS, fwdXHeight) == kIfiXHeight);
static_assert(offsetof(IFIMETRICS, fwdSubscriptXSize) == kIfiSubscriptXSize);
static_assert(offsetof(IFIMETRICS, fwdSuperscriptXSize) == kIfiSuperscriptXSize);
static_assert(offsetof(IFIMETRICS, fwdUnderscoreSize) == kIfiUnderscoreSize);
static_assert(offsetof(IFIMETRICS, fwdUnderscorePosition) == kIfiUnderscorePosition);
static_assert(offsetof(IFIMETRICS, fwdStrikeoutSize) == kIfiStrikeoutSize);
static_assert(offsetof(IFIMETRICS, fwdStrikeoutPosition) == kIfiStrikeoutPosition);
static_assert(offsetof(IFIMETRICS, chFirstChar) == kIfiChFirstChar);
static_assert(offsetof(IFIMETRICS, wcFirstChar) == kIfiWcFirstChar);
static_assert(offsetof(IFIMETRICS, wcLastChar) == kIfiWcLastChar);
static_assert(offsetof(IFIMETRICS, wcDefaultChar) == kIfiWcDefaultChar);
static_assert(offsetof(IFIMETRICS, wcBreakChar) == kIfiWcBreakChar);
static_assert(offsetof(IFIMETRICS, ptlBaseline) == kIfiBaseline);
static_assert(offsetof(IFIMETRICS, ptlAspect) == kIfiAspect);
static_assert(offsetof(IFIMETRICS, ptlCaret) == kIfiCaret);
static_assert(offsetof(IFIMETRICS, rclFontBox) == kIfiFontBox);
static_assert(offsetof(IFIMETRICS, achVendId) == kIfiVendId);
static_assert(offsetof(IFIMETRICS, cKerningPairs) == kIfiKerningPairs);
static_assert(offsetof(IFIMETRICS, ulPanoseCulture) == kIfiPanoseCulture);
static_assert(offsetof(IFIMETRICS, panose) == kIfiPanose);
#endif

}  // namespace kit::print::fonts::ufm
