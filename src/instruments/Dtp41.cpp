#include "instruments/Dtp41.h"

#include <stdexcept>

#include "base/ErrorCodes.h"
#include "outside/DebugLog.h"

namespace GenChartLib {

namespace {

constexpr const char* kWritePageLog = "Dtp41/writePage: %s";

// Patch sizes and gaps as (height, width) pairs: quality modes 0/3, the
// base's unused pair, mode 1, modes 2/4.
constexpr double kPatchSizesMm[8] = {13.0, 8.0, 50.0, 50.0, 13.0, 10.0, 13.0, 10.0};
constexpr double kPatchGapsMm[8] = {0.0, 1.5, 50.0, 5.0, 0.1, 2.0, 2.0, 2.0};

// The instrument takes strips of at most 300 mm and pages of at most 110 mm.
constexpr double kGreatestHeightMm = 110.0;
constexpr double kGreatestWidthMm = 300.0;

constexpr MarginSet kDtp41FirstMargins{0.5, 38.0, 15.0, 30.0};
constexpr MarginSet kDtp41ThirdMargins{1.0, 40.0, 15.0, 40.0};
constexpr MarginSet kDtp45FirstMargins{0.5, 42.0, 6.0, 30.0};
constexpr MarginSet kDtp45ThirdMargins{1.0, 40.0, 6.0, 40.0};
constexpr MarginSet kSecondMargins{50.0, 127.0, 50.0, 60.0};

std::uint32_t countOf(std::int32_t value) {
    return value > 0 ? static_cast<std::uint32_t>(value) : 0U;
}

// In a whole-chart document every page gets a preview of its own, named
// after the document and the page: chart.pdf gives chart_0.jpg, chart_1.jpg.
std::string wholeChartPreviewName(const std::string& documentName, std::size_t page) {
    const auto nameStart = documentName.find_last_of("/\\");
    const auto dot = documentName.rfind('.');
    const bool hasExtension =
        dot != std::string::npos && (nameStart == std::string::npos || dot > nameStart);
    const std::string stem = hasExtension ? documentName.substr(0, dot) : documentName;
    return stem + "_" + std::to_string(page) + ".jpg";
}

}  // namespace

DtpStripGeometry DtpStripGeometry::fromParams(const ChartParams& params, double leftExtraMm) {
    using Base = MeasureInstrument<WriteCMYK>;
    DtpStripGeometry g;
    g.top = Base::tenthsOf(params.marginTop);
    g.left = Base::tenthsOf(params.marginLeft) + Base::tenthsOf(leftExtraMm);
    g.patchHeight = Base::tenthsOf(params.patchHeight);
    g.patchWidth = Base::tenthsOf(params.patchWidth);
    g.gapHeight = Base::tenthsOf(params.gapHeight);
    g.halfGap = Base::tenthsOf(params.gapWidth) / 2;
    return g;
}

template <class W>
void Dtp41<W>::writePage(ChartParams& params, std::vector<Patch>& patches, int page) {
    if (patches.empty()) {
        logError(kWritePageLog, ERR_EMPTY_MEASURE_DATA);
        return;
    }
    // A page index past the page list draws nothing rather than an empty
    // document.
    const PageSpan span = MeasureInstrument<W>::pagesToDraw(params, page);
    if (span.firstPage >= span.endPage) {
        logError(kWritePageLog, ERR_EMPTY_PAGE_VECTOR);
        return;
    }

    const ChartParams spare;
    double leader[4] = {};
    getStripLeader(leader, spare);
    const DtpStripGeometry geometry = DtpStripGeometry::fromParams(params, leader[1]);

    // Every page has the size of the first one.
    const PageLayout& first = params.pages.front();
    const double pageWidthMm = MeasureInstrument<W>::tenthsOf(first.width) / 10.0;
    const double pageHeightMm = MeasureInstrument<W>::tenthsOf(first.height) / 10.0;

    ChartParams pageParams = params;
    pageParams.channelCount = static_cast<std::int32_t>(W::channelCountOf(patches.front()));
    PdfPage<W> pdf(pageParams);

    const int documentPages = static_cast<int>(span.endPage - span.firstPage);
    std::size_t next = 0;
    std::uint64_t stripNumber =
        span.firstStripNumber > 0 ? static_cast<std::uint64_t>(span.firstStripNumber) : 1U;
    for (std::size_t i = span.firstPage; i < span.endPage; ++i) {
        const PageLayout& layout = params.pages[i];
        pdf.newPage(pageWidthMm, pageHeightMm, kDtpPageCode);
        drawStrips(pdf, geometry, layout, patches, next);
        drawStripLabels(pdf, geometry, countOf(layout.strips), stripNumber);
        stripNumber += countOf(layout.strips);

        const int documentPage = static_cast<int>(i - span.firstPage);
        const std::string previewOf =
            page < 0 ? wholeChartPreviewName(params.outputName, i) : params.outputName;
        pdf.exportJpeg(previewOf, documentPage, documentPages);
    }
    if (pdf.loaded()) {
        pdf.save(params.outputName);
    }
}

template <class W>
void Dtp41<W>::drawStrips(PdfPage<W>& pdf, const DtpStripGeometry& geometry,
                          const PageLayout& layout, const std::vector<Patch>& patches,
                          std::size_t& next) const {
    const Patch black = W::blackColor();
    const std::uint32_t bar = geometry.halfGap;
    const std::uint32_t height = geometry.patchHeight;
    for (std::uint32_t strip = 0; strip < countOf(layout.strips); ++strip) {
        const std::uint32_t y = geometry.stripY(strip);
        pdf.fillRectPlain({geometry.leadingBarX(), y}, bar, height, black);
        for (std::uint32_t column = 0; column < countOf(layout.columns); ++column) {
            if (next >= patches.size()) {
                throw std::out_of_range("invalid vector<T> subscript");
            }
            pdf.fillRect({geometry.patchX(column), y}, geometry.patchWidth, height, patches[next]);
            ++next;
            pdf.fillRectPlain({geometry.barAfterPatchX(column), y}, bar, height, black);
        }
    }
}

template <class W>
void Dtp41<W>::drawStripLabels(PdfPage<W>& pdf, const DtpStripGeometry& geometry,
                               std::uint32_t strips, std::uint64_t firstNumber) const {
    const Patch black = W::blackColor();
    for (std::uint32_t strip = 0; strip < strips; ++strip) {
        const std::uint32_t middle = geometry.labelY(strip);
        pdf.drawMarkerArrow(DtpStripLabel::kArrowTailX, middle, DtpStripLabel::kArrowTipX,
                            geometry.arrowTipY(strip), DtpStripLabel::kArrowShaftWidth,
                            DtpStripLabel::kArrowHeadLength, DtpStripLabel::kArrowHeadWidth, black);
        pdf.drawNumber({DtpStripLabel::kNumberX, middle}, geometry.patchHeight / 2,
                       static_cast<std::uint32_t>(firstNumber + strip), black);
    }
}

template <class W>
void Dtp41<W>::getStripLeader(double out[4], const ChartParams& /*params*/) {
    out[0] = out[1] = out[2] = out[3] = 0.0;
}

template <class W>
void Dtp41<W>::getPageSizeLimits(double out[8], const ChartParams& params) {
    // The least page holds one patch with a gap on either side inside the
    // quality-mode-0 margins, whatever mode is chosen.
    MarginSet first;
    MarginSet second;
    MarginSet third;
    getPageMargins(first, second, third, params);
    double sizes[8];
    double gaps[8];
    double leader[4];
    getPatchSizes(sizes);
    getPatchGaps(gaps, params);
    getStripLeader(leader, params);
    out[0] = first.top + sizes[0] + 2.0 * gaps[0] + first.bottom + leader[0] + leader[2];
    out[1] = first.left + sizes[1] + 2.0 * gaps[1] + first.right + leader[1] + leader[3];
    out[2] = kGreatestHeightMm;
    out[3] = kGreatestWidthMm;
    out[4] = out[5] = out[6] = out[7] = 0.0;
}

template <class W>
void Dtp41<W>::getPatchSizes(double out[8]) {
    for (int i = 0; i < 8; ++i) {
        out[i] = kPatchSizesMm[i];
    }
}

template <class W>
void Dtp41<W>::getPatchGaps(double out[8], const ChartParams& /*params*/) {
    for (int i = 0; i < 8; ++i) {
        out[i] = kPatchGapsMm[i];
    }
}

template <class W>
void Dtp41<W>::getPageMargins(MarginSet& first, MarginSet& second, MarginSet& third,
                              const ChartParams& /*params*/) {
    first = kDtp41FirstMargins;
    second = kSecondMargins;
    third = kDtp41ThirdMargins;
}

template <class W>
void Dtp45<W>::getPageMargins(MarginSet& first, MarginSet& second, MarginSet& third,
                              const ChartParams& /*params*/) {
    first = kDtp45FirstMargins;
    second = kSecondMargins;
    third = kDtp45ThirdMargins;
}

template class Dtp41<WriteCMYK>;
template class Dtp41<WriteCMYKO>;
template class Dtp41<WriteCMYKOG>;
template class Dtp41<WriteCMYKRGB>;
template class Dtp41<WriteLAB>;
template class Dtp41<WriteRGB>;
template class Dtp41<WriteSpotColor>;

template class Dtp45<WriteCMYK>;
template class Dtp45<WriteCMYKO>;
template class Dtp45<WriteCMYKOG>;
template class Dtp45<WriteCMYKRGB>;
template class Dtp45<WriteLAB>;
template class Dtp45<WriteRGB>;
template class Dtp45<WriteSpotColor>;

}  // namespace GenChartLib
