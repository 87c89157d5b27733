#include "Document.h"

#include <cmath>

namespace pdfwriter {

bool validPageSide(double mm) {
    return std::isfinite(mm) && mm > 0.0 && mm <= kMaxPageSideMm;
}

bool Document::newPage(double widthMm, double heightMm, std::int32_t code) {
    if (!validPageSide(widthMm) || !validPageSide(heightMm)) {
        return false;
    }
    pages_.push_back({widthMm, heightMm, code, {}});
    return true;
}

bool Document::add(Shape shape) {
    if (pages_.empty() && !newPage(firstPageSize_.x, firstPageSize_.y, 0)) {
        return false;
    }
    pages_.back().shapes.push_back(std::move(shape));
    return true;
}

}  // namespace pdfwriter
