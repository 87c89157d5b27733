// A chart page drawn through the PDF writer module: every drawing call goes
// straight on to the module in millimetres. The layouts hand positions and
// lengths in unsigned tenths of a millimetre and colours of their writer W;
// the page divides by 10.0 and turns colours into the eight percentages of
// the colour mode.
//
// Building a page loads the module and opens its document; destroying it
// closes the document and unloads the module. A missing module, a missing
// entry point or a module built for another interface version throws
// ERR_LOAD_LIBRARY (-199) and logs the reason. A document or preview that
// cannot be written throws ERR_OPEN_FILE (-2373).
#ifndef ORVOCHART_RENDER_PDFPAGE_H
#define ORVOCHART_RENDER_PDFPAGE_H

#include <cstddef>
#include <cstdint>
#include <string>

#include "base/ChartParams.h"
#include "outside/PdfWriterInterface.h"
#include "platform/Platform.h"
#include "render/Geometry.h"
#include "render/Writers.h"

namespace GenChartLib {

template <class W>
class PdfPage {
  public:
    using PixelColor = typename W::PixelColor;

    // Loads the module "wxPDF" by the platform's file name.
    explicit PdfPage(const ChartParams& params);
    // Loads the module from `moduleFile` (a path or a plain file name).
    PdfPage(const ChartParams& params, const std::string& moduleFile);
    ~PdfPage();
    PdfPage(const PdfPage&) = delete;
    PdfPage& operator=(const PdfPage&) = delete;

    // True while the module and its document are open.
    bool loaded() const { return pdf_ != nullptr && document_ != nullptr; }
    // Channels of the page (the colour mode's count; 1..8 for spot modes).
    int channelCount() const { return channelCount_; }

    // Entry 1: starts a page of the given extents; `code` is the layout's.
    // Extents that are not positive and finite, or over 5080 mm (the
    // largest page PDF readers accept), throw ERR_PAGE_SIZE (-2355).
    void newPage(double widthMm, double heightMm, std::int32_t code);

    // Entry 9 with the page's flag byte (the low byte of pdfFlag).
    void fillRect(Point p, std::uint32_t width, std::uint32_t height, const PixelColor& color);
    // Entry 9 with flag 0.
    void fillRectPlain(Point p, std::uint32_t width, std::uint32_t height, const PixelColor& color);
    // Entry 9 with the page's flag byte; fractional tenths are kept.
    void fillRectExact(double x, double y, double width, double height, const PixelColor& color);
    // Entry 4.
    void drawCircle(Point center, std::uint32_t radius, const PixelColor& color);
    // Entry 5: a line from p1 to p2; `length` and `style` are the dash
    // length and style of the module's line.
    void drawLine(Point p1, Point p2, std::uint32_t length, std::int32_t style,
                  const PixelColor& color);
    // Entry 2 with the font size size / 3.0; (x, y) is the left end of the
    // baseline.
    void drawLabel(const std::string& text, std::uint32_t x, std::uint32_t y, std::uint32_t size,
                   const PixelColor& color);
    // Entry 2: `value` in decimal, at most 5 mm high, fitted to a box of
    // boxHeight tenths whose top-left corner is p.
    void drawNumber(Point p, std::uint32_t boxHeight, std::uint32_t value, const PixelColor& color);
    // Entry 7; polygons of 256 or more vertices (or null arrays) are not drawn.
    void drawPolygon(std::size_t count, const std::uint32_t* xs, const std::uint32_t* ys,
                     const PixelColor& color);
    // Entry 3: a marker arrow from (x1, y1) to its tip at (x2, y2), with the
    // shaft width, head length and head width in tenths.
    void drawMarkerArrow(std::uint32_t x1, std::uint32_t y1, std::uint32_t x2, std::uint32_t y2,
                         std::uint32_t shaftWidth, std::uint32_t headLength,
                         std::uint32_t headWidth, const PixelColor& color);
    // Entry 6: the outline of a rectangle.
    void drawBox(Point p, std::uint32_t width, std::uint32_t height, const PixelColor& color);

    // Entry 12: page `page` (0-based) as a JPEG named by jpegName(name).
    // The page count is the layout's; the module needs only the index.
    void exportJpeg(const std::string& name, int page, int pageCount);
    // Entry 11: the document under `name` unchanged.
    void save(const std::string& name);
    // Entry 13: the command text of the printer-embedded layouts.
    void setCommandText(const std::string& text);

    // `name` with its text from the last "." on replaced by ".jpg" (".jpg"
    // appended when the file name has no "."; a "." in a folder name does
    // not count): chart_0.tif -> chart_0.jpg.
    static std::string jpegName(const std::string& name);

    // The colour as the module receives it. Spot pages use the bytes the
    // page's channels would carry, so fixed colours stay visible on pages of
    // fewer than four channels.
    OcPdfColor pdfColor(const PixelColor& color) const;

  private:
    void open(const ChartParams& params, const std::string& moduleFile);
    void close();
    // Unloads the module, logs the reason and throws ERR_LOAD_LIBRARY.
    [[noreturn]] void refuse(const std::string& reason);
    void fill(double xMm, double yMm, double widthMm, double heightMm, const PixelColor& color,
              std::uint8_t flag);

    platform::ModuleHandle module_ = nullptr;
    const OcPdfInterface* pdf_ = nullptr;
    OcPdfDocument* document_ = nullptr;
    int channelCount_ = 0;
    std::uint8_t flag_ = 0;
};

extern template class PdfPage<WriteCMYK>;
extern template class PdfPage<WriteCMYKO>;
extern template class PdfPage<WriteCMYKOG>;
extern template class PdfPage<WriteCMYKRGB>;
extern template class PdfPage<WriteLAB>;
extern template class PdfPage<WriteRGB>;
extern template class PdfPage<WriteSpotColor>;

}  // namespace GenChartLib

#endif  // ORVOCHART_RENDER_PDFPAGE_H
