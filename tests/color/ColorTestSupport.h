// Helpers shared by the colour tests: the numeric CSV files of
// tests/data/color, flat spectra and records as comparable arrays.
#ifndef ORVOCHART_TESTS_COLOR_COLORTESTSUPPORT_H
#define ORVOCHART_TESTS_COLOR_COLORTESTSUPPORT_H

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <fstream>
#include <iterator>
#include <locale>
#include <sstream>
#include <string>
#include <vector>

#include "OrvoChartInterface.h"

namespace colortest {

// The data rows of a CSV file of numbers with one header row. Empty when the
// file is missing, so that the caller's size check fails visibly.
inline std::vector<std::vector<double>> readNumericCsv(const std::string& name) {
    std::ifstream in(std::string(ORVOCHART_TEST_DATA) + "/color/" + name);
    std::vector<std::vector<double>> rows;
    std::string line;
    std::getline(in, line);  // header
    while (std::getline(in, line)) {
        std::replace(line.begin(), line.end(), ',', ' ');
        std::istringstream fields(line);
        fields.imbue(std::locale::classic());
        rows.emplace_back(std::istream_iterator<double>(fields), std::istream_iterator<double>());
    }
    return rows;
}

// A spectrum of `count` equal reflectance factors from `startNm` in `stepNm`.
inline SpectRecord flatSpectrum(double reflectance, OrvoLong startNm = 380, OrvoLong stepNm = 10,
                                OrvoLong count = 36) {
    SpectRecord s{{}, startNm, stepNm, count, 0};
    std::fill(std::begin(s.value), std::end(s.value), reflectance);
    return s;
}

using Triple = std::array<double, 3>;
using Rgb = std::array<OrvoLong, 3>;

inline Triple triple(const ColorTriplex& t) {
    return {t.X, t.Y, t.Z};
}
inline Triple triple(const LabRecord& t) {
    return {t.L, t.a, t.b};
}
inline Triple triple(const LCHRecord& t) {
    return {t.L, t.C, t.h};
}
inline Rgb rgb(const tagRGBRecord& r) {
    return {r.R, r.G, r.B};
}

// Each component within `tolerance` of the expected value.
template <class Record>
void expectNear(const Record& actual, const Triple& expected, double tolerance) {
    for (std::size_t i = 0; i < 3; ++i) {
        EXPECT_NEAR(triple(actual)[i], expected[i], tolerance) << "component " << i;
    }
}

}  // namespace colortest

#endif  // ORVOCHART_TESTS_COLOR_COLORTESTSUPPORT_H
