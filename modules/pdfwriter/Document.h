// The document the module builds: pages of recorded shapes. Nothing is
// written while drawing; saving turns the pages into PDF, a preview renders
// one page's shapes. Keeping the calls lets both outputs come from the same
// record and makes them repeatable byte for byte.
#ifndef ORVOCHART_PDFWRITER_DOCUMENT_H
#define ORVOCHART_PDFWRITER_DOCUMENT_H

#include <cstdint>
#include <deque>
#include <string>
#include <unordered_map>
#include <utility>
#include <vector>

#include "ColorModel.h"

namespace pdfwriter {

// A position in millimetres from the page's top-left corner.
struct PointMm {
    double x = 0.0;
    double y = 0.0;
};

enum class ShapeKind : std::uint8_t {
    FillRect,     // points[0] = corner, points[1] = (width, height)
    StrokeRect,   // as FillRect, outlined inside its extents
    FillPolygon,  // closed outline through all points
    StrokeLine,   // open line through all points
    FillCircle,   // points[0] = centre, size = radius
    Text          // points[0] = left end of the baseline, size = font size in pt
};

struct Shape {
    ShapeKind kind = ShapeKind::FillRect;
    Color color{};
    std::vector<PointMm> points;
    double size = 0.0;  // radius (mm) or font size (pt)
    double lineWidthMm = 0.0;
    double dashMm = 0.0;         // 0 = solid
    std::uint8_t patchFlag = 0;  // non-zero marks a measured patch
    std::string text;            // UTF-8
};

// The shapes of one page, packed: a large chart page holds hundreds of
// thousands of patches, so each shape keeps its colour as an index into the
// page's palette and its text or polygon outline aside, and the whole Shape
// is rebuilt only while the page is written or previewed. Blocks of records
// grow without moving the ones already stored.
class ShapeList {
  public:
    void add(Shape shape);

    // Calls `visit` with every shape in the order they were added.
    template <class Visit>
    void forEach(Visit visit) const {
        for (const Record& r : records_) {
            visit(unpack(r));
        }
    }

  private:
    static constexpr std::uint32_t kNone = 0xFFFFFFFFu;
    struct Record {
        PointMm first;  // the points of a shape of up to two
        PointMm second;
        double size = 0.0;
        double lineWidthMm = 0.0;
        double dashMm = 0.0;
        std::uint32_t color = 0;        // index into palette_
        std::uint32_t outline = kNone;  // index into outlines_ when not two points
        std::uint32_t text = kNone;     // index into texts_
        ShapeKind kind = ShapeKind::FillRect;
        std::uint8_t patchFlag = 0;
        std::uint8_t pointCount = 0;  // of first and second, when outline is kNone
    };

    std::uint32_t colorIndex(const Color& color);
    Shape unpack(const Record& r) const;

    std::deque<Record> records_;
    std::vector<Color> palette_;
    std::unordered_map<std::string, std::uint32_t> paletteIndex_;  // by the colour's bytes
    std::vector<std::vector<PointMm>> outlines_;
    std::vector<std::string> texts_;
};

struct Page {
    double widthMm = 0.0;
    double heightMm = 0.0;
    std::int32_t code = 0;
    ShapeList shapes;
};

// Width of lines and box outlines; two pixels of the raster pages.
constexpr double kLineWidthMm = 0.2;

// Largest page side PDF viewers accept without a user unit (200 inches).
constexpr double kMaxPageSideMm = 5080.0;

class Document {
  public:
    explicit Document(ColorModel model, PointMm firstPageSize)
        : model_(std::move(model)), firstPageSize_(firstPageSize) {}

    const ColorModel& model() const { return model_; }
    const std::vector<Page>& pages() const { return pages_; }
    const std::string& commandText() const { return commandText_; }

    // False when the extents are not a usable page size.
    bool newPage(double widthMm, double heightMm, std::int32_t code);
    // Appends to the current page; a document without pages first gets one
    // of the chart's first page size. False when there is none to give.
    bool add(Shape shape);
    void setCommandText(std::string text) { commandText_ = std::move(text); }

  private:
    ColorModel model_;
    PointMm firstPageSize_;
    std::vector<Page> pages_;
    std::string commandText_;
};

bool validPageSide(double mm);

}  // namespace pdfwriter

#endif  // ORVOCHART_PDFWRITER_DOCUMENT_H
