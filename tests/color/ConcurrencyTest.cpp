#include <gtest/gtest.h>

#include <atomic>
#include <string>
#include <thread>
#include <vector>

#include "ColorTestSupport.h"
#include "OrvoChartInterface.h"

namespace {

// The bytes of every spectral result: XYZ for each illuminant and observer
// number and the densities of each type, whose tables are built lazily on
// first use.
std::string spectralResults() {
    std::string bytes;
    const auto put = [&bytes](const auto& v) {
        bytes.append(reinterpret_cast<const char*>(&v), sizeof v);
    };
    SpectRecord s = colortest::flatSpectrum(0.0);
    for (int i = 0; i < 36; ++i) {
        s.value[i] = 0.05 + 0.9 * (i % 7) / 6.0;
    }
    for (unsigned illuminant = 0; illuminant <= 12; ++illuminant) {
        for (unsigned observer = 0; observer <= 9; ++observer) {
            ColorTriplex xyz{};
            put(GetXYZfromSPECTRAL_Ex(s, &xyz, illuminant, observer));
            put(xyz);
        }
    }
    for (OrvoLong type = 0; type <= 7; ++type) {
        put(GetDesityfromSPECTRAL(type, s));
    }
    return bytes;
}

// Eight threads start together and race for the tables; each must get
// exactly what one thread alone gets afterwards.
TEST(Concurrency, EightThreadsGiveTheSingleThreadResults) {
    std::vector<std::string> results(8);
    std::atomic<std::size_t> ready{0};
    std::vector<std::thread> threads;
    for (std::size_t t = 0; t < results.size(); ++t) {
        threads.emplace_back([&, t] {
            for (++ready; ready < results.size();) {
                std::this_thread::yield();
            }
            results[t] = spectralResults();
        });
    }
    for (std::thread& t : threads) {
        t.join();
    }
    const std::string single = spectralResults();
    for (const std::string& result : results) {
        EXPECT_TRUE(result == single);
    }
}

}  // namespace
