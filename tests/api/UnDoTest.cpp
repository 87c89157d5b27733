// The parameter history: snapshots, commits and its bounds checks.
#include <gtest/gtest.h>

#include <stdexcept>
#include <string>

#include "api/ChartParams.h"
#include "api/UnDo.h"

namespace GenChartLib {
namespace {

TEST(UnDo, StartsWithOneDefaultRecord) {
    UnDo<ChartParams> undo;
    EXPECT_EQ(undo.size(), 1U);
    EXPECT_EQ(undo.currentIndex(), 0U);
    EXPECT_EQ(undo.current().apertureSize, -1);
    EXPECT_EQ(&undo.previous(), &undo.current());
}

TEST(UnDo, ASnapshotCopiesTheLastRecordAndMovesOn) {
    UnDo<ChartParams> undo;
    undo.current().pageWidth = 210.0;
    undo.snapshot();
    EXPECT_EQ(undo.size(), 2U);
    EXPECT_EQ(undo.currentIndex(), 1U);
    EXPECT_EQ(undo.current().pageWidth, 210.0);
    undo.current().pageWidth = 297.0;
    EXPECT_EQ(undo.previous().pageWidth, 210.0);
    EXPECT_EQ(undo.at(0).pageWidth, 210.0);
}

TEST(UnDo, ACommitKeepsOnlyTheCurrentRecord) {
    UnDo<ChartParams> undo;
    undo.snapshot();
    undo.snapshot();
    undo.current().refDataName = "third";
    undo.commit();
    EXPECT_EQ(undo.size(), 1U);
    EXPECT_EQ(undo.currentIndex(), 0U);
    EXPECT_EQ(undo.current().refDataName, "third");
}

TEST(UnDo, CollapsingKeepsTheFirstRecord) {
    UnDo<ChartParams> undo;
    undo.current().refDataName = "first";
    undo.snapshot();
    undo.current().refDataName = "second";
    undo.collapseToFirst();
    EXPECT_EQ(undo.size(), 1U);
    EXPECT_EQ(undo.current().refDataName, "first");
}

TEST(UnDo, AnIndexOutsideTheHistoryIsAnOutOfRangeError) {
    UnDo<ChartParams> undo;
    try {
        undo.at(1);
        FAIL() << "no error";
    } catch (const std::out_of_range& e) {
        EXPECT_STREQ(e.what(), "invalid vector<T> subscript");
    }
}

}  // namespace
}  // namespace GenChartLib
