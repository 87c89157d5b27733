#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <iterator>
#include <numeric>
#include <vector>

#include "ColorTestSupport.h"
#include "OrvoChartInterface.h"

namespace {

using colortest::labOf;

// A control wedge: paper, the four solids, the red, green and blue
// overprints, a cyan tint, a CMY grey of the current print standards and a
// black tint; four more dark make-ups follow beyond the record's count of
// 11. The measurement differs from the reference in cyan (X + 1), yellow
// (Z + 1), black (+ 0.2), the cyan tint (X - 3), the grey (Y + 1) and the
// first dark patch. Limits 3, CIE76, D50.
class WholeSummary : public ::testing::Test {
  protected:
    void SetUp() override { std::fill(std::begin(r.limits), std::end(r.limits), 3.0); }
    static constexpr std::size_t kPatches = 15;
    ColorQuadruple inks[kPatches] = {{0, 0, 0, 0},         {255, 0, 0, 0},   {0, 255, 0, 0},
                                     {0, 0, 255, 0},       {0, 0, 0, 255},   {0, 255, 255, 0},
                                     {255, 0, 255, 0},     {255, 255, 0, 0}, {127.5, 0, 0, 0},
                                     {127.5, 102, 102, 0}, {0, 0, 0, 127.5}, {255, 0, 0, 255},
                                     {0, 255, 0, 255},     {0, 0, 255, 255}, {255, 255, 255, 0}};
    ColorTriplex refXYZ[kPatches] = {{82, 85, 70}, {15, 22, 50}, {32, 16, 15}, {70, 75, 8},
                                     {3, 3, 3},    {25, 14, 3},  {8, 15, 6},   {5, 4, 12},
                                     {45, 50, 60}, {20, 20, 17}, {20, 21, 17}, {2, 2, 2},
                                     {2, 2, 2},    {2, 2, 2},    {3, 3, 3}};
    ColorTriplex measXYZ[kPatches] = {{82, 85, 70},    {16, 22, 50}, {32, 16, 15}, {70, 75, 9},
                                      {3.2, 3.2, 3.2}, {25, 14, 3},  {8, 15, 6},   {5, 4, 12},
                                      {42, 50, 60},    {20, 21, 17}, {20, 21, 17}, {2.5, 2.5, 2.5},
                                      {2, 2, 2},       {2, 2, 2},    {3, 3, 3}};
    LabRecord refLab[kPatches] = {}, measLab[kPatches] = {};
    double deltaE[kPatches] = {}, deltaH[kPatches] = {}, deltaT[kPatches] = {};
    tagRGBRecord preview[kPatches] = {};
    // count, reference spectra, XYZ, Lab, measured spectra, XYZ, Lab, inks,
    // previews, limits, formula, white point, the three result arrays.
    tagMeasuredDataRecord r{11, nullptr, refXYZ, refLab, nullptr, measXYZ, measLab, inks, preview,
                            {}, 1,       0,      deltaE, deltaH,  deltaT,  {},      {},   {}};
};

// Formula numbers 1 to 4 are CIE76, CMC, CIE94 and CIEDE2000.
TEST_F(WholeSummary, PerPatchLabDifferencesByFormulaToneValuesAndPreviews) {
    const LabRecord ref = labOf(refXYZ[1]), meas = labOf(measXYZ[1]);
    int formula = 0;
    for (auto* f : {GetDeltaE_CIE76, GetDeltaE_CIECMC, GetDeltaE_CIE94, GetDeltaE_CIE2000}) {
        r.formula = ++formula;
        ASSERT_EQ(GetWholeSummary(&r), 0);
        EXPECT_DOUBLE_EQ(deltaE[1], f(ref.L, ref.a, ref.b, meas.L, meas.a, meas.b)) << formula;
    }
    EXPECT_DOUBLE_EQ(deltaH[1], GetDeltaH(ref.L, ref.a, ref.b, meas.L, meas.a, meas.b));
    colortest::expectNear(measLab[1], colortest::triple(meas), 1e-12);
    // Tone values from XYZ: the cyan tint reads X. Reference (82 - 45) /
    // (82 - 15) = 55.22 %, measured (82 - 42) / (82 - 16) = 60.61 %.
    EXPECT_NEAR(deltaT[8], 40.0 / 66.0 * 100.0 - 37.0 / 67.0 * 100.0, 1e-9);
    // Preview colours: inverted process inks, grey from black.
    EXPECT_EQ(colortest::rgb(preview[1]), (colortest::Rgb{0, 255, 255}));
    EXPECT_EQ(colortest::rgb(preview[10]), (colortest::Rgb{128, 128, 128}));
}

TEST_F(WholeSummary, ClassMaximaAverageAndTheirPatches) {
    ASSERT_EQ(GetWholeSummary(&r), 0);
    // item, patch, value
    const double maxima[][3] = {{MS_MAX_DE_CYAN, 1, deltaE[1]},
                                {MS_MAX_DE_BLACK, 4, deltaE[4]},
                                {MS_MAX_DE_PAPER, 0, 0.0},
                                {MS_MAX_DE_RED, 5, deltaE[5]},
                                {MS_MAX_DE_BLUE, 7, deltaE[7]},
                                {MS_MAX_DH_YELLOW, 3, deltaH[3]},
                                {MS_MAX_DT_CYAN, 8, std::fabs(deltaT[8])}};
    for (const auto& [item, patch, value] : maxima) {
        EXPECT_DOUBLE_EQ(r.result[static_cast<int>(item)], value) << item;
        EXPECT_EQ(r.patchIndex[static_cast<int>(item)], patch) << item;
    }
    EXPECT_EQ(r.result[MS_MAX_DH_PAPER], -1.0);
    const double* largest = std::max_element(deltaE, deltaE + 11);
    EXPECT_NEAR(r.result[MS_AVERAGE_DE], std::accumulate(deltaE, deltaE + 11, 0.0) / 11.0, 1e-12);
    EXPECT_EQ(r.result[MS_MAX_DE], *largest);
    EXPECT_EQ(r.patchIndex[MS_MAX_DE], largest - deltaE);
    // The black tint is unchanged but its solid is lighter (Y 3 -> 3.2).
    EXPECT_NEAR(r.result[MS_MAX_DT_BLACK],
                std::fabs((85.0 - 21.0) / (85.0 - 3.2) - (85.0 - 21.0) / (85.0 - 3.0)) * 100.0,
                1e-9);
    // Grey balance: the one grey patch, found with the current table.
    EXPECT_EQ(r.patchIndex[MS_GREY_PATCHES], 9);
    EXPECT_EQ(r.patchIndex[MS_GREY_PATCHES + 1], -1);
    EXPECT_DOUBLE_EQ(r.result[MS_GREY_AVERAGE_DH], deltaH[9]);
    // Only one of the five dark make-ups is in the wedge; 25.. are reserved.
    EXPECT_EQ(r.result[MS_DARK_AREAS_DL], -1.0);
    EXPECT_EQ(std::count(r.result + 25, r.result + MS_RESULT_ITEMS, -1.0), MS_RESULT_ITEMS - 25);
}

TEST_F(WholeSummary, PassFlagsCompareRoundedResultsWithLimits) {
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
    EXPECT_EQ(r.pass[MS_MAX_DH_PAPER] + r.pass[MS_DARK_AREAS_DL] + r.pass[27], 0);  // not evaluated
    EXPECT_EQ(r.pass[MS_MAX_DE_BLACK], r.result[MS_MAX_DE_BLACK] < cyan - 0.005 ? 1 : 0);
    // Another formula number keeps and evaluates the host's own differences.
    r.formula = 0;
    std::fill(std::begin(deltaE), std::end(deltaE), 0.5);
    deltaE[6] = 4.0;
    ASSERT_EQ(GetWholeSummary(&r), 0);
    EXPECT_EQ(deltaE[6], 4.0);
    EXPECT_EQ(r.result[MS_MAX_DE_GREEN], 4.0);
    EXPECT_EQ(r.patchIndex[MS_MAX_DE], 6);
}

// Darkest reference L: Y = 2 in all three; measured: black at Y = 3.2 is
// lighter, so the measured minimum is also Y = 2. Spectra replace the XYZ.
TEST_F(WholeSummary, FiveDarkPatchesAndSpectra) {
    r.count = 15;
    ASSERT_EQ(GetWholeSummary(&r), 0);
    EXPECT_NEAR(r.result[MS_DARK_AREAS_DL], 0.0, 1e-12);
    measXYZ[12] = measXYZ[13] = {2.5, 2.5, 2.5};
    ASSERT_EQ(GetWholeSummary(&r), 0);
    EXPECT_NEAR(r.result[MS_DARK_AREAS_DL], labOf({2.5, 2.5, 2.5}).L - labOf({2, 2, 2}).L, 1e-9);
    std::vector<SpectRecord> spectra(kPatches, colortest::flatSpectrum(0.5));
    r.measSpectra = spectra.data();
    ASSERT_EQ(GetWholeSummary(&r), 0);
    const ColorTriplex half = GetXYZfromSPECTRAL(colortest::flatSpectrum(0.5));
    EXPECT_EQ(colortest::triple(measXYZ[7]), colortest::triple(half));
    EXPECT_NEAR(measLab[4].L, labOf(half).L, 1e-12);
}

TEST_F(WholeSummary, BadRecordsAreRefusedWithoutCrashing) {
    EXPECT_EQ(GetWholeSummary(nullptr), -1);
    r.result[3] = 42.0;
    for (int count : {0, -5}) {
        r.count = count;
        EXPECT_EQ(GetWholeSummary(&r), -1);
        EXPECT_EQ(r.result[3], -1.0);  // reset before refusing
    }
    r.count = 11;
    r.measLab = nullptr;
    std::fill(std::begin(preview), std::end(preview), tagRGBRecord{1, 1, 1});
    EXPECT_EQ(GetWholeSummary(&r), -1);
    EXPECT_EQ(preview[0].R, 255);  // previews are filled all the same
    r.measLab = measLab;
    r.inks = nullptr;
    EXPECT_EQ(GetWholeSummary(&r), 0);  // no classes without inks
    EXPECT_EQ(r.result[MS_MAX_DE_CYAN], -1.0);
    EXPECT_GE(r.result[MS_AVERAGE_DE], 0.0);
}

}  // namespace
