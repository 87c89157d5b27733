#include "JpegPreview.h"

#include <cairo.h>
#include <turbojpeg.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <memory>
#include <vector>

#include "ContentStream.h"

namespace pdfwriter {

namespace {

// Coordinates far off the page are clipped to a range cairo's fixed-point
// arithmetic holds; the visible part of a shape does not change.
constexpr double kFarMm = 100000.0;
constexpr double kFullTurn = 6.283185307179586;

double nearby(double mm) {
    return std::clamp(mm, -kFarMm, kFarMm);
}

struct SurfaceCloser {
    void operator()(cairo_surface_t* s) const { cairo_surface_destroy(s); }
};
struct ContextCloser {
    void operator()(cairo_t* c) const { cairo_destroy(c); }
};
struct JpegCloser {
    void operator()(void* handle) const { tjDestroy(handle); }
};

void setColor(cairo_t* cr, const ColorModel& model, const Color& color) {
    const Rgb rgb = model.previewColor(color);
    cairo_set_source_rgb(cr, rgb.r, rgb.g, rgb.b);
}

void tracePath(cairo_t* cr, const std::vector<PointMm>& points) {
    for (std::size_t i = 0; i < points.size(); ++i) {
        if (i == 0) {
            cairo_move_to(cr, nearby(points[i].x), nearby(points[i].y));
        } else {
            cairo_line_to(cr, nearby(points[i].x), nearby(points[i].y));
        }
    }
}

void drawShape(cairo_t* cr, const Shape& s, const ColorModel& model) {
    cairo_save(cr);
    setColor(cr, model, s.color);
    switch (s.kind) {
        case ShapeKind::FillRect:
            cairo_rectangle(cr, nearby(s.points[0].x), nearby(s.points[0].y), nearby(s.points[1].x),
                            nearby(s.points[1].y));
            cairo_fill(cr);
            break;
        case ShapeKind::StrokeRect: {
            const double inset = s.lineWidthMm / 2;
            const double w = s.points[1].x - s.lineWidthMm;
            const double h = s.points[1].y - s.lineWidthMm;
            if (w <= 0.0 || h <= 0.0) {
                cairo_rectangle(cr, nearby(s.points[0].x), nearby(s.points[0].y),
                                nearby(s.points[1].x), nearby(s.points[1].y));
                cairo_fill(cr);
                break;
            }
            cairo_set_line_width(cr, s.lineWidthMm);
            cairo_rectangle(cr, nearby(s.points[0].x + inset), nearby(s.points[0].y + inset),
                            nearby(w), nearby(h));
            cairo_stroke(cr);
            break;
        }
        case ShapeKind::FillPolygon:
            tracePath(cr, s.points);
            cairo_close_path(cr);
            cairo_fill(cr);
            break;
        case ShapeKind::StrokeLine:
            cairo_set_line_width(cr, s.lineWidthMm);
            if (s.dashMm > 0.0) {
                cairo_set_dash(cr, &s.dashMm, 1, 0.0);
            }
            tracePath(cr, s.points);
            cairo_stroke(cr);
            break;
        case ShapeKind::FillCircle:
            cairo_arc(cr, nearby(s.points[0].x), nearby(s.points[0].y), nearby(s.size), 0.0,
                      kFullTurn);
            cairo_fill(cr);
            break;
        case ShapeKind::Text:
            cairo_select_font_face(cr, "Helvetica", CAIRO_FONT_SLANT_NORMAL,
                                   CAIRO_FONT_WEIGHT_NORMAL);
            cairo_set_font_size(cr, s.size / kPointsPerMm);
            cairo_move_to(cr, nearby(s.points[0].x), nearby(s.points[0].y));
            cairo_show_text(cr, s.text.c_str());
            break;
    }
    cairo_restore(cr);
}

// Cairo's RGB24 pixels (native-endian 0xXXRRGGBB words) as packed RGB.
std::vector<unsigned char> packedRgb(cairo_surface_t* surface, int width, int height) {
    cairo_surface_flush(surface);
    const unsigned char* data = cairo_image_surface_get_data(surface);
    const int stride = cairo_image_surface_get_stride(surface);
    std::vector<unsigned char> rgb(static_cast<std::size_t>(width) *
                                   static_cast<std::size_t>(height) * 3);
    std::size_t k = 0;
    for (int y = 0; y < height; ++y) {
        const unsigned char* row = data + static_cast<std::ptrdiff_t>(y) * stride;
        for (int x = 0; x < width; ++x) {
            std::uint32_t word = 0;
            std::memcpy(&word, row + 4 * x, sizeof word);
            rgb[k++] = static_cast<unsigned char>((word >> 16) & 0xFF);
            rgb[k++] = static_cast<unsigned char>((word >> 8) & 0xFF);
            rgb[k++] = static_cast<unsigned char>(word & 0xFF);
        }
    }
    return rgb;
}

std::string encodeJpeg(const std::vector<unsigned char>& rgb, int width, int height) {
    std::unique_ptr<void, JpegCloser> encoder(tjInitCompress());
    if (!encoder) {
        return {};
    }
    unsigned char* jpeg = nullptr;
    unsigned long size = 0;
    const int result = tjCompress2(encoder.get(), rgb.data(), width, 0, height, TJPF_RGB, &jpeg,
                                   &size, TJSAMP_444, 92, TJFLAG_ACCURATEDCT);
    std::string bytes;
    if (result == 0 && jpeg != nullptr) {
        bytes.assign(reinterpret_cast<const char*>(jpeg), size);
    }
    tjFree(jpeg);
    return bytes;
}

}  // namespace

std::string jpegPreview(const Page& page, const ColorModel& model) {
    const double longSideMm = std::max(page.widthMm, page.heightMm);
    const double pxPerMm = std::min(kPreviewPxPerMm, kMaxPreviewSidePx / longSideMm);
    const int width = std::max(1, static_cast<int>(std::lround(page.widthMm * pxPerMm)));
    const int height = std::max(1, static_cast<int>(std::lround(page.heightMm * pxPerMm)));

    std::unique_ptr<cairo_surface_t, SurfaceCloser> surface(
        cairo_image_surface_create(CAIRO_FORMAT_RGB24, width, height));
    if (cairo_surface_status(surface.get()) != CAIRO_STATUS_SUCCESS) {
        return {};
    }
    std::unique_ptr<cairo_t, ContextCloser> cr(cairo_create(surface.get()));
    if (cairo_status(cr.get()) != CAIRO_STATUS_SUCCESS) {
        return {};
    }
    cairo_set_source_rgb(cr.get(), 1.0, 1.0, 1.0);
    cairo_paint(cr.get());
    cairo_scale(cr.get(), pxPerMm, pxPerMm);
    page.shapes.forEach([&](const Shape& s) { drawShape(cr.get(), s, model); });
    if (cairo_status(cr.get()) != CAIRO_STATUS_SUCCESS) {
        return {};
    }
    return encodeJpeg(packedRgb(surface.get(), width, height), width, height);
}

}  // namespace pdfwriter
