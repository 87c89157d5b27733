// What a chart session holds: a layout object whose pixel type is fixed by its
// colour mode. The session only lays out, re-fits and writes, so those three
// operations are all it needs to see; every MeasureInstrument<W> is one.
#ifndef ORVOCHART_ENGINE_CHARTOBJECT_H
#define ORVOCHART_ENGINE_CHARTOBJECT_H

#include "base/ChartParams.h"

namespace GenChartLib {

class ChartObject {
  public:
    ChartObject() = default;
    ChartObject(const ChartObject&) = delete;
    ChartObject& operator=(const ChartObject&) = delete;
    virtual ~ChartObject() = default;

    // Layout from page size, instrument geometry and reference file.
    virtual void initChartParams(ChartParams& params) = 0;
    // Writes every page file of the finished layout.
    virtual void writeChart(ChartParams& params) = 0;
    // Re-fits the layout after a parameter change.
    virtual void applyChartParams(const ChartParams& previous, ChartParams& current) = 0;
};

}  // namespace GenChartLib

#endif  // ORVOCHART_ENGINE_CHARTOBJECT_H
