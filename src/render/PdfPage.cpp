#include "render/PdfPage.h"

#include <algorithm>
#include <limits>
#include <new>
#include <type_traits>
#include <vector>

#include "base/ErrorCodes.h"
#include "outside/DebugLog.h"

namespace GenChartLib {

namespace {

constexpr const char* kOpenLog = "PdfPage/PdfPage: %s";
constexpr const char* kDrawLog = "PdfPage/draw: %s";
constexpr const char* kSaveLog = "PdfPage/save: %s";
constexpr const char* kJpegLog = "PdfPage/exportJpeg: %s";

// Polygons are handed over with at most this many vertices.
constexpr std::size_t kMaxPolygonVertices = 255;

double mmFromTenths(std::uint32_t tenths) {
    return tenths / 10.0;
}

// Channels of a page in the given mode; spot modes take the chart's count
// when it is usable, else the count the mode names.
int channelCountOfMode(const ChartParams& params) {
    const bool spot = params.colorMode >= CM_SPOT_1 && params.colorMode <= CM_SPOT_8;
    if (spot && params.channelCount >= 1 && params.channelCount <= static_cast<int>(kMaxChannels)) {
        return params.channelCount;
    }
    return static_cast<int>(GenChartLib::channelCountOfMode(params.colorMode));
}

[[noreturn]] void refuseModule(const std::string& reason) {
    debugLog(kOpenLog, 0, 0, reason.c_str());
    throw ERR_LOAD_LIBRARY;
}

// Drawing failures leave the rest of the page intact: they are logged, and
// only a module out of memory stops the chart.
void checkDrawing(std::int32_t result, const char* operation) {
    if (result == OC_PDF_OK) {
        return;
    }
    if (result == OC_PDF_OUT_OF_MEMORY) {
        throw std::bad_alloc();
    }
    const std::string reason =
        std::string(operation) + (result == OC_PDF_NO_PAGE ? " before any page" : " refused");
    debugLog(kDrawLog, 0, 0, reason.c_str());
}

void checkWrite(std::int32_t result, const char* format, const std::string& fileName) {
    if (result == OC_PDF_OK) {
        return;
    }
    if (result == OC_PDF_OUT_OF_MEMORY) {
        throw std::bad_alloc();
    }
    debugLog(format, 0, 0, ("cannot write " + fileName).c_str());
    throw ERR_OPEN_FILE;
}

}  // namespace

template <class W>
PdfPage<W>::PdfPage(const ChartParams& params)
    : PdfPage(params, platform::moduleFileName(OC_PDF_MODULE_BASE_NAME)) {}

template <class W>
PdfPage<W>::PdfPage(const ChartParams& params, const std::string& moduleFile)
    : channelCount_(channelCountOfMode(params)),
      flag_(static_cast<std::uint8_t>(params.pdfFlag & 0xFF)) {
    open(params, moduleFile);
}

template <class W>
PdfPage<W>::~PdfPage() {
    close();
}

template <class W>
void PdfPage<W>::open(const ChartParams& params, const std::string& moduleFile) {
    std::string error;
    module_ = platform::loadModule(moduleFile, &error);
    if (module_ == nullptr) {
        refuseModule(moduleFile + ": " + error);
    }
    auto* getInterface =
        reinterpret_cast<OcPdfGetInterface>(platform::findEntry(module_, OC_PDF_ENTRY_NAME));
    if (getInterface == nullptr) {
        refuse(moduleFile + ": no entry " OC_PDF_ENTRY_NAME);
    }
    const OcPdfInterface* table = getInterface();
    if (table == nullptr) {
        refuse(moduleFile + ": no interface");
    }
    if (table->version != OC_PDF_INTERFACE_VERSION || table->structSize < sizeof(OcPdfInterface)) {
        refuse(moduleFile + ": interface version " + std::to_string(table->version) + " of " +
               std::to_string(table->structSize) + " bytes, expected version " +
               std::to_string(OC_PDF_INTERFACE_VERSION) + " of " +
               std::to_string(sizeof(OcPdfInterface)) + " bytes");
    }
    pdf_ = table;

    OcPdfChartInfo chart{};
    chart.structSize = sizeof(OcPdfChartInfo);
    chart.colorMode = static_cast<std::int32_t>(params.colorMode);
    chart.channelCount = channelCount_;
    for (std::size_t i = 0; i < kMaxChannels && i < params.channelNames.size(); ++i) {
        chart.colorantNames[i] = params.channelNames[i].c_str();
    }
    std::vector<OcPdfPageSize> pages;
    pages.reserve(params.pages.size());
    for (const PageLayout& page : params.pages) {
        pages.push_back({page.width, page.height});
    }
    chart.pageCount = static_cast<std::int32_t>(std::min<std::size_t>(
        pages.size(), static_cast<std::size_t>(std::numeric_limits<std::int32_t>::max())));
    chart.pages = pages.empty() ? nullptr : pages.data();
    document_ = pdf_->begin(&chart);
    if (document_ == nullptr) {
        refuse(moduleFile + ": colour mode " + std::to_string(chart.colorMode) + " with " +
               std::to_string(chart.channelCount) + " channels refused");
    }
}

template <class W>
void PdfPage<W>::refuse(const std::string& reason) {
    close();
    refuseModule(reason);
}

template <class W>
void PdfPage<W>::close() {
    if (pdf_ != nullptr && document_ != nullptr) {
        pdf_->end(document_);
    }
    document_ = nullptr;
    pdf_ = nullptr;
    platform::unloadModule(module_);
    module_ = nullptr;
}

template <class W>
OcPdfColor PdfPage<W>::pdfColor(const PixelColor& color) const {
    OcPdfColor out{};
    if constexpr (std::is_same_v<W, WriteSpotColor>) {
        const unsigned channels = static_cast<unsigned>(std::max(channelCount_, 0));
        const auto bytes = W::pixelBytes(color, channels);
        for (unsigned i = 0; i < channels && i < kMaxChannels; ++i) {
            // Channels 5 and up are stored inverted (255 = no ink).
            out.percent[i] = i < 4 ? percentFromByte(bytes[i]) : 100.0 - percentFromByte(bytes[i]);
        }
    } else {
        const Percentages p = W::toPercent(color);
        std::copy(p.begin(), p.end(), out.percent);
    }
    return out;
}

template <class W>
void PdfPage<W>::newPage(double widthMm, double heightMm, std::int32_t code) {
    if (!loaded()) {
        return;
    }
    if (pdf_->newPage(document_, widthMm, heightMm, code) != OC_PDF_OK) {
        debugLog(kDrawLog, 0, 0, "page extents refused");
        throw ERR_PAGE_SIZE;
    }
}

template <class W>
void PdfPage<W>::fill(double xMm, double yMm, double widthMm, double heightMm,
                      const PixelColor& color, std::uint8_t flag) {
    if (!loaded()) {
        return;
    }
    const OcPdfColor c = pdfColor(color);
    checkDrawing(pdf_->fillRect(document_, xMm, yMm, widthMm, heightMm, &c, 4, flag),
                 "filled rectangle");
}

template <class W>
void PdfPage<W>::fillRect(Point p, std::uint32_t width, std::uint32_t height,
                          const PixelColor& color) {
    fill(mmFromTenths(p.x), mmFromTenths(p.y), mmFromTenths(width), mmFromTenths(height), color,
         flag_);
}

template <class W>
void PdfPage<W>::fillRectPlain(Point p, std::uint32_t width, std::uint32_t height,
                               const PixelColor& color) {
    fill(mmFromTenths(p.x), mmFromTenths(p.y), mmFromTenths(width), mmFromTenths(height), color, 0);
}

template <class W>
void PdfPage<W>::fillRectExact(double x, double y, double width, double height,
                               const PixelColor& color) {
    fill(x / 10.0, y / 10.0, width / 10.0, height / 10.0, color, flag_);
}

template <class W>
void PdfPage<W>::drawCircle(Point center, std::uint32_t radius, const PixelColor& color) {
    if (!loaded()) {
        return;
    }
    const OcPdfColor c = pdfColor(color);
    checkDrawing(pdf_->drawCircle(document_, mmFromTenths(center.x), mmFromTenths(center.y),
                                  mmFromTenths(radius), &c),
                 "circle");
}

template <class W>
void PdfPage<W>::drawLine(Point p1, Point p2, std::uint32_t length, std::int32_t style,
                          const PixelColor& color) {
    if (!loaded()) {
        return;
    }
    const OcPdfColor c = pdfColor(color);
    checkDrawing(
        pdf_->drawLine(document_, mmFromTenths(p1.x), mmFromTenths(p1.y), mmFromTenths(p2.x),
                       mmFromTenths(p2.y), mmFromTenths(length), style, &c),
        "line");
}

template <class W>
void PdfPage<W>::drawLabel(const std::string& text, std::uint32_t x, std::uint32_t y,
                           std::uint32_t size, const PixelColor& color) {
    if (!loaded()) {
        return;
    }
    const OcPdfColor c = pdfColor(color);
    checkDrawing(
        pdf_->drawText(document_, text.c_str(), size / 3.0, mmFromTenths(x), mmFromTenths(y), &c),
        "label");
}

template <class W>
void PdfPage<W>::drawNumber(Point p, std::uint32_t boxHeight, std::uint32_t value,
                            const PixelColor& color) {
    if (!loaded()) {
        return;
    }
    const double sizeMm = std::min(boxHeight / 10.0, 5.0);
    const std::string text = std::to_string(value);
    const OcPdfColor c = pdfColor(color);
    checkDrawing(pdf_->drawText(document_, text.c_str(), sizeMm * 3.33, mmFromTenths(p.x),
                                mmFromTenths(p.y) + sizeMm / 2, &c),
                 "number");
}

template <class W>
void PdfPage<W>::drawPolygon(std::size_t count, const std::uint32_t* xs, const std::uint32_t* ys,
                             const PixelColor& color) {
    if (!loaded() || xs == nullptr || ys == nullptr || count > kMaxPolygonVertices) {
        return;
    }
    std::vector<double> xMm(count);
    std::vector<double> yMm(count);
    for (std::size_t i = 0; i < count; ++i) {
        xMm[i] = mmFromTenths(xs[i]);
        yMm[i] = mmFromTenths(ys[i]);
    }
    const OcPdfColor c = pdfColor(color);
    checkDrawing(
        pdf_->drawPolygon(document_, static_cast<std::uint32_t>(count), xMm.data(), yMm.data(), &c),
        "polygon");
}

template <class W>
void PdfPage<W>::drawMarkerArrow(std::uint32_t x1, std::uint32_t y1, std::uint32_t x2,
                                 std::uint32_t y2, std::uint32_t shaftWidth,
                                 std::uint32_t headLength, std::uint32_t headWidth,
                                 const PixelColor& color) {
    if (!loaded()) {
        return;
    }
    const OcPdfColor c = pdfColor(color);
    checkDrawing(pdf_->drawArrow(document_, mmFromTenths(x1), mmFromTenths(y1), mmFromTenths(x2),
                                 mmFromTenths(y2), mmFromTenths(shaftWidth),
                                 mmFromTenths(headLength), mmFromTenths(headWidth), &c),
                 "arrow");
}

template <class W>
void PdfPage<W>::drawBox(Point p, std::uint32_t width, std::uint32_t height,
                         const PixelColor& color) {
    if (!loaded()) {
        return;
    }
    const OcPdfColor c = pdfColor(color);
    checkDrawing(pdf_->drawBox(document_, mmFromTenths(p.x), mmFromTenths(p.y), mmFromTenths(width),
                               mmFromTenths(height), &c),
                 "box");
}

template <class W>
std::string PdfPage<W>::jpegName(const std::string& name) {
    // Only a dot in the file's own name counts, not one in a folder name.
    const auto nameStart = name.find_last_of("/\\");
    const auto dot = name.rfind('.');
    const bool hasExtension =
        dot != std::string::npos && (nameStart == std::string::npos || dot > nameStart);
    return (hasExtension ? name.substr(0, dot) : name) + ".jpg";
}

template <class W>
void PdfPage<W>::exportJpeg(const std::string& name, int page, int /*pageCount*/) {
    if (!loaded()) {
        return;
    }
    const std::string fileName = jpegName(name);
    checkWrite(pdf_->exportJpeg(document_, fileName.c_str(), page), kJpegLog, fileName);
}

template <class W>
void PdfPage<W>::save(const std::string& name) {
    if (!loaded()) {
        return;
    }
    checkWrite(pdf_->save(document_, name.c_str()), kSaveLog, name);
}

template <class W>
void PdfPage<W>::setCommandText(const std::string& text) {
    if (!loaded()) {
        return;
    }
    checkDrawing(pdf_->setCommandText(document_, text.c_str()), "command text");
}

template class PdfPage<WriteCMYK>;
template class PdfPage<WriteCMYKO>;
template class PdfPage<WriteCMYKOG>;
template class PdfPage<WriteCMYKRGB>;
template class PdfPage<WriteLAB>;
template class PdfPage<WriteRGB>;
template class PdfPage<WriteSpotColor>;

}  // namespace GenChartLib
