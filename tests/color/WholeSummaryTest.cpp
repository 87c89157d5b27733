#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "ColorTestSupport.h"
#include "OrvoChartInterface.h"

namespace {

// A control wedge: paper, the four solids, the three overprints, a cyan
// tint, a CMY grey of the current print standards and a black tint. The
// measured XYZ differ from the reference by known amounts.
struct Wedge {
    std::vector<ColorQuadruple> inks;
    std::vector<ColorTriplex> refXYZ;
    std::vector<ColorTriplex> measXYZ;
    std::vector<LabRecord> refLab;
    std::vector<LabRecord> measLab;
    std::vector<double> deltaE;
    std::vector<double> deltaH;
    std::vector<double> deltaT;
    std::vector<tagRGBRecord> preview;
    tagMeasuredDataRecord record{};

    void add(ColorQuadruple ink, ColorTriplex ref, ColorTriplex meas) {
        inks.push_back(ink);
        refXYZ.push_back(ref);
        measXYZ.push_back(meas);
    }

    tagMeasuredDataRecord& bind() {
        const std::size_t n = inks.size();
        refLab.assign(n, LabRecord{});
        measLab.assign(n, LabRecord{});
        deltaE.assign(n, 0.0);
        deltaH.assign(n, 0.0);
        deltaT.assign(n, 0.0);
        preview.assign(n, tagRGBRecord{});
        record.count = static_cast<int>(n);
        record.refXYZ = refXYZ.data();
        record.measXYZ = measXYZ.data();
        record.refLab = refLab.data();
        record.measLab = measLab.data();
        record.inks = inks.data();
        record.previewRGB = preview.data();
        record.deltaE = deltaE.data();
        record.deltaH = deltaH.data();
        record.deltaT = deltaT.data();
        record.formula = 1;
        record.whitePoint = 0;
        for (double& limit : record.limits) {
            limit = 3.0;
        }
        return record;
    }
};

constexpr double k = 2.55;

Wedge makeWedge() {
    Wedge w;
    w.add({0, 0, 0, 0}, {82, 85, 70}, {82, 85, 70});                 // 0 paper
    w.add({255, 0, 0, 0}, {15, 22, 50}, {16, 22, 50});               // 1 cyan
    w.add({0, 255, 0, 0}, {32, 16, 15}, {32, 16, 15});               // 2 magenta
    w.add({0, 0, 255, 0}, {70, 75, 8}, {70, 75, 9});                 // 3 yellow
    w.add({0, 0, 0, 255}, {3, 3, 3}, {3.2, 3.2, 3.2});               // 4 black
    w.add({0, 255, 255, 0}, {25, 14, 3}, {25, 14, 3});               // 5 red
    w.add({255, 0, 255, 0}, {8, 15, 6}, {8, 15, 6});                 // 6 green
    w.add({255, 255, 0, 0}, {5, 4, 12}, {5, 4, 12});                 // 7 blue
    w.add({50 * k, 0, 0, 0}, {45, 50, 60}, {42, 50, 60});            // 8 cyan 50 %
    w.add({50 * k, 40 * k, 40 * k, 0}, {20, 20, 17}, {20, 21, 17});  // 9 grey
    w.add({0, 0, 0, 50 * k}, {20, 21, 17}, {20, 21, 17});            // 10 black 50 %
    return w;
}

LabRecord labOf(const ColorTriplex& xyz) {
    LabRecord lab{};
    GetLABfromXYZ(xyz.X, xyz.Y, xyz.Z, &lab.L, &lab.a, &lab.b, 0);
    return lab;
}

double deltaE76(const ColorTriplex& ref, const ColorTriplex& meas) {
    const LabRecord r = labOf(ref);
    const LabRecord m = labOf(meas);
    return std::sqrt((r.L - m.L) * (r.L - m.L) + (r.a - m.a) * (r.a - m.a) +
                     (r.b - m.b) * (r.b - m.b));
}

TEST(WholeSummary, PerPatchDifferencesAndLab) {
    Wedge w = makeWedge();
    ASSERT_EQ(GetWholeSummary(&w.bind()), 0);
    for (std::size_t i = 0; i < w.inks.size(); ++i) {
        EXPECT_NEAR(w.deltaE[i], deltaE76(w.refXYZ[i], w.measXYZ[i]), 1e-12) << i;
        EXPECT_NEAR(w.measLab[i].L, labOf(w.measXYZ[i]).L, 1e-12) << i;
    }
    EXPECT_EQ(w.deltaE[0], 0.0);
    EXPECT_GT(w.deltaE[1], 0.5);
    // Tone values from XYZ: the cyan tint reads X. Reference (82 - 45) /
    // (82 - 15) = 55.22 %, measured (82 - 42) / (82 - 16) = 60.61 %.
    EXPECT_NEAR(w.deltaT[8], 40.0 / 66.0 * 100.0 - 37.0 / 67.0 * 100.0, 1e-9);
    // Preview colours: inverted process inks, grey from black.
    EXPECT_EQ(w.preview[1].R, 0);
    EXPECT_EQ(w.preview[1].G, 255);
    EXPECT_EQ(w.preview[10].R, 128);
    EXPECT_EQ(w.preview[10].B, 128);
}

TEST(WholeSummary, ClassMaximaAverageAndTheirPatches) {
    Wedge w = makeWedge();
    tagMeasuredDataRecord& r = w.bind();
    ASSERT_EQ(GetWholeSummary(&r), 0);
    EXPECT_DOUBLE_EQ(r.result[MS_MAX_DE_CYAN], w.deltaE[1]);
    EXPECT_EQ(r.patchIndex[MS_MAX_DE_CYAN], 1);
    EXPECT_DOUBLE_EQ(r.result[MS_MAX_DE_BLACK], w.deltaE[4]);
    EXPECT_EQ(r.patchIndex[MS_MAX_DE_BLACK], 4);
    EXPECT_EQ(r.result[MS_MAX_DE_PAPER], 0.0);
    EXPECT_EQ(r.patchIndex[MS_MAX_DE_RED], 5);
    EXPECT_EQ(r.patchIndex[MS_MAX_DE_BLUE], 7);
    EXPECT_DOUBLE_EQ(r.result[MS_MAX_DH_YELLOW], w.deltaH[3]);
    EXPECT_EQ(r.result[MS_MAX_DH_PAPER], -1.0);
    double sum = 0.0;
    double largest = 0.0;
    int largestAt = -1;
    for (std::size_t i = 0; i < w.deltaE.size(); ++i) {
        sum += w.deltaE[i];
        if (w.deltaE[i] > largest) {
            largest = w.deltaE[i];
            largestAt = static_cast<int>(i);
        }
    }
    EXPECT_NEAR(r.result[MS_AVERAGE_DE], sum / 11.0, 1e-12);
    EXPECT_EQ(r.result[MS_MAX_DE], largest);
    EXPECT_EQ(r.patchIndex[MS_MAX_DE], largestAt);
    EXPECT_NEAR(r.result[MS_MAX_DT_CYAN], std::fabs(w.deltaT[8]), 1e-12);
    EXPECT_EQ(r.patchIndex[MS_MAX_DT_CYAN], 8);
    // The black tint is unchanged but its solid is lighter (Y 3 -> 3.2).
    EXPECT_NEAR(r.result[MS_MAX_DT_BLACK],
                std::fabs((85.0 - 21.0) / (85.0 - 3.2) - (85.0 - 21.0) / (85.0 - 3.0)) * 100.0,
                1e-9);
    // Grey balance: the one grey patch, found with the current table.
    EXPECT_EQ(r.patchIndex[MS_GREY_PATCHES], 9);
    EXPECT_EQ(r.patchIndex[MS_GREY_PATCHES + 1], -1);
    EXPECT_DOUBLE_EQ(r.result[MS_GREY_AVERAGE_DH], w.deltaH[9]);
    // Only one of the five dark make-ups is in the wedge.
    EXPECT_EQ(r.result[MS_DARK_AREAS_DL], -1.0);
    for (int item = 25; item < MS_RESULT_ITEMS; ++item) {
        EXPECT_EQ(r.result[item], -1.0) << item;
    }
}

TEST(WholeSummary, PassFlagsCompareRoundedResultsWithLimits) {
    Wedge w = makeWedge();
    tagMeasuredDataRecord& r = w.bind();
    ASSERT_EQ(GetWholeSummary(&r), 0);
    // Limits just at and just below the rounded cyan maximum.
    const double cyan = std::floor(100.0 * r.result[MS_MAX_DE_CYAN] + 0.5) / 100.0;
    r.limits[MS_MAX_DE_CYAN] = cyan;
    r.limits[MS_MAX_DE_MAGENTA] = -0.5;
    r.limits[MS_MAX_DE_BLACK] = cyan - 0.01;
    ASSERT_EQ(GetWholeSummary(&r), 0);
    EXPECT_EQ(r.pass[MS_MAX_DE_CYAN], 1);
    EXPECT_EQ(r.pass[MS_MAX_DE_MAGENTA], 0);  // 0 is above -0.5
    EXPECT_EQ(r.pass[MS_MAX_DE_PAPER], 1);
    EXPECT_EQ(r.pass[MS_MAX_DH_PAPER], 0);   // not evaluated
    EXPECT_EQ(r.pass[MS_DARK_AREAS_DL], 0);  // not evaluated
    EXPECT_EQ(r.pass[27], 0);                // reserved
    EXPECT_EQ(r.pass[MS_MAX_DE_BLACK], r.result[MS_MAX_DE_BLACK] < cyan - 0.005 ? 1 : 0);
}

TEST(WholeSummary, FormulaNumberSelectsTheDifference) {
    Wedge w = makeWedge();
    tagMeasuredDataRecord& r = w.bind();
    const struct {
        int formula;
        double (*f)(double, double, double, double, double, double);
    } formulas[] = {
        {1, GetDeltaE_CIE76}, {2, GetDeltaE_CIECMC}, {3, GetDeltaE_CIE94}, {4, GetDeltaE_CIE2000}};
    for (const auto& f : formulas) {
        r.formula = f.formula;
        ASSERT_EQ(GetWholeSummary(&r), 0);
        const LabRecord ref = labOf(w.refXYZ[3]);
        const LabRecord meas = labOf(w.measXYZ[3]);
        EXPECT_NEAR(w.deltaE[3], f.f(ref.L, ref.a, ref.b, meas.L, meas.a, meas.b), 1e-12)
            << f.formula;
    }
    // An unknown formula leaves the host's values and evaluates them.
    r.formula = 0;
    for (double& e : w.deltaE) {
        e = 0.5;
    }
    w.deltaE[6] = 4.0;
    ASSERT_EQ(GetWholeSummary(&r), 0);
    EXPECT_EQ(w.deltaE[6], 4.0);
    EXPECT_EQ(r.result[MS_MAX_DE_GREEN], 4.0);
    EXPECT_EQ(r.patchIndex[MS_MAX_DE], 6);
}

TEST(WholeSummary, SpectraReplaceTheXyz) {
    Wedge w = makeWedge();
    std::vector<SpectRecord> spectra(w.inks.size(), colortest::flatSpectrum(0.5));
    tagMeasuredDataRecord& r = w.bind();
    r.measSpectra = spectra.data();
    ASSERT_EQ(GetWholeSummary(&r), 0);
    const ColorTriplex half = GetXYZfromSPECTRAL(colortest::flatSpectrum(0.5));
    EXPECT_DOUBLE_EQ(w.measXYZ[4].Y, half.Y);
    EXPECT_DOUBLE_EQ(w.measXYZ[7].X, half.X);
    EXPECT_NEAR(w.measLab[7].L, labOf(half).L, 1e-12);
}

TEST(WholeSummary, FiveDarkPatchesGiveTheDarkAreaDifference) {
    Wedge w = makeWedge();
    w.add({255, 0, 0, 255}, {2, 2, 2}, {2.5, 2.5, 2.5});
    w.add({0, 255, 0, 255}, {2, 2, 2}, {2, 2, 2});
    w.add({0, 0, 255, 255}, {2, 2, 2}, {2, 2, 2});
    w.add({255, 255, 255, 0}, {3, 3, 3}, {3, 3, 3});
    tagMeasuredDataRecord& r = w.bind();
    ASSERT_EQ(GetWholeSummary(&r), 0);
    // Darkest reference L: Y = 2 in all three; measured: black at Y = 3.2 is
    // lighter, so the measured minimum is also Y = 2.
    EXPECT_NEAR(r.result[MS_DARK_AREAS_DL], 0.0, 1e-12);
    w.measXYZ[12] = {2.5, 2.5, 2.5};
    w.measXYZ[13] = {2.5, 2.5, 2.5};
    ASSERT_EQ(GetWholeSummary(&r), 0);
    EXPECT_NEAR(r.result[MS_DARK_AREAS_DL], labOf({2.5, 2.5, 2.5}).L - labOf({2, 2, 2}).L, 1e-9);
}

TEST(WholeSummary, BadRecordsAreRefusedWithoutCrashing) {
    EXPECT_EQ(GetWholeSummary(nullptr), -1);
    Wedge w = makeWedge();
    tagMeasuredDataRecord& r = w.bind();
    r.result[3] = 42.0;
    r.count = 0;
    EXPECT_EQ(GetWholeSummary(&r), -1);
    EXPECT_EQ(r.result[3], -1.0);  // reset before refusing
    r.count = -5;
    EXPECT_EQ(GetWholeSummary(&r), -1);
    r.count = static_cast<int>(w.inks.size());
    r.measLab = nullptr;
    w.preview.assign(w.preview.size(), tagRGBRecord{1, 1, 1});
    EXPECT_EQ(GetWholeSummary(&r), -1);
    EXPECT_EQ(w.preview[0].R, 255);  // previews are filled all the same
    r.measLab = w.measLab.data();
    r.inks = nullptr;
    r.deltaT = w.deltaT.data();
    EXPECT_EQ(GetWholeSummary(&r), 0);  // no classes without inks
    EXPECT_EQ(r.result[MS_MAX_DE_CYAN], -1.0);
    EXPECT_GE(r.result[MS_AVERAGE_DE], 0.0);
}

}  // namespace
