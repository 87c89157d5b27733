// The five operations between a session and its chart object: dispatch on
// the colour mode, the codes they return and the lines they log.
#include <gtest/gtest.h>

#include <memory>
#include <stdexcept>
#include <string>

#include "api/ChartSession.h"
#include "api/GenChart.h"
#include "api/ProbeChart.h"
#include "base/ErrorCodes.h"
#include "engine/ChartTestSupport.h"

namespace GenChartLib {
namespace {

using chart_test::LogCapture;
using chart_test::ProbeRecord;
using chart_test::TempDir;

// The current record has colour mode 0 and an output name.
class GenChartOperations : public chart_test::SessionWithProbe {
  protected:
    void SetUp() override { params().outputName = "chart.tif.tmp"; }
    ChartParams& params() { return session_.current(); }
    std::string logText() const { return log_.text(); }

    TempDir dir_;
    LogCapture log_{dir_.file("log.txt")};
};

TEST_F(GenChartOperations, WithoutAChartEveryOperationAnswersInvalidHandle) {
    ChartParams p;
    p.outputName = "x";
    EXPECT_EQ(InitChartParams(&session_, p), ERR_INVALID_HANDLE);
    EXPECT_EQ(SetChartParams(&session_, p, p), ERR_INVALID_HANDLE);
    EXPECT_EQ(WriteChart(&session_, p), ERR_INVALID_HANDLE);
    EXPECT_EQ(InitChartParams(nullptr, p), ERR_INVALID_HANDLE);
    EXPECT_EQ(logText(),
              "GenChart/InitChartParams: GenChartLib: Invalid measurement handle\n"
              "GenChart/SetChartParams: GenChartLib: Invalid measurement handle\n"
              "GenChart/WriteChart: GenChartLib: Invalid measurement handle\n"
              "GenChart/InitChartParams: GenChartLib: Invalid measurement handle\n");
}

TEST_F(GenChartOperations, DispatchOnlySupportedModesButAlwaysOptimise) {
    withProbe();
    params().colorMode = static_cast<ColorMode>(8);
    EXPECT_EQ(InitChartParams(&session_, params()), 0);
    EXPECT_TRUE(params().optimizeLayout);
    EXPECT_EQ(record_.inits, 0);
    // Negative modes are unsupported too (compared unsigned).
    params().colorMode = static_cast<ColorMode>(-1);
    EXPECT_EQ(SetChartParams(&session_, params(), params()), 0);
    EXPECT_EQ(WriteChart(&session_, params()), 0);
    EXPECT_EQ(record_.applies + record_.writes, 0);
    // A supported mode is dispatched, with the previous record handed on.
    params().colorMode = CM_SPOT_8;
    EXPECT_EQ(InitChartParams(&session_, params()), 0);
    EXPECT_EQ(record_.inits, 1);
    ChartParams previous = params();
    previous.pageWidth = 123.0;
    EXPECT_EQ(SetChartParams(&session_, previous, params()), 0);
    EXPECT_EQ(record_.applies, 1);
    EXPECT_EQ(record_.lastPrevious.pageWidth, 123.0);
    EXPECT_EQ(logText(), "");
}

TEST_F(GenChartOperations, AnErrorCodeFromTheLayoutIsReturnedAndTheChartDropped) {
    withProbe().onInit = [](ChartParams&) { throw ERR_PAGE_SIZE; };
    EXPECT_EQ(InitChartParams(&session_, params()), ERR_PAGE_SIZE);
    EXPECT_TRUE(record_.deleted);
    EXPECT_EQ(session_.chart, nullptr);
    EXPECT_EQ(logText(), "GenChart/InitChartParams: GenChartLib: Invalid page size.\n");
    // From then on the session has no chart.
    EXPECT_EQ(WriteChart(&session_, params()), ERR_INVALID_HANDLE);
}

TEST_F(GenChartOperations, OtherExceptionsBecomeTheOperationsOwnCode) {
    withProbe().onInit = [](ChartParams&) { throw std::runtime_error("boom"); };
    EXPECT_EQ(InitChartParams(&session_, params()), ERR_INVALID_INIT_CHART_PARAMS);

    record_ = ProbeRecord();
    withProbe().onApply = [](ChartParams&) { throw std::out_of_range("x"); };
    EXPECT_EQ(SetChartParams(&session_, params(), params()), ERR_INVALID_SET_CHART_PARAMS);
    EXPECT_TRUE(record_.deleted);

    record_ = ProbeRecord();
    withProbe().onWrite = [](ChartParams&) { throw 42; };
    EXPECT_EQ(WriteChart(&session_, params()), ERR_INVALID_WRITE_CHART);
    EXPECT_TRUE(record_.deleted);
    EXPECT_EQ(logText(),
              "GenChart/InitChartParams: Invalid InitChartParams()\n"
              "GenChart/SetChartParams: Invalid SetChartParams()\n"
              "GenChart/WriteChart: Invalid writeChart()\n");
}

TEST_F(GenChartOperations, WritingWithoutAnOutputNameLeavesTheChartAlone) {
    withProbe();
    params().outputName.clear();
    EXPECT_EQ(WriteChart(&session_, params()), ERR_INVALID_CHART_NAME);
    EXPECT_EQ(record_.writes, 0);
    EXPECT_FALSE(record_.deleted);
    EXPECT_NE(session_.chart, nullptr);
    EXPECT_EQ(logText(), "GenChart/WriteChart: GenChartLib: Invalid chart name\n");
}

TEST_F(GenChartOperations, CreateAndDestroy) {
    CreateGenChart(MI_DTP41, "", &session_, CM_CMYK);
    EXPECT_NE(session_.chart, nullptr);
    // A mode without writer leaves no chart, even when there was one.
    CreateGenChart(MI_DTP41, "", &session_, static_cast<ColorMode>(99));
    EXPECT_EQ(session_.chart, nullptr);
    withProbe();
    DestroyGenChart(&session_, CM_CMYK);
    EXPECT_TRUE(record_.deleted);
    EXPECT_EQ(session_.chart, nullptr);
    DestroyGenChart(&session_, CM_CMYK);  // nothing left to delete
    DestroyGenChart(nullptr, CM_CMYK);
    CreateGenChart(MI_DTP41, nullptr, nullptr, CM_CMYK);
    EXPECT_EQ(logText(), "");
}

}  // namespace
}  // namespace GenChartLib
