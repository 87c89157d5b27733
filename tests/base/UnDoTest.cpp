// The parameter history: snapshots, commits and its bounds checks.
#include <gtest/gtest.h>

#include <stdexcept>
#include <string>

#include "base/ChartParams.h"
#include "base/UnDo.h"

namespace GenChartLib {
namespace {

TEST(UnDo, SnapshotsCopyTheLastRecordAndCommitsKeepTheCurrentOne) {
    UnDo<ChartParams> undo;
    EXPECT_EQ(&undo.previous(), &undo.current());
    undo.current().refDataName = "first";
    undo.snapshot();
    EXPECT_EQ(undo.current().refDataName, "first");
    undo.current().refDataName = "second";
    EXPECT_EQ(undo.previous().refDataName, "first");
    undo.commit();
    EXPECT_EQ(undo.size(), 1U);
    EXPECT_EQ(undo.current().refDataName, "second");
    undo.snapshot();
    undo.current().refDataName = "third";
    undo.collapseToFirst();
    EXPECT_EQ(undo.current().refDataName, "second");
    EXPECT_THROW(undo.at(1), std::out_of_range);
}

}  // namespace
}  // namespace GenChartLib
