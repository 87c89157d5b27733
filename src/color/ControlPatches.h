// The control-patch tables and the make-up comparison shared by the patch
// search and the dark-area difference.
#ifndef ORVOCHART_COLOR_CONTROLPATCHES_H
#define ORVOCHART_COLOR_CONTROLPATCHES_H

#include "OrvoChartInterface.h"

namespace GenChartLib {

// Rows (c, m, y, k in percent) of a control-patch table.
struct ControlTable {
    const ColorQuadruple* rows;
    int rowCount;
};

// Control-patch table numbers.
constexpr int kGreyBalanceTable = 3;       // CMY grey of current print standards
constexpr int kGreyBalanceTableOlder = 2;  // CMY grey of the earlier print standards
constexpr int kDarkMakeUpTable = 5;        // black, black over C, M, Y, and CMY

// Table `table` (0..5); an empty table for other numbers.
ControlTable controlTable(int table);

// An ink make-up on the 0..255 scale as percentages rounded to two decimals.
ColorQuadruple percentTwoDecimals(const ColorQuadruple& inks255);

// True when `table` has a row equal to `percent` within 0.1 in all four inks.
bool matchesAnyRow(const ColorQuadruple& percent, const ControlTable& table);

}  // namespace GenChartLib

#endif  // ORVOCHART_COLOR_CONTROLPATCHES_H
