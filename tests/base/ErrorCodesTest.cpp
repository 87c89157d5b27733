// The message table shared with the colour-control family.
#include <gtest/gtest.h>

#include <string>

#include "base/ErrorCodes.h"

namespace GenChartLib {
namespace {

const std::string kUnknown = "Unknown error";

TEST(ErrorText, CodesOutsideTheTableAreUnknown) {
    // -2356 is a gap in the chart library's block, -988 one in the colour
    // engine's.
    for (const int code : {0, 5, -2356, -988, -2701, -2147483647 - 1, 2147483647}) {
        EXPECT_EQ(errorText(code), kUnknown) << code;
    }
}

TEST(ErrorText, GivesTheExactTexts) {
    EXPECT_STREQ(errorText(-1399), "");
    EXPECT_STREQ(errorText(-2354),
                 "GenChartLib: The chart should have a different name or be in a different "
                 "location as the selected IT8 reference file.");
    EXPECT_STREQ(errorText(-2355), "GenChartLib: Invalid page size.");
    EXPECT_STREQ(errorText(-2376), "GenChartLib: Invalid measurement handle");
    EXPECT_STREQ(errorText(-2372), "GenChartLib: Empty page vector");
    EXPECT_STREQ(errorText(-195), "Invalid InitChartParams()");
    EXPECT_STREQ(errorText(-193), "Invalid writeChart()");
    EXPECT_STREQ(errorText(-199), "LoadLibrary failed");
    EXPECT_STREQ(errorText(-2700), "No or invalid Jorvel printer object instance");
    EXPECT_STREQ(errorText(-397), "Closed profile detetcted");
    EXPECT_STREQ(errorText(-1), "Fatal error in colormodule");
}

TEST(ErrorText, TheTableHas229NegativeEntries) {
    int listed = 0;
    for (int code = -3000; code <= 100; ++code) {
        if (kUnknown != errorText(code)) {
            ++listed;
            EXPECT_LT(code, 0) << "no positive or zero code is listed";
            EXPECT_GE(code, -2700);
        }
    }
    EXPECT_EQ(listed, 229);
}

}  // namespace
}  // namespace GenChartLib
