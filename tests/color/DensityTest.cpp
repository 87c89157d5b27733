#include <gtest/gtest.h>

#include <cmath>

#include "ColorTestSupport.h"
#include "OrvoChartInterface.h"

namespace {

using colortest::flatSpectrum;

TEST(Density, FlatSpectraGiveEqualDensitiesInEveryType) {
    for (OrvoLong type = 0; type <= 6; ++type) {
        const ColorQuadruple white = GetDesityfromSPECTRAL(type, flatSpectrum(1.0));
        EXPECT_NEAR(white.c, 0.0, 1e-12) << type;
        EXPECT_NEAR(white.k, 0.0, 1e-12) << type;
        const ColorQuadruple grey = GetDesityfromSPECTRAL(type, flatSpectrum(0.1));
        EXPECT_NEAR(grey.c, 1.0, 1e-12) << type;
        EXPECT_NEAR(grey.m, 1.0, 1e-12) << type;
        EXPECT_NEAR(grey.y, 1.0, 1e-12) << type;
        EXPECT_NEAR(grey.k, 1.0, 1e-12) << type;
    }
}

// A cyan ink: reflectance 1 % from 580 nm on, 90 % below.
SpectRecord cyanInk() {
    SpectRecord s = flatSpectrum(0.9);
    for (int i = (580 - 380) / 10; i < 36; ++i) {
        s.value[i] = 0.01;
    }
    return s;
}

TEST(Density, ChannelsFollowTheirFilters) {
    const ColorQuadruple d = GetDesityfromSPECTRAL(0, cyanInk());
    // Status A red lies wholly above 580 nm: D = -log10(0.01) = 2.
    EXPECT_NEAR(d.c, 2.0, 1e-3);
    // Status A blue lies wholly below: D = -log10(0.9).
    EXPECT_NEAR(d.y, -std::log10(0.9), 1e-3);
    EXPECT_GT(d.m, d.y);
    EXPECT_LT(d.m, d.c);
    EXPECT_GT(d.k, d.y);
}

TEST(Density, StatusTAndEDifferOnlyInBlue) {
    SpectRecord s = flatSpectrum(0.5);
    for (int i = 0; i < 36; ++i) {
        s.value[i] = 0.05 + 0.9 * i / 35.0;
    }
    const ColorQuadruple t = GetDesityfromSPECTRAL(2, s);
    const ColorQuadruple e = GetDesityfromSPECTRAL(3, s);
    EXPECT_DOUBLE_EQ(t.c, e.c);
    EXPECT_DOUBLE_EQ(t.m, e.m);
    EXPECT_GT(std::fabs(t.y - e.y), 0.01);
    EXPECT_DOUBLE_EQ(t.k, e.k);
}

TEST(Density, BlackSpectrumKeepsDensityZero) {
    const ColorQuadruple d = GetDesityfromSPECTRAL(1, flatSpectrum(0.0));
    EXPECT_EQ(d.c, 0.0);
    EXPECT_EQ(d.m, 0.0);
    EXPECT_EQ(d.y, 0.0);
    EXPECT_EQ(d.k, 0.0);
    SpectRecord nan = flatSpectrum(0.5);
    nan.value[20] = std::nan("");
    const ColorQuadruple n = GetDesityfromSPECTRAL(1, nan);
    EXPECT_EQ(n.m, 0.0);
}

TEST(Density, OnlyThe380To730Grid) {
    const SpectRecord wrong[] = {flatSpectrum(0.5, 400, 10, 36), flatSpectrum(0.5, 380, 5, 36),
                                 flatSpectrum(0.5, 380, 10, 35), flatSpectrum(0.5, 380, 10, 0)};
    for (const SpectRecord& s : wrong) {
        const ColorQuadruple d = GetDesityfromSPECTRAL(0, s);
        EXPECT_EQ(d.c, -1.0);
        EXPECT_EQ(d.m, 0.0);
        EXPECT_EQ(d.y, 0.0);
        EXPECT_EQ(d.k, 0.0);
    }
    EXPECT_EQ(GetDesityfromSPECTRAL(7, flatSpectrum(0.5)).c, -1.0);
    EXPECT_EQ(GetDesityfromSPECTRAL(-1, flatSpectrum(0.5)).c, -1.0);
}

}  // namespace
