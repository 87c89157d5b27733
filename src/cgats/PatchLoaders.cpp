#include "cgats/PatchLoaders.h"

#include <cmath>
#include <initializer_list>

#include "base/ErrorCodes.h"
#include "cgats/Numbers.h"

namespace GenChartLib {

namespace {

constexpr std::string_view kCmykNames[4] = {"CMYK_C", "CMYK_M", "CMYK_Y", "CMYK_K"};

bool isDataRow(const CgatsReader& reader, std::int32_t set) {
    return set >= 0 && set < reader.numberOfSets &&
           static_cast<std::size_t>(set) < reader.rows.size();
}

const std::string& cell(const CgatsReader& reader, std::int32_t set, std::int32_t column) {
    return reader.rows[static_cast<std::size_t>(set)][static_cast<std::size_t>(column)];
}

std::uint8_t inkByteAt(const CgatsReader& reader, std::int32_t set, std::int32_t column) {
    return inkByteFromPercent(parseDouble(cell(reader, set, column)));
}

bool hasColumns(const CgatsReader& reader, std::initializer_list<std::string_view> names) {
    for (std::string_view name : names) {
        if (reader.columnOf(name) < 0) {
            return false;
        }
    }
    return true;
}

bool hasCmykColumns(const CgatsReader& reader) {
    return hasColumns(reader, {kCmykNames[0], kCmykNames[1], kCmykNames[2], kCmykNames[3]});
}

// "<colours>CLR_<channel>", e.g. 5CLR_1.
std::string multiColourName(int colours, int channel) {
    return std::to_string(colours) + "CLR_" + std::to_string(channel);
}

// "PC<colours>_<channel>", e.g. PC6_2.
std::string processColourName(int colours, int channel) {
    return "PC" + std::to_string(colours) + "_" + std::to_string(channel);
}

// Truncated toward zero, low eight bits kept (300 -> 44, -1 -> 255); values
// are expected in 0..255 and deliberately not clamped.
std::uint8_t rgbByte(double value) {
    if (!std::isfinite(value)) {
        return 0;
    }
    double low = std::fmod(std::trunc(value), 256.0);
    if (low < 0) {
        low += 256.0;
    }
    return static_cast<std::uint8_t>(low);
}

std::size_t rowCount(const CgatsReader& reader) {
    return reader.rows.size();
}

std::vector<std::uint8_t> tintBytes(const CmykPatch& patch) {
    std::vector<std::uint8_t> tints;
    tints.reserve(patch.spotTints.size());
    for (const auto& entry : patch.spotTints) {
        tints.push_back(entry.second);
    }
    return tints;
}

// CMYK plus extra inks. Files with the n-colour columns <n>CLR_1..4 take
// all channels from those; others take C, M, Y, K from the CMYK columns and
// the extra channels from the named ink columns. An extra-ink column the
// file lacks means no ink on that channel.
template <unsigned N>
void multiInkPatchesFrom(const CgatsReader& reader,
                         const std::array<std::string_view, N - 4>& namedInks,
                         std::vector<detail::FixedPixelColor<N>>& out) {
    out.clear();
    constexpr int kColours = static_cast<int>(N);
    const bool multiColour =
        hasColumns(reader, {multiColourName(kColours, 1), multiColourName(kColours, 2),
                            multiColourName(kColours, 3), multiColourName(kColours, 4)});
    if (!multiColour && !hasCmykColumns(reader)) {
        throw ERR_NO_CMYK_DATA;
    }
    std::array<std::string, N> channelColumns;
    for (int k = 1; k <= kColours; ++k) {
        const auto i = static_cast<std::size_t>(k - 1);
        if (multiColour) {
            channelColumns[i] = multiColourName(kColours, k);
        } else {
            channelColumns[i] = k <= 4 ? std::string(kCmykNames[i]) : std::string(namedInks[i - 4]);
        }
    }
    out.reserve(rowCount(reader));
    for (std::size_t row = 0; row < rowCount(reader); ++row) {
        const auto set = static_cast<std::int32_t>(row);
        const CmykPatch base = readCmykPatch(reader, set);
        detail::FixedPixelColor<N> color;
        for (std::size_t i = 0; i < 4; ++i) {
            color.channels[i] = multiColour
                                    ? inkByteAt(reader, set, reader.columnOf(channelColumns[i]))
                                    : base.cmyk[i];
        }
        for (std::size_t i = 4; i < N; ++i) {
            color.channels[i] = readChannel(reader, set, channelColumns[i]);
        }
        color.extra = tintBytes(base);
        out.push_back(std::move(color));
    }
}

}  // namespace

CmykPatch readCmykPatch(const CgatsReader& reader, std::int32_t set) {
    if (!isDataRow(reader, set)) {
        throw ERR_CMYK_INDEX;
    }
    CmykPatch patch;
    for (std::size_t i = 0; i < 4; ++i) {
        const std::int32_t column = reader.columnOf(kCmykNames[i]);
        patch.cmyk[i] = column < 0 ? 0 : inkByteAt(reader, set, column);
    }
    for (const std::string& name : reader.spotColorFormat) {
        const std::int32_t column = reader.columnOf(name);
        if (column >= 0) {
            patch.spotTints[name] =
                invertedInkByteFromPercent(parseDouble(cell(reader, set, column)));
        }
    }
    return patch;
}

std::uint8_t readChannel(const CgatsReader& reader, std::int32_t set, std::string_view columnName) {
    if (!isDataRow(reader, set)) {
        throw ERR_CMYK_INDEX;
    }
    const std::int32_t column = reader.columnOf(columnName);
    return column < 0 ? 255 : invertedInkByteFromPercent(parseDouble(cell(reader, set, column)));
}

WriteLAB::PixelColor readLabPatch(const CgatsReader& reader, std::int32_t set) {
    if (!isDataRow(reader, set)) {
        throw ERR_LAB_INDEX;
    }
    const std::int32_t l = reader.columnOf("LAB_L");
    const std::int32_t a = reader.columnOf("LAB_A");
    const std::int32_t b = reader.columnOf("LAB_B");
    if (l < 0 || a < 0 || b < 0) {
        throw ERR_NO_LAB_DATA;
    }
    WriteLAB::PixelColor color;
    color.channels = {labLightnessByte(parseDouble(cell(reader, set, l))),
                      labChromaByte(parseDouble(cell(reader, set, a))),
                      labChromaByte(parseDouble(cell(reader, set, b)))};
    return color;
}

WriteRGB::PixelColor readRgbPatch(const CgatsReader& reader, std::int32_t set) {
    if (!isDataRow(reader, set)) {
        throw ERR_RGB_INDEX;
    }
    WriteRGB::PixelColor color;
    for (std::size_t i = 0; i < 3; ++i) {
        static constexpr std::string_view kNames[3] = {"RGB_R", "RGB_G", "RGB_B"};
        const std::int32_t column = reader.columnOf(kNames[i]);
        if (column < 0) {
            throw ERR_NO_RGB_DATA;
        }
        color.channels[i] = rgbByte(parseDouble(cell(reader, set, column)));
    }
    return color;
}

void cmykPatchesFrom(const CgatsReader& reader, std::vector<WriteCMYK::PixelColor>& out) {
    out.clear();
    if (!hasCmykColumns(reader)) {
        throw ERR_NO_CMYK_DATA;
    }
    out.reserve(rowCount(reader));
    for (std::size_t row = 0; row < rowCount(reader); ++row) {
        const CmykPatch patch = readCmykPatch(reader, static_cast<std::int32_t>(row));
        out.push_back({patch.cmyk, tintBytes(patch)});
    }
}

void cmykoPatchesFrom(const CgatsReader& reader, std::vector<WriteCMYKO::PixelColor>& out) {
    multiInkPatchesFrom<5>(reader, {"ORANGE"}, out);
}

void cmykogPatchesFrom(const CgatsReader& reader, std::vector<WriteCMYKOG::PixelColor>& out) {
    multiInkPatchesFrom<6>(reader, {"ORANGE", "GREEN"}, out);
}

void cmykrgbPatchesFrom(const CgatsReader& reader, std::vector<WriteCMYKRGB::PixelColor>& out) {
    multiInkPatchesFrom<7>(reader, {"RED", "GREEN", "BLUE"}, out);
}

// The reader upper-cases column names, so Lab_L and LAB_L both arrive as
// LAB_L.
void labPatchesFrom(const CgatsReader& reader, std::vector<WriteLAB::PixelColor>& out) {
    out.clear();
    if (!hasColumns(reader, {"LAB_L", "LAB_A", "LAB_B"})) {
        throw ERR_NO_LAB_DATA;
    }
    out.reserve(rowCount(reader));
    for (std::size_t row = 0; row < rowCount(reader); ++row) {
        out.push_back(readLabPatch(reader, static_cast<std::int32_t>(row)));
    }
}

void rgbPatchesFrom(const CgatsReader& reader, std::vector<WriteRGB::PixelColor>& out) {
    out.clear();
    if (!hasColumns(reader, {"RGB_R", "RGB_G", "RGB_B"})) {
        throw ERR_NO_RGB_DATA;
    }
    out.reserve(rowCount(reader));
    for (std::size_t row = 0; row < rowCount(reader); ++row) {
        out.push_back(readRgbPatch(reader, static_cast<std::int32_t>(row)));
    }
}

void spotPatchesFrom(const CgatsReader& reader, std::vector<WriteSpotColor::PixelColor>& out) {
    out.clear();
    // The largest N with a channel-1 column; <N>CLR_1 before PC<N>_1.
    int inks = 0;
    bool processNames = false;
    for (int n = 1; n <= 8; ++n) {
        inks = reader.columnOf(multiColourName(n, 1)) >= 0 ? n : inks;
    }
    if (inks == 0) {
        processNames = true;
        for (int n = 1; n <= 8; ++n) {
            inks = reader.columnOf(processColourName(n, 1)) >= 0 ? n : inks;
        }
    }
    if (inks == 0) {
        throw ERR_NO_CMYK_DATA;
    }
    std::vector<std::int32_t> channelColumns;
    for (int k = 1; k <= inks; ++k) {
        const std::int32_t column =
            reader.columnOf(processNames ? processColourName(inks, k) : multiColourName(inks, k));
        if (column < 0) {
            throw ERR_NO_CMYK_DATA;
        }
        channelColumns.push_back(column);
    }
    out.reserve(rowCount(reader));
    for (std::size_t row = 0; row < rowCount(reader); ++row) {
        const auto set = static_cast<std::int32_t>(row);
        WriteSpotColor::PixelColor color;
        color.channels = readCmykPatch(reader, set).cmyk;
        color.channelCount = static_cast<std::uint32_t>(inks);
        for (std::size_t k = 0; k < channelColumns.size(); ++k) {
            const double percent = parseDouble(cell(reader, set, channelColumns[k]));
            color.extra.push_back(k < 4 ? inkByteFromPercent(percent)
                                        : invertedInkByteFromPercent(percent));
        }
        out.push_back(std::move(color));
    }
}

void loadCmykPatches(CgatsReader& reader, const std::string& path,
                     std::vector<WriteCMYK::PixelColor>& out) {
    out.clear();
    reader.load(path);
    cmykPatchesFrom(reader, out);
}

void loadCmykoPatches(CgatsReader& reader, const std::string& path,
                      std::vector<WriteCMYKO::PixelColor>& out) {
    out.clear();
    reader.load(path);
    cmykoPatchesFrom(reader, out);
}

void loadCmykogPatches(CgatsReader& reader, const std::string& path,
                       std::vector<WriteCMYKOG::PixelColor>& out) {
    out.clear();
    reader.load(path);
    cmykogPatchesFrom(reader, out);
}

void loadCmykrgbPatches(CgatsReader& reader, const std::string& path,
                        std::vector<WriteCMYKRGB::PixelColor>& out) {
    out.clear();
    reader.load(path);
    cmykrgbPatchesFrom(reader, out);
}

void loadLabPatches(CgatsReader& reader, const std::string& path,
                    std::vector<WriteLAB::PixelColor>& out) {
    out.clear();
    reader.load(path);
    labPatchesFrom(reader, out);
}

void loadRgbPatches(CgatsReader& reader, const std::string& path,
                    std::vector<WriteRGB::PixelColor>& out) {
    out.clear();
    reader.load(path);
    rgbPatchesFrom(reader, out);
}

void loadSpotPatches(CgatsReader& reader, const std::string& path,
                     std::vector<WriteSpotColor::PixelColor>& out) {
    out.clear();
    reader.load(path);
    spotPatchesFrom(reader, out);
}

}  // namespace GenChartLib
