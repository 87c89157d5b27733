#include <gtest/gtest.h>

#include <future>
#include <vector>

#include "ColorTestSupport.h"
#include "OrvoChartInterface.h"

namespace {

// XYZ for each illuminant and observer number and the densities of each
// type: their tables are built lazily on first use.
std::vector<double> spectralResults() {
    SpectRecord s = colortest::flatSpectrum(0.0);
    for (int i = 0; i < 36; ++i) {
        s.value[i] = 0.05 + 0.9 * (i % 7) / 6.0;
    }
    std::vector<double> out;
    for (unsigned illuminant = 0; illuminant <= 12; ++illuminant) {
        for (unsigned observer = 0; observer <= 9; ++observer) {
            ColorTriplex xyz{};
            out.push_back(GetXYZfromSPECTRAL_Ex(s, &xyz, illuminant, observer));
            out.insert(out.end(), {xyz.X, xyz.Y, xyz.Z});
        }
    }
    for (OrvoLong type = 0; type <= 7; ++type) {
        const ColorQuadruple d = GetDesityfromSPECTRAL(type, s);
        out.insert(out.end(), {d.c, d.m, d.y, d.k});
    }
    return out;
}

// Eight threads race for the tables; each must get exactly what one thread
// gets once they are built.
TEST(Concurrency, EightThreadsGiveTheSingleThreadResults) {
    std::vector<std::future<std::vector<double>>> runs;
    for (int thread = 0; thread < 8; ++thread) {
        runs.push_back(std::async(std::launch::async, spectralResults));
    }
    for (auto& run : runs) {
        EXPECT_TRUE(run.get() == spectralResults());
    }
}

}  // namespace
