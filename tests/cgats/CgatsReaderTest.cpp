#include <gtest/gtest.h>

#include <array>
#include <cstdint>
#include <map>
#include <string>
#include <tuple>
#include <vector>

#include "CgatsTestSupport.h"
#include "Support.h"
#include "base/ErrorCodes.h"
#include "cgats/CgatsReader.h"

namespace GenChartLib {
namespace {

using cgatstest::dataFile;
using cgatstest::fromText;
using cgatstest::loaded;
using cgatstest::thrownCode;
using Strings = std::vector<std::string>;
using Ints = std::vector<std::int32_t>;
using Cmyk = std::array<std::int32_t, 4>;
using Inks = std::array<std::int32_t, 8>;

const std::string kMinimalHead =
    "NUMBER_OF_SETS 1\nBEGIN_DATA_FORMAT\nSAMPLE_ID CMYK_C CMYK_M CMYK_Y CMYK_K\n"
    "END_DATA_FORMAT\nBEGIN_DATA\n";

TEST(CgatsReaderTest, ReadsHeaderKeywordsFieldsAndCellsAsText) {
    const CgatsReader r = loaded("cmyk_basic.txt");
    // Strips, cols, patches per page, device, border, vertical, patch x
    // (6.5 read as an integer), patch y, gap, orientation, UV cut, zebra,
    // lowres, ISIS XL, aperture, randomized, printer, use randomized, sets.
    EXPECT_EQ((Ints{r.numberOfStrips, r.numberOfCols, r.patchesPerPage, r.device, r.borderPatches,
                    r.verticalMeas, r.patchSizeX, r.patchSizeY, r.gapSize, r.measureOrientation,
                    r.uvCutMode, r.zebraRulerMode, r.lowres, r.isisXlFormat, r.apertureSize,
                    r.randomizedPatches, r.printerId, r.useRandomizedReference, r.numberOfSets}),
              (Ints{2, 3, 12, 16, 1, 0, 6, 7, 1, 1, 2, 1, 0, 1, 8, 1, 12345, 1, 6}));
    // TARGET keeps everything after its six letters, untrimmed.
    EXPECT_EQ((Strings{r.targetId, r.target, r.layoutId, r.proofJob}),
              (Strings{"CHART-42", " PRESS SHEET A", "L17", "Proof Job 7"}));
    EXPECT_TRUE(r.hasProofJob);
    EXPECT_EQ(r.fieldNames, (Strings{"SAMPLE_ID", "CMYK_C", "CMYK_M", "CMYK_Y", "CMYK_K"}));
    EXPECT_EQ((Ints{r.fieldCount, r.fieldIndex.at("CMYK_Y"), r.fieldColumns.at(4).column}),
              (Ints{5, 3, 4}));
    EXPECT_EQ(r.fieldColumns[4].name + r.fieldColumns[4].unit, "CMYK_K");
    EXPECT_EQ(r.rows, (std::vector<Strings>{{"1", "0", "10", "30", "50"},
                                            {"2", "100", "70", "90", "9.99"},
                                            {"3", "-3", "120", "0.2", "0.19"},
                                            {"4", "12.5", "50.0001", "49.9999", "1E2"},
                                            {"5", "ABC", "+7.5", "5%", ".5"},
                                            {"6", "2.55E1", "99.9", "0", "100"}}));
    EXPECT_EQ((Strings{r.valueAt(0, 4), r.valueAt(5, 0), r.valueAt(-1, 2)}),
              (Strings{"50", "6", "CMYK_M"}));
    for (const auto& [set, column] :
         std::vector<std::pair<int, int>>{{6, 0}, {-2, 0}, {0, 5}, {0, -1}, {-1, 5}}) {
        EXPECT_EQ(thrownCode([&] { r.valueAt(set, column); }), ERR_COORDINATES)
            << set << "," << column;
    }
    // Two columns of one name share one fieldIndex entry, so only column 0
    // is addressable.
    const CgatsReader twice =
        fromText("NUMBER_OF_SETS 1\nBEGIN_DATA_FORMAT\nCMYK_C CMYK_C\nBEGIN_DATA\n1 2\nEND_DATA\n");
    EXPECT_EQ(twice.fieldIndex.at("CMYK_C"), 1);
    EXPECT_EQ(twice.valueAt(0, 0), "1");
    EXPECT_EQ(thrownCode([&] { twice.valueAt(0, 1); }), ERR_COORDINATES);
}

TEST(CgatsReaderTest, ASecondLoadResetsKeywordsToTheirStartValues) {
    // Spot declarations, device-N lines, every keyword; then a file that sets
    // no keyword but NUMBER_OF_SETS.
    CgatsReader r;
    for (const char* file :
         {"cmyk_lowercase_cr.txt", "spot_8clr_devicen.txt", "cmyk_basic.txt", "cmyko_named.txt"}) {
        r.load(dataFile(file));
    }
    EXPECT_EQ(
        (Ints{r.numberOfCols, r.numberOfStrips, r.borderPatches,      r.patchesPerPage,
              r.device,       r.verticalMeas,   r.patchSizeX,         r.patchSizeY,
              r.gapSize,      r.uvCutMode,      r.zebraRulerMode,     r.lowres,
              r.isisXlFormat, r.apertureSize,   r.randomizedPatches,  r.printerId,
              r.drgbColumn,   r.labColumn[0],   r.measureOrientation, r.useRandomizedReference}),
        (Ints{-1, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1, 0, 0}));
    EXPECT_TRUE(!r.hasProofJob && r.targetId.empty() && r.spotKeys.empty() &&
                r.spectralScale == 1.0 && r.rows.size() == 3u);
    std::array<Cmyk, 8> undeclared;
    undeclared.fill(Cmyk{-1, -1, -1, -1});
    EXPECT_EQ(r.deviceNCmyk, undeclared);
    EXPECT_EQ(r.channelNames, Strings(8));
}

TEST(CgatsReaderTest, DecimalCommasCrlfLowerCaseCrAndBlankLines) {
    const CgatsReader points = loaded("cmyk_basic.txt");
    const CgatsReader commas = loaded("cmyk_commas_crlf.txt");
    EXPECT_EQ(commas.rows, points.rows);
    EXPECT_EQ(commas.target, points.target);
    EXPECT_EQ(commas.proofJob, "Proof. Job 7");  // commas in quotes too
    // Lower case, CR only, blank lines in header and data; quoted texts
    // keep their case and quotes; spot declarations of both forms.
    const CgatsReader r = loaded("cmyk_lowercase_cr.txt");
    EXPECT_EQ(r.numberOfSets, 3);
    EXPECT_EQ(r.fieldNames, points.fieldNames);
    EXPECT_EQ(r.rows, (std::vector<Strings>{{"A1", "10", "20", "30", "40"},
                                            {"\"b2\"", "50", "60", "70", "80"},
                                            {"C3", "0", "0", "0", "100"}}));
    EXPECT_EQ(r.spotKeys, (Strings{"SPOT_1", "SPOT_4"}));
    EXPECT_EQ(r.spotNames, (Strings{"Warm Red", "deep blue"}));
}

TEST(CgatsReaderTest, ReadsSpotDeclarationsDeviceNLinesAndSkipsTargetSections) {
    const CgatsReader spots = loaded("spot_2clr.txt");
    EXPECT_EQ(spots.spotKeys, (Strings{"SPOT_1", "SPOT_2", "SPOT_7"}));
    EXPECT_EQ(spots.spotNames, (Strings{"Pantone 185 C", "Blue A", "Red B"}));
    EXPECT_EQ(loaded("cmyk_spot_tints.txt").spotColorFormat,
              (Strings{"SPOT_2", "SPOT_1", "MISSING"}));
    const CgatsReader r = loaded("spot_8clr_devicen.txt");
    // 75,5 is truncated; channel 7 has too few numbers.
    EXPECT_EQ(
        (std::vector<Cmyk>{r.deviceNCmyk[0], r.deviceNCmyk[4], r.deviceNCmyk[5], r.deviceNCmyk[6]}),
        (std::vector<Cmyk>{{0, 0, 0, 100}, {0, 100, 60, 0}, {0, 100, 0, 75}, {-1, -1, -1, -1}}));
    EXPECT_EQ(r.channelNames, (Strings{"Cyan", "", "", "", "Orange", "", "", "Violet"}));
    // The skipped sections hold NUMBER_OF_SETS 0, BEGIN_DATA and
    // BEGIN_DATA_FORMAT; none of them may take effect.
    EXPECT_EQ((Ints{r.numberOfSets, r.fieldCount, static_cast<int>(r.rows.size())}),
              (Ints{2, 9, 2}));
}

TEST(CgatsReaderTest, CachesInkAndMeasurementColumns) {
    const Cmyk none{-1, -1, -1, -1};
    // 2CLR names are not multi-ink columns; CMY_ names fill three of four.
    // clang-format off
    const std::vector<std::tuple<std::string, Cmyk, Inks>> files = {
        {"cmyk_basic.txt", {1, 2, 3, 4}, {1, 2, 3, 4, -1, -1, -1, -1}},
        {"cmyko_5clr.txt", {1, 2, 3, 4}, {5, 6, 7, 8, 9, -1, -1, -1}},
        {"cmykog_named.txt", {1, 2, 3, 4}, {1, 2, 3, 4, 5, 6, -1, -1}},
        {"cmykrgb_named.txt", {1, 2, 3, 4}, {1, 2, 3, 4, 5, 6, 7, -1}},
        {"cmykog_6clr.txt", none, {1, 2, 3, 4, 5, 6, -1, -1}},
        {"spot_8clr_devicen.txt", none, {1, 2, 3, 4, 5, 6, 7, 8}},
        {"spot_pc6.txt", {1, 2, 3, 4}, {5, 6, 7, 8, 9, 10, -1, -1}},
        {"spot_2clr.txt", none, {-1, -1, -1, -1, -1, -1, -1, -1}},
        {"measured_columns.txt", {15, 16, 17, -1}, {15, 16, 17, -1, -1, -1, -1, -1}}};
    // clang-format on
    for (const auto& [file, cmyk, inks] : files) {
        const CgatsReader r = loaded(file);
        EXPECT_EQ(r.cmykColumn, cmyk) << file;
        EXPECT_EQ(r.inkColumn, inks) << file;
    }
    const CgatsReader m = loaded("measured_columns.txt");
    EXPECT_EQ(m.densityColumn, (Cmyk{1, 2, 3, 4}));
    EXPECT_EQ((Ints{m.xyzColumn[0], m.xyzColumn[1], m.xyzColumn[2], m.labColumn[0], m.labColumn[1],
                    m.labColumn[2], m.rgbColumn[0], m.rgbColumn[1], m.rgbColumn[2], m.drgbColumn}),
              (Ints{5, 6, 7, 8, 9, 10, 11, 12, 13, 14}));
    // RED copies the CMYK columns over the 5CLR channels read before it.
    EXPECT_EQ(fromText("NUMBER_OF_SETS 1\nBEGIN_DATA_FORMAT\n5CLR_1 5CLR_2 CMYK_C CMYK_M CMYK_Y "
                       "CMYK_K RED\nBEGIN_DATA\n1 2 3 4 5 6 7\nEND_DATA\n")
                  .inkColumn,
              (Inks{2, 3, 4, 5, 6, -1, -1, -1}));
}

using Spectral = std::vector<std::pair<std::int32_t, std::string>>;

// Wavelength and name of every spectral column, in list order.
Spectral spectralListOf(const CgatsReader& r) {
    Spectral out;
    for (const auto& column : r.spectralColumns) {
        out.emplace_back(column.wavelength, column.name);
    }
    return out;
}

TEST(CgatsReaderTest, SpectralColumnsInPercentAndAsFactors) {
    for (const auto& [file, scale, prefix] :
         {std::tuple{"spectral_percent.txt", 100.0, "SPECTRAL_NM_"},
          std::tuple{"spectral_factor.txt", 1.0, "NM"}}) {
        Spectral list;
        std::map<std::int32_t, std::int32_t> columns;
        for (std::int32_t w = 380; w <= 730; w += 10) {
            list.emplace_back(w, prefix + std::to_string(w));
            columns[w] = static_cast<std::int32_t>(list.size());
        }
        const CgatsReader r = loaded(file);
        EXPECT_EQ(r.spectralScale, scale) << file;
        EXPECT_EQ(r.spectralByWavelength, columns) << file;
        EXPECT_EQ(spectralListOf(r), list) << file;
        EXPECT_EQ(r.spectralColumns[17].column, 18) << file;  // 550 nm
    }
    // Columns: 1 SPECTRAL_NM_440, 2 SP_400, 3 SPECTRAL_410, 4 SPECTRAL_NM420,
    // 5 NM430, 6 NMX; every spelling follows its own rule.
    const CgatsReader r = loaded("spectral_mixed.txt");
    EXPECT_EQ(r.spectralByWavelength, (std::map<std::int32_t, std::int32_t>{
                                          {0, 6}, {410, 3}, {420, 4}, {430, 5}, {440, 1}}));
    EXPECT_EQ(r.spectralScale, 1.0);  // the last spectral column, NMX, decides
    // The list reads SPECTRAL_NM420 by its SPECTRAL_ prefix, leaving "NM420"
    // without a number; the sort keeps file order among equal wavelengths.
    EXPECT_EQ(spectralListOf(r), (Spectral{{0, "SPECTRAL_NM420"},
                                           {0, "NMX"},
                                           {400, "SP_400"},
                                           {410, "SPECTRAL_410"},
                                           {430, "NM430"},
                                           {440, "SPECTRAL_NM_440"}}));
}

TEST(CgatsReaderTest, LineAndFieldListEdgeCases) {
    // Zero bytes end lines only outside quotes.
    EXPECT_EQ(loaded("nul_line_ends.txt").rows,
              (std::vector<Strings>{{std::string("\"a\0b\"", 5), "10", "20", "30", "40"}}));
    // Only the first line after BEGIN_DATA_FORMAT is the field list.
    const CgatsReader split = fromText(
        "NUMBER_OF_SETS 1\nBEGIN_DATA_FORMAT\nSAMPLE_ID CMYK_C\nCMYK_M CMYK_Y CMYK_K\n"
        "END_DATA_FORMAT\nBEGIN_DATA\n1 50\nEND_DATA\n");
    EXPECT_EQ(split.fieldCount, 2);
    EXPECT_EQ(split.cmykColumn, (Cmyk{1, -1, -1, -1}));
    // An unquoted proof job is upper-cased and trimmed; END_DATA may lack a
    // final line end.
    const CgatsReader job =
        fromText("PROOFJOB \t my job  \t\n" + kMinimalHead + "1 0 0 0 0\nEND_DATA");
    EXPECT_EQ(job.proofJob, "MY JOB");
    EXPECT_EQ(job.rows.size(), 1u);
}

// Files for what a text cannot hold, then texts; "" is the data directory
// itself; the huge_sets files announce 2e9 sets and give three. NUMBER_OF_SETS 0 fails at the
// keyword. Hitting a limit (a line one byte too long in the header, a ten-megabyte data line, too
// many fields, too many sets) fails with ERR_INVALID_REFERENCE and logs the reason.
TEST(CgatsReaderErrorTest, EachMalformedFileOrTextFailsWithItsCode) {
    // clang-format off
    const std::vector<std::pair<int, Strings>> files = {
        {ERR_OPEN_DATA, {"no_such_file.txt", ""}},
        {ERR_ZERO_SETS, {"err_negative_sets.txt", "err_no_sets_keyword.txt"}},
        {ERR_BEGIN_DATA_NOT_FOUND, {"err_ff_line.txt", "err_unclosed_target_format.txt"}},
        {ERR_EMPTY_ROW, {"err_nul_row.txt", "err_huge_sets_eof.txt"}},
        {ERR_TOO_FEW_SETS, {"err_huge_sets_end_data.txt"}}};
    // clang-format on
    for (const auto& [code, names] : files) {
        for (const std::string& file : names) {
            const int thrown = thrownCode([&] { loaded(file); });
            EXPECT_EQ(thrown, code) << file << ": " << errorText(thrown);
        }
    }
    std::string tooManyFields = "NUMBER_OF_SETS 1\nBEGIN_DATA_FORMAT\n";
    for (std::size_t i = 0; i <= kMaxFieldsPerLine; ++i) {
        tooManyFields += "F" + std::to_string(i) + " ";
    }
    std::string tooManySets = "NUMBER_OF_SETS 2000000000\nBEGIN_DATA_FORMAT\nA\nBEGIN_DATA\n";
    for (std::int64_t i = 0; i <= kMaxSets; ++i) {
        tooManySets += "1\n";
    }
    const std::string& head = kMinimalHead;
    const std::vector<std::pair<int, Strings>> texts = {
        {ERR_ZERO_SETS, {"NUMBER_OF_SETS 0\n", "NUMBER_OF_SETS none\n"}},
        {ERR_NO_DATA_FORMAT,
         {"NUMBER_OF_SETS 1\nBEGIN_DATA_FORMAT\n", "BEGIN_DATA_FORMAT\n \t \nBEGIN_DATA\n"}},
        {ERR_BEGIN_DATA_NOT_FOUND, {"", "BEGIN_REPORTING_FORMAT\nEND_TARGET_FORMAT\n"}},
        {ERR_EMPTY_ROW, {head, head + "1 2 3 4 5\n"}},
        {ERR_TOO_FEW_SETS, {head + "END_DATA\n"}},
        {ERR_WRONG_ROW_LENGTH, {head + "1 2 3 4\nEND_DATA\n", head + " \t\nEND_DATA\n"}},
        {ERR_END_DATA_NOT_FOUND, {head + "1 2 3 4 5\nEND\n"}},
        {ERR_INVALID_REFERENCE,
         {std::string(kMaxLineBytes + 1, 'A'), head + std::string(10u << 20, '7') + "\n",
          tooManyFields + "\nBEGIN_DATA\n", tooManySets}}};
    testsupport::TempFolder folder;
    testsupport::LogCapture log(folder.file("log.txt"));
    for (const auto& [code, cases] : texts) {
        for (const std::string& text : cases) {
            EXPECT_EQ(thrownCode([&] { fromText(text); }), code) << text.substr(0, 80);
        }
    }
    EXPECT_EQ(log.text(),
              "CgatsReader/load: a line is longer than the reader accepts\n"
              "CgatsReader/load: a line is longer than the reader accepts\n"
              "CgatsReader/load: a line holds more fields than the reader accepts\n"
              "CgatsReader/load: the data block holds more sets than the reader accepts\n");
}

}  // namespace
}  // namespace GenChartLib
