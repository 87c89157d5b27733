// Reading a large reference file: the chart library's reader against
// LittleCMS's IT8 parser on the same file of 10,000 sets with CMYK and 40
// spectral columns, in bytes of file per second.
#include <benchmark/benchmark.h>
#include <lcms2.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <random>
#include <string>

#include "base/ErrorCodes.h"
#include "cgats/CgatsReader.h"
#include "cgats/Numbers.h"
#include "cgats/PatchLoaders.h"

namespace {

constexpr int kSets = 10000;
constexpr int kSpectralColumns = 40;

// The benchmark file, written once into the temporary directory and removed
// when the program ends.
class ReferenceFile {
  public:
    ReferenceFile()
        : path_((std::filesystem::temp_directory_path() / "orvochart_reader_bench.txt").string()) {
        std::ofstream out(path_, std::ios::binary);
        out << "CGATS.17\nORIGINATOR \"orvochart reader benchmark\"\n"
            << "NUMBER_OF_FIELDS " << 6 + kSpectralColumns << "\nBEGIN_DATA_FORMAT\n"
            << "SAMPLE_ID SAMPLE_NAME CMYK_C CMYK_M CMYK_Y CMYK_K";
        for (int i = 0; i < kSpectralColumns; ++i) {
            out << " SPECTRAL_NM_" << 380 + 10 * i;
        }
        out << "\nEND_DATA_FORMAT\nNUMBER_OF_SETS " << kSets << "\nBEGIN_DATA\n";
        std::mt19937 random(1u);
        std::uniform_real_distribution<double> percent(0.0, 100.0);
        for (int set = 1; set <= kSets; ++set) {
            out << set << " A" << set;
            for (int i = 0; i < 4; ++i) {
                out << ' ' << GenChartLib::formatNumber(percent(random), 2);
            }
            for (int i = 0; i < kSpectralColumns; ++i) {
                out << ' ' << GenChartLib::formatNumber(percent(random), 4);
            }
            out << '\n';
        }
        out << "END_DATA\n";
        out.close();
        bytes_ = static_cast<std::int64_t>(std::filesystem::file_size(path_));
    }
    ~ReferenceFile() { std::remove(path_.c_str()); }
    ReferenceFile(const ReferenceFile&) = delete;
    ReferenceFile& operator=(const ReferenceFile&) = delete;

    const std::string& path() const { return path_; }
    std::int64_t bytes() const { return bytes_; }

  private:
    std::string path_;
    std::int64_t bytes_ = 0;
};

const ReferenceFile& referenceFile() {
    static const ReferenceFile file;
    return file;
}

void BM_CgatsReaderLoad(benchmark::State& state) {
    const ReferenceFile& file = referenceFile();
    for (auto _ : state) {
        GenChartLib::CgatsReader reader;
        try {
            reader.load(file.path());
        } catch (GenChartLib::eColorCtrlErrors code) {
            state.SkipWithError(GenChartLib::errorText(code));
            break;
        }
        benchmark::DoNotOptimize(reader.rows.data());
    }
    state.SetBytesProcessed(state.iterations() * file.bytes());
}
BENCHMARK(BM_CgatsReaderLoad)->Unit(benchmark::kMillisecond);

void BM_LittleCmsIt8Load(benchmark::State& state) {
    const ReferenceFile& file = referenceFile();
    for (auto _ : state) {
        cmsHANDLE it8 = cmsIT8LoadFromFile(nullptr, file.path().c_str());
        if (it8 == nullptr || cmsIT8GetPropertyDbl(it8, "NUMBER_OF_SETS") != kSets) {
            state.SkipWithError("LittleCMS did not read the file");
            break;
        }
        benchmark::DoNotOptimize(it8);
        cmsIT8Free(it8);
    }
    state.SetBytesProcessed(state.iterations() * file.bytes());
}
BENCHMARK(BM_LittleCmsIt8Load)->Unit(benchmark::kMillisecond);

// Load plus conversion into CMYK patches, as a chart job does it.
void BM_CmykPatchesFromFile(benchmark::State& state) {
    const ReferenceFile& file = referenceFile();
    std::vector<GenChartLib::WriteCMYK::PixelColor> patches;
    for (auto _ : state) {
        GenChartLib::CgatsReader reader;
        GenChartLib::loadCmykPatches(reader, file.path(), patches);
        benchmark::DoNotOptimize(patches.data());
    }
    state.SetBytesProcessed(state.iterations() * file.bytes());
}
BENCHMARK(BM_CmykPatchesFromFile)->Unit(benchmark::kMillisecond);

}  // namespace
