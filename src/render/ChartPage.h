// One chart page as the layouts draw it. The chart parameter `outputKind`
// chooses the form: 1 renders a raster TIFF page (the drawing operations
// collect graphic objects that finishPage() renders and writes), any other
// kind draws a PDF page (every operation goes straight to the PDF writer).
//
// All positions and lengths are unsigned tenths of a millimetre: pixels on
// the raster page, millimetres x 10 on the PDF page. Colours are those of
// the writer W.
#ifndef ORVOCHART_RENDER_CHARTPAGE_H
#define ORVOCHART_RENDER_CHARTPAGE_H

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "base/ChartParams.h"
#include "render/Geometry.h"
#include "render/GraphicObjects.h"
#include "render/PdfPage.h"
#include "render/RasterImage.h"
#include "render/Writers.h"

namespace GenChartLib {

// The ink names a raster page of `channels` channels hands the image writer:
// one per channel, the chart's own names (channelNames) where it gives
// them, else Cyan, Magenta, Yellow, Black and the mode's extra inks
// (Orange; Orange, Green; Red, Green, Blue) or "Spot 5" ... "Spot 8".
// Empty for pages that need none (Lab, RGB, 1 and 4 channels).
std::vector<std::string> rasterInkNames(const ChartParams& params, int channels);

template <class W>
class ChartPage {
  public:
    using PixelColor = typename W::PixelColor;

    // `channels` is the writer's channel count (for spot colours the count
    // of the page's first patch), the page size is in pixels. A raster page
    // opens its image at once; errors as RasterImage::open and PdfPage.
    ChartPage(const ChartParams& params, int channels, std::uint32_t widthPx,
              std::uint32_t heightPx);
    // The same, loading the page's module from `moduleFile`.
    ChartPage(const ChartParams& params, int channels, std::uint32_t widthPx,
              std::uint32_t heightPx, const std::string& moduleFile);
    ~ChartPage();
    ChartPage(const ChartPage&) = delete;
    ChartPage& operator=(const ChartPage&) = delete;

    bool isRaster() const { return raster_ != nullptr; }
    // The page's PDF device, null on a raster page; layouts draw marker
    // arrows (entry 3) through it themselves.
    PdfPage<W>* pdf() { return pdf_.get(); }
    RasterImage<W>* raster() { return raster_.get(); }

    // PDF entry 1; nothing on a raster page.
    void newPage(double widthMm, double heightMm, std::int32_t code);

    // A patch: filled with the page's PDF flag byte.
    void fillRect(Point p, std::uint32_t width, std::uint32_t height, const PixelColor& color);
    // A bar or mark: filled with PDF flag 0.
    void fillRectPlain(Point p, std::uint32_t width, std::uint32_t height, const PixelColor& color);
    // Fractional tenths; the raster page truncates them.
    void fillRectExact(double x, double y, double width, double height, const PixelColor& color);
    void drawCircle(Point center, std::uint32_t radius, const PixelColor& color);
    // On a raster page a bar `length` long and 2 pixels high at p1.
    void drawLine(Point p1, Point p2, std::uint32_t length, std::int32_t style,
                  const PixelColor& color);
    // Text exists on PDF pages only.
    void drawLabel(const std::string& text, std::uint32_t x, std::uint32_t y, std::uint32_t size,
                   const PixelColor& color);
    // `value` fitted to a box boxHeight high whose top-left corner is p.
    void drawNumber(Point p, std::uint32_t boxHeight, std::uint32_t value, const PixelColor& color);
    // A filled polygon; the PDF page draws fewer than 256 vertices only.
    void drawPolygon(const std::vector<Point>& vertices, const PixelColor& color);
    // A diamond marker with its left corner at p (raster pages only).
    void drawDiamond(Point p, std::uint32_t width, std::uint32_t height, const PixelColor& color);
    // A feed arrow with its tip at `tip`, pointing right (0), up (90) or left
    // (180); raster pages only, PDF layouts draw marker arrows themselves.
    void drawArrow(Point tip, std::uint32_t width, std::uint32_t length, std::uint32_t angleDeg,
                   const PixelColor& color);

    // A TIFF tag of the raster page (270 ImageDescription). On a PDF page
    // tag 270 becomes the document's command text; other tags are ignored.
    void setField(std::uint32_t tag, const std::string& value);

    // Raster: renders, writes and closes the TIFF. PDF: saves the document
    // under the page's outputName.
    void finishPage();

  private:
    void openDevice(int channels, std::uint32_t widthPx, std::uint32_t heightPx,
                    const std::string* moduleFile);
    void add(std::unique_ptr<GraphicObject<W>> object);

    ChartParams params_;
    std::unique_ptr<RasterImage<W>> raster_;
    std::unique_ptr<PdfPage<W>> pdf_;
};

extern template class ChartPage<WriteCMYK>;
extern template class ChartPage<WriteCMYKO>;
extern template class ChartPage<WriteCMYKOG>;
extern template class ChartPage<WriteCMYKRGB>;
extern template class ChartPage<WriteLAB>;
extern template class ChartPage<WriteRGB>;
extern template class ChartPage<WriteSpotColor>;

}  // namespace GenChartLib

#endif  // ORVOCHART_RENDER_CHARTPAGE_H
