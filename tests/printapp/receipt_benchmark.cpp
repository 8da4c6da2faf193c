// A receipt page from PWG raster to printer bytes, as kvprinter prints it:
// libcups reads the page (PAPPL's reader) and the receipt encoder packs it.
// The page is 55.8 x 297 mm at 180 dpi (395 x 2104 dots): bands of text
// rows between blank stretches.
#include <benchmark/benchmark.h>
#include <cups/raster.h>
#include <stdio.h>
#include <unistd.h>

#include <vector>

#include "printapp/receipt_encoder.h"

namespace {

constexpr unsigned kWidth = 395, kHeight = 2104, kBytesPerLine = 50;

int WritePage() {
  FILE* file = tmpfile();
  const int fd = fileno(file);
  cups_raster_t* raster = cupsRasterOpen(fd, CUPS_RASTER_WRITE_PWG);
  cups_page_header2_t header{};
  cupsRasterInitPWGHeader(&header, pwgMediaForPWG("om_receipt_55.8x297mm"), "black_1", 180, 180, "one-sided", nullptr);
  cupsRasterWriteHeader2(raster, &header);
  std::vector<unsigned char> line(header.cupsBytesPerLine);
  for (unsigned y = 0; y < header.cupsHeight; ++y) {
    const bool text = (y / 24) % 3 != 2;  // 48 rows of text, 24 blank
    for (unsigned x = 0; x < line.size(); ++x) line[x] = text ? static_cast<unsigned char>((x * 37 + y * 11) & 0x5A) : 0;
    cupsRasterWritePixels(raster, line.data(), static_cast<unsigned>(line.size()));
  }
  cupsRasterClose(raster);
  return dup(fd);
}

void PwgPageToBytes(benchmark::State& state) {
  const int fd = WritePage();
  const auto& model = kit::print::model::ReceiptQ40();
  const kit::printapp::JobEvents events = kit::printapp::EventsOf({});
  std::vector<unsigned char> line(kBytesPerLine);
  std::size_t bytes = 0;
  for (auto _ : state) {
    lseek(fd, 0, SEEK_SET);
    cups_raster_t* raster = cupsRasterOpen(fd, CUPS_RASTER_READ);
    cups_page_header2_t header;
    cupsRasterReadHeader2(raster, &header);
    kit::printapp::ReceiptEncoder encoder(model, events);
    encoder.StartJob();
    encoder.StartPage(header.cupsWidth, header.cupsHeight);
    for (unsigned y = 0; y < header.cupsHeight; ++y) {
      cupsRasterReadPixels(raster, line.data(), header.cupsBytesPerLine);
      encoder.AddLine(line);
    }
    encoder.EndPage();
    encoder.EndJob();
    bytes = encoder.TakeBytes().size();
    cupsRasterClose(raster);
  }
  close(fd);
  state.SetItemsProcessed(state.iterations());  // pages
  state.counters["printer_bytes"] = static_cast<double>(bytes);
  static_assert(kWidth == 395 && kHeight == 2104);
}
BENCHMARK(PwgPageToBytes)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
