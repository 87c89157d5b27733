// The parameter and result record of one chart job, and its page entries.
// A plain value: copies duplicate every string and vector.
#ifndef ORVOCHART_BASE_CHARTPARAMS_H
#define ORVOCHART_BASE_CHARTPARAMS_H

#include <cstdint>
#include <string>
#include <vector>

#include "OrvoChartInterface.h"

namespace GenChartLib {

// One page of a layout.
struct PageLayout {
    double height = 0.0;       // mm, along the height axis
    double width = 0.0;        // mm, along the width axis
    std::int32_t columns = 0;  // patches per strip on this page
    std::int32_t strips = 0;   // strips on this page
};

// Lengths are millimetres. Fields the constructors leave without a meaningful
// value in the original record are zero-initialised here; their writers set
// them before they are read.
struct ChartParams {
    ChartParams() = default;
    explicit ChartParams(ColorMode mode) : colorMode(mode) {}

    double pageHeight = 0.0;
    double pageWidth = 0.0;
    double marginTop = 0.0;
    double marginLeft = 0.0;
    double marginBottom = 0.0;
    double marginRight = 0.0;
    double patchHeight = 0.0;
    double patchWidth = 0.0;
    double gapHeight = 0.0;
    double gapWidth = 0.0;
    std::int32_t qualityMode = 0;  // 0-4; 0 and 3 share a set, 2 and 4 share a set
    ColorMode colorMode = CM_CMYK;
    std::int32_t patchCount = 0;
    std::int32_t layoutReady = 0;
    std::int32_t stripCapacity = 0;
    std::int32_t previewOnly = 0;
    bool overwriteDescription = true;
    bool randomizedPatches = false;
    bool writeDescription = false;
    bool lowRes = false;
    std::int32_t zebraRulerMode = 0;
    bool isisXlFormat = false;
    std::int32_t apertureSize = -1;
    void* previewBuffer = nullptr;
    bool optimizeLayout = false;
    bool useWholePage = false;
    IdMeasureInstrument instrument = MI_DTP41;
    std::int32_t outputKind = 0;  // 1: TIFF pages; 0 and 2: PDF pages
    std::int32_t optionA = 0;
    std::string chartId;
    std::string instrumentShortName;  // stored by writeChart; nothing reads it
    std::string reservedText1;
    std::string outputName;
    std::string refDataName;
    std::string reservedText2;
    std::string reservedText3;
    std::string reservedText4;
    std::string reservedText5;
    std::string reservedText6;
    double layoutFrame[6] = {0.0, 0.0, 0.0, 0.0, 0.0, 0.0};
    std::int32_t pageCount = 0;
    std::int32_t channelCount = 0;
    double firstPageWidth = 0.0;
    double firstPageHeight = 0.0;
    std::int32_t pdfFlag = 0;
    std::int32_t uvCutMode = 0;
    std::vector<PageLayout> pages;
    std::vector<std::string> extraHeaderLines;
    std::int32_t optionB = -1;
    bool qualityMode4 = false;
    std::int32_t printerId = -1;
    bool referenceIds = false;
    std::vector<double> extraValues;
    std::vector<std::string> channelNames;
    std::int32_t optionC = 0;
};

}  // namespace GenChartLib

#endif  // ORVOCHART_BASE_CHARTPARAMS_H
