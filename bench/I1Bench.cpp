// An i1Pro chart of 1,500 CMYK patches (samples/cmyk_1500.txt) on an A4
// sheet, written as TIFF pages at 254 dpi, against a peer: ArgyllCMS's
// printtarg making its own i1Pro chart of 1,500 patches on A4 as 8-bit TIFF
// at 254 dpi ("printtarg -ii1 -t254 -pA4 peer", its 1,500 patches made once
// beforehand by "targen -d4 -q -f1500 peer", which is not timed).
//
// Both are measured as whole processes from outside: wall time (the
// benchmark's manual time) and peak resident memory (ru_maxrss of wait4),
// our side through bench_i1_host, a host that calls createChart of the
// shared library once. The in-process benchmark times createChart alone.
#include <benchmark/benchmark.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "OrvoChartInterface.h"

namespace {

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

const std::string kReference = std::string(ORVOCHART_SAMPLES) + "/cmyk_1500.txt";
constexpr double kA4WidthMm = 210.0;
constexpr double kA4HeightMm = 297.0;

class OutputFolder {
  public:
    explicit OutputFolder(const std::string& name)
        : path_(fs::temp_directory_path() / ("orvo_i1bench_" + std::to_string(getpid()) + name)) {
        fs::create_directories(path_);
    }
    ~OutputFolder() {
        std::error_code ec;
        fs::remove_all(path_, ec);
    }
    OutputFolder(const OutputFolder&) = delete;
    OutputFolder& operator=(const OutputFolder&) = delete;

    std::string file(const std::string& name) const { return (path_ / name).string(); }
    void clear() const {
        for (const auto& entry : fs::directory_iterator(path_)) {
            fs::remove(entry.path());
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

// Runs a program to its end with its output thrown away.
ProcessRun runProcess(const std::vector<std::string>& command, const std::string& folder) {
    std::vector<char*> argv;
    for (const std::string& arg : command) {
        argv.push_back(const_cast<char*>(arg.c_str()));
    }
    argv.push_back(nullptr);
    ProcessRun run;
    const Clock::time_point start = Clock::now();
    const pid_t child = fork();
    if (child == 0) {
        if (chdir(folder.c_str()) != 0 || freopen("/dev/null", "w", stdout) == nullptr ||
            freopen("/dev/null", "w", stderr) == nullptr) {
            _exit(127);
        }
        execvp(argv[0], argv.data());
        _exit(127);
    }
    if (child < 0) {
        return run;
    }
    int status = 0;
    rusage usage{};
    if (wait4(child, &status, 0, &usage) != child) {
        return run;
    }
    run.wallSeconds = std::chrono::duration<double>(Clock::now() - start).count();
    run.ok = WIFEXITED(status) && WEXITSTATUS(status) == 0;
    run.peakResidentMiB = static_cast<double>(usage.ru_maxrss) / 1024.0;  // kB on Linux
    return run;
}

void reportProcess(benchmark::State& state, const ProcessRun& run, double& peak) {
    state.SetIterationTime(run.wallSeconds);
    peak = std::max(peak, run.peakResidentMiB);
}

// createChart of the library linked in, as the host's call costs it.
void BM_I1ProChartInProcess(benchmark::State& state) {
    const OutputFolder folder("_inprocess");
    const std::string out = folder.file("chart.tif");
    for (auto _ : state) {
        state.PauseTiming();
        folder.clear();
        state.ResumeTiming();
        int strips = 0;
        int columns = 0;
        const int made = createChart(MI_EYEONEPRO2, out.c_str(), kReference.c_str(), kA4WidthMm,
                                     kA4HeightMm, 0, &strips, &columns, nullptr, CM_CMYK);
        if (made != 1) {
            state.SkipWithError("createChart made no chart");
            break;
        }
        benchmark::DoNotOptimize(strips);
    }
}
BENCHMARK(BM_I1ProChartInProcess)->Unit(benchmark::kMillisecond);

// The whole process of a host making the chart through the shared library.
void BM_I1ProChartProcess(benchmark::State& state) {
    const OutputFolder folder("_process");
    const std::vector<std::string> command = {
        ORVOCHART_I1_HOST,          std::to_string(MI_EYEONEPRO2),
        folder.file("chart.tif"),   kReference,
        std::to_string(kA4WidthMm), std::to_string(kA4HeightMm),
        std::to_string(CM_CMYK)};
    double peak = 0.0;
    for (auto _ : state) {
        folder.clear();
        const ProcessRun run = runProcess(command, folder.file(""));
        if (!run.ok) {
            state.SkipWithError("bench_i1_host made no chart");
            break;
        }
        reportProcess(state, run, peak);
    }
    state.counters["peak_rss_MiB"] = peak;
}
BENCHMARK(BM_I1ProChartProcess)->UseManualTime()->Iterations(5)->Unit(benchmark::kMillisecond);

// The peer: printtarg's i1Pro chart of the same patch count and resolution.
void BM_PrinttargI1ProProcess(benchmark::State& state) {
    const OutputFolder folder("_peer");
    const ProcessRun made = runProcess({"targen", "-d4", "-q", "-f1500", "peer"}, folder.file(""));
    if (!made.ok) {
        state.SkipWithError("targen (package argyll) is not installed");
        for (auto _ : state) {
        }
        return;
    }
    const std::vector<std::string> command = {"printtarg", "-ii1", "-t254", "-pA4", "peer"};
    double peak = 0.0;
    for (auto _ : state) {
        const ProcessRun run = runProcess(command, folder.file(""));
        if (!run.ok) {
            state.SkipWithError("printtarg failed");
            break;
        }
        reportProcess(state, run, peak);
    }
    state.counters["peak_rss_MiB"] = peak;
}
BENCHMARK(BM_PrinttargI1ProProcess)->UseManualTime()->Iterations(5)->Unit(benchmark::kMillisecond);

}  // namespace
