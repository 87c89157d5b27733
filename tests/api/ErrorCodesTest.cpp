// The message table shared with the colour-control family.
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "api/ErrorCodes.h"

namespace GenChartLib {
namespace {

const std::string kUnknown = "Unknown error";

TEST(ErrorText, CodesOutsideTheTableAreUnknown) {
    EXPECT_EQ(errorText(0), kUnknown);
    EXPECT_EQ(errorText(5), kUnknown);
    EXPECT_EQ(errorText(-2356), kUnknown);  // a gap in the chart library's block
    EXPECT_EQ(errorText(-988), kUnknown);   // a gap in the colour engine's block
    EXPECT_EQ(errorText(-2701), kUnknown);
    EXPECT_EQ(errorText(-2147483647 - 1), kUnknown);
    EXPECT_EQ(errorText(2147483647), kUnknown);
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

TEST(ErrorText, TheTableHas229Entries) {
    int listed = 0;
    for (int code = -3000; code <= 100; ++code) {
        if (kUnknown != errorText(code)) {
            ++listed;
            EXPECT_LT(code, 0) << "no positive or zero code is listed";
            EXPECT_GE(code, -2700);
        }
    }
    EXPECT_EQ(listed, 229);
    // The same static text every time.
    EXPECT_EQ(errorText(-2370), errorText(-2370));
}

}  // namespace
}  // namespace GenChartLib
