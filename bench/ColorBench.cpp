// Calls per second of the colour differences, side by side with LittleCMS on
// the same Lab pairs, and of the spectral integration against one plain pass
// over a spectrum.
#include <benchmark/benchmark.h>
#include <lcms2.h>

#include <cstdint>
#include <vector>

#include "OrvoChartInterface.h"

namespace {

constexpr std::size_t kPairs = 4096;

// Lab pairs spread over the gamut, with small and large differences, from a
// fixed linear congruential sequence so every run sees the same inputs.
struct LabPairs {
    std::vector<cmsCIELab> first;
    std::vector<cmsCIELab> second;

    LabPairs() {
        std::uint32_t state = 12345u;
        const auto next = [&state](double lo, double hi) {
            state = state * 1664525u + 1013904223u;
            return lo + (hi - lo) * (state >> 8) / 16777216.0;
        };
        for (std::size_t i = 0; i < kPairs; ++i) {
            const cmsCIELab a{next(5, 95), next(-90, 90), next(-90, 90)};
            const double spread = i % 2 == 0 ? 3.0 : 30.0;
            first.push_back(a);
            second.push_back(cmsCIELab{a.L + next(-spread, spread), a.a + next(-spread, spread),
                                       a.b + next(-spread, spread)});
        }
    }
};

const LabPairs& pairs() {
    static const LabPairs instance;
    return instance;
}

template <typename Difference>
void runPairs(benchmark::State& state, Difference difference) {
    const LabPairs& p = pairs();
    std::size_t i = 0;
    for (auto _ : state) {
        benchmark::DoNotOptimize(difference(p.first[i], p.second[i]));
        i = (i + 1) % kPairs;
    }
    state.SetItemsProcessed(static_cast<std::int64_t>(state.iterations()));
}

void BM_DeltaE2000(benchmark::State& state) {
    runPairs(state, [](const cmsCIELab& a, const cmsCIELab& b) {
        return GetDeltaE_CIE2000(a.L, a.a, a.b, b.L, b.a, b.b);
    });
}
void BM_DeltaE2000_LittleCMS(benchmark::State& state) {
    runPairs(state, [](const cmsCIELab& a, const cmsCIELab& b) {
        return cmsCIE2000DeltaE(&a, &b, 1, 1, 1);
    });
}
void BM_DeltaE94(benchmark::State& state) {
    runPairs(state, [](const cmsCIELab& a, const cmsCIELab& b) {
        return GetDeltaE_CIE94(a.L, a.a, a.b, b.L, b.a, b.b);
    });
}
// LittleCMS weights CIE94 with the textile constants and the mean chroma;
// the work per call is the same.
void BM_DeltaE94_LittleCMS(benchmark::State& state) {
    runPairs(state, [](const cmsCIELab& a, const cmsCIELab& b) { return cmsCIE94DeltaE(&a, &b); });
}
void BM_DeltaECMC(benchmark::State& state) {
    runPairs(state, [](const cmsCIELab& a, const cmsCIELab& b) {
        return GetDeltaE_CIECMC(a.L, a.a, a.b, b.L, b.a, b.b);
    });
}
void BM_DeltaECMC_LittleCMS(benchmark::State& state) {
    runPairs(state,
             [](const cmsCIELab& a, const cmsCIELab& b) { return cmsCMCdeltaE(&a, &b, 1, 1); });
}

// A 36-band reflectance spectrum, 380..730 nm at 10 nm.
SpectRecord sampleSpectrum() {
    SpectRecord s{};
    for (int i = 0; i < 36; ++i) {
        s.value[i] = 0.05 + 0.9 * ((i * 7) % 36) / 35.0;
    }
    s.start = 380;
    s.step = 10;
    s.count = 36;
    return s;
}

void BM_SpectralToXyz_D50_2Degree(benchmark::State& state) {
    SpectRecord s = sampleSpectrum();
    ColorTriplex xyz{};
    for (auto _ : state) {
        benchmark::DoNotOptimize(&s);
        benchmark::DoNotOptimize(GetXYZfromSPECTRAL_Ex(s, &xyz, 5, 3));
        benchmark::ClobberMemory();
    }
    state.SetItemsProcessed(static_cast<std::int64_t>(state.iterations()));
}

// The yardstick: one pass of three weighted sums over the 471 one-nanometre
// bands the integration covers, with the reflectance already interpolated.
void BM_OnePassOver471Bands(benchmark::State& state) {
    std::vector<double> r(471), wx(471), wy(471), wz(471);
    for (std::size_t i = 0; i < r.size(); ++i) {
        r[i] = 0.5 + 0.001 * static_cast<double>(i % 17);
        wx[i] = 0.3;
        wy[i] = 0.4;
        wz[i] = 0.2;
    }
    for (auto _ : state) {
        double x = 0.0, y = 0.0, z = 0.0;
        for (std::size_t i = 0; i < r.size(); ++i) {
            x += wx[i] * r[i];
            y += wy[i] * r[i];
            z += wz[i] * r[i];
        }
        benchmark::DoNotOptimize(x);
        benchmark::DoNotOptimize(y);
        benchmark::DoNotOptimize(z);
        benchmark::ClobberMemory();
    }
    state.SetItemsProcessed(static_cast<std::int64_t>(state.iterations()));
}

}  // namespace

BENCHMARK(BM_DeltaE2000);
BENCHMARK(BM_DeltaE2000_LittleCMS);
BENCHMARK(BM_DeltaE94);
BENCHMARK(BM_DeltaE94_LittleCMS);
BENCHMARK(BM_DeltaECMC);
BENCHMARK(BM_DeltaECMC_LittleCMS);
BENCHMARK(BM_SpectralToXyz_D50_2Degree);
BENCHMARK(BM_OnePassOver471Bands);
