// The module's entry point and its table of C functions. Every entry checks
// its arguments, catches every exception and answers with a result code, so
// nothing but plain values ever crosses back into the library.
#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <new>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "Document.h"
#include "FileOutput.h"
#include "JpegPreview.h"
#include "PdfBuilder.h"
#include "outside/PdfWriterInterface.h"

#if defined(_WIN32)
#define PDFWRITER_EXPORT __declspec(dllexport)
#else
#define PDFWRITER_EXPORT __attribute__((visibility("default")))
#endif

namespace GenChartLib {
struct OcPdfDocument {
    pdfwriter::Document document;
};
}  // namespace GenChartLib

namespace pdfwriter {

namespace {

using GenChartLib::OcPdfChartInfo;
using GenChartLib::OcPdfColor;
using GenChartLib::OcPdfDocument;
using GenChartLib::OcPdfInterface;

// Largest font size accepted, in points.
constexpr double kMaxFontSizePt = 1000.0;
// Vertex counts of a polygon.
constexpr std::uint32_t kMinPolygonVertices = 3;
constexpr std::uint32_t kMaxPolygonVertices = 255;

template <class... T>
bool finite(T... values) {
    return (std::isfinite(values) && ...);
}

// Runs `body` and turns an exception into the entry's result.
template <class Body>
std::int32_t guarded(Body body, std::int32_t onError = OC_PDF_BAD_ARGUMENT) {
    try {
        return body();
    } catch (const std::bad_alloc&) {
        return OC_PDF_OUT_OF_MEMORY;
    } catch (...) {
        return onError;
    }
}

std::int32_t record(OcPdfDocument* doc, Shape shape) {
    return doc->document.add(std::move(shape)) ? OC_PDF_OK : OC_PDF_NO_PAGE;
}

Shape filledPolygon(const OcPdfColor& color, std::vector<PointMm> points) {
    Shape s;
    s.kind = ShapeKind::FillPolygon;
    s.color = color;
    s.points = std::move(points);
    return s;
}

OcPdfDocument* begin(const OcPdfChartInfo* chart) {
    if (chart == nullptr || chart->structSize < sizeof(OcPdfChartInfo)) {
        return nullptr;
    }
    try {
        std::optional<ColorModel> model = ColorModel::forChart(*chart);
        if (!model) {
            return nullptr;
        }
        PointMm firstPage;
        if (chart->pageCount > 0 && chart->pages != nullptr) {
            firstPage = {chart->pages[0].widthMm, chart->pages[0].heightMm};
        }
        return new OcPdfDocument{Document(std::move(*model), firstPage)};
    } catch (...) {
        return nullptr;
    }
}

void end(OcPdfDocument* doc) {
    delete doc;
}

std::int32_t newPage(OcPdfDocument* doc, double widthMm, double heightMm, std::int32_t code) {
    if (doc == nullptr) {
        return OC_PDF_BAD_ARGUMENT;
    }
    return guarded([&] {
        return doc->document.newPage(widthMm, heightMm, code) ? OC_PDF_OK : OC_PDF_BAD_ARGUMENT;
    });
}

std::int32_t drawText(OcPdfDocument* doc, const char* text, double fontSizePt, double xMm,
                      double yMm, const OcPdfColor* color) {
    if (doc == nullptr || text == nullptr || color == nullptr || !finite(fontSizePt, xMm, yMm) ||
        fontSizePt <= 0.0 || fontSizePt > kMaxFontSizePt) {
        return OC_PDF_BAD_ARGUMENT;
    }
    return guarded([&] {
        Shape s;
        s.kind = ShapeKind::Text;
        s.color = *color;
        s.points = {{xMm, yMm}};
        s.size = fontSizePt;
        s.text = text;
        return record(doc, std::move(s));
    });
}

// The shaft runs from the start to the base of the head; the head is a
// triangle whose tip is the end point. A head longer than the arrow is cut
// to the arrow's length.
std::int32_t drawArrow(OcPdfDocument* doc, double x1, double y1, double x2, double y2,
                       double shaftWidthMm, double headLengthMm, double headWidthMm,
                       const OcPdfColor* color) {
    if (doc == nullptr || color == nullptr ||
        !finite(x1, y1, x2, y2, shaftWidthMm, headLengthMm, headWidthMm) || shaftWidthMm < 0.0 ||
        headLengthMm < 0.0 || headWidthMm < 0.0) {
        return OC_PDF_BAD_ARGUMENT;
    }
    const double dx = x2 - x1;
    const double dy = y2 - y1;
    const double length = std::hypot(dx, dy);
    if (length == 0.0) {
        return OC_PDF_OK;
    }
    return guarded([&] {
        const double ux = dx / length;
        const double uy = dy / length;
        // Unit normal, to the left of the direction of travel.
        const double nx = -uy;
        const double ny = ux;
        const double head = std::min(headLengthMm, length);
        const PointMm base{x2 - ux * head, y2 - uy * head};
        if (head < length && shaftWidthMm > 0.0) {
            const double s = shaftWidthMm / 2;
            const std::int32_t result =
                record(doc, filledPolygon(*color, {{x1 + nx * s, y1 + ny * s},
                                                   {base.x + nx * s, base.y + ny * s},
                                                   {base.x - nx * s, base.y - ny * s},
                                                   {x1 - nx * s, y1 - ny * s}}));
            if (result != OC_PDF_OK) {
                return result;
            }
        }
        if (head == 0.0 || headWidthMm == 0.0) {
            return OC_PDF_OK;
        }
        const double w = headWidthMm / 2;
        return record(doc, filledPolygon(*color, {{x2, y2},
                                                  {base.x + nx * w, base.y + ny * w},
                                                  {base.x - nx * w, base.y - ny * w}}));
    });
}

std::int32_t drawCircle(OcPdfDocument* doc, double cx, double cy, double radiusMm,
                        const OcPdfColor* color) {
    if (doc == nullptr || color == nullptr || !finite(cx, cy, radiusMm) || radiusMm < 0.0) {
        return OC_PDF_BAD_ARGUMENT;
    }
    return guarded([&] {
        Shape s;
        s.kind = ShapeKind::FillCircle;
        s.color = *color;
        s.points = {{cx, cy}};
        s.size = radiusMm;
        return record(doc, std::move(s));
    });
}

std::int32_t drawLine(OcPdfDocument* doc, double x1, double y1, double x2, double y2,
                      double lengthMm, std::int32_t style, const OcPdfColor* color) {
    if (doc == nullptr || color == nullptr || !finite(x1, y1, x2, y2, lengthMm) || lengthMm < 0.0) {
        return OC_PDF_BAD_ARGUMENT;
    }
    return guarded([&] {
        Shape s;
        s.kind = ShapeKind::StrokeLine;
        s.color = *color;
        s.points = {{x1, y1}, {x2, y2}};
        s.lineWidthMm = kLineWidthMm;
        s.dashMm = style != 0 ? lengthMm : 0.0;
        return record(doc, std::move(s));
    });
}

bool validRect(double x, double y, double w, double h) {
    return finite(x, y, w, h) && w >= 0.0 && h >= 0.0;
}

std::int32_t drawBox(OcPdfDocument* doc, double x, double y, double w, double h,
                     const OcPdfColor* color) {
    if (doc == nullptr || color == nullptr || !validRect(x, y, w, h)) {
        return OC_PDF_BAD_ARGUMENT;
    }
    return guarded([&] {
        Shape s;
        s.kind = ShapeKind::StrokeRect;
        s.color = *color;
        s.points = {{x, y}, {w, h}};
        s.lineWidthMm = kLineWidthMm;
        return record(doc, std::move(s));
    });
}

std::int32_t drawPolygon(OcPdfDocument* doc, std::uint32_t count, const double* xs,
                         const double* ys, const OcPdfColor* color) {
    if (doc == nullptr || color == nullptr || xs == nullptr || ys == nullptr ||
        count < kMinPolygonVertices || count > kMaxPolygonVertices) {
        return OC_PDF_BAD_ARGUMENT;
    }
    return guarded([&] {
        std::vector<PointMm> points;
        for (std::uint32_t i = 0; i < count; ++i) {
            if (!finite(xs[i], ys[i])) {
                return OC_PDF_BAD_ARGUMENT;
            }
            points.push_back({xs[i], ys[i]});
        }
        return record(doc, filledPolygon(*color, std::move(points)));
    });
}

std::int32_t fillRect(OcPdfDocument* doc, double x, double y, double w, double h,
                      const OcPdfColor* color, std::int32_t /*kind: reserved, 4*/,
                      std::uint8_t flag) {
    if (doc == nullptr || color == nullptr || !validRect(x, y, w, h)) {
        return OC_PDF_BAD_ARGUMENT;
    }
    return guarded([&] {
        Shape s;
        s.kind = ShapeKind::FillRect;
        s.color = *color;
        s.points = {{x, y}, {w, h}};
        s.patchFlag = flag;
        return record(doc, std::move(s));
    });
}

std::int32_t save(OcPdfDocument* doc, const char* fileName) {
    if (doc == nullptr || fileName == nullptr) {
        return OC_PDF_BAD_ARGUMENT;
    }
    return guarded(
        [&] {
            const bool written = writeNewFile(fileName, [doc](std::FILE* out) {
                writePdf(doc->document, out);
                return std::fflush(out) == 0;
            });
            return written ? OC_PDF_OK : OC_PDF_WRITE_FAILED;
        },
        OC_PDF_WRITE_FAILED);
}

std::int32_t exportJpeg(OcPdfDocument* doc, const char* fileName, std::int32_t pageIndex) {
    if (doc == nullptr || fileName == nullptr) {
        return OC_PDF_BAD_ARGUMENT;
    }
    const auto& pages = doc->document.pages();
    if (pages.empty()) {
        return OC_PDF_NO_PAGE;
    }
    const bool inRange = pageIndex >= 0 && static_cast<std::size_t>(pageIndex) < pages.size();
    const Page& page = inRange ? pages[static_cast<std::size_t>(pageIndex)] : pages.back();
    return guarded(
        [&] {
            const std::string jpeg = jpegPreview(page, doc->document.model());
            return !jpeg.empty() && writeNewFile(fileName, jpeg) ? OC_PDF_OK : OC_PDF_WRITE_FAILED;
        },
        OC_PDF_WRITE_FAILED);
}

std::int32_t setCommandText(OcPdfDocument* doc, const char* text) {
    if (doc == nullptr || text == nullptr) {
        return OC_PDF_BAD_ARGUMENT;
    }
    return guarded([&] {
        doc->document.setCommandText(text);
        return OC_PDF_OK;
    });
}

constexpr OcPdfInterface kInterface = {sizeof(OcPdfInterface),
                                       OC_PDF_INTERFACE_VERSION,
                                       begin,
                                       newPage,
                                       drawText,
                                       drawArrow,
                                       drawCircle,
                                       drawLine,
                                       drawBox,
                                       drawPolygon,
                                       nullptr,
                                       fillRect,
                                       end,
                                       save,
                                       exportJpeg,
                                       setCommandText};

}  // namespace

}  // namespace pdfwriter

extern "C" PDFWRITER_EXPORT const GenChartLib::OcPdfInterface* GetPDFInterface(void) {
    return &pdfwriter::kInterface;
}
