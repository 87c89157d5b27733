#include <gtest/gtest.h>

#include <atomic>
#include <string>
#include <thread>
#include <type_traits>
#include <vector>

#include "ColorTestSupport.h"
#include "OrvoChartInterface.h"

namespace {

// Appends the bytes of every value the colour functions return, in call
// order. The records put here are plain doubles and ints without padding.
template <class... Values>
void put(std::string& bytes, const Values&... values) {
    static_assert((std::is_trivially_copyable_v<Values> && ...));
    (bytes.append(reinterpret_cast<const char*>(&values), sizeof values), ...);
}

// Calls every exported colour function on a fixed set of inputs.
std::string runEverything() {
    std::string rec;
    const double labs[][3] = {{50, 2.6772, -79.7751}, {50, 0, -82.7485}, {73, 25, -18},
                              {22.7, 20.1, -46.7},    {90, -2, 1.4},     {35, -44, 3.8}};
    for (const auto& p : labs) {
        for (const auto& q : labs) {
            for (auto* f : {GetDeltaE_CIE76, GetDeltaE_CIE94, GetDeltaE_CIE2000, GetDeltaE_CIECMC,
                            GetDeltaH, GetDeltaF}) {
                put(rec, f(p[0], p[1], p[2], q[0], q[1], q[2]));
            }
        }
        for (unsigned wp = 0; wp < 5; ++wp) {
            ColorTriplex xyz{}, rel{};
            LabRecord lab{}, lab10{};
            OrvoLong rgb[3] = {};
            put(rec, GetXYZfromLAB(p[0], p[1], p[2], &xyz.X, &xyz.Y, &xyz.Z, wp));
            put(rec, GetLABfromXYZ(xyz.X, xyz.Y, xyz.Z, &lab.L, &lab.a, &lab.b, wp),
                GetLABfromXYZ_Ex(xyz.X, xyz.Y, xyz.Z, &lab10.L, &lab10.a, &lab10.b, wp, 1),
                GetXYZrelative(xyz, &rel, wp, wp % 2, ColorTriplex{90, 92, 80}),
                GetRGBfromXYZ(xyz.X, xyz.Y, xyz.Z, &rgb[0], &rgb[1], &rgb[2], wp), xyz, lab, lab10,
                rel, rgb);
        }
        const LabRecord lab{p[0], p[1], p[2]};
        put(rec, GetLCHFromLab(lab), GetLabFromLCH(GetLCHFromLab(lab)), GetRGBFromLab(lab),
            GetWeightedDeltaL(p[0], p[1], p[2] + 60), GetWeightedDeltaCh(p[1], p[0]));
    }
    for (OrvoLong v = 0; v <= 255; v += 51) {
        const tagRGBRecord rgb{v, 255 - v, v / 2};
        const double p = v / 2.55;
        put(rec, GetXYZFromRGB(rgb), GetLABFromRGB(rgb), AddGreyVeilToRGB(rgb),
            GetRGBFromCMYK(ColorQuadruple{p, 100 - p, p / 2, p / 3}),
            GetRGBFromCMYKOG(tagCMYKOGRecord{p, 10, 20, 5, 100 - p, p / 2}),
            GetRGBFromCMYKRGB(tagCMYKRGBRecord{p, 10, 20, 5, v % 100, 30, 60}));
    }
    SpectRecord s = colortest::flatSpectrum(0.0);
    for (int i = 0; i < 36; ++i) {
        s.value[i] = 0.05 + 0.9 * (i % 7) / 6.0;
    }
    for (unsigned illuminant = 0; illuminant <= 12; ++illuminant) {
        for (unsigned observer = 0; observer <= 9; ++observer) {
            ColorTriplex xyz{};
            put(rec, GetXYZfromSPECTRAL_Ex(s, &xyz, illuminant, observer), xyz);
        }
    }
    put(rec, GetXYZfromSPECTRAL(s));
    for (OrvoLong type = 0; type <= 7; ++type) {
        put(rec, GetDesityfromSPECTRAL(type, s));
    }
    // A patch set measured as spectra: the summary forms XYZ and Lab, which
    // then feed the tone-value, dark-area and patch-search functions.
    constexpr int n = 10;
    ColorQuadruple inks[n] = {
        {0, 0, 0, 0},    {255, 0, 0, 0},   {0, 0, 0, 255},   {127.5, 0, 0, 0}, {0, 0, 0, 127.5},
        {0, 0, 0, 25.5}, {255, 0, 0, 255}, {0, 255, 0, 255}, {0, 0, 255, 255}, {255, 255, 255, 0}};
    SpectRecord refSpectra[n], measSpectra[n];
    for (int i = 0; i < n; ++i) {
        refSpectra[i] = colortest::flatSpectrum(0.9 - 0.08 * i);
        measSpectra[i] = colortest::flatSpectrum(0.88 - 0.085 * i);
    }
    ColorTriplex refXYZ[n] = {}, measXYZ[n] = {};
    LabRecord refLab[n] = {}, measLab[n] = {};
    double deltaE[n] = {}, deltaH[n] = {}, deltaT[n] = {}, tones[n] = {}, limits[] = {1, 2, 3};
    tagRGBRecord preview[n] = {};
    // count, reference spectra, XYZ, Lab, measured spectra, XYZ, Lab, inks,
    // previews, limits, formula, white point, the three result arrays.
    tagMeasuredDataRecord record{n,       refSpectra, refXYZ,  refLab, measSpectra, measXYZ,
                                 measLab, inks,       preview, {},     4,           0,
                                 deltaE,  deltaH,     deltaT,  {},     {},          {}};
    put(rec, GetWholeSummary(&record), record.result, record.patchIndex, record.pass, refXYZ,
        measXYZ, refLab, measLab, deltaE, deltaH, deltaT, preview);
    for (int patch = 0; patch < n; ++patch) {
        put(rec, GetDeltaT(patch, refXYZ, measXYZ, inks, n));
    }
    put(rec, GetDeltaTArray(tones, refXYZ, measXYZ, inks, n), tones,
        GetDeltaLFograMediaRelativeDarkAreas(n, inks, refLab, measLab), GetPSDResult(2.5, limits));
    unsigned short found[11] = {};
    for (int table = 0; table <= 6; ++table) {
        put(rec, GetGrayColorPatches(n, inks, 11, table, found), found);
    }
    return rec;
}

// Eight threads start together (the spectral tables are built lazily, so the
// first calls race for them), then the same work runs on one thread.
TEST(Concurrency, EightThreadsGiveTheSingleThreadResults) {
    constexpr std::size_t kThreads = 8;
    std::vector<std::string> results(kThreads);
    std::atomic<std::size_t> ready{0};
    std::vector<std::thread> threads;
    for (std::size_t t = 0; t < kThreads; ++t) {
        threads.emplace_back([&, t] {
            ready.fetch_add(1);
            while (ready.load() < kThreads) {
                std::this_thread::yield();
            }
            for (int round = 0; round < 3; ++round) {
                results[t] = runEverything();
            }
        });
    }
    for (std::thread& t : threads) {
        t.join();
    }
    const std::string single = runEverything();
    ASSERT_GT(single.size(), 8000u);
    for (std::size_t t = 0; t < kThreads; ++t) {
        EXPECT_TRUE(results[t] == single) << "thread " << t;
    }
}

}  // namespace
