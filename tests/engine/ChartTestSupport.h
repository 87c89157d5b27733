// What the engine and API tests share: a private folder per test, reference
// files written on the spot, a capture of the library's diagnostics, and a
// layout with fixed geometry that records what the page loop hands it.
#ifndef ORVOCHART_TESTS_ENGINE_CHARTTESTSUPPORT_H
#define ORVOCHART_TESTS_ENGINE_CHARTTESTSUPPORT_H

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

#include "Support.h"
#include "base/ChartParams.h"
#include "engine/MeasureInstrument.h"

namespace chart_test {

namespace fs = std::filesystem;

using GenChartLib::ChartParams;
using GenChartLib::MarginSet;
using TempDir = testsupport::TempFolder;
using testsupport::LogCapture;

// A CMYK reference of `sets` patches with the given header keyword lines.
// Patch i has i % 101 percent cyan and i / 101 % 101 percent magenta, so
// patches can be told apart by their cyan.
inline void writeCmykReference(const std::string& path, int sets,
                               const std::vector<std::string>& keywords = {}) {
    std::ofstream out(path);
    out << "CGATS.17\nORIGINATOR \"test\"\n";
    for (const std::string& line : keywords) {
        out << line << "\n";
    }
    out << "NUMBER_OF_FIELDS 5\nBEGIN_DATA_FORMAT\nSAMPLE_ID CMYK_C CMYK_M CMYK_Y CMYK_K\n"
           "END_DATA_FORMAT\nNUMBER_OF_SETS "
        << sets << "\nBEGIN_DATA\n";
    for (int i = 0; i < sets; ++i) {
        out << i + 1 << " " << i % 101 << " " << i / 101 % 101 << " 0 0\n";
    }
    out << "END_DATA\n";
}

// The instrument geometry a test layout reports, in millimetres.
struct Geometry {
    double sizes[8] = {10, 10, 10, 10, 10, 10, 10, 10};
    double gaps[8] = {};
    MarginSet first;
    MarginSet second;
    MarginSet third;
    double limits[8] = {1, 1, 1000, 1000, 0, 0, 0, 0};
    double leader[4] = {};
};

// The strip geometry of the DTP41: 13 x 8 mm patches with 1.5 mm bars in
// quality mode 0, 13 x 10 mm in modes 1, 2 and 4.
inline Geometry dtp41Geometry() {
    return {{13.0, 8.0, 50.0, 50.0, 13.0, 10.0, 13.0, 10.0},
            {0.0, 1.5, 50.0, 5.0, 0.1, 2.0, 2.0, 2.0},
            {0.5, 38.0, 15.0, 30.0},
            {50.0, 127.0, 50.0, 60.0},
            {1.0, 40.0, 15.0, 40.0},
            {28.5, 79.0, 110.0, 300.0, 0, 0, 0, 0},
            {}};
}

// A layout with fixed geometry that keeps every page it is asked to draw.
template <class W>
class RecordingInstrument : public GenChartLib::MeasureInstrument<W> {
  public:
    using Patch = typename W::PixelColor;
    struct PageCall {
        int page;
        std::string outputName;
        std::vector<Patch> patches;
    };

    explicit RecordingInstrument(const Geometry& g = Geometry())
        : GenChartLib::MeasureInstrument<W>("test"), g_(g) {}

    void writePage(ChartParams& params, std::vector<Patch>& patches, int page) override {
        calls.push_back({page, params.outputName, patches});
    }
    void getStripLeader(double out[4], const ChartParams&) override { copy(g_.leader, 4, out); }
    void getPageSizeLimits(double out[8], const ChartParams&) override { copy(g_.limits, 8, out); }
    void getPatchSizes(double out[8]) override { copy(g_.sizes, 8, out); }
    void getPatchGaps(double out[8], const ChartParams&) override { copy(g_.gaps, 8, out); }
    void getPageMargins(MarginSet& first, MarginSet& second, MarginSet& third,
                        const ChartParams&) override {
        first = g_.first;
        second = g_.second;
        third = g_.third;
    }

    std::vector<PageCall> calls;

  private:
    static void copy(const double* from, int count, double* to) { std::copy_n(from, count, to); }
    Geometry g_;
};

}  // namespace chart_test

#endif  // ORVOCHART_TESTS_ENGINE_CHARTTESTSUPPORT_H
