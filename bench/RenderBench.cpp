// Raster page rendering: an A4 page (2100 x 2970 pixels) of 1,500 patches
// in strips with strip numbers, in CMYK and in 7 channels.
//
// - Memset:      filling the same rows with memset, the floor of any renderer;
// - Render:      the page's renderer filling every row (no file);
// - RowLoop:     the step-by-step row loop that asks every object at every
//                step, the reference the renderer's rows must equal;
// - EndToEnd:    rendering and writing the LZW-compressed TIFF through the
//                image writer module;
// - LongRoll:    a page of 10,000 x 36,000 pixels rendered and written; the
//                counter peak_rss_mb is the process's peak resident memory
//                (run it alone: --benchmark_filter=LongRoll).
#include <benchmark/benchmark.h>
#include <sys/resource.h>
#include <unistd.h>

#include <cstdio>
#include <cstring>
#include <filesystem>
#include <memory>
#include <random>
#include <string>
#include <vector>

#include "../tests/render/LiteralRowLoop.h"
#include "render/GraphicObjects.h"
#include "render/RasterImage.h"
#include "render/ScanlineRenderer.h"
#include "render/Writers.h"

namespace GenChartLib {
namespace {

constexpr std::uint32_t kA4Width = 2100;
constexpr std::uint32_t kA4Height = 2970;

// A chart of strips: each strip a row of patches with its number in the
// left margin, as the strip-reader layouts draw them.
struct StripLayout {
    std::uint32_t patchWidth = 45;
    std::uint32_t patchGap = 5;
    std::uint32_t patchHeight = 60;
    std::uint32_t stripGap = 10;
    std::uint32_t firstPatchX = 150;
    std::uint32_t firstStripY = 60;
    std::uint32_t patchesPerStrip = 38;
};

template <class W>
typename W::PixelColor patchColor(std::mt19937& rng) {
    typename W::PixelColor c = W::paperColor();
    for (auto& b : c.channels) {
        b = static_cast<std::uint8_t>(rng());
    }
    return c;
}

template <class W>
rowloop::ObjectList<W> stripPage(std::uint32_t patches, std::uint32_t heightPx,
                                 const StripLayout& layout = {}) {
    std::mt19937 rng(2024);
    rowloop::ObjectList<W> objects;
    const std::uint32_t pitchX = layout.patchWidth + layout.patchGap;
    const std::uint32_t pitchY = layout.patchHeight + layout.stripGap;
    std::uint32_t strip = 0;
    for (std::uint32_t k = 0; k < patches; ++strip) {
        const std::uint32_t y = layout.firstStripY + strip * pitchY;
        if (y + pitchY > heightPx) {
            break;
        }
        objects.push_back(
            makeNumberInBox<W>({40, y}, layout.patchHeight, strip + 1, W::blackColor()));
        for (std::uint32_t i = 0; i < layout.patchesPerStrip && k < patches; ++i, ++k) {
            objects.push_back(std::make_unique<Rect<W>>(Point{layout.firstPatchX + i * pitchX, y},
                                                        layout.patchWidth, layout.patchHeight,
                                                        patchColor<W>(rng)));
        }
    }
    return objects;
}

void BM_Memset(benchmark::State& state) {
    const auto channels = static_cast<std::size_t>(state.range(0));
    std::vector<std::uint8_t> line(kA4Width * channels);
    for (auto _ : state) {
        for (std::uint32_t y = 0; y < kA4Height; ++y) {
            std::memset(line.data(), static_cast<int>(y & 0xFF), line.size());
            benchmark::DoNotOptimize(line.data());
            benchmark::ClobberMemory();
        }
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) * kA4Height *
                            static_cast<std::int64_t>(line.size()));
}
BENCHMARK(BM_Memset)->Arg(4)->Arg(7)->Unit(benchmark::kMillisecond);

template <class W>
void BM_Render(benchmark::State& state) {
    const unsigned channels = W::kChannels;
    std::vector<std::uint8_t> buffer(kA4Width * channels);
    const RasterLine line{buffer.data(), kA4Width, channels};
    for (auto _ : state) {
        state.PauseTiming();
        auto objects = stripPage<W>(1500, kA4Height);
        state.ResumeTiming();
        ScanlineRenderer<W> renderer(objects, line, true, kA4Height);
        for (std::uint32_t y = 0; y < kA4Height; ++y) {
            renderer.renderRow(y);
            benchmark::DoNotOptimize(buffer.data());
            benchmark::ClobberMemory();
        }
        state.PauseTiming();
        objects.clear();
        state.ResumeTiming();
    }
}
BENCHMARK_TEMPLATE(BM_Render, WriteCMYK)->Unit(benchmark::kMillisecond);
BENCHMARK_TEMPLATE(BM_Render, WriteCMYKRGB)->Unit(benchmark::kMillisecond);

template <class W>
void BM_RowLoop(benchmark::State& state) {
    for (auto _ : state) {
        state.PauseTiming();
        auto objects = stripPage<W>(1500, kA4Height);
        state.ResumeTiming();
        benchmark::DoNotOptimize(rowloop::renderLiteral<W>(std::move(objects), kA4Width, kA4Height,
                                                           W::kChannels, true, false));
    }
}
BENCHMARK_TEMPLATE(BM_RowLoop, WriteCMYK)->Unit(benchmark::kMillisecond)->Iterations(2);
BENCHMARK_TEMPLATE(BM_RowLoop, WriteCMYKRGB)->Unit(benchmark::kMillisecond)->Iterations(2);

std::string benchFile(const char* name) {
    return (std::filesystem::temp_directory_path() /
            ("orvochart-bench-" + std::to_string(getpid()) + "-" + name))
        .string();
}

template <class W>
void writePage(const std::string& file, std::uint32_t width, std::uint32_t height,
               rowloop::ObjectList<W> objects) {
    // The module never writes over a file: the last page goes first.
    std::filesystem::remove(file);
    RasterImage<W> page(static_cast<int>(W::kChannels), file, width, height, MI_EYEONE, -1);
    page.open();
    for (auto& o : objects) {
        page.add(std::move(o));
    }
    page.renderAndWrite(MI_EYEONE);
}

template <class W>
void BM_EndToEnd(benchmark::State& state) {
    const std::string file = benchFile("a4.tif");
    for (auto _ : state) {
        state.PauseTiming();
        auto objects = stripPage<W>(1500, kA4Height);
        state.ResumeTiming();
        writePage<W>(file, kA4Width, kA4Height, std::move(objects));
    }
    state.counters["file_kb"] = static_cast<double>(std::filesystem::file_size(file)) / 1024.0;
    std::filesystem::remove(file);
}
BENCHMARK_TEMPLATE(BM_EndToEnd, WriteCMYK)->Unit(benchmark::kMillisecond);
BENCHMARK_TEMPLATE(BM_EndToEnd, WriteCMYKRGB)->Unit(benchmark::kMillisecond);

double peakRssMb() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return static_cast<double>(usage.ru_maxrss) / 1024.0;
}

