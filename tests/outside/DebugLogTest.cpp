// The debug log: one line per diagnostic, to the file or stream that
// ORVOCHART_LOG names, nothing without it.
#include <gtest/gtest.h>

#include <string>
#include <thread>
#include <vector>

#include "Support.h"
#include "base/ErrorCodes.h"
#include "outside/DebugLog.h"

namespace GenChartLib {
namespace {

class DebugLogFile : public ::testing::Test {
  protected:
    testsupport::TempFolder folder_;
    testsupport::LogCapture log_{folder_.file("log.txt")};
};

TEST_F(DebugLogFile, ReplacesThePlaceholderAndKeepsEveryDiagnosticOnOneLine) {
    EXPECT_EQ(debugLog("GenChart/WriteChart: %s", 0, 0, "GenChartLib: Invalid chart name"), 0);
    logError("MeasureInstrument/initChartParams: %s", ERR_PAGE_SIZE);
    debugLog("Dtp41/writePage: %s", 0, 0, "first\nsecond\r\nthird");
    debugLog("no placeholder", 0, 0, "message");
    debugLog(nullptr, 0, 0, nullptr);
    EXPECT_EQ(log_.text(),
              "GenChart/WriteChart: GenChartLib: Invalid chart name\n"
              "MeasureInstrument/initChartParams: GenChartLib: Invalid page size.\n"
              "Dtp41/writePage: first second  third\nno placeholder: message\n\n");
}

TEST_F(DebugLogFile, LinesFromManyThreadsDoNotInterleave) {
    std::vector<std::thread> threads;
    for (int t = 0; t < 4; ++t) {
        threads.emplace_back([] {
            for (int i = 0; i < 50; ++i) {
                debugLog("T: %s", 0, 0, "0123456789abcdefghijklmnopqrstuvwxyz");
            }
        });
    }
    for (auto& thread : threads) {
        thread.join();
    }
    std::string expected;
    while (expected.size() < 200 * 40) {
        expected += "T: 0123456789abcdefghijklmnopqrstuvwxyz\n";
    }
    EXPECT_EQ(log_.text(), expected);
}

TEST(DebugLog, SilentWithoutTheVariableOnStandardErrorOnRequest) {
    testsupport::unsetEnv("ORVOCHART_LOG");
    reopenDebugLog();
    testing::internal::CaptureStderr();
    EXPECT_EQ(debugLog("X: %s", 0, 0, "nothing"), 0);
    testsupport::setEnv("ORVOCHART_LOG", "stderr");
    reopenDebugLog();
    logError("GenChart/InitChartParams: %s", ERR_INVALID_HANDLE);
    testsupport::unsetEnv("ORVOCHART_LOG");
    reopenDebugLog();
    EXPECT_EQ(testing::internal::GetCapturedStderr(),
              "GenChart/InitChartParams: GenChartLib: Invalid measurement handle\n");
}

}  // namespace
}  // namespace GenChartLib
