// Two charts measured as whole host processes (wall time as the benchmark's
// manual time, peak resident memory from wait4's ru_maxrss), each made by
// bench_i1_host through createChart of the shared library:
// - an FD-5BT strip chart of the 1,500 CMYK patches of samples/cmyk_1500.txt
//   on an A4 sheet (four TIFF pages);
// - a Spectro LFP grid chart of 10,000 CMYK patches on one 1600 x 1000 mm
//   sheet: one TIFF page of 16,000 x 10,000 pixels and its control file.
// The large sheet is rendered row by row into one reused line, so its peak
// memory should stay near that of the small chart (goal: under 64 MB).
#include <benchmark/benchmark.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "OrvoChartInterface.h"

namespace {

namespace fs = std::filesystem;

class OutputFolder {
  public:
    explicit OutputFolder(const std::string& name)
        : path_(fs::temp_directory_path() / ("orvo_gridbench_" + std::to_string(getpid()) + name)) {
        fs::create_directories(path_);
    }
    ~OutputFolder() {
        std::error_code ec;
        fs::remove_all(path_, ec);
    }
    OutputFolder(const OutputFolder&) = delete;
    OutputFolder& operator=(const OutputFolder&) = delete;

    std::string file(const std::string& name) const { return (path_ / name).string(); }
    // Removes the charts of the last run, keeping the reference.
    void clearCharts() const {
        for (const auto& entry : fs::directory_iterator(path_)) {
            if (entry.path().filename().string().rfind("chart", 0) == 0) {
                fs::remove(entry.path());
            }
        }
    }

  private:
    fs::path path_;
};

struct ProcessRun {
    bool ok = false;
    double wallSeconds = 0.0;
    double peakResidentMiB = 0.0;
};

ProcessRun runHost(const std::vector<std::string>& command) {
    std::vector<char*> argv;
    for (const std::string& arg : command) {
        argv.push_back(const_cast<char*>(arg.c_str()));
    }
    argv.push_back(nullptr);
    ProcessRun run;
    const auto start = std::chrono::steady_clock::now();
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
    run.wallSeconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    run.ok = WIFEXITED(status) && WEXITSTATUS(status) == 0;
    run.peakResidentMiB = static_cast<double>(usage.ru_maxrss) / 1024.0;  // kB on Linux
    return run;
}

// A CMYK reference of `count` patches whose inks step through the cube.
void writeCmykReference(const std::string& path, int count) {
    std::ofstream out(path);
    out << "CGATS.17\nNUMBER_OF_FIELDS 5\nBEGIN_DATA_FORMAT\nSAMPLE_ID CMYK_C CMYK_M CMYK_Y "
           "CMYK_K\nEND_DATA_FORMAT\nNUMBER_OF_SETS "
        << count << "\nBEGIN_DATA\n";
    for (int i = 0; i < count; ++i) {
        out << i + 1 << ' ' << i % 11 * 10 << ' ' << i / 11 % 11 * 10 << ' ' << i / 121 % 11 * 10
            << ' ' << i / 1331 % 8 * 10 << '\n';
    }
    out << "END_DATA\n";
}

void measureChart(benchmark::State& state, IdMeasureInstrument id, const std::string& reference,
                  double widthMm, double heightMm, const OutputFolder& folder) {
    const std::vector<std::string> command = {
        ORVOCHART_CHART_HOST,    std::to_string(id),       folder.file("chart.tif"), reference,
        std::to_string(widthMm), std::to_string(heightMm), std::to_string(CM_CMYK)};
    double peak = 0.0;
    for (auto _ : state) {
        folder.clearCharts();
        const ProcessRun run = runHost(command);
        if (!run.ok) {
            state.SkipWithError("bench_i1_host made no chart");
            break;
        }
        state.SetIterationTime(run.wallSeconds);
        peak = std::max(peak, run.peakResidentMiB);
    }
    state.counters["peak_rss_MiB"] = peak;
}

void BM_Fd5btChartOf1500OnA4(benchmark::State& state) {
    const OutputFolder folder("_fd5bt");
    measureChart(state, MI_KM_FD5BT, std::string(ORVOCHART_SAMPLES) + "/cmyk_1500.txt", 210.0,
                 297.0, folder);
}
BENCHMARK(BM_Fd5btChartOf1500OnA4)->UseManualTime()->Iterations(5)->Unit(benchmark::kMillisecond);

void BM_SpectroLfpChartOf10000On1600x1000(benchmark::State& state) {
    const OutputFolder folder("_lfp");
    writeCmykReference(folder.file("reference.txt"), 10000);
    measureChart(state, MI_SPECTROLFP, folder.file("reference.txt"), 1600.0, 1000.0, folder);
}
BENCHMARK(BM_SpectroLfpChartOf10000On1600x1000)
    ->UseManualTime()
    ->Iterations(3)
    ->Unit(benchmark::kMillisecond);

}  // namespace
