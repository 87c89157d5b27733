#include <gtest/gtest.h>

#include "OrvoChartInterface.h"
#include "color/WhitePoints.h"

namespace {

using GenChartLib::referenceWhite;

// Sums of S(lambda) x CMF(lambda) over 380..780 nm at 5 nm with the CIE
// tables (Y = 100), as listed with the shared reference data. The built-in
// whites are these to two decimals; C differs by rounding in the second
// decimal (118.2249 is commonly printed 118.23, 97.2850 as 97.28).
TEST(WhitePoints, AgreeWithTheCieSumsToTwoDecimals) {
    const struct {
        unsigned whitePoint, observer;
        double X, Z;
    } summed[] = {
        {0, 0, 96.4197, 82.5123},  {1, 0, 95.0430, 108.8801}, {2, 0, 98.0717, 118.2249},
        {3, 0, 109.8490, 35.5825}, {0, 1, 96.7198, 81.4267},  {1, 1, 94.8118, 107.3241},
        {2, 1, 97.2850, 116.1445}, {3, 1, 111.1439, 35.1995},
    };
    for (const auto& w : summed) {
        const ColorTriplex& white = referenceWhite(w.whitePoint, w.observer);
        EXPECT_NEAR(white.X, w.X, 0.0101) << w.whitePoint << "/" << w.observer;
        EXPECT_EQ(white.Y, 100.0);
        EXPECT_NEAR(white.Z, w.Z, 0.0101) << w.whitePoint << "/" << w.observer;
    }
}

TEST(WhitePoints, UnknownNumbersFallBackToD50And2Degrees) {
    for (unsigned whitePoint : {4u, 7u, 1000u}) {
        EXPECT_EQ(&referenceWhite(whitePoint, 0), &referenceWhite(0, 0));
    }
    for (unsigned observer : {2u, 3u, 4u, 99u}) {
        EXPECT_EQ(&referenceWhite(1, observer), &referenceWhite(1, 0));
    }
    EXPECT_NE(&referenceWhite(1, 1), &referenceWhite(1, 0));
}

}  // namespace
