// Control-patch tables and the search for control patches in a patch set.
#include "color/ControlPatches.h"

#include <algorithm>
#include <cmath>
#include <iterator>

namespace GenChartLib {
namespace {

constexpr ColorQuadruple kGreyRamp[] = {{10, 6, 6, 0},   {20, 12, 12, 0}, {40, 27, 27, 0},
                                        {60, 45, 45, 0}, {80, 65, 65, 0}, {100, 85, 85, 0}};
constexpr ColorQuadruple kGreyOlder[] = {{3.1, 2.2, 2.2, 0}, {10.2, 7.4, 7.4, 0},
                                         {25, 19, 19, 0},    {50, 40, 40, 0},
                                         {75, 66, 66, 0},    {100, 100, 100, 0}};
constexpr ColorQuadruple kGreyCurrent[] = {
    {3, 2.24, 2.24, 0},    {10, 7.46, 7.46, 0},   {25, 18.88, 18.88, 0}, {50, 40, 40, 0},
    {75, 66.12, 66.12, 0}, {90, 85.34, 85.34, 0}, {100, 100, 100, 0}};
constexpr ColorQuadruple kBlackTints[] = {
    {0, 0, 0, 3},   {0, 0, 0, 10}, {0, 0, 0, 25}, {0, 0, 0, 50}, {0, 0, 0, 75}, {0, 0, 0, 90},
    {0, 0, 0, 100}, {0, 0, 0, 20}, {0, 0, 0, 40}, {0, 0, 0, 60}, {0, 0, 0, 80}};
constexpr ColorQuadruple kDarkMakeUps[] = {
    {0, 0, 0, 100}, {100, 0, 0, 100}, {0, 100, 0, 100}, {0, 0, 100, 100}, {100, 100, 100, 0}};

template <std::size_t N>
constexpr ControlTable tableOf(const ColorQuadruple (&rows)[N]) {
    return ControlTable{rows, static_cast<int>(N)};
}

constexpr ControlTable kTables[] = {tableOf(kGreyRamp),   tableOf(kGreyRamp),
                                    tableOf(kGreyOlder),  tableOf(kGreyCurrent),
                                    tableOf(kBlackTints), tableOf(kDarkMakeUps)};

constexpr double kMatchTolerance = 0.1;

double percentOf255(double value) {
    return std::floor(100.0 * value / 2.55 + 0.5) / 100.0;
}

bool within(double a, double b) {
    return std::fabs(a - b) <= kMatchTolerance;
}

// found[] holds 16-bit indices; later patches cannot be reported.
constexpr int kLastReportableIndex = 65535;

}  // namespace

ControlTable controlTable(int table) {
    if (table < 0 || table >= static_cast<int>(std::size(kTables))) {
        return ControlTable{nullptr, 0};
    }
    return kTables[table];
}

ColorQuadruple percentTwoDecimals(const ColorQuadruple& inks255) {
    return ColorQuadruple{percentOf255(inks255.c), percentOf255(inks255.m), percentOf255(inks255.y),
                          percentOf255(inks255.k)};
}

bool matchesAnyRow(const ColorQuadruple& percent, const ControlTable& table) {
    return std::any_of(table.rows, table.rows + table.rowCount, [&](const ColorQuadruple& row) {
        return within(percent.c, row.c) && within(percent.m, row.m) && within(percent.y, row.y) &&
               within(percent.k, row.k);
    });
}

}  // namespace GenChartLib

double GetGrayColorPatches(int count, ColorQuadruple* inks, int maxFound, int table,
                           unsigned short* found) {
    const GenChartLib::ControlTable rows = GenChartLib::controlTable(table);
    if (inks == nullptr || found == nullptr || count <= 0 || maxFound <= 0 || rows.rowCount == 0) {
        return 0.0;
    }
    const int wanted = std::min(maxFound, rows.rowCount);
    const int searched = std::min(count, GenChartLib::kLastReportableIndex + 1);
    int written = 0;
    for (int i = 0; i < searched && written < wanted; ++i) {
        if (GenChartLib::matchesAnyRow(GenChartLib::percentTwoDecimals(inks[i]), rows)) {
            found[written++] = static_cast<unsigned short>(i);
        }
    }
    return written;
}

double GetDeltaLFograMediaRelativeDarkAreas(int count, ColorQuadruple* inks, LabRecord* first,
                                            LabRecord* second) {
    constexpr double kNotFound = -1.0;
    constexpr int kDarkPatches = 5;
    if (inks == nullptr || first == nullptr || second == nullptr || count <= 0) {
        return kNotFound;
    }
    const GenChartLib::ControlTable dark = GenChartLib::controlTable(GenChartLib::kDarkMakeUpTable);
    int matched = 0;
    double darkestFirst = 100.0;
    double darkestSecond = 100.0;
    for (int i = 0; i < count && matched < kDarkPatches; ++i) {
        if (GenChartLib::matchesAnyRow(GenChartLib::percentTwoDecimals(inks[i]), dark)) {
            ++matched;
            darkestFirst = std::min(darkestFirst, first[i].L);
            darkestSecond = std::min(darkestSecond, second[i].L);
        }
    }
    return matched < kDarkPatches ? kNotFound : std::fabs(darkestFirst - darkestSecond);
}
