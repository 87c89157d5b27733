// The chart session: its parameter history around the GenChart operations.
#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "api/ChartSession.h"
#include "api/ProbeChart.h"
#include "base/ErrorCodes.h"

namespace GenChartLib {
namespace {

using chart_test::ProbeRecord;

class Session : public chart_test::SessionWithProbe {};

TEST_F(Session, RandomOrderTakesASnapshotAndAppliesIt) {
    withProbe();
    // On a fresh history there is nothing to apply.
    EXPECT_EQ(session_.applyChanges(), 0);
    EXPECT_EQ(record_.applies, 0);
    session_.current().pageWidth = 210.0;
    session_.setRandomizedPatches(true);
    EXPECT_EQ(session_.undo.size(), 2U);
    EXPECT_EQ(session_.undo.currentIndex(), 1U);
    EXPECT_TRUE(session_.current().randomizedPatches);
    EXPECT_FALSE(session_.undo.at(0).randomizedPatches);
    EXPECT_EQ(record_.applies, 1);
    EXPECT_FALSE(record_.lastPrevious.randomizedPatches);
    EXPECT_EQ(record_.lastPrevious.pageWidth, 210.0);
    // applyChanges runs the same comparison again.
    EXPECT_EQ(session_.applyChanges(), 0);
    EXPECT_EQ(record_.applies, 2);
}

TEST_F(Session, CreateReplacesAnExistingChartAndItsHistory) {
    withProbe();
    session_.undo.snapshot();
    session_.undo.snapshot();
    session_.current().pageWidth = 500.0;
    EXPECT_TRUE(session_.create(MI_DTP45, "", CM_RGB));
    EXPECT_TRUE(record_.deleted);
    EXPECT_EQ(session_.undo.size(), 1U);
    EXPECT_EQ(session_.current().colorMode, CM_RGB);
    EXPECT_EQ(session_.current().instrument, MI_DTP45);
    EXPECT_EQ(session_.current().pageWidth, 0.0);
    EXPECT_NE(session_.chart, nullptr);
    // A mode with no writer gives no chart.
    EXPECT_FALSE(session_.create(MI_DTP41, "", static_cast<ColorMode>(8)));
    EXPECT_EQ(session_.chart, nullptr);
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
    EXPECT_EQ(session_.stripsOfFirstPage(), 0);
    EXPECT_EQ(session_.columnsOfFirstPage(), 0);
    session_.setRandomizedPatches(true);
    session_.setQualityMode(3);
    session_.setPageWidth(210.0);
    session_.setPageHeight(297.0);
    session_.setOutputKind(1);
    session_.setOutputName("chart.tif.tmp");
    session_.current().pages = {{10.0, 20.0, 12, 5}, {10.0, 20.0, 12, 2}};
    EXPECT_EQ(session_.undo.size(), 2U);
    session_.setRefDataName("ref.txt");
    EXPECT_EQ(session_.undo.size(), 1U);
    EXPECT_TRUE(session_.current().randomizedPatches);
    EXPECT_EQ(session_.current().pageHeight, 297.0);
    EXPECT_EQ(session_.current().refDataName, "ref.txt");
    EXPECT_EQ(session_.stripsOfFirstPage(), 5);
    EXPECT_EQ(session_.columnsOfFirstPage(), 12);
}

TEST_F(Session, WriteChartHandsTheCurrentRecordOn) {
    withProbe().onWrite = [](ChartParams& p) { p.outputName = "last page"; };
    session_.setOutputName("chart.tif.tmp");
    EXPECT_EQ(session_.writeChart(), 0);
    EXPECT_EQ(record_.writes, 1);
    EXPECT_EQ(session_.current().outputName, "last page");
    session_.destroy();
    EXPECT_TRUE(record_.deleted);
}

}  // namespace
}  // namespace GenChartLib
