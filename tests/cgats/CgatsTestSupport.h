// Shared helpers of the reference-reader tests.
#ifndef ORVOCHART_TESTS_CGATS_CGATSTESTSUPPORT_H
#define ORVOCHART_TESTS_CGATS_CGATSTESTSUPPORT_H

#include <clocale>
#include <functional>
#include <string>

#include "base/ErrorCodes.h"
#include "cgats/CgatsReader.h"

namespace cgatstest {

inline std::string dataFile(const std::string& name) {
    return std::string(ORVOCHART_TEST_DATA) + "/cgats/" + name;
}

inline GenChartLib::CgatsReader loaded(const std::string& name) {
    GenChartLib::CgatsReader reader;
    reader.load(dataFile(name));
    return reader;
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
// scope (the test programs otherwise run in the "C" locale); `active` is
// false when the host has no such locale.
struct CommaLocale {
    static bool select() {
        for (const char* name : {"de_DE.UTF-8", "de_DE.utf8", "de_DE", "fr_FR.UTF-8"}) {
            if (std::setlocale(LC_ALL, name) != nullptr) {
                return true;
            }
        }
        return false;
    }
    const bool active = select();
    ~CommaLocale() { std::setlocale(LC_ALL, "C"); }
};

}  // namespace cgatstest

#define SKIP_WITHOUT_COMMA_LOCALE(guard) \
    if (!(guard).active)                 \
    GTEST_SKIP() << "no comma-decimal locale (localedef -i de_DE -f UTF-8 de_DE.UTF-8)"

#endif  // ORVOCHART_TESTS_CGATS_CGATSTESTSUPPORT_H
