// Peak memory and time of every layout's largest page, each made by a whole
// host process (bench_i1_host calling createChart of the shared library) and
// measured from outside: wall time as the manual time, peak resident memory
// (ru_maxrss of wait4) as the counter peak_rss_MiB. The goal is below 64 MiB
// for every row.
//
// Largest pages: the warm-up page at the PDF page limit of 5080 x 5080 mm
// (258,064 patches of 10 mm), the DTP41 and DTP45 at their greatest page of
// 300 x 110 mm, the i1 family at 280 x 420 mm; each in CMYK and with 8 spot
// channels, from 1,500 patches (CMYK sample) or 120 (8 spots, written here).
#include <benchmark/benchmark.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "OrvoChartInterface.h"

namespace {

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

// An id without a layout of its own: the warm-up page.
constexpr int kWarmUpId = 3;

struct PageCase {
    const char* name;
    int instrument;
    double widthMm;
    double heightMm;
};

const PageCase kPages[] = {
    {"WarmUp", kWarmUpId, 5080.0, 5080.0},       {"DTP41", MI_DTP41, 300.0, 110.0},
    {"DTP45", MI_DTP45, 300.0, 110.0},           {"EyeOne", MI_EYEONE, 280.0, 420.0},
    {"EyeOnePro2", MI_EYEONEPRO2, 280.0, 420.0}, {"EyeOneLowRes", MI_EYEONE_LOWRES, 280.0, 420.0},
};

struct ModeCase {
    const char* name;
    ColorMode mode;
};

const ModeCase kModes[] = {{"CMYK", CM_CMYK}, {"Spot8", CM_SPOT_8}};

class OutputFolder {
  public:
    OutputFolder()
        : path_(fs::temp_directory_path() / ("orvo_pagebench_" + std::to_string(getpid()))) {
        fs::create_directories(path_ / "out");
    }
    ~OutputFolder() {
        std::error_code ec;
        fs::remove_all(path_, ec);
    }
    OutputFolder(const OutputFolder&) = delete;
    OutputFolder& operator=(const OutputFolder&) = delete;

    std::string file(const std::string& name) const { return (path_ / name).string(); }
    void clearOutput() const {
        for (const auto& entry : fs::directory_iterator(path_ / "out")) {
            fs::remove(entry.path());
        }
    }

  private:
    fs::path path_;
};

const OutputFolder& folder() {
    static const OutputFolder instance;
    return instance;
}

// 120 patches of 8 spot inks in steps of 10 %.
std::string spot8Reference() {
    const std::string path = folder().file("spot8_120.txt");
    std::ofstream out(path);
    out << "CGATS.17\nNUMBER_OF_FIELDS 9\nBEGIN_DATA_FORMAT\nSAMPLE_ID";
    for (int c = 1; c <= 8; ++c) {
        out << " 8CLR_" << c;
    }
    out << "\nEND_DATA_FORMAT\nNUMBER_OF_SETS 120\nBEGIN_DATA\n";
    for (int row = 0; row < 120; ++row) {
        out << row + 1;
        for (int c = 0; c < 8; ++c) {
            out << ' ' << (row * (c + 3) + c * 7) % 11 * 10;
        }
        out << '\n';
    }
    out << "END_DATA\n";
    return path;
}

std::string referenceFor(ColorMode mode) {
    static const std::string spot8 = spot8Reference();
    return mode == CM_SPOT_8 ? spot8 : std::string(ORVOCHART_SAMPLES) + "/cmyk_1500.txt";
}

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
    const Clock::time_point start = Clock::now();
    const pid_t child = fork();
    if (child == 0) {
        if (freopen("/dev/null", "w", stdout) == nullptr ||
            freopen("/dev/null", "w", stderr) == nullptr) {
            _exit(127);
        }
        execv(argv[0], argv.data());
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

void largestPage(benchmark::State& state, const PageCase& page, const ModeCase& mode) {
    const std::vector<std::string> command = {
        ORVOCHART_HOST,           std::to_string(page.instrument), folder().file("out/chart.tif"),
        referenceFor(mode.mode),  std::to_string(page.widthMm),    std::to_string(page.heightMm),
        std::to_string(mode.mode)};
    double peak = 0.0;
    for (auto _ : state) {
        folder().clearOutput();
        const ProcessRun run = runHost(command);
        if (!run.ok) {
            state.SkipWithError("the host made no chart");
            break;
        }
        state.SetIterationTime(run.wallSeconds);
        peak = std::max(peak, run.peakResidentMiB);
    }
    state.counters["peak_rss_MiB"] = peak;
}

const bool kRegistered = [] {
    for (const PageCase& page : kPages) {
        for (const ModeCase& mode : kModes) {
            benchmark::RegisterBenchmark(
                (std::string("BM_LargestPage/") + page.name + "/" + mode.name).c_str(), largestPage,
                page, mode)
                ->UseManualTime()
                ->Iterations(3)
                ->Unit(benchmark::kMillisecond);
        }
    }
    return true;
}();

}  // namespace
