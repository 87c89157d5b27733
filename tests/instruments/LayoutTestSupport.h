// Shared by the layout tests: the test references, a folder of its own per
// test, and the debug log a call leaves.
#ifndef ORVOCHART_TESTS_INSTRUMENTS_LAYOUTTESTSUPPORT_H
#define ORVOCHART_TESTS_INSTRUMENTS_LAYOUTTESTSUPPORT_H

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "host/ReadBack.h"

namespace GenChartLib {

inline std::string testReference(const std::string& name) {
    return std::string(ORVOCHART_TEST_DATA) + "/instruments/" + name;
}

class LayoutFolder : public ::testing::Test {
  protected:
    std::string file(const std::string& name) const { return folder_.file(name); }
    std::vector<std::string> files() const { return folder_.entries(); }

    // What `body` writes to the debug log, kept in "log.txt".
    template <class Body>
    std::string logOf(Body body) const {
        testsupport::LogCapture log(file("log.txt"));
        body();
        return log.text();
    }

    readback::TempFolder folder_;
};

}  // namespace GenChartLib

#endif  // ORVOCHART_TESTS_INSTRUMENTS_LAYOUTTESTSUPPORT_H