template <class W>
void BM_LongRoll(benchmark::State& state) {
    constexpr std::uint32_t kWidth = 10000;
    constexpr std::uint32_t kHeight = 36000;
    StripLayout layout;
    layout.patchesPerStrip =
        (kWidth - 200 - layout.firstPatchX) / (layout.patchWidth + layout.patchGap);
    const std::string file = benchFile("roll.tif");
    std::size_t objectCount = 0;
    for (auto _ : state) {
        state.PauseTiming();
        auto objects = stripPage<W>(1000000, kHeight, layout);
        objectCount = objects.size();
        state.ResumeTiming();
        writePage<W>(file, kWidth, kHeight, std::move(objects));
    }
    state.counters["objects"] = static_cast<double>(objectCount);
    state.counters["file_mb"] =
        static_cast<double>(std::filesystem::file_size(file)) / (1024.0 * 1024.0);
    state.counters["peak_rss_mb"] = peakRssMb();
    std::filesystem::remove(file);
}
BENCHMARK_TEMPLATE(BM_LongRoll, WriteCMYK)->Unit(benchmark::kMillisecond)->Iterations(1);
BENCHMARK_TEMPLATE(BM_LongRoll, WriteCMYKRGB)->Unit(benchmark::kMillisecond)->Iterations(1);

}  // namespace
}  // namespace GenChartLib
