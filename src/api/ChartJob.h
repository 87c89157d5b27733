// The steps of a createChart job that lay the chart out, shared by the export
// and by hosts inside this project that want to show the layout of a job.
#ifndef ORVOCHART_API_CHARTJOB_H
#define ORVOCHART_API_CHARTJOB_H

#include <string>
#include <vector>

#include "OrvoChartInterface.h"
#include "api/ChartSession.h"
#include "base/ChartParams.h"

namespace GenChartLib {

// Fills the session's record as createChart does (quality 0, TIFF pages, the
// page size and reference, `outputName`), lays it out and settles it in
// measuring order. 0, or the error code of the layout.
int layOutChartJob(ChartSession& session, double pageWidthMm, double pageHeightMm,
                   const std::string& refFile, const std::string& outputName);

// The pages createChart would write for these arguments, computed without
// writing anything; empty when no layout can be made.
std::vector<PageLayout> chartJobPages(IdMeasureInstrument instrument, const std::string& refFile,
                                      double pageWidthMm, double pageHeightMm, ColorMode colorMode);

}  // namespace GenChartLib

#endif  // ORVOCHART_API_CHARTJOB_H
