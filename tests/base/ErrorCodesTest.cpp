// The message table shared with the colour-control family.
#include <gtest/gtest.h>

#include <string>
#include <utility>

#include "base/ErrorCodes.h"

namespace GenChartLib {
namespace {

// -2356 is a gap in the chart library's block, -988 one in the colour
// engine's; every listed code lies in -2700..-1.
TEST(ErrorText, GivesTheExactTextsAndUnknownOutsideTheTable) {
    // The chart library's own texts are checked where they are logged.
    const std::pair<int, std::string> texts[] = {
        {-1399, ""},
        {-199, "LoadLibrary failed"},
        {-2700, "No or invalid Jorvel printer object instance"},
        {-397, "Closed profile detetcted"},
        {-1, "Fatal error in colormodule"}};
    for (const auto& [code, text] : texts) {
        EXPECT_EQ(errorText(code), text) << code;
    }
    for (const int code : {0, 5, -2356, -988, -2701, -2147483647 - 1, 2147483647}) {
        EXPECT_STREQ(errorText(code), "Unknown error") << code;
    }
    int listed = 0;
    for (int code = -3000; code <= 100; ++code) {
        listed += std::string(errorText(code)) != "Unknown error";
    }
    EXPECT_EQ(listed, 229);
}

}  // namespace
}  // namespace GenChartLib
