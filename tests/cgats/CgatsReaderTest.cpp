#include <gtest/gtest.h>

#include <array>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <random>
#include <sstream>
#include <string>
#include <vector>

#include "CgatsTestSupport.h"
#include "api/ErrorCodes.h"
#include "cgats/CgatsReader.h"
#include "outside/DebugLog.h"

namespace GenChartLib {
namespace {

using cgatstest::dataFile;
using cgatstest::thrownCode;
using Strings = std::vector<std::string>;

CgatsReader loaded(const std::string& name) {
    CgatsReader reader;
    reader.load(dataFile(name));
    return reader;
}

int loadCode(const std::string& name) {
    CgatsReader reader;
    return thrownCode([&] { reader.load(dataFile(name)); });
}

int streamCode(const std::string& text) {
    CgatsReader reader;
    std::istringstream in(text);
    return thrownCode([&] { reader.load(in); });
}

const char* const kMinimalHead =
    "NUMBER_OF_SETS 1\nBEGIN_DATA_FORMAT\nSAMPLE_ID CMYK_C CMYK_M CMYK_Y CMYK_K\n"
    "END_DATA_FORMAT\nBEGIN_DATA\n";

TEST(CgatsReaderTest, FreshReaderHasEmptyCachesAndUnitScale) {
    const CgatsReader reader;
    EXPECT_EQ(reader.cmykColumn, (std::array<std::int32_t, 4>{-1, -1, -1, -1}));
    EXPECT_EQ(reader.inkColumn, (std::array<std::int32_t, 8>{-1, -1, -1, -1, -1, -1, -1, -1}));
    EXPECT_EQ(reader.labColumn, (std::array<std::int32_t, 3>{-1, -1, -1}));
    EXPECT_EQ(reader.drgbColumn, -1);
    EXPECT_EQ(reader.spectralScale, 1.0);
    EXPECT_EQ(reader.fieldCount, -1);
    EXPECT_EQ(reader.channelNames.size(), 8u);
}

TEST(CgatsReaderTest, StoresEveryHeaderKeyword) {
    const CgatsReader r = loaded("cmyk_basic.txt");
    EXPECT_EQ(r.numberOfStrips, 2);
    EXPECT_EQ(r.numberOfCols, 3);
    EXPECT_EQ(r.patchesPerPage, 12);
    EXPECT_EQ(r.device, 16);
    EXPECT_EQ(r.borderPatches, 1);
    EXPECT_EQ(r.verticalMeas, 0);
    EXPECT_EQ(r.patchSizeX, 6);  // 6.5 read as an integer
    EXPECT_EQ(r.patchSizeY, 7);
    EXPECT_EQ(r.gapSize, 1);
    EXPECT_EQ(r.measureOrientation, 1);
    EXPECT_EQ(r.uvCutMode, 2);
    EXPECT_EQ(r.zebraRulerMode, 1);
    EXPECT_EQ(r.lowres, 0);
    EXPECT_EQ(r.isisXlFormat, 1);
    EXPECT_EQ(r.apertureSize, 8);
    EXPECT_EQ(r.randomizedPatches, 1);
    EXPECT_EQ(r.printerId, 12345);
    EXPECT_EQ(r.useRandomizedReference, 1);
    EXPECT_EQ(r.numberOfSets, 6);
    EXPECT_EQ(r.targetId, "CHART-42");
    EXPECT_EQ(r.target, " PRESS SHEET A");  // after the six letters, untrimmed
    EXPECT_EQ(r.layoutId, "L17");
    EXPECT_TRUE(r.hasProofJob);
    EXPECT_EQ(r.proofJob, "Proof Job 7");
}

TEST(CgatsReaderTest, KeywordsAbsentFromTheFileKeepTheirStartValues) {
    const CgatsReader r = loaded("cmyko_named.txt");
    for (std::int32_t value :
         {r.numberOfCols, r.numberOfStrips, r.borderPatches, r.patchesPerPage, r.device,
          r.verticalMeas, r.patchSizeX, r.patchSizeY, r.gapSize, r.uvCutMode, r.zebraRulerMode,
          r.lowres, r.isisXlFormat, r.apertureSize, r.randomizedPatches, r.printerId}) {
        EXPECT_EQ(value, -1);
    }
    EXPECT_EQ(r.measureOrientation, 0);
    EXPECT_EQ(r.useRandomizedReference, 0);
    EXPECT_FALSE(r.hasProofJob);
    EXPECT_TRUE(r.targetId.empty());
    for (const auto& makeUp : r.deviceNCmyk) {
        EXPECT_EQ(makeUp, (std::array<std::int32_t, 4>{-1, -1, -1, -1}));
    }
    EXPECT_EQ(r.channelNames, Strings(8));
}

TEST(CgatsReaderTest, KeepsFieldsAndCellsAsText) {
    const CgatsReader r = loaded("cmyk_basic.txt");
    EXPECT_EQ(r.fieldCount, 5);
    EXPECT_EQ(r.fieldNames, (Strings{"SAMPLE_ID", "CMYK_C", "CMYK_M", "CMYK_Y", "CMYK_K"}));
    EXPECT_EQ(r.fieldIndex.at("CMYK_Y"), 3);
    ASSERT_EQ(r.fieldColumns.size(), 5u);
    EXPECT_EQ(r.fieldColumns[4].column, 4);
    EXPECT_EQ(r.fieldColumns[4].name, "CMYK_K");
    EXPECT_TRUE(r.fieldColumns[4].unit.empty());
    EXPECT_EQ(r.cmykColumn, (std::array<std::int32_t, 4>{1, 2, 3, 4}));
    EXPECT_EQ(r.inkColumn, (std::array<std::int32_t, 8>{1, 2, 3, 4, -1, -1, -1, -1}));
    ASSERT_EQ(r.rows.size(), 6u);
    EXPECT_EQ(r.rows[1], (Strings{"2", "100", "70", "90", "9.99"}));
    EXPECT_EQ(r.rows[4], (Strings{"5", "ABC", "+7.5", "5%", ".5"}));
    EXPECT_EQ(r.rows[5], (Strings{"6", "2.55E1", "99.9", "0", "100"}));
}

TEST(CgatsReaderTest, ValueAtGivesCellsAndColumnNames) {
    const CgatsReader r = loaded("cmyk_basic.txt");
    EXPECT_EQ(r.valueAt(0, 4), "50");
    EXPECT_EQ(r.valueAt(5, 0), "6");
    EXPECT_EQ(r.valueAt(-1, 2), "CMYK_M");
    EXPECT_EQ(r.columnOf("CMYK_K"), 4);
    EXPECT_EQ(r.columnOf("ORANGE"), -1);
    const std::vector<std::pair<int, int>> outside = {{6, 0}, {-2, 0}, {0, 5}, {0, -1}, {-1, 5}};
    for (const auto& [set, column] : outside) {
        EXPECT_EQ(thrownCode([&] { r.valueAt(set, column); }), ERR_COORDINATES)
            << set << "," << column;
    }
}

TEST(CgatsReaderTest, ValueAtLimitsColumnsToDistinctFieldNames) {
    // Two columns of one name share one fieldIndex entry, so only column 0
    // is addressable.
    CgatsReader r;
    std::istringstream in(
        "NUMBER_OF_SETS 1\nBEGIN_DATA_FORMAT\nCMYK_C CMYK_C\nBEGIN_DATA\n1 2\nEND_DATA\n");
    r.load(in);
    EXPECT_EQ(r.fieldIndex.at("CMYK_C"), 1);
    EXPECT_EQ(r.valueAt(0, 0), "1");
    EXPECT_EQ(thrownCode([&] { r.valueAt(0, 1); }), ERR_COORDINATES);
}

TEST(CgatsReaderTest, DecimalCommasAndCrlfReadLikeFullStopsAndLf) {
    const CgatsReader points = loaded("cmyk_basic.txt");
    const CgatsReader commas = loaded("cmyk_commas_crlf.txt");
    EXPECT_EQ(commas.rows, points.rows);
    EXPECT_EQ(commas.fieldNames, points.fieldNames);
    EXPECT_EQ(commas.target, points.target);
    // Commas inside quoted texts become full stops as well.
    EXPECT_EQ(commas.proofJob, "Proof. Job 7");
}

TEST(CgatsReaderTest, LowerCaseCrOnlyFileWithBlankLines) {
    const CgatsReader r = loaded("cmyk_lowercase_cr.txt");
    EXPECT_EQ(r.numberOfSets, 3);
    EXPECT_EQ(r.fieldNames, (Strings{"SAMPLE_ID", "CMYK_C", "CMYK_M", "CMYK_Y", "CMYK_K"}));
    ASSERT_EQ(r.rows.size(), 3u);
    EXPECT_EQ(r.rows[0], (Strings{"A1", "10", "20", "30", "40"}));
    EXPECT_EQ(r.rows[1][0], "\"b2\"");  // quoted: case and quotes kept
    EXPECT_EQ(r.rows[2], (Strings{"C3", "0", "0", "0", "100"}));
    EXPECT_EQ(r.spotKeys, (Strings{"SPOT_1", "SPOT_4"}));
    EXPECT_EQ(r.spotNames, (Strings{"Warm Red", "deep blue"}));
}

TEST(CgatsReaderTest, ReadsSpotDeclarationsOfBothForms) {
    const CgatsReader r = loaded("spot_2clr.txt");
    EXPECT_EQ(r.spotKeys, (Strings{"SPOT_1", "SPOT_2", "SPOT_7"}));
    EXPECT_EQ(r.spotNames, (Strings{"Pantone 185 C", "Blue A", "Red B"}));
}

TEST(CgatsReaderTest, ReadsDeviceNMakeUpsAndProcessColourNames) {
    const CgatsReader r = loaded("spot_8clr_devicen.txt");
    using MakeUp = std::array<std::int32_t, 4>;
    EXPECT_EQ(r.deviceNCmyk[0], (MakeUp{0, 0, 0, 100}));
    EXPECT_EQ(r.deviceNCmyk[4], (MakeUp{0, 100, 60, 0}));
    EXPECT_EQ(r.deviceNCmyk[5], (MakeUp{0, 100, 0, 75}));   // 75,5 truncated
    EXPECT_EQ(r.deviceNCmyk[6], (MakeUp{-1, -1, -1, -1}));  // too few numbers
    EXPECT_EQ(r.channelNames, (Strings{"Cyan", "", "", "", "Orange", "", "", "Violet"}));
    EXPECT_EQ(r.inkColumn, (std::array<std::int32_t, 8>{1, 2, 3, 4, 5, 6, 7, 8}));
}

TEST(CgatsReaderTest, SkipsTargetAndReportingSections) {
    // The skipped sections hold NUMBER_OF_SETS 0, BEGIN_DATA and
    // BEGIN_DATA_FORMAT; none of them may take effect.
    const CgatsReader r = loaded("spot_8clr_devicen.txt");
    EXPECT_EQ(r.numberOfSets, 2);
    EXPECT_EQ(r.fieldCount, 9);
    ASSERT_EQ(r.rows.size(), 2u);
    EXPECT_EQ(r.rows[1][8], "0");
}

TEST(CgatsReaderTest, ReadsTheSpotColourFormat) {
    EXPECT_EQ(loaded("cmyk_spot_tints.txt").spotColorFormat,
              (Strings{"SPOT_2", "SPOT_1", "MISSING"}));
}

TEST(CgatsReaderTest, CachesMultiInkColumns) {
    using Ink = std::array<std::int32_t, 8>;
    EXPECT_EQ(loaded("cmyko_5clr.txt").inkColumn, (Ink{5, 6, 7, 8, 9, -1, -1, -1}));
    EXPECT_EQ(loaded("cmyko_5clr.txt").cmykColumn, (std::array<std::int32_t, 4>{1, 2, 3, 4}));
    EXPECT_EQ(loaded("cmykog_named.txt").inkColumn, (Ink{1, 2, 3, 4, 5, 6, -1, -1}));
    EXPECT_EQ(loaded("cmykrgb_named.txt").inkColumn, (Ink{1, 2, 3, 4, 5, 6, 7, -1}));
    EXPECT_EQ(loaded("cmykog_6clr.txt").inkColumn, (Ink{1, 2, 3, 4, 5, 6, -1, -1}));
    EXPECT_EQ(loaded("cmykog_6clr.txt").cmykColumn, (std::array<std::int32_t, 4>{-1, -1, -1, -1}));
    // PC names of fewer than five inks are not multi-ink columns.
    EXPECT_EQ(loaded("spot_pc6.txt").inkColumn, (Ink{5, 6, 7, 8, 9, 10, -1, -1}));
    EXPECT_EQ(loaded("spot_2clr.txt").inkColumn, (Ink{-1, -1, -1, -1, -1, -1, -1, -1}));
}

TEST(CgatsReaderTest, RedInkTakesTheCmykColumnsAsInkChannels) {
    // A 5CLR file: channels 1-4 from 5CLR_1..4 until RED copies the CMYK
    // columns over them.
    CgatsReader r;
    std::istringstream in(
        "NUMBER_OF_SETS 1\nBEGIN_DATA_FORMAT\n5CLR_1 5CLR_2 CMYK_C CMYK_M CMYK_Y CMYK_K RED\n"
        "BEGIN_DATA\n1 2 3 4 5 6 7\nEND_DATA\n");
    r.load(in);
    EXPECT_EQ(r.inkColumn, (std::array<std::int32_t, 8>{2, 3, 4, 5, 6, -1, -1, -1}));
}

TEST(CgatsReaderTest, CachesMeasurementColumns) {
    const CgatsReader r = loaded("measured_columns.txt");
    EXPECT_EQ(r.densityColumn, (std::array<std::int32_t, 4>{1, 2, 3, 4}));
    EXPECT_EQ(r.xyzColumn, (std::array<std::int32_t, 3>{5, 6, 7}));
    EXPECT_EQ(r.labColumn, (std::array<std::int32_t, 3>{8, 9, 10}));
    EXPECT_EQ(r.rgbColumn, (std::array<std::int32_t, 3>{11, 12, 13}));
    EXPECT_EQ(r.drgbColumn, 14);
    EXPECT_EQ(r.cmykColumn, (std::array<std::int32_t, 4>{15, 16, 17, -1}));
    EXPECT_EQ(r.inkColumn, (std::array<std::int32_t, 8>{15, 16, 17, -1, -1, -1, -1, -1}));
}

std::vector<std::int32_t> wavelengthsOf(const CgatsReader& r) {
    std::vector<std::int32_t> out;
    for (const auto& column : r.spectralColumns) {
        out.push_back(column.wavelength);
    }
    return out;
}

TEST(CgatsReaderTest, SpectralColumnsInPercent) {
    const CgatsReader r = loaded("spectral_percent.txt");
    EXPECT_EQ(r.spectralScale, 100.0);
    ASSERT_EQ(r.spectralByWavelength.size(), 36u);
    EXPECT_EQ(r.spectralByWavelength.begin()->first, 380);
    EXPECT_EQ(r.spectralByWavelength.rbegin()->first, 730);
    EXPECT_EQ(r.spectralByWavelength.at(550), 18);
    ASSERT_EQ(r.spectralColumns.size(), 36u);
    EXPECT_EQ(r.spectralColumns[17].name, "SPECTRAL_NM_550");
    EXPECT_EQ(r.spectralColumns[17].column, 18);
    EXPECT_EQ(r.rows[1][18], "58.5");  // 50 + 17 / 2
}

TEST(CgatsReaderTest, SpectralColumnsAsFactors) {
    const CgatsReader r = loaded("spectral_factor.txt");
    EXPECT_EQ(r.spectralScale, 1.0);
    ASSERT_EQ(r.spectralByWavelength.size(), 36u);
    EXPECT_EQ(r.spectralByWavelength.at(380), 1);
    EXPECT_EQ(r.spectralByWavelength.at(730), 36);
    std::vector<std::int32_t> expected;
    for (int w = 380; w <= 730; w += 10) {
        expected.push_back(w);
    }
    EXPECT_EQ(wavelengthsOf(r), expected);
    EXPECT_EQ(r.spectralColumns[0].name, "NM380");
}

TEST(CgatsReaderTest, EverySpectralSpellingFollowsItsOwnRule) {
    // Columns: 1 SPECTRAL_NM_440, 2 SP_400, 3 SPECTRAL_410, 4 SPECTRAL_NM420,
    // 5 NM430, 6 NMX.
    const CgatsReader r = loaded("spectral_mixed.txt");
    const std::map<std::int32_t, std::int32_t> map = {
        {0, 6}, {410, 3}, {420, 4}, {430, 5}, {440, 1}};
    EXPECT_EQ(r.spectralByWavelength, map);
    EXPECT_EQ(r.spectralScale, 1.0);  // the last spectral column, NMX, decides
    // The list reads SPECTRAL_NM420 by its SPECTRAL_ prefix, leaving "NM420"
    // without a number; the sort keeps file order among equal wavelengths.
    EXPECT_EQ(wavelengthsOf(r), (std::vector<std::int32_t>{0, 0, 400, 410, 430, 440}));
    std::vector<std::string> names;
    for (const auto& column : r.spectralColumns) {
        names.push_back(column.name);
    }
    EXPECT_EQ(names, (Strings{"SPECTRAL_NM420", "NMX", "SP_400", "SPECTRAL_410", "NM430",
                              "SPECTRAL_NM_440"}));
}

TEST(CgatsReaderTest, ZeroBytesEndLinesOnlyOutsideQuotes) {
    const CgatsReader r = loaded("nul_line_ends.txt");
    ASSERT_EQ(r.rows.size(), 1u);
    EXPECT_EQ(r.rows[0][0], std::string("\"a\0b\"", 5));
    EXPECT_EQ(r.rows[0][4], "40");
}

TEST(CgatsReaderTest, OnlyTheFirstLineAfterBeginDataFormatCounts) {
    CgatsReader r;
    std::istringstream in(
        "NUMBER_OF_SETS 1\nBEGIN_DATA_FORMAT\nSAMPLE_ID CMYK_C\nCMYK_M CMYK_Y CMYK_K\n"
        "END_DATA_FORMAT\nBEGIN_DATA\n1 50\nEND_DATA\n");
    r.load(in);
    EXPECT_EQ(r.fieldCount, 2);
    EXPECT_EQ(r.cmykColumn, (std::array<std::int32_t, 4>{1, -1, -1, -1}));
}

TEST(CgatsReaderTest, ProofJobWithoutQuotesIsUpperCasedAndTrimmed) {
    CgatsReader r;
    std::istringstream in(std::string("PROOFJOB \t my job  \t\n") + kMinimalHead +
                          "1 0 0 0 0\nEND_DATA");
    r.load(in);
    EXPECT_EQ(r.proofJob, "MY JOB");
    EXPECT_EQ(r.rows.size(), 1u);  // END_DATA without a final line end
}

TEST(CgatsReaderTest, ASecondLoadStartsAfresh) {
    CgatsReader r;
    r.load(dataFile("spot_2clr.txt"));
    r.load(dataFile("cmyk_basic.txt"));
    EXPECT_TRUE(r.spotKeys.empty());
    EXPECT_EQ(r.numberOfSets, 6);
    EXPECT_EQ(r.fieldCount, 5);
}

TEST(CgatsReaderTest, StreamAndFileLoadsAgree) {
    CgatsReader fromFile = loaded("cmyk_lowercase_cr.txt");
    std::ifstream file(dataFile("cmyk_lowercase_cr.txt"), std::ios::binary);
    CgatsReader fromStream;
    fromStream.load(file);
    EXPECT_EQ(fromStream.rows, fromFile.rows);
    EXPECT_EQ(fromStream.spotNames, fromFile.spotNames);
}

TEST(CgatsReaderErrorTest, EachMalformedFileFailsWithItsCode) {
    const std::vector<std::pair<std::string, int>> cases = {
        {"err_zero_sets.txt", ERR_ZERO_SETS},
        {"err_negative_sets.txt", ERR_ZERO_SETS},
        {"err_no_sets_keyword.txt", ERR_ZERO_SETS},
        {"err_begin_data_without_format.txt", ERR_NO_DATA_FORMAT},
        {"err_empty_data_format.txt", ERR_NO_DATA_FORMAT},
        {"err_no_begin_data.txt", ERR_BEGIN_DATA_NOT_FOUND},
        {"err_ff_line.txt", ERR_BEGIN_DATA_NOT_FOUND},
        {"err_unclosed_target_format.txt", ERR_BEGIN_DATA_NOT_FOUND},
        {"err_eof_in_data.txt", ERR_EMPTY_ROW},
        {"err_nul_row.txt", ERR_EMPTY_ROW},
        {"err_huge_sets_eof.txt", ERR_EMPTY_ROW},
        {"err_short_data.txt", ERR_TOO_FEW_SETS},
        {"err_huge_sets_end_data.txt", ERR_TOO_FEW_SETS},
        {"err_row_length.txt", ERR_WRONG_ROW_LENGTH},
        {"err_extra_row.txt", ERR_END_DATA_NOT_FOUND},
    };
    for (const auto& [file, code] : cases) {
        EXPECT_EQ(loadCode(file), code) << file << ": " << errorText(loadCode(file));
    }
}

TEST(CgatsReaderErrorTest, UnopenablePathsFailWithCannotOpenData) {
    EXPECT_EQ(loadCode("no_such_file.txt"), ERR_OPEN_DATA);
    EXPECT_EQ(thrownCode([] { CgatsReader().load(std::string(ORVOCHART_TEST_DATA)); }),
              ERR_OPEN_DATA);
}

TEST(CgatsReaderErrorTest, NumberOfSetsZeroFailsAtTheKeyword) {
    // Nothing after the keyword is needed to fail.
    EXPECT_EQ(streamCode("NUMBER_OF_SETS 0\n"), ERR_ZERO_SETS);
    EXPECT_EQ(streamCode("NUMBER_OF_SETS none\n"), ERR_ZERO_SETS);
}

TEST(CgatsReaderErrorTest, DataFormatErrors) {
    EXPECT_EQ(streamCode("NUMBER_OF_SETS 1\nBEGIN_DATA_FORMAT\n"), ERR_NO_DATA_FORMAT);
    EXPECT_EQ(streamCode("BEGIN_DATA_FORMAT\n \t \nBEGIN_DATA\n"), ERR_NO_DATA_FORMAT);
    EXPECT_EQ(streamCode(""), ERR_BEGIN_DATA_NOT_FOUND);
    EXPECT_EQ(streamCode("BEGIN_REPORTING_FORMAT\nEND_TARGET_FORMAT\n"), ERR_BEGIN_DATA_NOT_FOUND);
}

TEST(CgatsReaderErrorTest, DataRowErrors) {
    const std::string head = kMinimalHead;
    EXPECT_EQ(streamCode(head), ERR_EMPTY_ROW);
    EXPECT_EQ(streamCode(head + "END_DATA\n"), ERR_TOO_FEW_SETS);
    EXPECT_EQ(streamCode(head + "1 2 3 4\nEND_DATA\n"), ERR_WRONG_ROW_LENGTH);
    EXPECT_EQ(streamCode(head + " \t\nEND_DATA\n"), ERR_WRONG_ROW_LENGTH);
    EXPECT_EQ(streamCode(head + "1 2 3 4 5\n"), ERR_EMPTY_ROW);
    EXPECT_EQ(streamCode(head + "1 2 3 4 5\nEND\n"), ERR_END_DATA_NOT_FOUND);
}

TEST(CgatsReaderLimitTest, ATenMegabyteLineFailsWithoutReadingItAll) {
    const std::string text = std::string(kMinimalHead) + std::string(10u << 20, '7') + "\n";
    EXPECT_EQ(streamCode(text), ERR_INVALID_REFERENCE);
    // The same limit holds in the header.
    EXPECT_EQ(streamCode(std::string(10u << 20, 'A')), ERR_INVALID_REFERENCE);
}

TEST(CgatsReaderLimitTest, HittingALimitLogsTheReason) {
    const std::string logPath = ::testing::TempDir() + "cgats_limit.log";
    std::remove(logPath.c_str());
    ::setenv("ORVOCHART_LOG", logPath.c_str(), 1);
    reopenDebugLog();
    const int code = streamCode(std::string(kMaxLineBytes + 1, 'A'));
    ::unsetenv("ORVOCHART_LOG");
    reopenDebugLog();
    EXPECT_EQ(code, ERR_INVALID_REFERENCE);
    std::ifstream log(logPath);
    std::string line;
    std::getline(log, line);
    EXPECT_EQ(line, "CgatsReader/load: a line is longer than the reader accepts");
}

TEST(CgatsReaderLimitTest, TooManyFieldsFail) {
    std::string format;
    for (std::size_t i = 0; i <= kMaxFieldsPerLine; ++i) {
        format += "F" + std::to_string(i) + " ";
    }
    EXPECT_EQ(streamCode("NUMBER_OF_SETS 1\nBEGIN_DATA_FORMAT\n" + format + "\nBEGIN_DATA\n"),
              ERR_INVALID_REFERENCE);
    // A million one-letter fields also exceed the line length.
    std::string million;
    for (int i = 0; i < 1000000; ++i) {
        million += "A ";
    }
    EXPECT_EQ(streamCode("BEGIN_DATA_FORMAT\n" + million), ERR_INVALID_REFERENCE);
}

TEST(CgatsReaderLimitTest, MoreSetsThanTheLimitFail) {
    std::string text =
        "NUMBER_OF_SETS 2000000000\nBEGIN_DATA_FORMAT\nA\nEND_DATA_FORMAT\nBEGIN_DATA\n";
    for (std::int64_t i = 0; i <= kMaxSets; ++i) {
        text += "1\n";
    }
    EXPECT_EQ(streamCode(text), ERR_INVALID_REFERENCE);
}

TEST(CgatsReaderLimitTest, RandomBytesEndInACodeOrAResult) {
    std::mt19937 random(4242u);
    std::uniform_int_distribution<int> byte(0, 255);
    const std::string head = kMinimalHead;
    for (int i = 0; i < 300; ++i) {
        std::string noise(static_cast<std::size_t>(byte(random)) * 16, '\0');
        for (char& c : noise) {
            c = static_cast<char>(byte(random));
        }
        const int plain = streamCode(noise);
        const int afterHead = streamCode(head + noise);
        EXPECT_LT(plain, 0);
        EXPECT_LE(afterHead, 0);
    }
}

TEST(CgatsReaderUnderACommaLocaleTest, KeywordsAndCellsReadTheSame) {
    const CgatsReader plain = loaded("cmyk_commas_crlf.txt");
    cgatstest::CommaLocale locale;
    SKIP_WITHOUT_COMMA_LOCALE(locale);
    const CgatsReader r = loaded("cmyk_commas_crlf.txt");
    EXPECT_EQ(r.rows, plain.rows);
    EXPECT_EQ(r.patchSizeX, 6);
    const CgatsReader devicen = loaded("spot_8clr_devicen.txt");
    EXPECT_EQ(devicen.deviceNCmyk[5][3], 75);
}

}  // namespace
}  // namespace GenChartLib
