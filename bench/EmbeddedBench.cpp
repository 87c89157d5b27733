// The largest charts of the printer-embedded units, each made by a whole
// process (bench_i1_host calling createChart of the shared library) and
// measured from outside: wall time and peak resident memory.
// - HP Designjet Z: 14,400 patches on the greatest page, 958.3 x 3642.4 mm
//   (9,583 x 36,424 pixels: 1.4 GB of CMYK, 2.8 GB with 8 channels), in
//   CMYK and with 8 spot channels. Beside the time, a memset of the same
//   rows into one row buffer, and the chart's time as a multiple of it.
// - Epson SpectroProofer: 1,500 CMYK patches. One page holds the whole
//   chart, so an A3 sheet (at most 672 patches) is too short: the chart is
//   made across the A3 sheet's long side, 420 mm, on 560 mm of roll: 32
//   strips of 47 on a page of 397.2 x 547 mm.
#include <benchmark/benchmark.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "OrvoChartInterface.h"

namespace {

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

// The HP Z page: the greatest page and 240 strips of 60 patches.
constexpr std::uint32_t kHpzWidthPx = 9583;
constexpr std::uint32_t kHpzHeightPx = 36424;
constexpr int kHpzPatches = 14400;
constexpr double kHpzSheetWidthMm = 1000.0;
constexpr double kHpzSheetHeightMm = 4000.0;

class Folder {
  public:
    Folder() : path_(fs::temp_directory_path() / ("orvo_embedded_" + std::to_string(getpid()))) {
        fs::create_directories(path_);
    }
    ~Folder() {
        std::error_code ec;
        fs::remove_all(path_, ec);
    }
    Folder(const Folder&) = delete;
    Folder& operator=(const Folder&) = delete;
    std::string file(const std::string& name) const { return (path_ / name).string(); }

