// Cost of a PDF chart page through the real PDF writer module: drawing a
// full DTP-style page of patches, saving the document, and rendering and
// encoding its JPEG preview.
#include <benchmark/benchmark.h>

#include <cstdint>
#include <filesystem>
#include <string>

#include "base/ChartParams.h"
#include "render/PdfPage.h"

namespace {

using namespace GenChartLib;

constexpr std::uint32_t kStrips = 8;
constexpr std::uint32_t kPatchesPerStrip = 30;

ChartParams cmykogParams() {
    ChartParams params(CM_CMYKOG);
    params.pages.push_back({110.0, 300.0, static_cast<std::int32_t>(kPatchesPerStrip),
                            static_cast<std::int32_t>(kStrips)});
    return params;
}

// A 300 x 110 mm page: strips of 8 x 13 mm patches between black bars, an
// arrow and a number per strip.
void drawStripPage(PdfPage<WriteCMYKOG>& page) {
    page.newPage(300.0, 110.0, -17);
    WriteCMYKOG::PixelColor color;
    for (std::uint32_t strip = 0; strip < kStrips; ++strip) {
        const std::uint32_t y = 5 + strip * 130;
        std::uint32_t x = 380;
        page.fillRectPlain({x, y}, 7, 130, WriteCMYKOG::blackColor());
        x += 7;
        for (std::uint32_t n = 0; n < kPatchesPerStrip; ++n) {
            color.channels = {static_cast<std::uint8_t>(n * 8),
                              static_cast<std::uint8_t>(strip * 30),
                              static_cast<std::uint8_t>(255 - n * 8),
                              0,
                              255,
                              static_cast<std::uint8_t>(n * 3)};
            page.fillRect({x, y}, 80, 130, color);
            x += 87;
            page.fillRectPlain({x, y}, 7, 130, WriteCMYKOG::blackColor());
            x += 7;
        }
        page.drawMarkerArrow(70, y + 65, 5, y + 65, 6, 30, 12, WriteCMYKOG::blackColor());
        page.drawNumber({80, y + 65}, 65, strip + 1, WriteCMYKOG::blackColor());
    }
}

std::string benchFile(const char* name) {
    return (std::filesystem::temp_directory_path() / name).string();
}

void BM_PdfStripPageDrawAndSave(benchmark::State& state) {
    const ChartParams params = cmykogParams();
    const std::string file = benchFile("orvochart-bench-strips.pdf");
    for (auto _ : state) {
        // The module never writes over a file: the last document goes first.
        std::filesystem::remove(file);
        PdfPage<WriteCMYKOG> page(params);
        drawStripPage(page);
        page.save(file);
    }
    state.SetItemsProcessed(state.iterations() * kStrips * kPatchesPerStrip);
    std::filesystem::remove(file);
}
BENCHMARK(BM_PdfStripPageDrawAndSave)->Unit(benchmark::kMillisecond);

void BM_PdfStripPagePreview(benchmark::State& state) {
    const ChartParams params = cmykogParams();
    const std::string file = benchFile("orvochart-bench-strips.tif");
    PdfPage<WriteCMYKOG> page(params);
    drawStripPage(page);
    for (auto _ : state) {
        std::filesystem::remove(PdfPage<WriteCMYKOG>::jpegName(file));
        page.exportJpeg(file, 0, 1);
    }
    std::filesystem::remove(PdfPage<WriteCMYKOG>::jpegName(file));
}
BENCHMARK(BM_PdfStripPagePreview)->Unit(benchmark::kMillisecond);

}  // namespace
