#include <gtest/gtest.h>

#include <array>
#include <cstdint>
#include <cstdlib>
#include <map>
#include <string>
#include <vector>

#include "CgatsTestSupport.h"
#include "api/ErrorCodes.h"
#include "cgats/PatchLoaders.h"

namespace GenChartLib {
namespace {

using cgatstest::dataFile;
using cgatstest::thrownCode;
using Bytes = std::vector<std::uint8_t>;

// Channel bytes of every patch, for comparing whole files at once.
template <class Color>
std::vector<Bytes> channelsOf(const std::vector<Color>& patches) {
    std::vector<Bytes> out;
    for (const auto& patch : patches) {
        out.emplace_back(patch.channels.begin(), patch.channels.end());
    }
    return out;
}

template <class W>
std::vector<typename W::PixelColor> patchesOf(const std::string& name) {
    CgatsReader reader;
    std::vector<typename W::PixelColor> out;
    PatchLoader<W>::load(reader, dataFile(name), out);
    return out;
}

template <class W>
int loaderCode(const std::string& name) {
    return thrownCode([&] { patchesOf<W>(name); });
}

// Ink bytes are floor(p * 255 / 100 + 0.5); the files put values on the
// exact halves (10 % -> 25.5, 30 % -> 76.5, 50 % -> 127.5, 70 % -> 178.5,
// 90 % -> 229.5), which round up, and just beside them.
TEST(CmykLoaderTest, RoundsInkPercentagesAtTheirHalves) {
    const std::vector<Bytes> expected = {
        {0, 26, 77, 128},     // 0, 10, 30, 50
        {255, 179, 230, 25},  // 100, 70, 90, 9.99 (25.47)
        {0, 255, 1, 0},       // -3 clamped, 120 clamped, 0.2 (0.51), 0.19 (0.48)
        {32, 128, 127, 255},  // 12.5 (31.9), 50.0001, 49.9999, 1e2
        {0, 19, 13, 1},       // "abc", +7.5 (19.1), 5% (12.75), .5 (1.275)
        {65, 255, 0, 255},    // 2.55e1 (65.0), 99.9 (254.7)
    };
    const auto patches = patchesOf<WriteCMYK>("cmyk_basic.txt");
    EXPECT_EQ(channelsOf(patches), expected);
    for (const auto& patch : patches) {
        EXPECT_TRUE(patch.extra.empty());
    }
    EXPECT_EQ(channelsOf(patchesOf<WriteCMYK>("cmyk_commas_crlf.txt")), expected);
}

TEST(CmykLoaderTest, LowerCaseCrFile) {
    EXPECT_EQ(channelsOf(patchesOf<WriteCMYK>("cmyk_lowercase_cr.txt")),
              (std::vector<Bytes>{{26, 51, 77, 102}, {128, 153, 179, 204}, {0, 0, 0, 255}}));
}

TEST(CmykLoaderTest, CarriesInvertedSpotTintsInNameOrder) {
    CgatsReader reader;
    std::vector<WriteCMYK::PixelColor> patches;
    loadCmykPatches(reader, dataFile("cmyk_spot_tints.txt"), patches);
    ASSERT_EQ(patches.size(), 2u);
    // SPOT_1 100 % -> 0, SPOT_2 0 % -> 255; the unknown column is left out.
    EXPECT_EQ(patches[0].channels, (std::array<std::uint8_t, 4>{26, 51, 77, 102}));
    EXPECT_EQ(patches[0].extra, (Bytes{0, 255}));
    EXPECT_EQ(patches[1].extra, (Bytes{127, 229}));  // 50 %, 10 %
    const CmykPatch second = readCmykPatch(reader, 1);
    EXPECT_EQ(second.spotTints,
              (std::map<std::string, std::uint8_t>{{"SPOT_1", 127}, {"SPOT_2", 229}}));
    // The caller's reader keeps the header for later use.
    EXPECT_EQ(reader.numberOfSets, 2);
}

TEST(CmykLoaderTest, RejectsFilesWithoutTheFourCmykColumns) {
    EXPECT_EQ(loaderCode<WriteCMYK>("cmykog_6clr.txt"), ERR_NO_CMYK_DATA);
    EXPECT_EQ(loaderCode<WriteCMYK>("measured_columns.txt"), ERR_NO_CMYK_DATA);  // CMY only
    EXPECT_EQ(loaderCode<WriteCMYK>("rgb.txt"), ERR_NO_CMYK_DATA);
}

TEST(CmykLoaderTest, LoadErrorsPassThroughAndTheListIsEmptied) {
    CgatsReader reader;
    std::vector<WriteCMYK::PixelColor> out(3);
    EXPECT_EQ(thrownCode([&] { loadCmykPatches(reader, dataFile("absent.txt"), out); }),
              ERR_OPEN_DATA);
    EXPECT_TRUE(out.empty());
    EXPECT_EQ(loaderCode<WriteCMYK>("err_short_data.txt"), ERR_TOO_FEW_SETS);
    EXPECT_EQ(loaderCode<WriteSpotColor>("err_row_length.txt"), ERR_WRONG_ROW_LENGTH);
}

TEST(RowReaderTest, ReadCmykPatchAndReadChannelCheckTheSet) {
    CgatsReader reader;
    reader.load(dataFile("cmyko_named.txt"));
    EXPECT_EQ(readCmykPatch(reader, 2).cmyk, (std::array<std::uint8_t, 4>{128, 128, 128, 128}));
    EXPECT_EQ(readChannel(reader, 0, "ORANGE"), 255);
    EXPECT_EQ(readChannel(reader, 1, "ORANGE"), 0);
    EXPECT_EQ(readChannel(reader, 2, "ORANGE"), 229);
    EXPECT_EQ(readChannel(reader, 2, "GREEN"), 255);  // absent column: no ink
    for (int set : {-1, 3, 1000}) {
        EXPECT_EQ(thrownCode([&] { readCmykPatch(reader, set); }), ERR_CMYK_INDEX);
        EXPECT_EQ(thrownCode([&] { readChannel(reader, set, "ORANGE"); }), ERR_CMYK_INDEX);
    }
    EXPECT_EQ(thrownCode([&] { readCmykPatch(CgatsReader(), 0); }), ERR_CMYK_INDEX);
}

TEST(CmykoLoaderTest, PrefersThe5ClrSet) {
    EXPECT_EQ(
        channelsOf(patchesOf<WriteCMYKO>("cmyko_5clr.txt")),
        (std::vector<Bytes>{{51, 77, 102, 128, 255}, {0, 0, 0, 0, 0}, {255, 255, 255, 255, 127}}));
}

TEST(CmykoLoaderTest, NamedOrangeIsInverted) {
    EXPECT_EQ(
        channelsOf(patchesOf<WriteCMYKO>("cmyko_named.txt")),
        (std::vector<Bytes>{{26, 51, 77, 102, 255}, {0, 0, 0, 0, 0}, {128, 128, 128, 128, 229}}));
}

TEST(CmykoLoaderTest, MissingOrangeMeansNoInk) {
    const auto patches = patchesOf<WriteCMYKO>("cmyk_basic.txt");
    ASSERT_EQ(patches.size(), 6u);
    EXPECT_EQ(channelsOf(patches)[0], (Bytes{0, 26, 77, 128, 255}));
    EXPECT_EQ(channelsOf(patches)[1], (Bytes{255, 179, 230, 25, 255}));
}

TEST(CmykogLoaderTest, SixColourSetAndNamedInks) {
    EXPECT_EQ(channelsOf(patchesOf<WriteCMYKOG>("cmykog_6clr.txt")),
              (std::vector<Bytes>{{26, 51, 77, 102, 127, 102}, {255, 0, 0, 0, 255, 0}}));
    EXPECT_EQ(channelsOf(patchesOf<WriteCMYKOG>("cmykog_named.txt")),
              (std::vector<Bytes>{{26, 51, 77, 102, 127, 102}, {0, 0, 0, 0, 0, 255}}));
    // 6CLR_5 and 6CLR_6 absent, and GREEN absent: no ink.
    EXPECT_EQ(channelsOf(patchesOf<WriteCMYKOG>("cmykog_6clr_partial.txt")),
              (std::vector<Bytes>{{179, 77, 26, 230, 255, 255}}));
    EXPECT_EQ(channelsOf(patchesOf<WriteCMYKOG>("cmyko_named.txt"))[1],
              (Bytes{0, 0, 0, 0, 0, 255}));
}

TEST(CmykrgbLoaderTest, SevenColourSetAndNamedInks) {
    EXPECT_EQ(channelsOf(patchesOf<WriteCMYKRGB>("cmykrgb_7clr.txt")),
              (std::vector<Bytes>{{26, 51, 77, 102, 127, 102, 76}, {0, 0, 0, 0, 0, 0, 0}}));
    EXPECT_EQ(
        channelsOf(patchesOf<WriteCMYKRGB>("cmykrgb_named.txt")),
        (std::vector<Bytes>{{26, 51, 77, 102, 25, 76, 178}, {255, 255, 255, 255, 255, 255, 255}}));
    // Only GREEN present: red and blue read as no ink.
    EXPECT_EQ(channelsOf(patchesOf<WriteCMYKRGB>("cmykog_named.txt"))[0],
              (Bytes{26, 51, 77, 102, 255, 102, 255}));
}

TEST(MultiInkLoaderTest, RejectFilesWithNeitherSet) {
    EXPECT_EQ(loaderCode<WriteCMYKO>("rgb.txt"), ERR_NO_CMYK_DATA);
    EXPECT_EQ(loaderCode<WriteCMYKOG>("cmykrgb_7clr.txt"), ERR_NO_CMYK_DATA);
    EXPECT_EQ(loaderCode<WriteCMYKRGB>("spot_2clr.txt"), ERR_NO_CMYK_DATA);
}

// L byte floor(L * 255 / 100 + 0.5); a, b floor(clamp(v + 128) + 0.5) - 128
// as two's-complement bytes.
TEST(LabLoaderTest, ConvertsBothSpellingsAlike) {
    const std::vector<Bytes> expected = {
        {128, 246, 20},  // 50, -10, 20
        {26, 128, 127},  // 10, -140 clamped to -128, 127.4 clamped to 127
        {230, 246, 21},  // 90 (229.5), -10.5 (117.5 -> 118), 20.5 (149)
        {255, 0, 126},   // 100, -0.5 (128 -> 0), 126.4
        {0, 245, 128},   // 0, -10.6 (-11), -128.5 clamped to -128
    };
    EXPECT_EQ(channelsOf(patchesOf<WriteLAB>("lab_mixed_case.txt")), expected);
    EXPECT_EQ(channelsOf(patchesOf<WriteLAB>("lab_upper_commas.txt")), expected);
}

TEST(LabLoaderTest, MissingColumnsAndRowsOutOfRange) {
    EXPECT_EQ(loaderCode<WriteLAB>("cmyk_basic.txt"), ERR_NO_LAB_DATA);
    CgatsReader reader;
    reader.load(dataFile("lab_mixed_case.txt"));
    EXPECT_EQ(thrownCode([&] { readLabPatch(reader, 5); }), ERR_LAB_INDEX);
    EXPECT_EQ(thrownCode([&] { readLabPatch(reader, -1); }), ERR_LAB_INDEX);
}

TEST(RgbLoaderTest, TruncatesAndKeepsTheLowEightBits) {
    EXPECT_EQ(channelsOf(patchesOf<WriteRGB>("rgb.txt")),
              (std::vector<Bytes>{{254, 44, 255},  // 254.9, 300, -1
                                  {0, 255, 127},   // 127.99
                                  {232, 0, 0}}));  // 1e3, -0.5, 256
}

TEST(RgbLoaderTest, MissingColumnsAndRowsOutOfRange) {
    EXPECT_EQ(loaderCode<WriteRGB>("lab_mixed_case.txt"), ERR_NO_RGB_DATA);
    CgatsReader reader;
    reader.load(dataFile("rgb.txt"));
    EXPECT_EQ(thrownCode([&] { readRgbPatch(reader, 3); }), ERR_RGB_INDEX);
}

TEST(SpotLoaderTest, TwoInksWithoutCmykColumns) {
    const auto patches = patchesOf<WriteSpotColor>("spot_2clr.txt");
    ASSERT_EQ(patches.size(), 3u);
    for (const auto& patch : patches) {
        EXPECT_EQ(patch.channelCount, 2u);
        EXPECT_EQ(patch.channels, (std::array<std::uint8_t, 4>{0, 0, 0, 0}));
    }
    EXPECT_EQ(patches[0].extra, (Bytes{255, 0}));
    EXPECT_EQ(patches[1].extra, (Bytes{128, 26}));
    EXPECT_EQ(patches[2].extra, (Bytes{0, 0}));
    // A page of two channels prints the tints, not the (absent) CMYK.
    const auto page = WriteSpotColor::pixelBytes(patches[1], 2);
    EXPECT_EQ(page[0], 128);
    EXPECT_EQ(page[1], 26);
}

TEST(SpotLoaderTest, ProcessColourNamesWithCmyk) {
    const auto patches = patchesOf<WriteSpotColor>("spot_pc6.txt");
    ASSERT_EQ(patches.size(), 2u);
    EXPECT_EQ(patches[0].channelCount, 6u);
    EXPECT_EQ(patches[0].channels, (std::array<std::uint8_t, 4>{26, 51, 77, 102}));
    EXPECT_EQ(patches[0].extra, (Bytes{26, 51, 77, 102, 127, 102}));
    EXPECT_EQ(patches[1].channels, (std::array<std::uint8_t, 4>{0, 0, 0, 255}));
    EXPECT_EQ(patches[1].extra, (Bytes{255, 0, 0, 0, 255, 0}));
}

TEST(SpotLoaderTest, TheLargestInkCountWinsAndClrBeforePc) {
    const auto patches = patchesOf<WriteSpotColor>("spot_mixed_n.txt");
    ASSERT_EQ(patches.size(), 1u);
    EXPECT_EQ(patches[0].channelCount, 3u);
    EXPECT_EQ(patches[0].extra, (Bytes{26, 51, 77}));
}

TEST(SpotLoaderTest, EightInksInvertFiveAndUp) {
    const auto patches = patchesOf<WriteSpotColor>("spot_8clr_devicen.txt");
    ASSERT_EQ(patches.size(), 2u);
    EXPECT_EQ(patches[0].channelCount, 8u);
    EXPECT_EQ(patches[0].extra, (Bytes{26, 51, 77, 102, 127, 102, 76, 51}));
    EXPECT_EQ(patches[1].extra, (Bytes{0, 0, 0, 0, 0, 0, 255, 255}));
}

TEST(SpotLoaderTest, MissingChannelsFail) {
    EXPECT_EQ(loaderCode<WriteSpotColor>("spot_missing_channel.txt"), ERR_NO_CMYK_DATA);
    EXPECT_EQ(loaderCode<WriteSpotColor>("cmyk_basic.txt"), ERR_NO_CMYK_DATA);
}

// The converters on a loaded reader give what the file loaders give.
TEST(PatchLoaderTest, ConvertersMatchTheFileLoaders) {
    CgatsReader reader;
    reader.load(dataFile("spot_pc6.txt"));
    std::vector<WriteSpotColor::PixelColor> converted;
    PatchLoader<WriteSpotColor>::fromReader(reader, converted);
    EXPECT_EQ(converted, patchesOf<WriteSpotColor>("spot_pc6.txt"));
    std::vector<WriteCMYKRGB::PixelColor> multi;
    PatchLoader<WriteCMYKRGB>::fromReader(reader, multi);
    EXPECT_EQ(multi, patchesOf<WriteCMYKRGB>("spot_pc6.txt"));
}

TEST(PatchLoadersUnderACommaLocaleTest, GiveTheSameBytes) {
    const auto points = channelsOf(patchesOf<WriteCMYK>("cmyk_basic.txt"));
    const auto lab = channelsOf(patchesOf<WriteLAB>("lab_upper_commas.txt"));
    const auto rgb = channelsOf(patchesOf<WriteRGB>("rgb.txt"));
    cgatstest::CommaLocale locale;
    SKIP_WITHOUT_COMMA_LOCALE(locale);
    ASSERT_EQ(std::atof("0.5"), 0.0);  // the host locale really reads commas
    EXPECT_EQ(channelsOf(patchesOf<WriteCMYK>("cmyk_basic.txt")), points);
    EXPECT_EQ(channelsOf(patchesOf<WriteCMYK>("cmyk_commas_crlf.txt")), points);
    EXPECT_EQ(channelsOf(patchesOf<WriteLAB>("lab_upper_commas.txt")), lab);
    EXPECT_EQ(channelsOf(patchesOf<WriteRGB>("rgb.txt")), rgb);
}

}  // namespace
}  // namespace GenChartLib
