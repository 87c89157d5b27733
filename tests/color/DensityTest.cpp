#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cmath>

#include "ColorTestSupport.h"
#include "OrvoChartInterface.h"

namespace {

using colortest::flatSpectrum;
using Densities = std::array<double, 4>;

Densities densities(OrvoLong type, const SpectRecord& s) {
    const ColorQuadruple d = GetDesityfromSPECTRAL(type, s);
    return {d.c, d.m, d.y, d.k};
}

// A flat spectrum of reflectance R has density -log10(R) in every channel of
// every type: 0 for the perfect white, 1 for 10 %.
TEST(Density, FlatSpectraGiveEqualDensitiesInEveryType) {
    EXPECT_EQ(densities(1, flatSpectrum(0.0)), (Densities{0, 0, 0, 0}));  // nothing reflected
    for (OrvoLong type = 0; type <= 6; ++type) {
        for (std::size_t channel = 0; channel < 4; ++channel) {
            EXPECT_NEAR(densities(type, flatSpectrum(1.0))[channel], 0.0, 1e-12) << type;
            EXPECT_NEAR(densities(type, flatSpectrum(0.1))[channel], 1.0, 1e-12) << type;
        }
    }
}

TEST(Density, ChannelsFollowTheirFilters) {
    // A cyan ink: reflectance 1 % from 580 nm on, 90 % below. Status A red
    // lies wholly above 580 nm: D = -log10(0.01) = 2; its blue wholly below:
    // D = -log10(0.9).
    SpectRecord cyan = flatSpectrum(0.9);
    std::fill(cyan.value + (580 - 380) / 10, cyan.value + 36, 0.01);
    const Densities d = densities(0, cyan);
    EXPECT_NEAR(d[0], 2.0, 1e-3);
    EXPECT_NEAR(d[2], -std::log10(0.9), 1e-3);
    EXPECT_TRUE(d[2] < d[1] && d[1] < d[0] && d[2] < d[3]);
    // Status T and E differ only in blue.
    SpectRecord ramp = flatSpectrum(0.5);
    for (int i = 0; i < 36; ++i) {
        ramp.value[i] = 0.05 + 0.9 * i / 35.0;
    }
    Densities t = densities(2, ramp);
    const Densities e = densities(3, ramp);
    EXPECT_GT(std::fabs(t[2] - e[2]), 0.01);
    t[2] = e[2];
    EXPECT_EQ(t, e);
}

TEST(Density, NaNOtherGridsAndUnknownTypes) {
    SpectRecord nan = flatSpectrum(0.5);
    nan.value[20] = std::nan("");
    EXPECT_EQ(densities(1, nan)[1], 0.0);
    for (const SpectRecord& s : {flatSpectrum(0.5, 400, 10, 36), flatSpectrum(0.5, 380, 5, 36),
                                 flatSpectrum(0.5, 380, 10, 35), flatSpectrum(0.5, 380, 10, 0)}) {
        EXPECT_EQ(densities(0, s), (Densities{-1, 0, 0, 0})) << s.start << " " << s.step;
    }
    EXPECT_EQ(densities(7, flatSpectrum(0.5))[0] + densities(-1, flatSpectrum(0.5))[0], -2.0);
}

}  // namespace
