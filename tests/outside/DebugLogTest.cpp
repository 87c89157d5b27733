#include <gtest/gtest.h>
#include <stdlib.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <thread>
#include <vector>

#include "Support.h"
#include "base/ErrorCodes.h"
#include "outside/DebugLog.h"

namespace fs = std::filesystem;
using namespace GenChartLib;

namespace {

class DebugLogFile : public ::testing::Test {
  protected:
    void SetUp() override {
        // ctest runs every test in its own process, in parallel: one file each.
        path_ = (fs::temp_directory_path() /
                 ("orvochart-debuglog-" + std::to_string(testsupport::processId()) + ".log"))
                    .string();
        fs::remove(path_);
        testsupport::setEnv("ORVOCHART_LOG", path_);
        reopenDebugLog();
    }
    void TearDown() override {
        testsupport::unsetEnv("ORVOCHART_LOG");
        reopenDebugLog();
        fs::remove(path_);
    }
    std::vector<std::string> lines() const {
        std::ifstream in(path_);
        std::vector<std::string> out;
        for (std::string line; std::getline(in, line);) {
            out.push_back(line);
        }
        return out;
    }
    std::string path_;
};

}  // namespace

TEST_F(DebugLogFile, ReplacesTheOnePlaceholderWithTheMessage) {
    EXPECT_EQ(debugLog("GenChart/WriteChart: %s", 0, 0, "GenChartLib: Invalid chart name"), 0);
    logError("MeasureInstrument/initChartParams: %s", ERR_PAGE_SIZE);
    EXPECT_EQ(lines(), (std::vector<std::string>{
                           "GenChart/WriteChart: GenChartLib: Invalid chart name",
                           "MeasureInstrument/initChartParams: GenChartLib: Invalid page size."}));
}

TEST_F(DebugLogFile, KeepsEveryDiagnosticOnOneLine) {
    debugLog("Dtp41/writePage: %s", 0, 0, "first\nsecond\r\nthird");
    debugLog("no placeholder", 0, 0, "message");
    debugLog(nullptr, 0, 0, nullptr);
    const auto got = lines();
    ASSERT_EQ(got.size(), 3u);
    EXPECT_EQ(got[0], "Dtp41/writePage: first second  third");
    EXPECT_EQ(got[1], "no placeholder: message");
    EXPECT_EQ(got[2], "");
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
    const auto got = lines();
    ASSERT_EQ(got.size(), 200u);
    for (const auto& line : got) {
        EXPECT_EQ(line, "T: 0123456789abcdefghijklmnopqrstuvwxyz");
    }
}

TEST(DebugLog, SilentWithoutTheVariable) {
    testsupport::unsetEnv("ORVOCHART_LOG");
    reopenDebugLog();
    testing::internal::CaptureStderr();
    EXPECT_EQ(debugLog("X: %s", 0, 0, "nothing"), 0);
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "");
}

TEST(DebugLog, WritesToStandardErrorOnRequest) {
    testsupport::setEnv("ORVOCHART_LOG", "stderr");
    reopenDebugLog();
    testing::internal::CaptureStderr();
    logError("GenChart/InitChartParams: %s", ERR_INVALID_HANDLE);
    const std::string err = testing::internal::GetCapturedStderr();
    testsupport::unsetEnv("ORVOCHART_LOG");
    reopenDebugLog();
    EXPECT_EQ(err, "GenChart/InitChartParams: GenChartLib: Invalid measurement handle\n");
}
