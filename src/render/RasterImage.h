// A TIFF page under construction: a list of graphic objects rendered row by
// row at 254 dots per inch (one pixel = 0.1 mm) and streamed to the image
// writer module, one reused line buffer at a time. The page is never held
// in memory whole.
//
// Building the page loads the module; open() creates the file; the objects
// added afterwards are drawn by renderAndWrite(), which writes every row and
// closes the file. A page destroyed before it was written leaves no file.
#ifndef ORVOCHART_RENDER_RASTERIMAGE_H
#define ORVOCHART_RENDER_RASTERIMAGE_H

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "OrvoChartInterface.h"
#include "outside/ImageWriterInterface.h"
#include "platform/Platform.h"
#include "render/GraphicObjects.h"
#include "render/Writers.h"

namespace GenChartLib {

// The printer-embedded layouts (HP Z, Epson, Canon, Epson ILS30) measure
// their pages inside the printer and get no dashed frame.
bool isPrinterEmbedded(IdMeasureInstrument instrument);

// Checks the table a module returned; on refusal `reason` says why.
bool acceptImageWriter(const OcImageWriterInterface* table, std::string* reason);

// Bits per pixel of a page of `channels` channels; throws the text
// exception "Unsupported colorspace" for counts other than 1 and 3 to 8.
std::int32_t bitsPerPixelOf(int channels);

template <class W>
class RasterImage {
  public:
    using PixelColor = typename W::PixelColor;
    using Object = std::unique_ptr<GraphicObject<W>>;

    // Loads the module "DbgOut" by the platform's file name.
    RasterImage(int channels, std::string fileName, std::uint32_t widthPx, std::uint32_t heightPx,
                IdMeasureInstrument instrument, int photometricHint);
    // Loads the module from `moduleFile` (a path or a plain file name).
    RasterImage(int channels, std::string fileName, std::uint32_t widthPx, std::uint32_t heightPx,
                IdMeasureInstrument instrument, int photometricHint, const std::string& moduleFile);
    ~RasterImage();
    RasterImage(const RasterImage&) = delete;
    RasterImage& operator=(const RasterImage&) = delete;

    // Creates the image file. -199 without a usable module, the text
    // exception "Unsupported colorspace" for a bad channel count, -2384 when
    // the module refuses the page.
    void open();
    bool isOpen() const { return handle_ != nullptr; }

    // Appends an object; later objects paint over earlier ones.
    void add(Object object);
    std::size_t objectCount() const { return objects_.size(); }

    // Sets a TIFF tag of the open image (270 ImageDescription, 333 InkNames).
    void setField(std::uint32_t tag, const std::string& value);

    // Renders every row, writes it and closes the file. The object list is
    // consumed. -2373 without an open image or when the module cannot write,
    // -2385 when the line buffer cannot be allocated.
    void renderAndWrite(IdMeasureInstrument instrument);

    int channels() const { return channels_; }
    std::uint32_t width() const { return width_; }
    std::uint32_t height() const { return height_; }
    const std::string& fileName() const { return fileName_; }

  private:
    void load(const std::string& moduleFile);
    void discard();

    int channels_;
    std::string fileName_;
    std::uint32_t width_;
    std::uint32_t height_;
    IdMeasureInstrument instrument_;
    int photometricHint_;
    platform::ModuleHandle module_ = nullptr;
    const OcImageWriterInterface* writer_ = nullptr;
    OcImage* handle_ = nullptr;
    std::vector<Object> objects_;
};

extern template class RasterImage<WriteCMYK>;
extern template class RasterImage<WriteCMYKO>;
extern template class RasterImage<WriteCMYKOG>;
extern template class RasterImage<WriteCMYKRGB>;
extern template class RasterImage<WriteLAB>;
extern template class RasterImage<WriteRGB>;
extern template class RasterImage<WriteSpotColor>;

}  // namespace GenChartLib

#endif  // ORVOCHART_RENDER_RASTERIMAGE_H
