// The five operations that call into a session's layout object. They
// dispatch on the colour mode, turn every exception of the layout engine into
// a negative code, log the code's text under the operation's name and never
// let an exception escape. After a failure the session holds no chart.
#ifndef ORVOCHART_API_GENCHART_H
#define ORVOCHART_API_GENCHART_H

#include "OrvoChartInterface.h"
#include "base/ChartParams.h"

namespace GenChartLib {

class ChartSession;

// Replaces the session's chart by the one the factory names for (mode, id),
// or by none.
void CreateGenChart(IdMeasureInstrument id, const char* name, ChartSession* s, ColorMode mode);
void DestroyGenChart(ChartSession* s, ColorMode mode);
// Layout of `p`; 0 or a negative code.
int InitChartParams(ChartSession* s, ChartParams& p);
// Re-fit of `p` after a change against `previous`; 0 or a negative code.
int SetChartParams(ChartSession* s, const ChartParams& previous, ChartParams& p);
// Writes the chart of `p`; 0 or a negative code.
int WriteChart(ChartSession* s, ChartParams& p);

}  // namespace GenChartLib

#endif  // ORVOCHART_API_GENCHART_H
