// The factory behind CreateGenChart: a chart object of the layout class an
// instrument id is served by, over the writer its colour mode selects.
#ifndef ORVOCHART_API_FACTORY_H
#define ORVOCHART_API_FACTORY_H

#include <memory>
#include <string>

#include "OrvoChartInterface.h"
#include "base/Catalog.h"
#include "engine/ChartObject.h"

namespace GenChartLib {

// A new chart object of the layout class of `id` over the writer of `mode`,
// constructed with `name`; null when the mode is unsupported, when the class
// has no layout for that writer (the warm-up page has none for CMYKO), or
// when the class is not part of this build (logged with the id).
std::unique_ptr<ChartObject> makeChart(ColorMode mode, IdMeasureInstrument id,
                                       const std::string& name);

// Whether this build can make charts of `layout` in `mode`.
bool layoutAvailable(LayoutClass layout, ColorMode mode);

}  // namespace GenChartLib

#endif  // ORVOCHART_API_FACTORY_H
