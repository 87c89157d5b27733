#include "ContentStream.h"

#include <cstdint>

namespace pdfwriter {

namespace {

// The content of a page goes out in parts of about this size, so a page of
// many shapes is never held whole as text.
constexpr std::size_t kContentChunkBytes = 64 * 1024;

// Four cubic arcs approximate a quarter circle each with this handle length.
constexpr double kCircleHandle = 0.5522847498307936;

// Positions keep 1/10000 pt, far below a raster dot.
std::string pt(double mm) {
    return pdfNumber(mm * kPointsPerMm, 4);
}

class Writer {
  public:
    Writer(const Page& page, const ColorModel& model) : heightMm_(page.heightMm), model_(model) {}

    void shape(const Shape& s) {
        if (s.patchFlag != 0) {
            out_ += "/OrvoPatch <</Flag " + std::to_string(s.patchFlag) + ">> BDC\n";
        }
        out_ += "q\n";
        switch (s.kind) {
            case ShapeKind::FillRect:
                fillRect(s);
                break;
            case ShapeKind::StrokeRect:
                strokeRect(s);
                break;
            case ShapeKind::FillPolygon:
                line(model_.fillOperators(s.color));
                path(s.points, true);
                line("f");
                break;
            case ShapeKind::StrokeLine:
                strokeLine(s);
                break;
            case ShapeKind::FillCircle:
                line(model_.fillOperators(s.color));
                circle(s.points.front(), s.size);
                line("f");
                break;
            case ShapeKind::Text:
                text(s);
                break;
        }
        out_ += "Q\n";
        if (s.patchFlag != 0) {
            out_ += "EMC\n";
        }
    }

    std::size_t pending() const { return out_.size(); }
    // The operators written since the last take.
    std::string take() {
        std::string part;
        part.swap(out_);
        return part;
    }

  private:
    void line(const std::string& text) {
        out_ += text;
        out_ += '\n';
    }

    // PDF y of a position measured down from the top edge.
    std::string y(double mmFromTop) const { return pt(heightMm_ - mmFromTop); }

    void rect(double xMm, double yMm, double widthMm, double heightMm) {
        line(pt(xMm) + ' ' + y(yMm + heightMm) + ' ' + pt(widthMm) + ' ' + pt(heightMm) + " re");
    }

    void fillRect(const Shape& s) {
        line(model_.fillOperators(s.color));
        rect(s.points[0].x, s.points[0].y, s.points[1].x, s.points[1].y);
        line("f");
    }

    void strokeRect(const Shape& s) {
        const double inset = s.lineWidthMm / 2;
        const double w = s.points[1].x - s.lineWidthMm;
        const double h = s.points[1].y - s.lineWidthMm;
        if (w <= 0.0 || h <= 0.0) {
            // Too small for an outline: the box is solid.
            fillRect(s);
            return;
        }
        line(model_.strokeOperators(s.color));
        line(pt(s.lineWidthMm) + " w");
        rect(s.points[0].x + inset, s.points[0].y + inset, w, h);
        line("S");
    }

    void strokeLine(const Shape& s) {
        line(model_.strokeOperators(s.color));
        line(pt(s.lineWidthMm) + " w");
        if (s.dashMm > 0.0) {
            line("[" + pt(s.dashMm) + "] 0 d");
        }
        path(s.points, false);
        line("S");
    }

    void path(const std::vector<PointMm>& points, bool closed) {
        for (std::size_t i = 0; i < points.size(); ++i) {
            line(pt(points[i].x) + ' ' + y(points[i].y) + (i == 0 ? " m" : " l"));
        }
        if (closed) {
            line("h");
        }
    }

    void curve(double x1, double y1, double x2, double y2, double x3, double y3) {
        line(pt(x1) + ' ' + y(y1) + ' ' + pt(x2) + ' ' + y(y2) + ' ' + pt(x3) + ' ' + y(y3) + " c");
    }

    void circle(const PointMm& c, double r) {
        const double k = r * kCircleHandle;
        line(pt(c.x + r) + ' ' + y(c.y) + " m");
        curve(c.x + r, c.y + k, c.x + k, c.y + r, c.x, c.y + r);
        curve(c.x - k, c.y + r, c.x - r, c.y + k, c.x - r, c.y);
        curve(c.x - r, c.y - k, c.x - k, c.y - r, c.x, c.y - r);
        curve(c.x + k, c.y - r, c.x + r, c.y - k, c.x + r, c.y);
        line("h");
    }

