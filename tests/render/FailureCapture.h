// Test support for failures: the code or message an action throws.
#ifndef ORVOCHART_TESTS_RENDER_FAILURECAPTURE_H
#define ORVOCHART_TESTS_RENDER_FAILURECAPTURE_H

#include <functional>
#include <stdexcept>
#include <string>

#include "base/ErrorCodes.h"

namespace GenChartLib::failuretest {

// The error code `action` throws; 0 when it throws none.
inline int codeOf(const std::function<void()>& action) {
    try {
        action();
    } catch (eColorCtrlErrors code) {
        return code;
    }
    return 0;
}

// The message of the runtime_error `action` throws; empty when none.
inline std::string messageOf(const std::function<void()>& action) {
    try {
        action();
    } catch (const std::runtime_error& e) {
        return e.what();
    }
    return {};
}

}  // namespace GenChartLib::failuretest

#endif  // ORVOCHART_TESTS_RENDER_FAILURECAPTURE_H
