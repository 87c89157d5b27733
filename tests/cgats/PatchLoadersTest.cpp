#include <gtest/gtest.h>

#include <array>
#include <cstdint>
#include <cstdlib>
#include <map>
#include <string>
#include <utility>
#include <vector>

#include "CgatsTestSupport.h"
#include "base/ErrorCodes.h"
#include "cgats/PatchLoaders.h"

namespace GenChartLib {
namespace {

using cgatstest::dataFile;
using cgatstest::fromText;
using cgatstest::loaded;
using cgatstest::thrownCode;
using Bytes = std::vector<std::uint8_t>;
using Cmyk = std::array<std::uint8_t, 4>;

template <class W>
std::vector<typename W::PixelColor> patchesOf(const std::string& name) {
    CgatsReader reader;
    std::vector<typename W::PixelColor> out;
    PatchLoader<W>::load(reader, dataFile(name), out);
    return out;
}

// Channel bytes of every patch of a file, for comparing whole files at once.
template <class W>
std::vector<Bytes> bytesOf(const std::string& name) {
    std::vector<Bytes> out;
    for (const auto& patch : patchesOf<W>(name)) {
        out.emplace_back(patch.channels.begin(), patch.channels.end());
    }
    return out;
}

template <class W>
int loaderCode(const std::string& name) {
    return thrownCode([&] { patchesOf<W>(name); });
}

// Ink bytes are floor(p * 255 / 100 + 0.5); the file puts values on the
// exact halves (10 % -> 25.5, 30 % -> 76.5, 50 % -> 127.5, 70 % -> 178.5,
// 90 % -> 229.5), which round up, and just beside them.
const std::vector<Bytes> kCmykBasicBytes = {
    {0, 26, 77, 128},     // 0, 10, 30, 50
    {255, 179, 230, 25},  // 100, 70, 90, 9.99 (25.47)
    {0, 255, 1, 0},       // -3 clamped, 120 clamped, 0.2 (0.51), 0.19 (0.48)
    {32, 128, 127, 255},  // 12.5 (31.9), 50.0001, 49.9999, 1e2
    {0, 19, 13, 1},       // "abc", +7.5 (19.1), 5% (12.75), .5 (1.275)
    {65, 255, 0, 255}};   // 2.55e1 (65.0), 99.9 (254.7)

// L byte floor(L * 255 / 100 + 0.5); a, b floor(clamp(v + 128) + 0.5) - 128
// as two's-complement bytes.
const std::vector<Bytes> kLabBytes = {
    {128, 246, 20},  // 50, -10, 20
    {26, 128, 127},  // 10, -140 clamped to -128, 127.4 clamped to 127
    {230, 246, 21},  // 90 (229.5), -10.5 (117.5 -> 118), 20.5 (149)
    {255, 0, 126},   // 100, -0.5 (128 -> 0), 126.4
    {0, 245, 128}};  // 0, -10.6 (-11), -128.5 clamped to -128

// RGB truncates and keeps the low eight bits.
const std::vector<Bytes> kRgbBytes = {{254, 44, 255},  // 254.9, 300, -1
                                      {0, 255, 127},   // 127.99
                                      {232, 0, 0}};    // 1e3, -0.5, 256

// The multi-ink loaders take the n-colour set over CMYK plus named inks;
// channels 5 and up are inverted; a named ink or 6CLR_5/6 the file lacks is
// no ink (255).
TEST(PatchLoaderTest, EveryModeGivesTheHandWorkedBytes) {
    // clang-format off
    const std::vector<std::pair<std::vector<Bytes>, std::vector<Bytes>>> cases = {
        {bytesOf<WriteCMYK>("cmyk_basic.txt"), kCmykBasicBytes},
        {bytesOf<WriteLAB>("lab_mixed_case.txt"), kLabBytes},
        {bytesOf<WriteLAB>("lab_upper_commas.txt"), kLabBytes},
        {bytesOf<WriteRGB>("rgb.txt"), kRgbBytes},
        {bytesOf<WriteCMYKO>("cmyko_5clr.txt"),
         {{51, 77, 102, 128, 255}, {0, 0, 0, 0, 0}, {255, 255, 255, 255, 127}}},
        {bytesOf<WriteCMYKO>("cmyko_named.txt"),
         {{26, 51, 77, 102, 255}, {0, 0, 0, 0, 0}, {128, 128, 128, 128, 229}}},
        {{bytesOf<WriteCMYKO>("cmyk_basic.txt")[1]}, {{255, 179, 230, 25, 255}}},
        {bytesOf<WriteCMYKOG>("cmykog_6clr.txt"),
         {{26, 51, 77, 102, 127, 102}, {255, 0, 0, 0, 255, 0}}},
        {bytesOf<WriteCMYKOG>("cmykog_named.txt"),
         {{26, 51, 77, 102, 127, 102}, {0, 0, 0, 0, 0, 255}}},
        {bytesOf<WriteCMYKOG>("cmykog_6clr_partial.txt"), {{179, 77, 26, 230, 255, 255}}},
        {{bytesOf<WriteCMYKOG>("cmyko_named.txt")[1]}, {{0, 0, 0, 0, 0, 255}}},
        {bytesOf<WriteCMYKRGB>("cmykrgb_7clr.txt"),
         {{26, 51, 77, 102, 127, 102, 76}, {0, 0, 0, 0, 0, 0, 0}}},
        {bytesOf<WriteCMYKRGB>("cmykrgb_named.txt"),
         {{26, 51, 77, 102, 25, 76, 178}, {255, 255, 255, 255, 255, 255, 255}}},
        {{bytesOf<WriteCMYKRGB>("cmykog_named.txt")[0]}, {{26, 51, 77, 102, 255, 102, 255}}}};
    // clang-format on
    for (std::size_t i = 0; i < cases.size(); ++i) {
        EXPECT_EQ(cases[i].first, cases[i].second) << "case " << i;
    }
    EXPECT_TRUE(patchesOf<WriteCMYK>("cmyk_basic.txt")[0].extra.empty());  // no spot columns
}

TEST(CmykLoaderTest, CarriesInvertedSpotTintsInNameOrder) {
    CgatsReader reader;
    std::vector<WriteCMYK::PixelColor> patches;
    loadCmykPatches(reader, dataFile("cmyk_spot_tints.txt"), patches);
    ASSERT_EQ(patches.size(), 2u);
    // SPOT_1 100 % -> 0, SPOT_2 0 % -> 255; the unknown column is left out.
    EXPECT_EQ(patches[0].channels, (Cmyk{26, 51, 77, 102}));
    EXPECT_EQ(patches[0].extra, (Bytes{0, 255}));
    EXPECT_EQ(patches[1].extra, (Bytes{127, 229}));  // 50 %, 10 %
    EXPECT_EQ(readCmykPatch(reader, 1).spotTints,
              (std::map<std::string, std::uint8_t>{{"SPOT_1", 127}, {"SPOT_2", 229}}));
    EXPECT_EQ(reader.numberOfSets, 2);  // the caller's reader keeps the header
}

// measured_columns.txt has only the CMY_ columns; the RGB row reader refuses
// a row without one of its columns as the loader refuses the file; the row
// readers refuse sets outside the data block.
TEST(PatchLoaderTest, MissingColumnsRowsAndLoadErrorsFailWithTheirCodes) {
    CgatsReader reader;
    std::vector<WriteCMYK::PixelColor> emptied(3);
    const CgatsReader noGreen =
        fromText("NUMBER_OF_SETS 1\nBEGIN_DATA_FORMAT\nRGB_R RGB_B\nBEGIN_DATA\n1 2\nEND_DATA\n");
    const CgatsReader cmyko = loaded("cmyko_named.txt"), lab = loaded("lab_mixed_case.txt");
    // clang-format off
    const std::vector<std::pair<int, std::vector<int>>> cases = {
        {ERR_OPEN_DATA,
         {thrownCode([&] { loadCmykPatches(reader, dataFile("absent.txt"), emptied); })}},
        {ERR_TOO_FEW_SETS, {loaderCode<WriteCMYK>("err_short_data.txt")}},
        {ERR_WRONG_ROW_LENGTH, {loaderCode<WriteSpotColor>("err_row_length.txt")}},
        {ERR_NO_CMYK_DATA,
         {loaderCode<WriteCMYK>("cmykog_6clr.txt"), loaderCode<WriteCMYK>("measured_columns.txt"),
          loaderCode<WriteCMYK>("rgb.txt"), loaderCode<WriteCMYKO>("rgb.txt"),
          loaderCode<WriteCMYKOG>("cmykrgb_7clr.txt"), loaderCode<WriteCMYKRGB>("spot_2clr.txt"),
          loaderCode<WriteSpotColor>("spot_missing_channel.txt"),
          loaderCode<WriteSpotColor>("cmyk_basic.txt")}},
        {ERR_NO_LAB_DATA, {loaderCode<WriteLAB>("cmyk_basic.txt")}},
        {ERR_NO_RGB_DATA, {loaderCode<WriteRGB>("lab_mixed_case.txt"),
                           thrownCode([&] { readRgbPatch(noGreen, 0); })}},
        {ERR_CMYK_INDEX, {thrownCode([&] { readCmykPatch(cmyko, -1); }),
                          thrownCode([&] { readCmykPatch(cmyko, 3); }),
                          thrownCode([&] { readChannel(cmyko, 1000, "ORANGE"); }),
                          thrownCode([&] { readChannel(cmyko, -1, "ORANGE"); }),
                          thrownCode([&] { readCmykPatch(CgatsReader(), 0); })}},
        {ERR_LAB_INDEX, {thrownCode([&] { readLabPatch(lab, 5); }),
                         thrownCode([&] { readLabPatch(lab, -1); })}},
        {ERR_RGB_INDEX, {thrownCode([&] { readRgbPatch(loaded("rgb.txt"), 3); })}}};
    // clang-format on
    for (const auto& [code, thrown] : cases) {
        EXPECT_EQ(thrown, std::vector<int>(thrown.size(), code)) << code;
    }
    EXPECT_TRUE(emptied.empty());
}

// CMYK bytes are 0 without CMYK columns; ink channels 1 to 4 are ink
// amounts, 5 and up inverted; the largest N wins and nCLR before PC names.
TEST(SpotLoaderTest, ChannelCountCmykAndInkBytes) {
    using Spot = WriteSpotColor::PixelColor;
    const std::vector<std::pair<std::string, std::vector<Spot>>> cases = {
        {"spot_2clr.txt",
         {{{0, 0, 0, 0}, {255, 0}, 2}, {{0, 0, 0, 0}, {128, 26}, 2}, {{0, 0, 0, 0}, {0, 0}, 2}}},
        {"spot_pc6.txt",
         {{{26, 51, 77, 102}, {26, 51, 77, 102, 127, 102}, 6},
          {{0, 0, 0, 255}, {255, 0, 0, 0, 255, 0}, 6}}},
        {"spot_mixed_n.txt", {{{0, 0, 0, 0}, {26, 51, 77}, 3}}},
        {"spot_8clr_devicen.txt",
         {{{0, 0, 0, 0}, {26, 51, 77, 102, 127, 102, 76, 51}, 8},
          {{0, 0, 0, 0}, {0, 0, 0, 0, 0, 0, 255, 255}, 8}}},
    };
    for (const auto& [file, expected] : cases) {
        EXPECT_EQ(patchesOf<WriteSpotColor>(file), expected) << file;
    }
    // A page of two channels prints the tints, not the (absent) CMYK.
    const auto page = WriteSpotColor::pixelBytes(patchesOf<WriteSpotColor>("spot_2clr.txt")[1], 2);
    EXPECT_EQ(page[0], 128);
    EXPECT_EQ(page[1], 26);
}

TEST(PatchLoadersUnderACommaLocaleTest, GiveTheSameBytes) {
    cgatstest::CommaLocale locale;
    SKIP_WITHOUT_COMMA_LOCALE(locale);
    ASSERT_EQ(std::atof("0.5"), 0.0);  // the host locale really reads commas
    EXPECT_EQ(bytesOf<WriteCMYK>("cmyk_basic.txt"), kCmykBasicBytes);
    EXPECT_EQ(bytesOf<WriteLAB>("lab_upper_commas.txt"), kLabBytes);
    EXPECT_EQ(bytesOf<WriteRGB>("rgb.txt"), kRgbBytes);
}

}  // namespace
}  // namespace GenChartLib
