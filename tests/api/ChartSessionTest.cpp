// The chart session: its parameter history, and the five GenChart
// operations between a session and its chart object: dispatch on the colour
// mode, the codes they return and the lines they log.
#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <stdexcept>
#include <string>

#include "Support.h"
#include "api/ChartSession.h"
#include "api/GenChart.h"
#include "base/ChartParams.h"
#include "base/ErrorCodes.h"
#include "engine/ChartObject.h"

namespace GenChartLib {
namespace {

// A chart object that counts the calls the operations make, can fail on
// demand, and reports its own deletion; and a fixture whose session holds one.
struct ProbeRecord {
    int inits = 0, applies = 0, writes = 0;
    bool deleted = false;
    ChartParams lastPrevious;
};

class ProbeChart : public ChartObject {
  public:
    explicit ProbeChart(ProbeRecord& record) : record_(record) {}
    ~ProbeChart() override { record_.deleted = true; }

    void initChartParams(ChartParams& params) override {
        ++record_.inits;
        onInit(params);
    }
    void writeChart(ChartParams& params) override {
        ++record_.writes;
        onWrite(params);
    }
    void applyChartParams(const ChartParams& previous, ChartParams& current) override {
        ++record_.applies;
        record_.lastPrevious = previous;
        onApply(current);
    }

    std::function<void(ChartParams&)> onInit = [](ChartParams&) {}, onWrite = onInit,
                                      onApply = onInit;

  private:
    ProbeRecord& record_;
};

class Session : public ::testing::Test {
  protected:
    // Gives the session a new probe chart (deleting the one it had).
    ProbeChart& withProbe() {
        session_.chart = std::make_unique<ProbeChart>(record_);
        return static_cast<ProbeChart&>(*session_.chart);
    }
    ChartSession session_;
    ProbeRecord record_;
};

TEST_F(Session, RandomOrderTakesASnapshotAndAppliesIt) {
    withProbe();
    EXPECT_EQ(session_.applyChanges(), 0);  // a fresh history has nothing to apply
    EXPECT_EQ(record_.applies, 0);
    session_.current().pageWidth = 210.0;
    session_.setRandomizedPatches(true);
    EXPECT_EQ(session_.undo.size(), 2U);
    EXPECT_EQ(session_.undo.currentIndex(), 1U);
    EXPECT_TRUE(session_.current().randomizedPatches);
    EXPECT_FALSE(session_.undo.at(0).randomizedPatches || record_.lastPrevious.randomizedPatches);
    EXPECT_EQ(record_.applies, 1);
    EXPECT_EQ(record_.lastPrevious.pageWidth, 210.0);
    EXPECT_EQ(session_.applyChanges(), 0);  // the same comparison again
    EXPECT_EQ(record_.applies, 2);
}

TEST_F(Session, CreateReplacesAnExistingChartAndItsHistory) {
    withProbe();
    session_.undo.snapshot();
    session_.current().pageWidth = 500.0;
    EXPECT_TRUE(session_.create(MI_DTP45, "", CM_RGB));
    EXPECT_TRUE(record_.deleted);
    EXPECT_EQ(session_.undo.size(), 1U);
    EXPECT_EQ(session_.current().colorMode, CM_RGB);
    EXPECT_EQ(session_.current().instrument, MI_DTP45);
    EXPECT_EQ(session_.current().pageWidth, 0.0);
    EXPECT_FALSE(session_.create(MI_DTP41, "", static_cast<ColorMode>(8)));  // no writer
}

TEST_F(Session, ASuccessfulLayoutCommitsTheCurrentRecordAFailedOneKeepsTheHistory) {
    withProbe().onInit = [](ChartParams& p) { p.patchCount = 77; };
    session_.setRandomizedPatches(true);
    session_.setRandomizedPatches(false);
    ASSERT_EQ(session_.undo.size(), 3U);
    EXPECT_EQ(session_.initChartParams(), 0);
    EXPECT_EQ(session_.undo.size(), 1U);
    EXPECT_EQ(session_.current().patchCount, 77);
    EXPECT_FALSE(session_.current().randomizedPatches);
    EXPECT_TRUE(session_.current().optimizeLayout);

    withProbe().onInit = [](ChartParams&) { throw ERR_OPEN_DATA; };
    session_.setRandomizedPatches(true);
    EXPECT_EQ(session_.initChartParams(), ERR_OPEN_DATA);
    EXPECT_EQ(session_.undo.size(), 2U);
}

TEST_F(Session, PlainSettersTakeNoSnapshotTheReferenceNameCommitsFirst) {
    session_.setRandomizedPatches(true);
    session_.setQualityMode(3);
    session_.setPageWidth(210.0);
    session_.setPageHeight(297.0);
    session_.setOutputKind(1);
    session_.setOutputName("chart.tif.tmp");
    EXPECT_EQ(session_.undo.size(), 2U);
    session_.setRefDataName("ref.txt");
    EXPECT_EQ(session_.undo.size(), 1U);
    EXPECT_TRUE(session_.current().randomizedPatches);
    EXPECT_EQ(session_.current().pageHeight, 297.0);
    EXPECT_EQ(session_.current().refDataName, "ref.txt");
}

// The current record has colour mode 0 and an output name.
class GenChartOperations : public Session {
  protected:
    void SetUp() override { params().outputName = "chart.tif.tmp"; }
    ChartParams& params() { return session_.current(); }

