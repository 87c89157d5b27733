// Shared helpers of the reference-reader tests.
#ifndef ORVOCHART_TESTS_CGATS_CGATSTESTSUPPORT_H
#define ORVOCHART_TESTS_CGATS_CGATSTESTSUPPORT_H

#include <clocale>
#include <functional>
#include <string>

#include "api/ErrorCodes.h"

namespace cgatstest {

inline std::string dataFile(const std::string& name) {
    return std::string(ORVOCHART_TEST_DATA) + "/cgats/" + name;
}

// The code `action` throws as eColorCtrlErrors, or ERR_NONE when it
// returns normally.
inline int thrownCode(const std::function<void()>& action) {
    try {
        action();
    } catch (GenChartLib::eColorCtrlErrors code) {
        return code;
    }
    return GenChartLib::ERR_NONE;
}

// Switches the whole process to a locale with a decimal comma for one
// scope; `active()` is false when the host has no such locale.
class CommaLocale {
  public:
    CommaLocale() {
        const char* previous = std::setlocale(LC_ALL, nullptr);
        saved_ = previous != nullptr ? previous : "C";
        for (const char* name : {"de_DE.UTF-8", "de_DE.utf8", "de_DE", "fr_FR.UTF-8"}) {
            if (std::setlocale(LC_ALL, name) != nullptr) {
                active_ = true;
                return;
            }
        }
    }
    ~CommaLocale() { std::setlocale(LC_ALL, saved_.c_str()); }
    CommaLocale(const CommaLocale&) = delete;
    CommaLocale& operator=(const CommaLocale&) = delete;

    bool active() const { return active_; }

  private:
    std::string saved_;
    bool active_ = false;
};

}  // namespace cgatstest

#define SKIP_WITHOUT_COMMA_LOCALE(guard)                                        \
    if (!(guard).active()) {                                                    \
        GTEST_SKIP() << "no comma-decimal locale installed (generate one with " \
                        "'localedef -i de_DE -f UTF-8 de_DE.UTF-8')";           \
    }

#endif  // ORVOCHART_TESTS_CGATS_CGATSTESTSUPPORT_H
