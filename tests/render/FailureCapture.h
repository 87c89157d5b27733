// Test support for failures: the code or message an action throws, and the
// debug log routed into a file while a test looks at what was logged.
#ifndef ORVOCHART_TESTS_RENDER_FAILURECAPTURE_H
#define ORVOCHART_TESTS_RENDER_FAILURECAPTURE_H

#include <cstdlib>
#include <fstream>
#include <functional>
#include <iterator>
#include <stdexcept>
#include <string>

#include "base/ErrorCodes.h"
#include "outside/DebugLog.h"

namespace GenChartLib {
namespace failuretest {

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

// Routes the debug log into `path` for the lifetime of the object.
class CapturedLog {
  public:
    explicit CapturedLog(std::string path) : path_(std::move(path)) {
        setenv("ORVOCHART_LOG", path_.c_str(), 1);
        reopenDebugLog();
    }
    ~CapturedLog() {
        unsetenv("ORVOCHART_LOG");
        reopenDebugLog();
    }
    CapturedLog(const CapturedLog&) = delete;
    CapturedLog& operator=(const CapturedLog&) = delete;

    std::string text() const {
        std::ifstream in(path_, std::ios::binary);
        return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    }

  private:
    std::string path_;
};

}  // namespace failuretest
}  // namespace GenChartLib

#endif  // ORVOCHART_TESTS_RENDER_FAILURECAPTURE_H
