// Shared helpers of the reference-reader tests.
#ifndef ORVOCHART_TESTS_CGATS_CGATSTESTSUPPORT_H
#define ORVOCHART_TESTS_CGATS_CGATSTESTSUPPORT_H

#include <clocale>
#include <functional>
#include <sstream>
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

inline GenChartLib::CgatsReader fromText(const std::string& text) {
    GenChartLib::CgatsReader reader;
    std::istringstream in(text);
    reader.load(in);
    return reader;
}

// The code `action` throws as eColorCtrlErrors, or ERR_NONE.
inline int thrownCode(const std::function<void()>& action) {
    try {
        action();
    } catch (GenChartLib::eColorCtrlErrors code) {
        return code;
    }
    return GenChartLib::ERR_NONE;
}

// The whole process in a locale with a decimal comma for one scope (the test
// programs otherwise run in "C"); `active` is false when the host has none.
struct CommaLocale {
    const bool active = std::setlocale(LC_ALL, "de_DE.UTF-8") ||
                        std::setlocale(LC_ALL, "de_DE.utf8") ||
                        std::setlocale(LC_ALL, "fr_FR.UTF-8") ||
                        std::setlocale(LC_ALL, "de-DE") ||  // Windows' names
                        std::setlocale(LC_ALL, "German_Germany.1252");
    ~CommaLocale() { std::setlocale(LC_ALL, "C"); }
};

}  // namespace cgatstest

#define SKIP_WITHOUT_COMMA_LOCALE(guard) \
    if (!(guard).active)                 \
    GTEST_SKIP() << "no comma-decimal locale (localedef -i de_DE -f UTF-8 de_DE.UTF-8)"

#endif  // ORVOCHART_TESTS_CGATS_CGATSTESTSUPPORT_H
