// Helpers shared by the colour tests: reading the numeric CSV files of
// tests/data/color and building spectra.
#ifndef ORVOCHART_TESTS_COLOR_COLORTESTSUPPORT_H
#define ORVOCHART_TESTS_COLOR_COLORTESTSUPPORT_H

#include <charconv>
#include <fstream>
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
        std::vector<double> row;
        const char* p = line.data();
        const char* end = p + line.size();
        while (p < end) {
            double v = 0.0;
            const auto [next, ec] = std::from_chars(p, end, v);
            if (ec != std::errc()) {
                break;
            }
            row.push_back(v);
            p = next < end && *next == ',' ? next + 1 : next;
        }
        if (!row.empty()) {
            rows.push_back(row);
        }
    }
    return rows;
}

// A spectrum of `count` equal reflectance factors from `startNm` in `stepNm`.
inline SpectRecord flatSpectrum(double reflectance, OrvoLong startNm = 380, OrvoLong stepNm = 10,
                                OrvoLong count = 36) {
    SpectRecord s{};
    for (double& v : s.value) {
        v = reflectance;
    }
    s.start = startNm;
    s.step = stepNm;
    s.count = count;
    return s;
}

}  // namespace colortest

#endif  // ORVOCHART_TESTS_COLOR_COLORTESTSUPPORT_H
