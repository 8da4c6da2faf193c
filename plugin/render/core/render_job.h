// One print job on the rendering side: what the universal driver hands the
// plug-in (the event callbacks of the GPD's order sections and the page's
// bands) turned into the printer's bytes.
//
//   Start of Document   the StartDocOp block's operations
//   Start of Page       the StartPageOp block's operations
//   bands               kept in the page, top-down
//   device text         kept in the page at the cursor's line (page_text.h)
//   End of Page         the page zoomed, turned and watermarked as the record
//                       says, packed into raster blocks (blank rows fed, the
//                       trailing white dropped) around the page's lines of
//                       device text; on a label model the rest of the label
//                       and the gap fed, so that the next page starts on the
//                       next label; then the EndPageOp block
//   End of Document     the EndDocOp block
//
// Every byte goes to the host's Write (the driver's spool buffer). With the
// driver log on, End of Page and End of Document each append one line.
//
// This file is OS-independent.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "plugin/core/font/control_font_file.h"
#include "plugin/render/core/driver_log.h"
#include "plugin/render/core/page_text.h"
#include "plugin/render/core/mono_page.h"
#include "plugin/render/core/render_settings.h"
#include "print/model/model_table.h"

namespace kit::render {

class RenderHost {
 public:
  virtual ~RenderHost() = default;
  // The driver's spool buffer; false when it refused the bytes.
  virtual bool Write(std::span<const std::uint8_t> bytes) = 0;
  // A whole file, or nothing when it cannot be read.
  virtual std::optional<std::vector<std::uint8_t>> ReadFile(const std::u16string& path) = 0;
  // Appends text to a file, creating it (and its folder) when missing;
  // failures are the host's to swallow.
  virtual void AppendFile(const std::u16string& path, const std::string& text) = 0;
  virtual LogTime Now() = 0;
};

struct JobIdentity {
  std::u16string printer;
  std::u16string document;     // empty when the driver does not tell it
  std::u16string temp_folder;  // with its trailing backslash
  std::u16string common_app_data;    // where the users' watermark pictures are
  std::u16string control_font_path;  // the control-font table; empty: none
};

// A band of the page as the driver renders it: rows top-down (Microsoft,
// IPrintOemUni::ImageProcessing, "Source bitmap characteristics": the band's
// DIB is top-down whatever the sign of its biHeight).
struct Band {
  const std::uint8_t* bits = nullptr;
  std::size_t stride = 0;    // bytes from one row to the next
  int width = 0, height = 0;
  int x = 0, y = 0;          // the band's place on the page, in dots
  bool one_is_ink = true;    // false: a 0 bit is a printed dot (the GDI palette black, white)
};

class RenderJob {
 public:
  RenderJob(RenderHost& host, const print::model::Model& model, RenderSettings settings, JobIdentity identity);

  void StartDoc();
  void StartPage();
  void AddBand(const Band& band);
  // A band the driver found blank: nothing to print, but the page reaches
  // down to its bottom (a label's length is its page's).
  void AddBlankBand(int y, int height);
  void EndPage();
  void EndDoc();
  // A job that goes on in a new device context (the driver's ResetPDEV):
  // it counts on from the old one's pages and bytes.
  void CarryOver(const RenderJob& old) {
    pages_ = old.pages_;
    bytes_ = old.bytes_;
    NameDocument(old.identity_.document);
  }
  // The document's name, told once the job has started (the driver's Start
  // of Document); an empty name keeps the one the job has.
  void NameDocument(std::u16string document) {
    if (!document.empty()) identity_.document = std::move(document);
  }
  const std::u16string& document() const { return identity_.document; }
  // The event callbacks of the data file (1 to 4) and the cursor's moves
  // (5, with the X position); false for an unknown id.
  bool Callback(unsigned id, std::span<const std::uint32_t> params = {});

  // Device text (render_text.cpp). The driver's font selection and undo,
  // sent before the next string; a string in the model's font of this
  // resource id at the cursor, kept in the page until End of Page. False
  // for a font the model does not have.
  void FontCommand(std::span<const std::uint8_t> bytes);
  bool PrintText(int font_id, std::u16string_view text);
  void MoveTo(int x, int y) {
    x_ = x;
    y_ = y;
  }

  int pages() const { return pages_; }
  std::uint64_t bytes_written() const { return bytes_; }
  const RenderSettings& settings() const { return settings_; }

 private:
  void Send(const std::vector<std::uint8_t>& bytes);
  void SendEvent(Event event);
  void Log(const char* what);
  MonoPage LaidOutPage();

  void LoadControlFont();
  void Report(const std::string& line);

  RenderHost& host_;
  const print::model::Model& model_;
  RenderSettings settings_;
  JobIdentity identity_;
  std::vector<std::uint8_t> rows_;  // the page so far, rows of stride_ bytes
  std::size_t stride_;
  int page_rows_ = 0;
  int pages_ = 0;
  std::uint64_t bytes_ = 0;
  // Device text of the page, the cursor and the selection still to send.
  std::vector<TextItem> text_;
  int x_ = 0, y_ = 0;
  std::vector<std::uint8_t> font_command_;
  plugin::font::ControlFontTexts control_{};
};

}  // namespace kit::render
