#include "api/GenChart.h"

#include "api/ChartSession.h"
#include "api/Factory.h"
#include "base/ErrorCodes.h"
#include "outside/DebugLog.h"

namespace GenChartLib {

namespace {

constexpr const char* kCreateFormat = "GenChart/CreateGenChart: %s";
constexpr const char* kInitFormat = "GenChart/InitChartParams: %s";
constexpr const char* kSetFormat = "GenChart/SetChartParams: %s";
constexpr const char* kWriteFormat = "GenChart/WriteChart: %s";

int reportFailure(const char* format, int code) {
    logError(format, code);
    return code;
}

// Runs one call into the chart. An error code thrown by the layout engine is
// returned as it is; any other exception becomes `otherCode`. Either way the
// chart object is deleted: after a failure its state is not to be trusted.
template <class Call>
int callChart(ChartSession& s, const char* format, eColorCtrlErrors otherCode, Call call) {
    try {
        call(*s.chart);
        return ERR_NONE;
    } catch (eColorCtrlErrors code) {
        s.chart.reset();
        return reportFailure(format, code);
    } catch (...) {
        s.chart.reset();
        return reportFailure(format, otherCode);
    }
}

bool hasChart(const ChartSession* s) {
    return s != nullptr && s->chart != nullptr;
}

}  // namespace

void CreateGenChart(IdMeasureInstrument id, const char* name, ChartSession* s, ColorMode mode) {
    if (s == nullptr) {
        return;
    }
    s->chart.reset();
    try {
        s->chart = makeChart(mode, id, name != nullptr ? name : "");
    } catch (...) {
        s->chart.reset();
        logError(kCreateFormat, ERR_INVALID_CREATE_GENCHART);
    }
}

void DestroyGenChart(ChartSession* s, ColorMode mode) {
    static_cast<void>(mode);
    if (s != nullptr) {
        s->chart.reset();
    }
}

int InitChartParams(ChartSession* s, ChartParams& p) {
    if (!hasChart(s)) {
        return reportFailure(kInitFormat, ERR_INVALID_HANDLE);
    }
    p.optimizeLayout = true;
    if (!isSupportedColorMode(p.colorMode)) {
        return ERR_NONE;
    }
    return callChart(*s, kInitFormat, ERR_INVALID_INIT_CHART_PARAMS,
                     [&p](ChartObject& chart) { chart.initChartParams(p); });
}

int SetChartParams(ChartSession* s, const ChartParams& previous, ChartParams& p) {
    if (!hasChart(s)) {
        return reportFailure(kSetFormat, ERR_INVALID_HANDLE);
    }
    if (!isSupportedColorMode(p.colorMode)) {
        return ERR_NONE;
    }
    return callChart(*s, kSetFormat, ERR_INVALID_SET_CHART_PARAMS,
                     [&previous, &p](ChartObject& chart) { chart.applyChartParams(previous, p); });
}

int WriteChart(ChartSession* s, ChartParams& p) {
    if (!hasChart(s)) {
        return reportFailure(kWriteFormat, ERR_INVALID_HANDLE);
    }
    if (p.outputName.empty()) {
        return reportFailure(kWriteFormat, ERR_INVALID_CHART_NAME);
    }
    if (!isSupportedColorMode(p.colorMode)) {
        return ERR_NONE;
    }
    return callChart(*s, kWriteFormat, ERR_INVALID_WRITE_CHART,
                     [&p](ChartObject& chart) { chart.writeChart(p); });
}

}  // namespace GenChartLib
