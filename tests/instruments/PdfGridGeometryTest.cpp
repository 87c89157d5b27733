// The DTP70 sheet classes and centring, and the DTP20 octal codes and patch
// widths, against hand-worked values.
#include <gtest/gtest.h>

#include <tuple>
#include <utility>
#include <vector>

#include "instruments/Dtp20.h"
#include "instruments/Dtp70.h"

namespace GenChartLib {
namespace {

TEST(PdfGridGeometry, Dtp70SheetClassCentresTheGridWithItsBars) {
    struct Case {
        double neededMm;
        int columns;
        double patchMm, gapMm, widthMm, marginMm;
    };
    // margin = (width - ((columns + 2) x (patch + gap) - gap)) / 2, cut to 0.1 mm.
    const Case cases[] = {{89.9, 10, 6, 0, 90, 9.0},    {90.0, 10, 6, 0, 211, 69.5},
                          {210.9, 18, 6, 0, 211, 45.5}, {100.0, 5, 6.5, 0, 211, 82.7},
                          {211.0, 9, 15, 2, 217, 16.0}, {216.9, 9, 15, 2, 217, 16.0},
                          {217.0, 9, 15, 2, 227, 21.0}};
    for (const Case& c : cases) {
        const Dtp70Sheet sheet = Dtp70Sheet::fit(c.neededMm, c.columns, c.patchMm, c.gapMm, 227.0);
        EXPECT_EQ(sheet.widthMm, c.widthMm) << c.neededMm;
        EXPECT_DOUBLE_EQ(sheet.sideMarginMm, c.marginMm) << c.neededMm;
    }
}

TEST(PdfGridGeometry, Dtp20CodesAndWidths) {
    EXPECT_EQ(octalDigits(20, 2), (std::vector<unsigned>{2, 4}));
    EXPECT_EQ(octalDigits(90, 4), (std::vector<unsigned>{0, 1, 3, 2}));
    EXPECT_EQ(octalDigits(4095, 4), (std::vector<unsigned>{7, 7, 7, 7}));
    // Widths move to the next one the instrument reads: 9.0 down to 7.0,
    // 8.0 up to 10.0, 11.0 down to 10.0; none below 6.5 or above 13.0.
    const std::tuple<double, double, double> widths[] = {{9.0, 7.0, 10.0},
                                                         {8.0, 7.0, 10.0},
                                                         {11.0, 10.0, 12.5},
                                                         {6.0, 6.0, 6.5},
                                                         {14.0, 13.0, 14.0}};
    for (const auto& [mm, below, above] : widths) {
        EXPECT_EQ(std::make_pair(dtp20WidthBelow(mm), dtp20WidthAbove(mm)),
                  std::make_pair(below, above))
            << mm;
    }
    EXPECT_EQ(dtp20WidthCode(12.5), 6U);
}

}  // namespace
}  // namespace GenChartLib
