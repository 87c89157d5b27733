#include "ColorModel.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstring>

namespace pdfwriter {

namespace {

using GenChartLib::OcPdfChartInfo;

// Colour modes as the chart parameters carry them.
constexpr int kModeCmyk = 0;
constexpr int kModeCmykog = 1;
constexpr int kModeCmykrgb = 2;
constexpr int kModeLab = 3;
constexpr int kModeRgb = 4;
constexpr int kModeCmyko = 5;
constexpr int kModeSixColor6 = 6;
constexpr int kModeSixColor7 = 7;
constexpr int kModeFirstSpot = 100;
constexpr int kModeLastSpot = 107;

// Longest name PDF readers must accept.
constexpr std::size_t kMaxNameBytes = 127;

struct Ink {
    const char* name;
    std::array<double, 4> cmyk;
};

// The inks the fixed modes use, and what a solid of each looks like in
// CMYK. Spot channels take the same look by position: 1-4 as the process
// inks, 5-8 as orange, green, red and blue, so previews tell them apart.
constexpr Ink kCyan{"Cyan", {1, 0, 0, 0}};
constexpr Ink kMagenta{"Magenta", {0, 1, 0, 0}};
constexpr Ink kYellow{"Yellow", {0, 0, 1, 0}};
constexpr Ink kBlack{"Black", {0, 0, 0, 1}};
constexpr Ink kOrange{"Orange", {0, 0.5, 1, 0}};
constexpr Ink kGreen{"Green", {1, 0, 1, 0}};
constexpr Ink kRed{"Red", {0, 1, 1, 0}};
constexpr Ink kBlue{"Blue", {1, 1, 0, 0}};
constexpr Ink kSpotLooks[8] = {kCyan, kMagenta, kYellow, kBlack, kOrange, kGreen, kRed, kBlue};

double clamp01(double v) {
    return std::isnan(v) ? 0.0 : std::clamp(v, 0.0, 1.0);
}

double tint(const Color& color, unsigned channel) {
    return clamp01(color.percent[channel] / 100.0);
}

// A user's colorant name is kept when PDF can carry it as a DeviceN
// colorant: not empty, not too long, not one of the reserved names.
bool usableName(const char* name) {
    if (name == nullptr || *name == '\0') {
        return false;
    }
    const std::size_t length = std::strlen(name);
    return length <= kMaxNameBytes && std::strcmp(name, "None") != 0 &&
           std::strcmp(name, "All") != 0;
}

bool contains(const std::vector<std::string>& names, const std::string& name) {
    return std::find(names.begin(), names.end(), name) != names.end();
}

// Spot channel names: the chart's names where usable and not repeated,
// else "Spot N" (made unique should a user name already be "Spot N").
std::vector<std::string> spotNames(const OcPdfChartInfo& chart, unsigned channels) {
    std::vector<std::string> names;
    for (unsigned i = 0; i < channels; ++i) {
        const char* given = chart.colorantNames[i];
        if (usableName(given) && !contains(names, given)) {
            names.emplace_back(given);
            continue;
        }
        std::string name = "Spot " + std::to_string(i + 1);
        for (int copy = 2; contains(names, name); ++copy) {
            name = "Spot " + std::to_string(i + 1) + " #" + std::to_string(copy);
        }
        names.push_back(name);
    }
    return names;
}

// sRGB component from linear light.
double srgbEncode(double linear) {
    const double v = clamp01(linear);
    return v <= 0.0031308 ? 12.92 * v : 1.055 * std::pow(v, 1.0 / 2.4) - 0.055;
}

double labInverse(double t) {
    constexpr double delta = 6.0 / 29.0;
    return t > delta ? t * t * t : 3.0 * delta * delta * (t - 4.0 / 29.0);
}

Rgb labToSrgb(double lightness, double a, double b) {
    const double fy = (lightness + 16.0) / 116.0;
    // D50 white, as the PDF colour space declares.
    const double x50 = 0.9642 * labInverse(fy + a / 500.0);
    const double y50 = labInverse(fy);
    const double z50 = 0.8249 * labInverse(fy - b / 200.0);
    // Bradford adaptation D50 -> D65.
    const double x = 0.9555766 * x50 - 0.0230393 * y50 + 0.0631636 * z50;
    const double y = -0.0282895 * x50 + 1.0099416 * y50 + 0.0210077 * z50;
    const double z = 0.0122982 * x50 - 0.0204830 * y50 + 1.3299098 * z50;
    return {srgbEncode(3.2404542 * x - 1.5371385 * y - 0.4985314 * z),
            srgbEncode(-0.9692660 * x + 1.8760108 * y + 0.0415560 * z),
            srgbEncode(0.0556434 * x - 0.2040259 * y + 1.0572252 * z)};
}

Rgb naiveCmykToRgb(const std::array<double, 4>& cmyk) {
    const double white = 1.0 - cmyk[3];
    return {(1.0 - cmyk[0]) * white, (1.0 - cmyk[1]) * white, (1.0 - cmyk[2]) * white};
}

}  // namespace

std::string pdfNumber(double value, int decimals) {
    if (!std::isfinite(value)) {
        return "0";
    }
    char buffer[64];
    const auto result =
        std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::fixed, decimals);
    if (result.ec != std::errc()) {
        return "0";
    }
    std::string text(buffer, result.ptr);
    if (text.find('.') != std::string::npos) {
        while (text.back() == '0') {
            text.pop_back();
        }
        if (text.back() == '.') {
            text.pop_back();
        }
    }
    if (text == "-0") {
        text = "0";
    }
    return text;
}

