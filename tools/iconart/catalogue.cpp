// This file is OS-independent.
#include "tools/iconart/catalogue.h"

#include "tools/iconart/glyphs.h"
#include "tools/iconart/image_files.h"

namespace kit::iconart {
namespace {

Artwork Icon(std::string_view file, std::vector<int> sizes, void (*glyph)(Canvas&)) {
  return {file, std::move(sizes), glyph, {}};
}

Artwork Picture(std::string_view file, Edge edge, Beyond beyond, bool feed, bool cut) {
  return {file, {}, nullptr, {edge, beyond, feed, cut}};
}

std::vector<Artwork> MakeCatalogue() {
  const std::vector<int> program{kSmallIcon, kLargeIcon, kExtraLargeIcon};
  const std::vector<int> plain{kSmallIcon, kLargeIcon};
  constexpr Edge kStart = Edge::kStart, kEnd = Edge::kEnd;
  constexpr Beyond kBlank = Beyond::kBlankPaper, kPage = Beyond::kOtherPage, kNone = Beyond::kNothing;
  return {
      Icon("kitsetup.ico", program, DrawSetupIcon),
      Icon("install.ico", program, DrawInstallerIcon),
      Icon("uninstall.ico", program, DrawUninstallIcon),
      Icon("restart.ico", plain, DrawRestartIcon),
      Icon("font_printer.ico", plain, DrawPrinterIcon),
      Icon("font_folder.ico", plain, DrawFolderIcon),
      Icon("font_letter.ico", plain, DrawFontIcon),
      Picture("preview_start_document_feed_cut.bmp", kStart, kBlank, true, true),
      Picture("preview_start_document_feed.bmp", kStart, kBlank, true, false),
      Picture("preview_start_document_cut.bmp", kStart, kBlank, false, true),
      Picture("preview_start_page_feed_cut.bmp", kStart, kPage, true, true),
      Picture("preview_start_page_feed.bmp", kStart, kPage, true, false),
      Picture("preview_start_page_cut.bmp", kStart, kPage, false, true),
      Picture("preview_start.bmp", kStart, kNone, false, false),
      Picture("preview_end_document_feed_cut.bmp", kEnd, kBlank, true, true),
      Picture("preview_end_document_feed.bmp", kEnd, kBlank, true, false),
      Picture("preview_end_document_cut.bmp", kEnd, kBlank, false, true),
      Picture("preview_end_page_feed_cut.bmp", kEnd, kPage, true, true),
      Picture("preview_end_page_feed.bmp", kEnd, kPage, true, false),
      Picture("preview_end_page_cut.bmp", kEnd, kPage, false, true),
      Picture("preview_end.bmp", kEnd, kNone, false, false),
  };
}

}  // namespace

const std::vector<Artwork>& Catalogue() {
  static const std::vector<Artwork> catalogue = MakeCatalogue();
  return catalogue;
}

const Artwork* FindArtwork(std::string_view file) {
  for (const Artwork& art : Catalogue())
    if (art.file == file) return &art;
  return nullptr;
}

std::vector<Image> RenderIcon(const Artwork& art) {
  std::vector<Image> images;
  for (int size : art.icon_sizes) {
    Canvas canvas(size, size, kGlyphDesignSize, kGlyphDesignSize);
    art.glyph(canvas);
    images.push_back(canvas.Finish());
  }
  return images;
}

std::vector<std::uint8_t> ArtworkFile(const Artwork& art) {
  return art.IsIcon() ? IconFile(RenderIcon(art)) : BitmapFile(DrawReceiptPicture(art.picture));
}

}  // namespace kit::iconart
