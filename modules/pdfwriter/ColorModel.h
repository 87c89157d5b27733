// How the colours of one chart go into the PDF: the colour space of the
// chart's mode, its colorant names, the operands that select a colour, and
// the simple conversion that shows a colour in the JPEG preview.
#ifndef ORVOCHART_PDFWRITER_COLORMODEL_H
#define ORVOCHART_PDFWRITER_COLORMODEL_H

#include <array>
#include <optional>
#include <string>
#include <vector>

#include "outside/PdfWriterInterface.h"

namespace pdfwriter {

using Color = GenChartLib::OcPdfColor;

// An sRGB preview colour, 0..1 per component.
struct Rgb {
    double r = 1.0;
    double g = 1.0;
    double b = 1.0;
};

enum class Space {
    DeviceCMYK,  // CMYK charts
    DeviceN,     // CMYKO, CMYKOG, CMYKRGB and spot charts
    Lab,         // CIE L*a*b*, D50
    DeviceRGB    // RGB charts
};

class ColorModel {
  public:
    // The model of a chart, or nothing for an unknown mode or a spot chart
    // without a usable channel count.
    static std::optional<ColorModel> forChart(const GenChartLib::OcPdfChartInfo& chart);

    Space space() const { return space_; }
    int channels() const { return static_cast<int>(channels_); }
    // Colorant names of a DeviceN space, in channel order.
    const std::vector<std::string>& colorantNames() const { return names_; }

    // Content-stream operators that make `color` the fill colour (or the
    // stroke colour). Spaces other than the device ones are resource /CS0.
    std::string fillOperators(const Color& color) const;
    std::string strokeOperators(const Color& color) const;

    // The PostScript calculator program (type 4 function body) that maps
    // the DeviceN tints to DeviceCMYK for viewers without the inks.
    std::string tintTransformProgram() const;

    // The colour as the preview shows it. CMYK (and DeviceN through the
    // tint transform's CMYK) by the naive r = (1 - c)(1 - k); Lab from D50
    // through Bradford to D65 sRGB; RGB as given.
    Rgb previewColor(const Color& color) const;

    // CMYK (0..1) the tint transform gives for these tints.
    std::array<double, 4> alternateCmyk(const Color& color) const;

  private:
    ColorModel(Space space, unsigned channels) : space_(space), channels_(channels) {}

    std::string operands(const Color& color) const;

    Space space_;
    unsigned channels_;
    std::vector<std::string> names_;
    // The DeviceCMYK colour of a solid of each colorant.
    std::vector<std::array<double, 4>> alternates_;
};

// A number as PDF writes it: fixed notation with at most `decimals`
// decimals, trailing zeros dropped, no "-0"; independent of the locale.
std::string pdfNumber(double value, int decimals);

}  // namespace pdfwriter

#endif  // ORVOCHART_PDFWRITER_COLORMODEL_H
