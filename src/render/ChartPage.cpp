#include "render/ChartPage.h"

#include <cmath>
#include <limits>
#include <utility>

#include "outside/ImageWriterInterface.h"

namespace GenChartLib {

namespace {

constexpr int kOutputTiff = 1;
constexpr std::size_t kMaxPdfPolygonVertices = 255;

bool isSpotMode(ColorMode mode) {
    return mode >= CM_SPOT_1 && mode <= CM_SPOT_8;
}

// The inks after C, M, Y and K that a colour mode prints.
std::vector<std::string> extraInksOf(ColorMode mode) {
    switch (mode) {
        case CM_CMYKO:
            return {"Orange"};
        case CM_CMYKOG:
        case CM_SIXCOLOR_6:
        case CM_SIXCOLOR_7:
            return {"Orange", "Green"};
        case CM_CMYKRGB:
            return {"Red", "Green", "Blue"};
        default:
            return {};
    }
}

// A layout length in fractional tenths truncated to a pixel; NaN and
// negative values land on pixel 0.
std::uint32_t truncatedTenths(double v) {
    if (!(v > 0.0)) {
        return 0;
    }
    if (v >= static_cast<double>(std::numeric_limits<std::uint32_t>::max())) {
        return std::numeric_limits<std::uint32_t>::max();
    }
    return static_cast<std::uint32_t>(v);
}

}  // namespace

std::vector<std::string> rasterInkNames(const ChartParams& params, int channels) {
    const bool separatedSpots = channels == 3 && isSpotMode(params.colorMode);
    if (channels < 5 && !separatedSpots) {
        return {};
    }
    static const char* const kProcessInks[4] = {"Cyan", "Magenta", "Yellow", "Black"};
    const std::vector<std::string> extra = extraInksOf(params.colorMode);
    std::vector<std::string> names;
    for (int i = 0; i < channels; ++i) {
        const auto k = static_cast<std::size_t>(i);
        std::string name;
        if (k < params.channelNames.size()) {
            // A name ends at its first NUL: the writer separates names by NULs.
            name = params.channelNames[k].c_str();
        }
        if (name.empty()) {
            if (i < 4) {
                name = kProcessInks[i];
            } else if (k - 4 < extra.size()) {
                name = extra[k - 4];
            } else {
                name = "Spot " + std::to_string(i + 1);
            }
        }
        names.push_back(std::move(name));
    }
    return names;
}

template <class W>
ChartPage<W>::ChartPage(const ChartParams& params, int channels, std::uint32_t widthPx,
                        std::uint32_t heightPx)
    : params_(params) {
    openDevice(channels, widthPx, heightPx, nullptr);
}

template <class W>
ChartPage<W>::ChartPage(const ChartParams& params, int channels, std::uint32_t widthPx,
                        std::uint32_t heightPx, const std::string& moduleFile)
    : params_(params) {
    openDevice(channels, widthPx, heightPx, &moduleFile);
}

template <class W>
ChartPage<W>::~ChartPage() = default;

template <class W>
void ChartPage<W>::openDevice(int channels, std::uint32_t widthPx, std::uint32_t heightPx,
                              const std::string* moduleFile) {
    if (params_.outputKind != kOutputTiff) {
        pdf_ = moduleFile != nullptr ? std::make_unique<PdfPage<W>>(params_, *moduleFile)
                                     : std::make_unique<PdfPage<W>>(params_);
        return;
    }
    const int hint = params_.colorMode == CM_LAB ? OC_IMG_PHOTOMETRIC_LAB : OC_IMG_PHOTOMETRIC_AUTO;
    raster_ =
        moduleFile != nullptr
            ? std::make_unique<RasterImage<W>>(channels, params_.outputName, widthPx, heightPx,
                                               params_.instrument, hint, *moduleFile)
            : std::make_unique<RasterImage<W>>(channels, params_.outputName, widthPx, heightPx,
                                               params_.instrument, hint);
    raster_->open();
    const std::vector<std::string> inks = rasterInkNames(params_, channels);
    if (!inks.empty()) {
        std::string packed;
        for (const std::string& name : inks) {
            packed += name;
            packed += '\0';
        }
        raster_->setField(OC_IMG_TAG_INK_NAMES, packed);
    }
}

template <class W>
void ChartPage<W>::add(std::unique_ptr<GraphicObject<W>> object) {
    raster_->add(std::move(object));
}

template <class W>
void ChartPage<W>::newPage(double widthMm, double heightMm, std::int32_t code) {
    if (pdf_ != nullptr) {
        pdf_->newPage(widthMm, heightMm, code);
    }
}

template <class W>
void ChartPage<W>::fillRect(Point p, std::uint32_t width, std::uint32_t height,
                            const PixelColor& color) {
    if (raster_ != nullptr) {
        add(std::make_unique<Rect<W>>(p, width, height, color));
    } else {
        pdf_->fillRect(p, width, height, color);
    }
}

template <class W>
void ChartPage<W>::fillRectPlain(Point p, std::uint32_t width, std::uint32_t height,
                                 const PixelColor& color) {
    if (raster_ != nullptr) {
        add(std::make_unique<Rect<W>>(p, width, height, color));
    } else {
        pdf_->fillRectPlain(p, width, height, color);
    }
}

template <class W>
void ChartPage<W>::fillRectExact(double x, double y, double width, double height,
                                 const PixelColor& color) {
    if (raster_ != nullptr) {
        add(std::make_unique<Rect<W>>(Point{truncatedTenths(x), truncatedTenths(y)},
                                      truncatedTenths(width), truncatedTenths(height), color));
    } else {
        pdf_->fillRectExact(x, y, width, height, color);
    }
}

template <class W>
void ChartPage<W>::drawCircle(Point center, std::uint32_t radius, const PixelColor& color) {
    if (raster_ != nullptr) {
        add(std::make_unique<Circle<W>>(center, radius, color));
    } else {
        pdf_->drawCircle(center, radius, color);
    }
}

template <class W>
void ChartPage<W>::drawLine(Point p1, Point p2, std::uint32_t length, std::int32_t style,
                            const PixelColor& color) {
    if (raster_ != nullptr) {
        add(makeRasterLine<W>(p1, length, color));
    } else {
        pdf_->drawLine(p1, p2, length, style, color);
    }
}

template <class W>
void ChartPage<W>::drawLabel(const std::string& text, std::uint32_t x, std::uint32_t y,
                             std::uint32_t size, const PixelColor& color) {
    if (pdf_ != nullptr) {
        pdf_->drawLabel(text, x, y, size, color);
    }
}

template <class W>
void ChartPage<W>::drawNumber(Point p, std::uint32_t boxHeight, std::uint32_t value,
                              const PixelColor& color) {
    if (raster_ != nullptr) {
        add(makeNumberInBox<W>(p, boxHeight, value, color));
    } else {
        pdf_->drawNumber(p, boxHeight, value, color);
    }
}

template <class W>
void ChartPage<W>::drawPolygon(const std::vector<Point>& vertices, const PixelColor& color) {
    if (raster_ != nullptr) {
        add(std::make_unique<Polygone<W>>(vertices, color));
        return;
    }
    if (vertices.size() > kMaxPdfPolygonVertices) {
        return;
    }
    std::vector<std::uint32_t> xs;
    std::vector<std::uint32_t> ys;
    for (const Point& v : vertices) {
        xs.push_back(v.x);
        ys.push_back(v.y);
    }
    pdf_->drawPolygon(vertices.size(), xs.data(), ys.data(), color);
}

template <class W>
void ChartPage<W>::drawDiamond(Point p, std::uint32_t width, std::uint32_t height,
                               const PixelColor& color) {
    if (raster_ != nullptr) {
        add(makeDiamond<W>(p, width, height, color));
    }
}

template <class W>
void ChartPage<W>::drawArrow(Point tip, std::uint32_t width, std::uint32_t length,
                             std::uint32_t angleDeg, const PixelColor& color) {
    if (raster_ != nullptr) {
        add(makeRasterArrow<W>(tip, width, length, angleDeg, color));
    }
}

template <class W>
void ChartPage<W>::setField(std::uint32_t tag, const std::string& value) {
    if (raster_ != nullptr) {
        raster_->setField(tag, value);
    } else if (tag == OC_IMG_TAG_IMAGE_DESCRIPTION) {
        pdf_->setCommandText(value);
    }
}

template <class W>
void ChartPage<W>::finishPage() {
    if (raster_ != nullptr) {
        raster_->renderAndWrite(params_.instrument);
    } else {
        pdf_->save(params_.outputName);
    }
}

template class ChartPage<WriteCMYK>;
template class ChartPage<WriteCMYKO>;
template class ChartPage<WriteCMYKOG>;
template class ChartPage<WriteCMYKRGB>;
template class ChartPage<WriteLAB>;
template class ChartPage<WriteRGB>;
template class ChartPage<WriteSpotColor>;

}  // namespace GenChartLib
