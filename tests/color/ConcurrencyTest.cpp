#include <gtest/gtest.h>

#include <atomic>
#include <cstring>
#include <thread>
#include <vector>

#include "ColorTestSupport.h"
#include "OrvoChartInterface.h"

namespace {

// Calls every exported colour function on a fixed set of inputs and records
// every number it returns, in call order.
class Recorder {
  public:
    void add(double v) { values_.push_back(v); }
    void add(const ColorTriplex& t) { add3(t.X, t.Y, t.Z); }
    void add(const LabRecord& l) { add3(l.L, l.a, l.b); }
    void add(const LCHRecord& l) { add3(l.L, l.C, l.h); }
    void add(const tagRGBRecord& r) { add3(r.R, r.G, r.B); }
    void add(const ColorQuadruple& q) {
        add3(q.c, q.m, q.y);
        add(q.k);
    }
    const std::vector<double>& values() const { return values_; }

  private:
    void add3(double a, double b, double c) {
        add(a);
        add(b);
        add(c);
    }
    std::vector<double> values_;
};

std::vector<double> runEverything() {
    Recorder rec;
    const double labs[][3] = {{50, 2.6772, -79.7751}, {50, 0, -82.7485}, {73, 25, -18},
                              {22.7, 20.1, -46.7},    {90, -2, 1.4},     {35, -44, 3.8}};
    for (const auto& p : labs) {
        for (const auto& q : labs) {
            rec.add(GetDeltaE_CIE76(p[0], p[1], p[2], q[0], q[1], q[2]));
            rec.add(GetDeltaE_CIE94(p[0], p[1], p[2], q[0], q[1], q[2]));
            rec.add(GetDeltaE_CIE2000(p[0], p[1], p[2], q[0], q[1], q[2]));
            rec.add(GetDeltaE_CIECMC(p[0], p[1], p[2], q[0], q[1], q[2]));
            rec.add(GetDeltaH(p[0], p[1], p[2], q[0], q[1], q[2]));
            rec.add(GetDeltaF(p[0], p[1], p[2], q[0], q[1], q[2]));
        }
        double X = 0, Y = 0, Z = 0, L = 0, a = 0, b = 0;
        for (unsigned wp = 0; wp < 5; ++wp) {
            GetXYZfromLAB(p[0], p[1], p[2], &X, &Y, &Z, wp);
            GetLABfromXYZ(X, Y, Z, &L, &a, &b, wp);
            rec.add(ColorTriplex{X, Y, Z});
            rec.add(LabRecord{L, a, b});
            GetLABfromXYZ_Ex(X, Y, Z, &L, &a, &b, wp, 1);
            rec.add(LabRecord{L, a, b});
            ColorTriplex rel{};
            rec.add(
                GetXYZrelative(ColorTriplex{X, Y, Z}, &rel, wp, wp % 2, ColorTriplex{90, 92, 80}));
            rec.add(rel);
            OrvoLong R = 0, G = 0, B = 0;
            GetRGBfromXYZ(X, Y, Z, &R, &G, &B, wp);
            rec.add(tagRGBRecord{R, G, B});
        }
        const LabRecord lab{p[0], p[1], p[2]};
        rec.add(GetLCHFromLab(lab));
        rec.add(GetLabFromLCH(GetLCHFromLab(lab)));
        rec.add(GetRGBFromLab(lab));
        rec.add(GetWeightedDeltaL(p[0], p[1], p[2] + 60));
        rec.add(GetWeightedDeltaCh(p[1], p[0]));
    }
    for (OrvoLong v = 0; v <= 255; v += 51) {
        const tagRGBRecord rgb{v, 255 - v, v / 2};
        rec.add(GetXYZFromRGB(rgb));
        rec.add(GetLABFromRGB(rgb));
        rec.add(AddGreyVeilToRGB(rgb));
        const double p = v / 2.55;
        rec.add(GetRGBFromCMYK(ColorQuadruple{p, 100 - p, p / 2, p / 3}));
        rec.add(GetRGBFromCMYKOG(tagCMYKOGRecord{p, 10, 20, 5, 100 - p, p / 2}));
        rec.add(GetRGBFromCMYKRGB(tagCMYKRGBRecord{p, 10, 20, 5, v % 100, 30, 60}));
    }
    SpectRecord s = colortest::flatSpectrum(0.0);
    for (int i = 0; i < 36; ++i) {
        s.value[i] = 0.05 + 0.9 * (i % 7) / 6.0;
    }
    for (unsigned illuminant = 0; illuminant <= 12; ++illuminant) {
        for (unsigned observer = 0; observer <= 9; ++observer) {
            ColorTriplex xyz{};
            rec.add(GetXYZfromSPECTRAL_Ex(s, &xyz, illuminant, observer));
            rec.add(xyz);
        }
    }
    rec.add(GetXYZfromSPECTRAL(s));
    for (OrvoLong type = 0; type <= 7; ++type) {
        rec.add(GetDesityfromSPECTRAL(type, s));
    }
    std::vector<ColorQuadruple> inks = {
        {0, 0, 0, 0},    {255, 0, 0, 0},   {0, 0, 0, 255},   {127.5, 0, 0, 0}, {0, 0, 0, 127.5},
        {0, 0, 0, 25.5}, {255, 0, 0, 255}, {0, 255, 0, 255}, {0, 0, 255, 255}, {255, 255, 255, 0}};
    std::vector<ColorTriplex> first(inks.size()), second(inks.size());
    std::vector<LabRecord> lab1(inks.size()), lab2(inks.size());
    for (std::size_t patch = 0; patch < inks.size(); ++patch) {
        const double i = static_cast<double>(patch);
        first[patch] = ColorTriplex{80.0 - 5.0 * i, 82.0 - 6.0 * i, 70.0 - 4.0 * i};
        second[patch] = ColorTriplex{79.0 - 5.0 * i, 82.5 - 6.0 * i, 70.0 - 4.5 * i};
        lab1[patch] = LabRecord{90.0 - 8.0 * i, 0, 0};
        lab2[patch] = LabRecord{91.0 - 8.5 * i, 0, 0};
    }
    const auto n = static_cast<unsigned>(inks.size());
    for (int i = 0; i < static_cast<int>(n); ++i) {
        rec.add(GetDeltaT(i, first.data(), second.data(), inks.data(), n));
    }
    std::vector<double> tones(n);
    rec.add(GetDeltaTArray(tones.data(), first.data(), second.data(), inks.data(), n));
    for (double t : tones) {
        rec.add(t);
    }
    rec.add(GetDeltaLFograMediaRelativeDarkAreas(static_cast<int>(n), inks.data(), lab1.data(),
                                                 lab2.data()));
    double limits[] = {1, 2, 3};
    rec.add(GetPSDResult(2.5, limits));
    unsigned short found[11] = {};
    for (int table = 0; table <= 6; ++table) {
        rec.add(GetGrayColorPatches(static_cast<int>(n), inks.data(), 11, table, found));
        rec.add(found[0]);
    }
    std::vector<double> deltaE(n), deltaH(n), deltaT(n);
    std::vector<tagRGBRecord> preview(n);
    tagMeasuredDataRecord record{};
    record.count = static_cast<int>(n);
    record.refXYZ = first.data();
    record.measXYZ = second.data();
    record.refLab = lab1.data();
    record.measLab = lab2.data();
    record.inks = inks.data();
    record.previewRGB = preview.data();
    record.formula = 4;
    record.deltaE = deltaE.data();
    record.deltaH = deltaH.data();
    record.deltaT = deltaT.data();
    rec.add(GetWholeSummary(&record));
    for (double v : record.result) {
        rec.add(v);
    }
    for (int v : record.patchIndex) {
        rec.add(v);
    }
    return rec.values();
}

bool sameBits(const std::vector<double>& a, const std::vector<double>& b) {
    return a.size() == b.size() && std::memcmp(a.data(), b.data(), a.size() * sizeof(double)) == 0;
}

// Eight threads start together (the spectral tables are built lazily, so the
// first calls race for them), then the same work runs on one thread.
TEST(Concurrency, EightThreadsGiveTheSingleThreadResults) {
    constexpr std::size_t kThreads = 8;
    std::vector<std::vector<double>> results(kThreads);
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
    const std::vector<double> single = runEverything();
    ASSERT_GT(single.size(), 1000u);
    for (std::size_t t = 0; t < kThreads; ++t) {
        EXPECT_TRUE(sameBits(results[t], single)) << "thread " << t;
    }
}

}  // namespace
