// A whole chart job as a host runs it, for a DTP41 strip chart of 1,500
// patches and for a warm-up page, each on an A4 sheet. Besides the total
// time of createChart, the phases are timed one by one through the session:
// reading the reference, laying it out, writing the pages. Laying out reads
// the reference again, and so does writing, so their counters have the
// reading time taken off; the page fitting itself takes some microseconds,
// so layout_ms is a difference at the edge of the timer's noise and may come
// out slightly below zero.
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <string>
#include <vector>

#include "OrvoChartInterface.h"
#include "api/ChartSession.h"
#include "base/ChartParams.h"
#include "engine/MeasureInstrument.h"
#include "render/Writers.h"

namespace {

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

const std::string kReference = std::string(ORVOCHART_SAMPLES) + "/cmyk_1500.txt";
constexpr double kA4WidthMm = 210.0;
constexpr double kA4HeightMm = 297.0;
// An id without a layout of its own: the warm-up page.
constexpr auto kWarmUpId = static_cast<IdMeasureInstrument>(3);

class OutputFolder {
  public:
    OutputFolder() : path_(fs::temp_directory_path() / ("orvo_bench_" + std::to_string(getpid()))) {
        fs::create_directories(path_);
    }
    ~OutputFolder() {
        std::error_code ec;
        fs::remove_all(path_, ec);
    }
    OutputFolder(const OutputFolder&) = delete;
    OutputFolder& operator=(const OutputFolder&) = delete;

    std::string chart() const { return (path_ / "chart.tif").string(); }
    void clear() const {
        for (const auto& entry : fs::directory_iterator(path_)) {
            fs::remove(entry.path());
        }
    }

  private:
    fs::path path_;
};

double secondsSince(Clock::time_point start) {
    return std::chrono::duration<double>(Clock::now() - start).count();
}

void createChartEndToEnd(benchmark::State& state, IdMeasureInstrument instrument) {
    const OutputFolder folder;
    const std::string out = folder.chart();
    for (auto _ : state) {
        int strips = 0;
        int columns = 0;
        const int made = createChart(instrument, out.c_str(), kReference.c_str(), kA4WidthMm,
                                     kA4HeightMm, 0, &strips, &columns, nullptr, CM_CMYK);
        if (made != 1) {
            state.SkipWithError("createChart failed (is the PDF writer module built?)");
            break;
        }
        state.PauseTiming();
        folder.clear();
        state.ResumeTiming();
    }
}

// The steps of createChart, timed one by one.
void chartPhases(benchmark::State& state, IdMeasureInstrument instrument) {
    const OutputFolder folder;
    double reading = 0.0;
    double layout = 0.0;
    double writing = 0.0;
    for (auto _ : state) {
        // Reading is timed on its second run, as warm as the reads inside
        // laying out and writing.
        GenChartLib::ChartParams probe(CM_CMYK);
        probe.refDataName = kReference;
        double read = 0.0;
        for (int pass = 0; pass < 2; ++pass) {
            const auto readStart = Clock::now();
            benchmark::DoNotOptimize(
                GenChartLib::MeasureInstrument<GenChartLib::WriteCMYK>::loadReference(probe));
            read = secondsSince(readStart);
        }

        GenChartLib::ChartSession session;
        session.create(instrument, "", CM_CMYK);
        session.setPageWidth(kA4WidthMm);
        session.setPageHeight(kA4HeightMm);
        session.setRefDataName(kReference);
        session.setOutputKind(1);
        auto start = Clock::now();
        const int laidOut = session.initChartParams();
        const double fit = secondsSince(start);
        session.setOutputName(folder.chart() + ".tmp");
        start = Clock::now();
        const int written = laidOut == 0 ? session.writeChart() : laidOut;
        const double write = secondsSince(start);
        if (written != 0) {
            state.SkipWithError("the chart could not be written (is the PDF writer built?)");
            break;
        }
        reading += read;
        layout += fit - read;
        writing += write - read;
        state.PauseTiming();
        folder.clear();
        state.ResumeTiming();
    }
    const double runs = static_cast<double>(state.iterations());
    if (runs > 0) {
        state.counters["read_ms"] = reading / runs * 1e3;
        state.counters["layout_ms"] = layout / runs * 1e3;
        state.counters["write_ms"] = writing / runs * 1e3;
    }
}

void BM_CreateChartDtp41(benchmark::State& state) {
    createChartEndToEnd(state, MI_DTP41);
}
void BM_CreateChartWarmUpPage(benchmark::State& state) {
    createChartEndToEnd(state, kWarmUpId);
}
void BM_PhasesDtp41(benchmark::State& state) {
    chartPhases(state, MI_DTP41);
}
void BM_PhasesWarmUpPage(benchmark::State& state) {
    chartPhases(state, kWarmUpId);
}

BENCHMARK(BM_CreateChartDtp41)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_CreateChartWarmUpPage)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_PhasesDtp41)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_PhasesWarmUpPage)->Unit(benchmark::kMillisecond);

}  // namespace
