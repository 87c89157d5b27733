// The exported chart job: one call makes one complete chart.
#include <cmath>
#include <string>

#include "OrvoChartInterface.h"
#include "api/ChartJob.h"
#include "api/ChartSession.h"
#include "api/Factory.h"
#include "base/ErrorCodes.h"
#include "outside/DebugLog.h"
#include "platform/Platform.h"

namespace GenChartLib {

namespace {

constexpr const char* kCreateChartFormat = "CreateChart/createChart: %s";

bool isUsablePageExtent(double mm) {
    return std::isfinite(mm) && mm > 0.0;
}

// The steps of one chart job; returns whether the chart was made. The
// session and its chart are released on every way out.
bool runChartJob(IdMeasureInstrument instrument, const std::string& outputFile,
                 const std::string& refFile, double pageWidth, double pageHeight, int* stripsOut,
                 int* columnsOut, ColorMode colorMode) {
    if (!isUsablePageExtent(pageWidth) || !isUsablePageExtent(pageHeight)) {
        logError(kCreateChartFormat, ERR_PAGE_SIZE);
        return false;
    }
    if (outputFile.empty()) {
        logError(kCreateChartFormat, ERR_INVALID_CHART_NAME);
        return false;
    }
    if (outputFile == refFile) {
        logError(kCreateChartFormat, ERR_CHART_NAME_IS_REFERENCE);
        return false;
    }
    ChartSession session;
    if (!session.create(instrument, "", colorMode)) {
        if (!isSupportedColorMode(colorMode)) {
            debugLog(kCreateChartFormat, 0, 0,
                     ("colour mode " + std::to_string(colorMode) + " is not supported").c_str());
        }
        return false;
    }
    if (layOutChartJob(session, pageWidth, pageHeight, refFile, outputFile + ".tmp") != 0) {
        return false;
    }
    const std::string firstPage = outputFile + "_0.tif";
    // An earlier chart under this name keeps its pages and side files: the
    // job stops before it writes anything.
    if (platform::pathExists(outputFile)) {
        debugLog(kCreateChartFormat, 0, 0,
                 ("output file exists, nothing written: " + outputFile).c_str());
        return false;
    }
    if (session.writeChart() != 0) {
        return false;
    }
    switch (platform::renameNoReplace(firstPage, outputFile)) {
        case platform::RenameResult::Moved:
            break;
        case platform::RenameResult::TargetExists:
            debugLog(kCreateChartFormat, 0, 0,
                     ("output file exists, the chart stays at " + firstPage).c_str());
            return false;
        case platform::RenameResult::Failed:
            debugLog(kCreateChartFormat, 0, 0,
                     ("cannot move " + firstPage + " to " + outputFile).c_str());
            return false;
    }
    if (stripsOut != nullptr) {
        *stripsOut = session.stripsOfFirstPage();
    }
    if (columnsOut != nullptr) {
        *columnsOut = session.columnsOfFirstPage();
    }
    session.destroy();
    return true;
}

}  // namespace

int layOutChartJob(ChartSession& session, double pageWidthMm, double pageHeightMm,
                   const std::string& refFile, const std::string& outputName) {
    session.setQualityMode(0);
    session.setPageWidth(pageWidthMm);
    session.setPageHeight(pageHeightMm);
    session.setRefDataName(refFile);
    session.setOutputKind(1);
    const int layout = session.initChartParams();
    session.setOutputName(outputName);
    // The reference may ask for randomised patches; the chart is always
    // written in measuring order.
    session.setRandomizedPatches(false);
    session.applyChanges();
    return layout;
}

std::vector<PageLayout> chartJobPages(IdMeasureInstrument instrument, const std::string& refFile,
                                      double pageWidthMm, double pageHeightMm,
                                      ColorMode colorMode) {
    if (!isUsablePageExtent(pageWidthMm) || !isUsablePageExtent(pageHeightMm)) {
        return {};
    }
    ChartSession session;
    if (!session.create(instrument, "", colorMode) ||
        layOutChartJob(session, pageWidthMm, pageHeightMm, refFile, "") != 0) {
        return {};
    }
    std::vector<PageLayout> pages = session.current().pages;
    session.destroy();
    return pages;
}

}  // namespace GenChartLib

int createChart(IdMeasureInstrument instrument, const char* outputFile, const char* refFile,
                double pageWidth, double pageHeight, int spareInt, int* stripsOut, int* columnsOut,
                int* spareOut, ColorMode colorMode) {
    static_cast<void>(spareInt);
    static_cast<void>(spareOut);
    if (outputFile == nullptr || refFile == nullptr) {
        return 0;
    }
    try {
        return GenChartLib::runChartJob(instrument, outputFile, refFile, pageWidth, pageHeight,
                                        stripsOut, columnsOut, colorMode)
                   ? 1
                   : 0;
    } catch (...) {
        GenChartLib::logError("CreateChart/createChart: %s", GenChartLib::ERR_FATAL);
        return 0;
    }
}
