// What a host expects to find on a chart page, worked out from the reference
// file alone: a small CGATS reader of its own and the ink amounts or screen
// colours each colour mode should print for a row. Independent of the
// library's reader and writers.
#ifndef ORVOCHART_TESTS_HOST_CHARTEXPECTATIONS_H
#define ORVOCHART_TESTS_HOST_CHARTEXPECTATIONS_H

#include <algorithm>
#include <array>
#include <charconv>
#include <cmath>
#include <fstream>
#include <iterator>
#include <map>
#include <optional>
#include <sstream>
#include <string>
#include <vector>

#include "OrvoChartInterface.h"

namespace hostcheck {

// The data rows of a CGATS file by column name.
struct Reference {
    std::vector<std::string> fields;
    std::vector<std::vector<double>> rows;

    double value(std::size_t row, const std::string& field) const {
        const auto it = std::find(fields.begin(), fields.end(), field);
        return it == fields.end() ? 0.0 : rows[row][static_cast<std::size_t>(it - fields.begin())];
    }
};

inline Reference readReference(const std::string& path) {
    Reference ref;
    std::ifstream in(path);
    std::string section;  // the BEGIN_ keyword of the block being read
    for (std::string line; std::getline(in, line);) {
        std::istringstream stream(line);
        const std::vector<std::string> words{std::istream_iterator<std::string>(stream), {}};
        if (words.empty()) {
            continue;
        } else if (words[0] == "BEGIN_DATA_FORMAT" || words[0] == "BEGIN_DATA") {
            section = words[0];
        } else if (words[0].rfind("END_DATA", 0) == 0) {
            section.clear();
        } else if (section == "BEGIN_DATA_FORMAT") {
            ref.fields.insert(ref.fields.end(), words.begin(), words.end());
        } else if (section == "BEGIN_DATA") {
            std::vector<double> row(words.size(), 0.0);
            for (std::size_t i = 0; i < words.size(); ++i) {
                std::from_chars(words[i].data(), words[i].data() + words[i].size(), row[i]);
            }
            ref.rows.push_back(row);
        }
    }
    return ref;
}

// Ink byte of a percentage, as a print workflow rounds it.
inline int inkByte(double percent) {
    return static_cast<int>(std::floor(std::clamp(percent, 0.0, 100.0) * 255.0 / 100.0 + 0.5));
}

inline bool printsOnPlates(ColorMode mode) {
    return mode != CM_LAB && mode != CM_RGB;
}

// sRGB bytes of a Lab (D50) colour: Bradford to D65, linear sRGB, gamma.
// Nothing for a colour outside sRGB, where renderers clip differently.
inline std::optional<std::array<int, 3>> srgbOfLab(double L, double a, double b) {
    const double fy = (L + 16.0) / 116.0;
    const double f[3] = {fy + a / 500.0, fy, fy - b / 200.0};
    const double white[3] = {0.9642, 1.0, 0.8249};
    double xyz[3];
    for (int i = 0; i < 3; ++i) {
        const double cube = f[i] * f[i] * f[i];
        xyz[i] = white[i] * (cube > 0.008856 ? cube : (f[i] - 16.0 / 116.0) / 7.787);
    }
    const double bradford[3][3] = {{0.9555766, -0.0230393, 0.0631636},
                                   {-0.0282895, 1.0099416, 0.0210077},
                                   {0.0122982, -0.0204830, 1.3299098}};
    const double toRgb[3][3] = {{3.2404542, -1.5371385, -0.4985314},
                                {-0.9692660, 1.8760108, 0.0415560},
                                {0.0556434, -0.2040259, 1.0572252}};
    double d65[3];
    for (int i = 0; i < 3; ++i) {
        d65[i] = bradford[i][0] * xyz[0] + bradford[i][1] * xyz[1] + bradford[i][2] * xyz[2];
    }
    std::array<int, 3> rgb{};
    for (int i = 0; i < 3; ++i) {
        const double linear = toRgb[i][0] * d65[0] + toRgb[i][1] * d65[1] + toRgb[i][2] * d65[2];
        if (linear < 0.01 || linear > 0.99) {
            return std::nullopt;
        }
        const double encoded =
            linear <= 0.0031308 ? 12.92 * linear : 1.055 * std::pow(linear, 1.0 / 2.4) - 0.055;
        rgb[static_cast<std::size_t>(i)] = static_cast<int>(std::lround(255.0 * encoded));
    }
    return rgb;
}

// What a rendered page shows for row `row` of the reference: the ink byte of
// every plate the mode prints with (spot plates named `spotNames`), or the
// sRGB bytes "R", "G", "B" for Lab and RGB. Rows past the end of the
// reference are paper padding. Nothing for a Lab colour outside sRGB.
inline std::optional<std::map<std::string, int>> expectedColors(
    ColorMode mode, const Reference& ref, std::size_t row,
    const std::vector<std::string>& spotNames) {
    const bool padding = row >= ref.rows.size();
    if (!printsOnPlates(mode)) {
        // The Lab page keeps L* to 1/2.55 and whole a* and b*.
        const auto v = [&](const char* field) { return padding ? 0.0 : ref.value(row, field); };
        const std::optional<std::array<int, 3>> rgb =
            padding ? std::array<int, 3>{255, 255, 255}
            : mode == CM_RGB
                ? std::array<int, 3>{static_cast<int>(v("RGB_R")), static_cast<int>(v("RGB_G")),
                                     static_cast<int>(v("RGB_B"))}
                : srgbOfLab(std::floor(v("LAB_L") * 2.55 + 0.5) / 2.55, std::round(v("LAB_A")),
                            std::round(v("LAB_B")));
        if (!rgb) {
            return std::nullopt;
        }
        return std::map<std::string, int>{{"R", (*rgb)[0]}, {"G", (*rgb)[1]}, {"B", (*rgb)[2]}};
    }
    std::vector<std::string> plates = spotNames;
    if (plates.empty()) {
        plates = {"Cyan", "Magenta", "Yellow", "Black"};
    }
    if (mode == CM_CMYKO) {
        plates.push_back("Orange");
    } else if (mode == CM_CMYKOG || mode == CM_SIXCOLOR_6 || mode == CM_SIXCOLOR_7) {
        plates.insert(plates.end(), {"Orange", "Green"});
    } else if (mode == CM_CMYKRGB) {
        plates.insert(plates.end(), {"Red", "Green", "Blue"});
    }
    std::map<std::string, int> inks;
    for (std::size_t i = 0; i < plates.size(); ++i) {
        const std::string field =
            mode == CM_CMYK ? std::string("CMYK_") + "CMYK"[i]
                            : std::to_string(plates.size()) + "CLR_" + std::to_string(i + 1);
        inks[plates[i]] = padding ? 0 : inkByte(ref.value(row, field));
    }
    return inks;
}

}  // namespace hostcheck

#endif  // ORVOCHART_TESTS_HOST_CHARTEXPECTATIONS_H