    void text(const Shape& s) {
        line(model_.fillOperators(s.color));
        line("BT");
        line("/F1 " + pdfNumber(s.size, 4) + " Tf");
        line(pt(s.points[0].x) + ' ' + y(s.points[0].y) + " Td");
        line(pdfLiteralString(winAnsiFromUtf8(s.text)) + " Tj");
        line("ET");
    }

    double heightMm_;
    const ColorModel& model_;
    std::string out_;
};

// Decodes one UTF-8 sequence at `i`; malformed bytes give U+FFFD.
std::uint32_t nextCodePoint(const std::string& text, std::size_t& i) {
    const auto byte = [&text](std::size_t k) { return static_cast<std::uint8_t>(text[k]); };
    const std::uint8_t lead = byte(i++);
    if (lead < 0x80) {
        return lead;
    }
    int extra = 0;
    std::uint32_t cp = 0;
    if ((lead & 0xE0) == 0xC0) {
        extra = 1;
        cp = lead & 0x1Fu;
    } else if ((lead & 0xF0) == 0xE0) {
        extra = 2;
        cp = lead & 0x0Fu;
    } else if ((lead & 0xF8) == 0xF0) {
        extra = 3;
        cp = lead & 0x07u;
    } else {
        return 0xFFFD;
    }
    for (int k = 0; k < extra; ++k) {
        if (i >= text.size() || (byte(i) & 0xC0) != 0x80) {
            return 0xFFFD;
        }
        cp = (cp << 6) | (byte(i++) & 0x3Fu);
    }
    return cp;
}

// WinAnsiEncoding's bytes 0x80-0x9F that hold characters, by code point.
char winAnsiHighByte(std::uint32_t cp) {
    struct Entry {
        std::uint32_t codePoint;
        std::uint8_t byte;
    };
    static constexpr Entry kTable[] = {
        {0x20AC, 0x80}, {0x201A, 0x82}, {0x0192, 0x83}, {0x201E, 0x84}, {0x2026, 0x85},
        {0x2020, 0x86}, {0x2021, 0x87}, {0x02C6, 0x88}, {0x2030, 0x89}, {0x0160, 0x8A},
        {0x2039, 0x8B}, {0x0152, 0x8C}, {0x017D, 0x8E}, {0x2018, 0x91}, {0x2019, 0x92},
        {0x201C, 0x93}, {0x201D, 0x94}, {0x2022, 0x95}, {0x2013, 0x96}, {0x2014, 0x97},
        {0x02DC, 0x98}, {0x2122, 0x99}, {0x0161, 0x9A}, {0x203A, 0x9B}, {0x0153, 0x9C},
        {0x017E, 0x9E}, {0x0178, 0x9F}};
    for (const Entry& e : kTable) {
        if (e.codePoint == cp) {
            return static_cast<char>(e.byte);
        }
    }
    return '?';
}

}  // namespace

std::string winAnsiFromUtf8(const std::string& text) {
    std::string out;
    std::size_t i = 0;
    while (i < text.size()) {
        const std::uint32_t cp = nextCodePoint(text, i);
        if ((cp >= 0x20 && cp < 0x7F) || (cp >= 0xA0 && cp <= 0xFF)) {
            out += static_cast<char>(cp);
        } else {
            out += winAnsiHighByte(cp);
        }
    }
    return out;
}

std::string pdfLiteralString(const std::string& bytes) {
    static constexpr char kOctal[] = "01234567";
    std::string out = "(";
    for (const char ch : bytes) {
        const auto byte = static_cast<std::uint8_t>(ch);
        if (ch == '(' || ch == ')' || ch == '\\') {
            out += '\\';
            out += ch;
        } else if (byte < 0x20 || byte >= 0x7F) {
            out += '\\';
            out += kOctal[byte >> 6];
            out += kOctal[(byte >> 3) & 7];
            out += kOctal[byte & 7];
        } else {
            out += ch;
        }
    }
    out += ')';
    return out;
}

void writeContentStream(const Page& page, const ColorModel& model,
                        const std::function<void(const std::string&)>& sink) {
    Writer writer(page, model);
    page.shapes.forEach([&](const Shape& s) {
        writer.shape(s);
        if (writer.pending() >= kContentChunkBytes) {
            sink(writer.take());
        }
    });
    sink(writer.take());
}

}  // namespace pdfwriter
