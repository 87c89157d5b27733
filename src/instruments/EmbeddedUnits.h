// What the layouts of the printer-embedded units (HpZ, Epson, EpsonILS30,
// Canon) share: the sheet the printer leaves them and the conversions
// between their page entries in millimetres and the tenths they draw in.
#ifndef ORVOCHART_INSTRUMENTS_EMBEDDEDUNITS_H
#define ORVOCHART_INSTRUMENTS_EMBEDDEDUNITS_H

#include <algorithm>
#include <cmath>
#include <cstdint>

#include "engine/MeasureInstrument.h"

namespace GenChartLib {

// The printer takes the sheet 10 mm smaller in each direction.
constexpr std::int64_t kPrinterReserveTenths = 100;

inline double mmOfTenths(std::int64_t tenths) {
    return static_cast<double>(tenths) / 10.0;
}

// A page entry in whole tenths. Entries are whole tenths; rounding keeps a
// binary fraction such as 138.2 mm from losing one.
inline std::int64_t entryTenths(double mm) {
    if (!std::isfinite(mm)) {
        return 0;
    }
    return static_cast<std::int64_t>(MeasureInstrument<WriteCMYK>::tenthsOf(mm + 0.05));
}

// A position or length handed to the page; off-page values are clipped.
inline std::uint32_t pixelAt(std::int64_t tenths) {
    return static_cast<std::uint32_t>(std::clamp<std::int64_t>(tenths, 0, UINT32_MAX));
}

// The extent of the sheet a page may use: 10 mm less than the sheet, and no
// more than the greatest extent of the layout.
inline std::int64_t usableTenths(double sheetMm, double greatestMm) {
    return std::min(static_cast<std::int64_t>(MeasureInstrument<WriteCMYK>::tenthsOf(sheetMm)) -
                        kPrinterReserveTenths,
                    entryTenths(greatestMm));
}

}  // namespace GenChartLib

#endif  // ORVOCHART_INSTRUMENTS_EMBEDDEDUNITS_H
