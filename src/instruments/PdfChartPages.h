// What the PDF grid and strip layouts (DTP70, DTP20, iCColor) share: one
// writePage call draws page `page` of the chart into its own one-page
// document with its own JPEG preview, the list holding that page's patches;
// or, with page -1, every page into one document from the whole list, with a
// preview per page named after the document and the page.
#ifndef ORVOCHART_INSTRUMENTS_PDFCHARTPAGES_H
#define ORVOCHART_INSTRUMENTS_PDFCHARTPAGES_H

#include <cstddef>
#include <cstdint>
#include <stdexcept>
#include <string>
#include <vector>

#include "base/ChartParams.h"
#include "base/ErrorCodes.h"
#include "engine/MeasureInstrument.h"
#include "outside/DebugLog.h"
#include "render/PdfPage.h"

namespace GenChartLib {

// Page code the PDF writer keeps with every page of these layouts.
constexpr std::int32_t kPdfGridPageCode = -17;

// Where the page being drawn sits in the whole chart.
struct PdfChartPage {
    std::size_t index = 0;              // into ChartParams::pages
    std::int64_t firstStripNumber = 1;  // 1-based, running on across pages
};

// `name` up to the last "." of its file name (the whole name when it has
// none), so "out/chart.pdf.tmp" gives "out/chart.pdf".
inline std::string withoutExtension(const std::string& name) {
    const auto nameStart = name.find_last_of("/\\");
    const auto dot = name.rfind('.');
    const bool hasExtension =
        dot != std::string::npos && (nameStart == std::string::npos || dot > nameStart);
    return hasExtension ? name.substr(0, dot) : name;
}

// The colour of patches[next], which then moves on; a list that runs out
// before the pages do is a broken chart, not a short one.
template <class Patch>
const Patch& takePatch(const std::vector<Patch>& patches, std::size_t& next) {
    if (next >= patches.size()) {
        throw std::out_of_range("invalid vector<T> subscript");
    }
    return patches[next++];
}

inline std::uint32_t nonNegative(std::int32_t value) {
    return value > 0 ? static_cast<std::uint32_t>(value) : 0U;
}

// Draws the pages a writePage call asks for, every one widthMm x heightMm:
// drawPage(pdf, page, layout, patches, next) draws one page from
// patches[next] on and advances `next`.
template <class W, class DrawPage>
void writePdfPages(const ChartParams& params, const std::vector<typename W::PixelColor>& patches,
                   int page, const char* logFormat, double widthMm, double heightMm,
                   DrawPage drawPage) {
    if (patches.empty()) {
        logError(logFormat, ERR_EMPTY_MEASURE_DATA);
        return;
    }
    const PageSpan span = MeasureInstrument<W>::pagesToDraw(params, page);
    if (span.firstPage >= span.endPage) {
        logError(logFormat, ERR_EMPTY_PAGE_VECTOR);
        return;
    }
    ChartParams pageParams = params;
    pageParams.channelCount = static_cast<std::int32_t>(W::channelCountOf(patches.front()));
    PdfPage<W> pdf(pageParams);

    const int documentPages = static_cast<int>(span.endPage - span.firstPage);
    std::size_t next = 0;
    PdfChartPage at{span.firstPage, span.firstStripNumber};
    for (; at.index < span.endPage; ++at.index) {
        const PageLayout& layout = params.pages[at.index];
        pdf.newPage(widthMm, heightMm, kPdfGridPageCode);
        drawPage(pdf, at, layout, patches, next);
        at.firstStripNumber += nonNegative(layout.strips);
        const std::string previewOf =
            page < 0 ? withoutExtension(params.outputName) + "_" + std::to_string(at.index) + ".jpg"
                     : params.outputName;
        pdf.exportJpeg(previewOf, static_cast<int>(at.index - span.firstPage), documentPages);
    }
    if (pdf.loaded()) {
        pdf.save(params.outputName);
    }
}

}  // namespace GenChartLib

#endif  // ORVOCHART_INSTRUMENTS_PDFCHARTPAGES_H