    testsupport::TempFolder dir_;
    testsupport::LogCapture log_{dir_.file("log.txt")};
};

TEST_F(GenChartOperations, WithoutAChartEveryOperationAnswersInvalidHandle) {
    EXPECT_EQ(InitChartParams(&session_, params()), ERR_INVALID_HANDLE);
    EXPECT_EQ(SetChartParams(&session_, params(), params()), ERR_INVALID_HANDLE);
    EXPECT_EQ(WriteChart(&session_, params()), ERR_INVALID_HANDLE);
    EXPECT_EQ(InitChartParams(nullptr, params()), ERR_INVALID_HANDLE);
    EXPECT_EQ(log_.text(),
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
    // Negative modes are unsupported too (compared unsigned).
    params().colorMode = static_cast<ColorMode>(-1);
    EXPECT_EQ(SetChartParams(&session_, params(), params()), 0);
    EXPECT_EQ(WriteChart(&session_, params()), 0);
    EXPECT_EQ(record_.inits + record_.applies + record_.writes, 0);
    // A supported mode is dispatched, with the previous record handed on.
    params().colorMode = CM_SPOT_8;
    EXPECT_EQ(InitChartParams(&session_, params()), 0);
    EXPECT_EQ(record_.inits, 1);
    ChartParams previous = params();
    previous.pageWidth = 123.0;
    EXPECT_EQ(SetChartParams(&session_, previous, params()), 0);
    EXPECT_EQ(record_.applies, 1);
    EXPECT_EQ(record_.lastPrevious.pageWidth, 123.0);
    EXPECT_EQ(log_.text(), "");
}

TEST_F(GenChartOperations, AnErrorCodeFromTheLayoutIsReturnedAndTheChartDropped) {
    withProbe().onInit = [](ChartParams&) { throw ERR_PAGE_SIZE; };
    EXPECT_EQ(InitChartParams(&session_, params()), ERR_PAGE_SIZE);
    EXPECT_TRUE(record_.deleted);
    EXPECT_EQ(WriteChart(&session_, params()), ERR_INVALID_HANDLE);  // no chart from then on
    EXPECT_EQ(log_.text(),
              "GenChart/InitChartParams: GenChartLib: Invalid page size.\n"
              "GenChart/WriteChart: GenChartLib: Invalid measurement handle\n");
}

TEST_F(GenChartOperations, OtherExceptionsBecomeTheOperationsOwnCodeAndDropTheChart) {
    withProbe().onInit = [](ChartParams&) { throw std::runtime_error("boom"); };
    EXPECT_EQ(InitChartParams(&session_, params()), ERR_INVALID_INIT_CHART_PARAMS);
    withProbe().onApply = [](ChartParams&) { throw std::out_of_range("x"); };
    EXPECT_EQ(SetChartParams(&session_, params(), params()), ERR_INVALID_SET_CHART_PARAMS);
    EXPECT_EQ(session_.chart, nullptr);
    withProbe().onWrite = [](ChartParams&) { throw 42; };
    EXPECT_EQ(WriteChart(&session_, params()), ERR_INVALID_WRITE_CHART);
    EXPECT_EQ(session_.chart, nullptr);
    EXPECT_EQ(log_.text(),
              "GenChart/InitChartParams: Invalid InitChartParams()\n"
              "GenChart/SetChartParams: Invalid SetChartParams()\n"
              "GenChart/WriteChart: Invalid writeChart()\n");
}

TEST_F(GenChartOperations, WritingWithoutAnOutputNameLeavesTheChartAlone) {
    withProbe();
    params().outputName.clear();
    EXPECT_EQ(WriteChart(&session_, params()), ERR_INVALID_CHART_NAME);
    EXPECT_EQ(record_.writes, 0);
    EXPECT_NE(session_.chart, nullptr);
    EXPECT_EQ(log_.text(), "GenChart/WriteChart: GenChartLib: Invalid chart name\n");
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
    EXPECT_EQ(log_.text(), "");
}

}  // namespace
}  // namespace GenChartLib