std::optional<ColorModel> ColorModel::forChart(const OcPdfChartInfo& chart) {
    auto withInks = [](std::initializer_list<Ink> inks) {
        ColorModel model(Space::DeviceN, static_cast<unsigned>(inks.size()));
        for (const Ink& ink : inks) {
            model.names_.emplace_back(ink.name);
            model.alternates_.push_back(ink.cmyk);
        }
        return model;
    };
    switch (chart.colorMode) {
        case kModeCmyk:
            return ColorModel(Space::DeviceCMYK, 4);
        case kModeCmyko:
            return withInks({kCyan, kMagenta, kYellow, kBlack, kOrange});
        case kModeCmykog:
        case kModeSixColor6:
        case kModeSixColor7:
            return withInks({kCyan, kMagenta, kYellow, kBlack, kOrange, kGreen});
        case kModeCmykrgb:
            return withInks({kCyan, kMagenta, kYellow, kBlack, kRed, kGreen, kBlue});
        case kModeLab:
            return ColorModel(Space::Lab, 3);
        case kModeRgb:
            return ColorModel(Space::DeviceRGB, 3);
        default:
            break;
    }
    if (chart.colorMode < kModeFirstSpot || chart.colorMode > kModeLastSpot ||
        chart.channelCount < 1 || chart.channelCount > OC_PDF_MAX_CHANNELS) {
        return std::nullopt;
    }
    const auto channels = static_cast<unsigned>(chart.channelCount);
    ColorModel model(Space::DeviceN, channels);
    model.names_ = spotNames(chart, channels);
    for (unsigned i = 0; i < channels; ++i) {
        model.alternates_.push_back(kSpotLooks[i].cmyk);
    }
    return model;
}

std::string ColorModel::operands(const Color& color) const {
    std::string text;
    auto add = [&text](double value) {
        text += pdfNumber(value, 6);
        text += ' ';
    };
    switch (space_) {
        case Space::Lab: {
            const double lightness = std::isnan(color.percent[0]) ? 0.0 : color.percent[0];
            add(std::clamp(lightness, 0.0, 100.0));
            for (int i = 1; i < 3; ++i) {
                const double v = std::isnan(color.percent[i]) ? 0.0 : color.percent[i];
                add(std::clamp(v, -128.0, 127.0));
            }
            break;
        }
        case Space::DeviceCMYK:
        case Space::DeviceN:
        case Space::DeviceRGB:
            for (unsigned i = 0; i < channels_; ++i) {
                add(tint(color, i));
            }
            break;
    }
    return text;
}

std::string ColorModel::fillOperators(const Color& color) const {
    switch (space_) {
        case Space::DeviceCMYK:
            return operands(color) + "k";
        case Space::DeviceRGB:
            return operands(color) + "rg";
        case Space::Lab:
            return "/CS0 cs " + operands(color) + "sc";
        case Space::DeviceN:
            break;
    }
    return "/CS0 cs " + operands(color) + "scn";
}

std::string ColorModel::strokeOperators(const Color& color) const {
    switch (space_) {
        case Space::DeviceCMYK:
            return operands(color) + "K";
        case Space::DeviceRGB:
            return operands(color) + "RG";
        case Space::Lab:
            return "/CS0 CS " + operands(color) + "SC";
        case Space::DeviceN:
            break;
    }
    return "/CS0 CS " + operands(color) + "SCN";
}

std::string ColorModel::tintTransformProgram() const {
    // The stack starts with the n tints t0 .. t(n-1). Each CMYK output is
    // summed from the tints and clipped at 1; the four outputs are then
    // rolled below the tints, which are popped.
    const unsigned n = channels_;
    std::string program = "{ ";
    for (unsigned out = 0; out < 4; ++out) {
        program += "0 ";
        for (unsigned i = 0; i < n; ++i) {
            const double weight = alternates_[i][out];
            if (weight == 0.0) {
                continue;
            }
            // Depth of t_i below the accumulator and the outputs so far.
            program += std::to_string(out + n - i) + " index ";
            if (weight != 1.0) {
                program += pdfNumber(weight, 6) + " mul ";
            }
            program += "add ";
        }
        program += "dup 1 gt { pop 1 } if ";
    }
    program += std::to_string(n + 4) + " 4 roll";
    for (unsigned i = 0; i < n; ++i) {
        program += " pop";
    }
    program += " }";
    return program;
}

std::array<double, 4> ColorModel::alternateCmyk(const Color& color) const {
    std::array<double, 4> cmyk{};
    if (space_ == Space::DeviceCMYK) {
        for (unsigned i = 0; i < 4; ++i) {
            cmyk[i] = tint(color, i);
        }
        return cmyk;
    }
    for (unsigned i = 0; i < alternates_.size(); ++i) {
        const double t = tint(color, i);
        for (unsigned c = 0; c < 4; ++c) {
            cmyk[c] = std::min(1.0, cmyk[c] + t * alternates_[i][c]);
        }
    }
    return cmyk;
}

Rgb ColorModel::previewColor(const Color& color) const {
    switch (space_) {
        case Space::DeviceCMYK:
        case Space::DeviceN:
            return naiveCmykToRgb(alternateCmyk(color));
        case Space::Lab: {
            auto finite = [](double v) { return std::isnan(v) ? 0.0 : v; };
            return labToSrgb(std::clamp(finite(color.percent[0]), 0.0, 100.0),
                             std::clamp(finite(color.percent[1]), -128.0, 127.0),
                             std::clamp(finite(color.percent[2]), -128.0, 127.0));
        }
        case Space::DeviceRGB:
            break;
    }
    return {tint(color, 0), tint(color, 1), tint(color, 2)};
}

}  // namespace pdfwriter
