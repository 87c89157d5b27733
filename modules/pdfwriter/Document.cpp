#include "Document.h"

#include <cmath>
#include <cstring>

namespace pdfwriter {

bool validPageSide(double mm) {
    return std::isfinite(mm) && mm > 0.0 && mm <= kMaxPageSideMm;
}

void ShapeList::add(Shape shape) {
    Record r;
    r.kind = shape.kind;
    r.patchFlag = shape.patchFlag;
    r.color = colorIndex(shape.color);
    r.size = shape.size;
    r.lineWidthMm = shape.lineWidthMm;
    r.dashMm = shape.dashMm;
    if (shape.points.size() <= 2) {
        r.pointCount = static_cast<std::uint8_t>(shape.points.size());
        r.first = r.pointCount > 0 ? shape.points[0] : PointMm{};
        r.second = r.pointCount > 1 ? shape.points[1] : PointMm{};
    } else {
        r.outline = static_cast<std::uint32_t>(outlines_.size());
        outlines_.push_back(std::move(shape.points));
    }
    if (!shape.text.empty()) {
        r.text = static_cast<std::uint32_t>(texts_.size());
        texts_.push_back(std::move(shape.text));
    }
    records_.push_back(r);
}

std::uint32_t ShapeList::colorIndex(const Color& color) {
    std::string key(sizeof color, '\0');
    std::memcpy(key.data(), &color, sizeof color);
    const auto found = paletteIndex_.find(key);
    if (found != paletteIndex_.end()) {
        return found->second;
    }
    const auto index = static_cast<std::uint32_t>(palette_.size());
    palette_.push_back(color);
    paletteIndex_.emplace(std::move(key), index);
    return index;
}

Shape ShapeList::unpack(const Record& r) const {
    Shape s;
    s.kind = r.kind;
    s.patchFlag = r.patchFlag;
    s.color = palette_[r.color];
    s.size = r.size;
    s.lineWidthMm = r.lineWidthMm;
    s.dashMm = r.dashMm;
    if (r.outline != kNone) {
        s.points = outlines_[r.outline];
    } else {
        s.points.assign({r.first, r.second});
        s.points.resize(r.pointCount);
    }
    if (r.text != kNone) {
        s.text = texts_[r.text];
    }
    return s;
}

bool Document::newPage(double widthMm, double heightMm, std::int32_t code) {
    if (!validPageSide(widthMm) || !validPageSide(heightMm)) {
        return false;
    }
    pages_.push_back({widthMm, heightMm, code, ShapeList()});
    return true;
}

bool Document::add(Shape shape) {
    if (pages_.empty() && !newPage(firstPageSize_.x, firstPageSize_.y, 0)) {
        return false;
    }
    pages_.back().shapes.add(std::move(shape));
    return true;
}

}  // namespace pdfwriter
