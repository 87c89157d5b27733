// One chart job's owner: the layout object made for an instrument and colour
// mode, and the history of its parameter records. Its operations pick the
// current record and hand it to the GenChart operations, the only code that
// calls into the layout object.
#ifndef ORVOCHART_API_CHARTSESSION_H
#define ORVOCHART_API_CHARTSESSION_H

#include <cstdint>
#include <memory>
#include <string>

#include "OrvoChartInterface.h"
#include "base/ChartParams.h"
#include "base/UnDo.h"
#include "engine/ChartObject.h"

namespace GenChartLib {

class ChartSession {
  public:
    ChartSession() = default;
    ChartSession(const ChartSession&) = delete;
    ChartSession& operator=(const ChartSession&) = delete;

    // Drops any chart, starts a fresh record for `mode` and `id`, and asks
    // the factory for the layout object; true when one was made.
    bool create(IdMeasureInstrument id, const char* name, ColorMode mode);
    void destroy();
    // Lays out the current record; a success commits it.
    int initChartParams();
    // The current record becomes the only one.
    void commit();
    // Commits, then sets the reference file.
    void setRefDataName(const std::string& name);
    void setOutputName(const std::string& name);
    void setQualityMode(std::int32_t mode);
    void setPageWidth(double widthMm);
    void setPageHeight(double heightMm);
    void setOutputKind(std::int32_t kind);
    // A new record with the flag set, applied against the one before.
    void setRandomizedPatches(bool randomized);
    // Re-fits the current record against the one before; 0 when there is
    // none.
    int applyChanges();
    int writeChart();
    // Strips and columns of the first page of the current record; 0 when
    // the record holds no page.
    std::int32_t stripsOfFirstPage() const;
    std::int32_t columnsOfFirstPage() const;

    ChartParams& current() { return undo.current(); }

    std::unique_ptr<ChartObject> chart;
    UnDo<ChartParams> undo;
};

}  // namespace GenChartLib

#endif  // ORVOCHART_API_CHARTSESSION_H