  private:
    fs::path path_;
};

const Folder& folder() {
    static const Folder f;
    return f;
}

// A reference of `patches` rows of `inks` ink columns (CMYK_ or nCLR_),
// every patch a different mix.
std::string writeReference(int patches, int inks) {
    const std::string path =
        folder().file("ref" + std::to_string(inks) + "_" + std::to_string(patches) + ".txt");
    std::ofstream out(path);
    out << "CGATS.17\nNUMBER_OF_FIELDS " << inks + 1 << "\nBEGIN_DATA_FORMAT\nSAMPLE_ID";
    for (int i = 0; i < inks; ++i) {
        out << ' '
            << (inks == 4 ? std::string("CMYK_") + "CMYK"[i]
                          : std::to_string(inks) + "CLR_" + std::to_string(i + 1));
    }
    out << "\nEND_DATA_FORMAT\nNUMBER_OF_SETS " << patches << "\nBEGIN_DATA\n";
    for (int r = 0; r < patches; ++r) {
        out << r + 1;
        for (int i = 0; i < inks; ++i) {
            out << ' ' << (r * (7 + 13 * i) + 5 * i) % 101;
        }
        out << '\n';
    }
    out << "END_DATA\n";
    return path;
}

struct ProcessRun {
    bool ok = false;
    double wallSeconds = 0.0;
    double cpuSeconds = 0.0;  // user and system: less disturbed by a busy machine
    double peakResidentMiB = 0.0;
};

// One chart made by the host program in a process of its own.
ProcessRun makeChartProcess(IdMeasureInstrument id, const std::string& reference, double widthMm,
                            double heightMm, ColorMode mode) {
    const std::string out = folder().file("chart.tif");
    for (const auto& entry : fs::directory_iterator(folder().file(""))) {
        if (entry.path().filename().string().rfind("chart", 0) == 0) {
            fs::remove(entry.path());
        }
    }
    const std::vector<std::string> args = {
        ORVOCHART_CHART_HOST,     std::to_string(id),  out, reference, std::to_string(widthMm),
        std::to_string(heightMm), std::to_string(mode)};
    std::vector<char*> argv;
    for (const std::string& a : args) {
        argv.push_back(const_cast<char*>(a.c_str()));
    }
    argv.push_back(nullptr);
    ProcessRun run;
    const Clock::time_point start = Clock::now();
    const pid_t child = fork();
    if (child == 0) {
        if (freopen("/dev/null", "w", stdout) == nullptr) {
            _exit(127);
        }
        execv(argv[0], argv.data());
        _exit(127);
    }
    int status = 0;
    rusage usage{};
    if (child < 0 || wait4(child, &status, 0, &usage) != child) {
        return run;
    }
    run.wallSeconds = std::chrono::duration<double>(Clock::now() - start).count();
    run.ok = WIFEXITED(status) && WEXITSTATUS(status) == 0;
    run.peakResidentMiB = static_cast<double>(usage.ru_maxrss) / 1024.0;  // kB on Linux
    const auto seconds = [](const timeval& t) {
        return static_cast<double>(t.tv_sec) + static_cast<double>(t.tv_usec) / 1e6;
    };
    run.cpuSeconds = seconds(usage.ru_utime) + seconds(usage.ru_stime);
    return run;
}

// Filling the page's rows into one reused row buffer: the least any writer
// of the page must do.
double memsetSeconds(std::uint32_t channels) {
    std::vector<unsigned char> row(static_cast<std::size_t>(kHpzWidthPx) * channels);
    const Clock::time_point start = Clock::now();
    for (std::uint32_t y = 0; y < kHpzHeightPx; ++y) {
        std::memset(row.data(), static_cast<int>(y & 0xFF), row.size());
        benchmark::DoNotOptimize(row.data());
        benchmark::ClobberMemory();
    }
    return std::chrono::duration<double>(Clock::now() - start).count();
}

void runCharts(benchmark::State& state, IdMeasureInstrument id, const std::string& reference,
               double widthMm, double heightMm, ColorMode mode, std::uint32_t memsetChannels) {
    double peak = 0.0;
    double wall = 0.0;
    double cpu = 0.0;
    for (auto _ : state) {
        const ProcessRun run = makeChartProcess(id, reference, widthMm, heightMm, mode);
        if (!run.ok) {
            state.SkipWithError("no chart was made");
            return;
        }
        state.SetIterationTime(run.wallSeconds);
        peak = std::max(peak, run.peakResidentMiB);
        wall += run.wallSeconds;
        cpu += run.cpuSeconds;
    }
    const double runs = static_cast<double>(state.iterations());
    state.counters["peak_rss_MiB"] = peak;
    state.counters["cpu_s"] = cpu / runs;
    if (memsetChannels > 0) {
        const double rows = memsetSeconds(memsetChannels);
        state.counters["memset_ms"] = rows * 1000.0;
        state.counters["x_memset"] = wall / runs / rows;
    }
}

void BM_HpZGreatestPageCmyk(benchmark::State& state) {
    runCharts(state, MI_HPZ, writeReference(kHpzPatches, 4), kHpzSheetWidthMm, kHpzSheetHeightMm,
              CM_CMYK, 4);
}
BENCHMARK(BM_HpZGreatestPageCmyk)->UseManualTime()->Iterations(2)->Unit(benchmark::kMillisecond);

void BM_HpZGreatestPageSpot8(benchmark::State& state) {
    runCharts(state, MI_HPZ, writeReference(kHpzPatches, 8), kHpzSheetWidthMm, kHpzSheetHeightMm,
              CM_SPOT_8, 8);
}
BENCHMARK(BM_HpZGreatestPageSpot8)->UseManualTime()->Iterations(2)->Unit(benchmark::kMillisecond);

void BM_Epson1500(benchmark::State& state) {
    runCharts(state, MI_EPSON, writeReference(1500, 4), 420.0, 560.0, CM_CMYK, 0);
}
BENCHMARK(BM_Epson1500)->UseManualTime()->Iterations(5)->Unit(benchmark::kMillisecond);

}  // namespace
