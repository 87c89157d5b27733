// The colour writers: byte conversions, percentages for the PDF page, the
// fixed colours on pages of every channel count and the span filler.
#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <iterator>
#include <limits>
#include <utility>
#include <vector>

#include "render/Writers.h"

namespace GenChartLib {
namespace {

using Bytes = std::vector<std::uint8_t>;

TEST(ByteConversions, HalvesRoundUpOutOfRangeClampsAndNanIsNoColour) {
    const double nan = std::nan("");
    const double inf = std::numeric_limits<double>::infinity();
    struct Row {
        const char* name;
        std::uint8_t (*convert)(double);
        std::vector<std::pair<double, int>> valueToByte;
    };
    const Row rows[] = {
        // p * 255 / 100 lands exactly on .5 for p = 10, 30, 50, 70, 90; 9.99
        // gives 25.47.
        {"ink", inkByteFromPercent, {{10, 26}, {30, 77}, {50, 128}, {70, 179}, {90, 230}}},
        {"ink", inkByteFromPercent, {{9.99, 25}, {0, 0}, {100, 255}, {-5, 0}, {140, 255}}},
        {"ink", inkByteFromPercent, {{nan, 0}, {inf, 255}}},
        // Extra inks are inverted: a solid orange patch is byte 0.
        {"inverted", invertedInkByteFromPercent, {{100, 0}, {0, 255}, {50, 127}}},
        // 50 -> floor(127.5 + 0.5).
        {"L*", labLightnessByte, {{50, 128}, {10, 26}, {100, 255}, {120, 255}, {-1, 0}}},
        // 0.5 -> 128.5 rounds up; -0.5 -> 127.5 rounds up to 128, i.e. 0;
        // -200 clamps to -128 (byte 128); NaN is no colour, not -128.
        {"a*b*",
         labChromaByte,
         {{-20, 236}, {30, 30}, {0.5, 1}, {-0.5, 0}, {-200, 128}, {200, 127}, {nan, 0}}},
    };
    for (const Row& row : rows) {
        for (const auto& [value, byte] : row.valueToByte) {
            EXPECT_EQ(row.convert(value), byte) << row.name << " of " << value;
        }
    }
    EXPECT_NEAR(percentFromByte(128), 50.196, 1e-3);
}

TEST(Percentages, EachWriterTurnsItsBytesIntoEightPercentages) {
    using Spot = WriteSpotColor;
    const double half = 128 / 2.55;  // 50.196
    const std::pair<Percentages, Percentages> cases[] = {
        {WriteCMYK::toPercent({{255, 0, 51, 128}, {}}), {100, 0, 20, half}},
        // Solid orange is byte 0; a patch without orange gives 0.0.
        {WriteCMYKO::toPercent({{0, 0, 0, 0, 0}, {}}), {0, 0, 0, 0, 100}},
        {WriteCMYKO::toPercent({{0, 0, 0, 0, 255}, {}}), {}},
        {WriteCMYKOG::toPercent({{0, 0, 0, 0, 255, 51}, {}}), {0, 0, 0, 0, 0, 80}},
        {WriteCMYKRGB::toPercent({{0, 0, 0, 0, 0, 255, 204}, {}}), {0, 0, 0, 0, 100, 0, 20}},
        // L* 50, a* -20, b* 30 as stored; blue's b* byte 203 is -53.
        {WriteLAB::toPercent({{128, 236, 30}, {}}), {half, -20, 30}},
        {WriteLAB::toPercent(WriteLAB::blueColor()), {53 / 2.55, 29, -53}},
        {WriteRGB::toPercent({{0, 102, 255}, {}}), {0, 40, 100}},
        // Six spot channels: the fifth on inverted.
        {Spot::toPercent({{0, 0, 0, 0}, {255, 0, 0, 0, 0, 255}, 6}), {100, 0, 0, 0, 100}},
        {Spot::toPercent(Spot::blackColor()), {0, 0, 0, 100}},
    };
    for (std::size_t c = 0; c < std::size(cases); ++c) {
        for (std::size_t i = 0; i < 8; ++i) {
            EXPECT_NEAR(cases[c].first[i], cases[c].second[i], 1e-9)
                << "case " << c << " [" << i << "]";
        }
    }
}

// The bytes a spot page of `channels` channels carries for `color`.
Bytes spotPixel(const WriteSpotColor::PixelColor& color, unsigned channels) {
    Bytes px(channels, 0xAA);
    WriteSpotColor::fillSpan(RasterLine{px.data(), 1, channels}, 0, 1, color);
    return px;
}

// Black and paper on spot pages of 1 to 8 channels are read back in
// RasterImageTest; here the colours no page there carries.
TEST(FixedColours, OnSpotPages) {
    Bytes yellow(6, 255);
    yellow[0] = yellow[1] = yellow[3] = 0;
    EXPECT_EQ(spotPixel(WriteSpotColor::yellowColor(), 6), yellow);
    // Fewer than four channels: marks go onto every channel there is.
    EXPECT_EQ(spotPixel(WriteSpotColor::blueColor(), 3), (Bytes{255, 255, 0}));
    EXPECT_EQ(spotPixel(WriteSpotColor::yellowColor(), 1), (Bytes{0}));
    EXPECT_EQ(spotPixel(WriteSpotColor::blackColor(), 2), (Bytes{255, 255}));
    // Patch colours bring their own bytes; missing ones are no ink.
    const WriteSpotColor::PixelColor patch{{0, 0, 0, 0}, {9, 8, 7, 6, 5}, 5};
    EXPECT_EQ(spotPixel(patch, 7), (Bytes{9, 8, 7, 6, 5, 255, 255}));
    EXPECT_EQ(spotPixel(patch, 2), (Bytes{9, 8}));
}

TEST(SpanFill, WritesInterleavedPixelsAndDropsSpansPastTheEdge) {
    Bytes line(10 * 4, 0);
    const RasterLine l{line.data(), 10, 4};
    WriteCMYK::fillSpan(l, 2, 3, {{1, 2, 3, 4}, {}});
    // Reaching exactly to the edge is drawn; one pixel past drops it all, as
    // do empty spans and lines of another channel count.
    WriteCMYK::fillSpan(l, 7, 3, {{9, 9, 9, 9}, {}});
    WriteCMYK::fillSpan(l, 5, 6, {{7, 7, 7, 7}, {}});
    WriteCMYK::fillSpan(l, 11, 1, {{7, 7, 7, 7}, {}});
    WriteCMYK::fillSpan(l, 0, 0, {{7, 7, 7, 7}, {}});
    WriteCMYK::fillSpan(RasterLine{line.data(), 10, 3}, 0, 3, WriteCMYK::blackColor());
    for (std::size_t x = 0; x < 10; ++x) {
        const int want = x >= 2 && x <= 4 ? 1 : x >= 7 ? 9 : 0;
        EXPECT_EQ(line[4 * x], want) << x;
        EXPECT_EQ(line[4 * x + 3], want == 1 ? 4 : want) << x;
    }
    // Long spans (filled by doubling copies) end where they should.
    Bytes wide(1000 * 7, 0);
    WriteCMYKRGB::fillSpan(RasterLine{wide.data(), 1000, 7}, 1, 998, WriteCMYKRGB::blackColor());
    EXPECT_EQ(wide[3], 0);
    EXPECT_EQ(wide[7 + 3], 255);
    EXPECT_EQ(wide[7 * 998 + 6], 255);
    EXPECT_EQ(wide[7 * 999 + 3], 0);
}

}  // namespace
}  // namespace GenChartLib
