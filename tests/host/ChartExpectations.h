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
#include <map>
#include <optional>
#include <sstream>
#include <string>
#include <vector>

#include "OrvoChartInterface.h"

namespace hostcheck {

// A number of the data block; the test files use full stops.
inline double number(const std::string& text) {
    double value = 0.0;
    std::from_chars(text.data(), text.data() + text.size(), value);
    return value;
}

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
    std::string line;
    bool inFormat = false;
    bool inData = false;
    while (std::getline(in, line)) {
        std::istringstream words(line);
        std::string first;
        words >> first;
        if (first == "BEGIN_DATA_FORMAT") {
            inFormat = true;
        } else if (first == "END_DATA_FORMAT") {
            inFormat = false;
        } else if (first == "BEGIN_DATA") {
            inData = true;
        } else if (first == "END_DATA") {
            inData = false;
        } else if (inFormat) {
            ref.fields.push_back(first);
            for (std::string field; words >> field;) {
                ref.fields.push_back(field);
            }
        } else if (inData && !first.empty()) {
            std::vector<double> row{number(first)};
            for (std::string cell; words >> cell;) {
                row.push_back(number(cell));
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

// The plates a patch of a row prints on, with their ink bytes. Rows past
// the end of the reference are paper padding: no ink on any plate.
inline std::map<std::string, int> expectedPlates(ColorMode mode, const Reference& ref,
                                                 std::size_t row,
                                                 const std::vector<std::string>& spotNames) {
    std::map<std::string, int> plates;
    const bool padding = row >= ref.rows.size();
    const auto put = [&](const std::string& plate, const std::string& field) {
        plates[plate] = padding ? 0 : inkByte(ref.value(row, field));
    };
    const char* process[4] = {"Cyan", "Magenta", "Yellow", "Black"};
    switch (mode) {
        case CM_CMYK:
            put("Cyan", "CMYK_C");
            put("Magenta", "CMYK_M");
            put("Yellow", "CMYK_Y");
            put("Black", "CMYK_K");
            break;
        case CM_CMYKO:
            for (int k = 0; k < 4; ++k) {
                put(process[k], "5CLR_" + std::to_string(k + 1));
            }
            put("Orange", "5CLR_5");
            break;
        case CM_CMYKOG:
        case CM_SIXCOLOR_6:
        case CM_SIXCOLOR_7:
            for (int k = 0; k < 4; ++k) {
                put(process[k], "6CLR_" + std::to_string(k + 1));
            }
            put("Orange", "6CLR_5");
            put("Green", "6CLR_6");
            break;
        case CM_CMYKRGB:
            for (int k = 0; k < 4; ++k) {
                put(process[k], "7CLR_" + std::to_string(k + 1));
            }
            put("Red", "7CLR_5");
            put("Green", "7CLR_6");
            put("Blue", "7CLR_7");
            break;
        default: {
            const std::string prefix = std::to_string(spotNames.size()) + "CLR_";
            for (std::size_t k = 0; k < spotNames.size(); ++k) {
                put(spotNames[k], prefix + std::to_string(k + 1));
            }
            break;
        }
    }
    return plates;
}

inline bool printsOnPlates(ColorMode mode) {
    return mode != CM_LAB && mode != CM_RGB;
}

// sRGB bytes of a colour on screen; nothing when the colour lies outside
// sRGB, where renderers clip differently.
inline std::optional<std::array<int, 3>> expectedScreenColor(ColorMode mode, const Reference& ref,
                                                             std::size_t row) {
    if (row >= ref.rows.size()) {
        return std::array<int, 3>{255, 255, 255};
    }
    if (mode == CM_RGB) {
        return std::array<int, 3>{static_cast<int>(ref.value(row, "RGB_R")),
                                  static_cast<int>(ref.value(row, "RGB_G")),
                                  static_cast<int>(ref.value(row, "RGB_B"))};
    }
    // Lab (D50) to XYZ, Bradford to D65, linear sRGB, gamma. The L byte
    // keeps L* to 1/2.55; a* and b* are whole numbers.
    const double lab[3] = {std::floor(ref.value(row, "LAB_L") * 2.55 + 0.5) / 2.55,
                           std::round(ref.value(row, "LAB_A")),
                           std::round(ref.value(row, "LAB_B"))};
    const double fy = (lab[0] + 16.0) / 116.0;
    const double f[3] = {fy + lab[1] / 500.0, fy, fy - lab[2] / 200.0};
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

}  // namespace hostcheck

#endif  // ORVOCHART_TESTS_HOST_CHARTEXPECTATIONS_H
