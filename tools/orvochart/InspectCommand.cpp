// orvochart inspect: what the reference reader and the patch loader of one
// colour mode make of a reference file, as JSON on standard output.
#include <charconv>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <exception>
#include <string>
#include <string_view>
#include <vector>

#include "Commands.h"
#include "base/ErrorCodes.h"
#include "api/Factory.h"
#include "cgats/CgatsReader.h"
#include "cgats/Numbers.h"
#include "cgats/PatchLoaders.h"

namespace {

using GenChartLib::CgatsReader;
using GenChartLib::ColorModeEntry;
using GenChartLib::WriterKind;

const char* const kUsage =
    "usage: orvochart inspect REFERENCE [--mode MODE]\n"
    "\n"
    "Reads the CGATS/IT8 reference file REFERENCE as a chart job would and prints,\n"
    "as JSON: the header keywords the reader stored, the field names, the number of\n"
    "sets, the spot colour declarations, device-N inks and spectral columns, and one\n"
    "array of channel bytes per patch as the loader of the colour mode makes them.\n"
    "\n"
    "options:\n"
    "  --mode MODE   colour mode: a number 0-7 or 100-107, or a name: cmyk (default),\n"
    "                cmykog, cmykrgb, lab, rgb, cmyko, sixcolor6, sixcolor7,\n"
    "                spot1 ... spot8 (case does not matter)\n"
    "  --help        show this text\n"
    "\n"
    "Patch bytes: C, M, Y, K 0 = no ink, 255 = solid; extra inks inverted (255 = no\n"
    "ink); Lab as L * 2.55 and a, b as two's-complement bytes; RGB as read. Spot\n"
    "modes show the spot channel bytes of each patch (channels 5 and up inverted).\n"
    "\n"
    "On failure the error code and its text go to standard error and the exit\n"
    "status is 1; a usage error exits with 2.\n";

// JSON text built piece by piece; strings are escaped, bytes that are not
// valid UTF-8 are taken as Latin-1 characters.
class Json {
  public:
    void raw(std::string_view text) { out_ += text; }
    void number(long long value) { out_ += std::to_string(value); }
    void string(std::string_view text) {
        out_ += '"';
        for (std::size_t i = 0; i < text.size();) {
            const std::size_t length = utf8Length(text.substr(i));
            if (length > 1) {
                out_ += text.substr(i, length);
                i += length;
                continue;
            }
            const auto c = static_cast<unsigned char>(text[i++]);
            if (c == '"' || c == '\\') {
                out_ += '\\';
                out_ += static_cast<char>(c);
            } else if (c < 0x20 || c >= 0x7F) {
                char escaped[8];
                std::snprintf(escaped, sizeof escaped, "\\u%04x", c);
                out_ += escaped;
            } else {
                out_ += static_cast<char>(c);
            }
        }
        out_ += '"';
    }
    void key(std::string_view name) {
        string(name);
        out_ += ": ";
    }
    void strings(const std::vector<std::string>& values) {
        out_ += '[';
        for (std::size_t i = 0; i < values.size(); ++i) {
            out_ += i == 0 ? "" : ", ";
            string(values[i]);
        }
        out_ += ']';
    }
    template <class Container>
    void numbers(const Container& values) {
        out_ += '[';
        bool first = true;
        for (const auto value : values) {
            out_ += first ? "" : ", ";
            number(static_cast<long long>(value));
            first = false;
        }
        out_ += ']';
    }
    const std::string& text() const { return out_; }

  private:
    // Length of a valid multi-byte UTF-8 sequence at the start, else 1.
    static std::size_t utf8Length(std::string_view s) {
        const auto lead = static_cast<unsigned char>(s[0]);
        const std::size_t length = lead >= 0xF0 && lead <= 0xF4   ? 4
                                   : lead >= 0xE0                 ? 3
                                   : lead >= 0xC2 && lead <= 0xDF ? 2
                                                                  : 1;
        if (length == 1 || s.size() < length || (length == 3 && lead > 0xEF)) {
            return 1;
        }
        for (std::size_t i = 1; i < length; ++i) {
            if ((static_cast<unsigned char>(s[i]) & 0xC0) != 0x80) {
                return 1;
            }
        }
        return length;
    }

    std::string out_;
};

struct Options {
    std::string reference;
    const ColorModeEntry* mode = nullptr;
    bool help = false;
};

const ColorModeEntry* modeNamed(std::string_view text) {
    int value = 0;
    const auto result = std::from_chars(text.data(), text.data() + text.size(), value);
    if (result.ec == std::errc() && result.ptr == text.data() + text.size()) {
        for (const ColorModeEntry& entry : GenChartLib::colorModeTable()) {
            if (entry.mode == value) {
                return &entry;
            }
        }
        return nullptr;
    }
    return GenChartLib::findColorModeByName(text);
}

// Empty string on success, else what was wrong.
std::string parseOptions(int argc, char** argv, Options& options) {
    std::string_view modeText = "cmyk";
    for (int i = 1; i < argc; ++i) {
        const std::string_view arg = argv[i];
        if (arg == "--help" || arg == "-h") {
            options.help = true;
        } else if (arg == "--mode") {
            if (i + 1 == argc) {
                return "--mode needs a value";
            }
            modeText = argv[++i];
        } else if (arg.substr(0, 7) == "--mode=") {
            modeText = arg.substr(7);
        } else if (!arg.empty() && arg[0] == '-') {
            return "unknown option '" + std::string(arg) + "'";
        } else if (options.reference.empty()) {
            options.reference = std::string(arg);
        } else {
            return "more than one reference file given";
        }
    }
    if (options.help) {
        return {};
    }
    if (options.reference.empty()) {
        return "no reference file given";
    }
    options.mode = modeNamed(modeText);
    if (options.mode == nullptr) {
        return "unknown colour mode '" + std::string(modeText) + "'";
    }
    return {};
}

void writeKeywords(const CgatsReader& r, Json& json) {
    struct Integer {
        const char* name;
        std::int32_t value;
        std::int32_t unset;
    };
    const Integer integers[] = {
        {"NUMBER_OF_SETS", r.numberOfSets, -1},
        {"NUMBER_OF_STRIPS", r.numberOfStrips, -1},
        {"NUMBER_OF_COLS", r.numberOfCols, -1},
        {"PATCHES_PER_PAGE", r.patchesPerPage, -1},
        {"DEVICE", r.device, -1},
        {"BORDER_PATCHES", r.borderPatches, -1},
        {"VERTICAL_MEAS", r.verticalMeas, -1},
        {"PATCH_SIZE_X", r.patchSizeX, -1},
        {"PATCH_SIZE_Y", r.patchSizeY, -1},
        {"GAP_SIZE", r.gapSize, -1},
        {"MEASURE_ORIENTATION", r.measureOrientation, 0},
        {"UV_CUT_MODE", r.uvCutMode, -1},
        {"ZEBRA_RULER_MODE", r.zebraRulerMode, -1},
        {"LOWRES", r.lowres, -1},
        {"ISIS_XL_FORMAT", r.isisXlFormat, -1},
        {"APERTURESIZE", r.apertureSize, -1},
        {"RANDOMIZED_PATCHES", r.randomizedPatches, -1},
        {"PRINTERID", r.printerId, -1},
        {"USE_RANDOMIZED_REFERENCEFILE", r.useRandomizedReference, 0},
    };
    json.raw("  \"keywords\": {");
    const char* separator = "\n    ";
    for (const Integer& entry : integers) {
        if (entry.value != entry.unset) {
            json.raw(separator);
            json.key(entry.name);
            json.number(entry.value);
            separator = ",\n    ";
        }
    }
    const std::pair<const char*, const std::string*> texts[] = {
        {"TARGET_ID", &r.targetId}, {"TARGET", &r.target}, {"LAYOUT_ID", &r.layoutId}};
    for (const auto& [name, value] : texts) {
        if (!value->empty()) {
            json.raw(separator);
            json.key(name);
            json.string(*value);
            separator = ",\n    ";
        }
    }
    if (r.hasProofJob) {
        json.raw(separator);
        json.key("PROOFJOB");
        json.string(r.proofJob);
    }
    json.raw("\n  },\n");
}

void writeHeader(const CgatsReader& r, const ColorModeEntry& mode, const std::string& path,
                 Json& json) {
    json.raw("{\n  ");
    json.key("file");
    json.string(path);
    json.raw(",\n  ");
    json.key("mode");
    json.string(mode.shortName);
    json.raw(",\n  ");
    json.key("modeNumber");
    json.number(mode.mode);
    json.raw(",\n");
    writeKeywords(r, json);
    json.raw("  ");
    json.key("fields");
    json.strings(r.fieldNames);
    json.raw(",\n  ");
    json.key("numberOfSets");
    json.number(static_cast<long long>(r.rows.size()));
    json.raw(",\n  \"spots\": [");
    for (std::size_t i = 0; i < r.spotKeys.size(); ++i) {
        json.raw(i == 0 ? "{" : ", {");
        json.key("key");
        json.string(r.spotKeys[i]);
        json.raw(", ");
        json.key("name");
        json.string(r.spotNames[i]);
        json.raw("}");
    }
    json.raw("],\n  ");
    json.key("spotColorFormat");
    json.strings(r.spotColorFormat);
    json.raw(",\n  \"deviceN\": [");
    bool first = true;
    for (std::size_t i = 0; i < r.deviceNCmyk.size(); ++i) {
        if (r.deviceNCmyk[i][0] == -1 && r.channelNames[i].empty()) {
            continue;
        }
        json.raw(first ? "{" : ", {");
        json.key("channel");
        json.number(static_cast<long long>(i + 1));
        json.raw(", ");
        json.key("cmyk");
        json.numbers(r.deviceNCmyk[i]);
        json.raw(", ");
        json.key("name");
        json.string(r.channelNames[i]);
        json.raw("}");
        first = false;
    }
    json.raw("],\n  \"spectral\": {");
    json.key("scale");
    json.raw(GenChartLib::formatNumber(r.spectralScale, 0));
    json.raw(", ");
    json.key("wavelengths");
    std::vector<std::int32_t> wavelengths;
    for (const auto& entry : r.spectralByWavelength) {
        wavelengths.push_back(entry.first);
    }
    json.numbers(wavelengths);
    json.raw("},\n");
}

// One array per patch: its channel bytes (spot: the spot channel bytes).
// CMYK-based patches that carry spot tints get a second list of those.
template <class W>
void writePatches(const std::vector<typename W::PixelColor>& patches, Json& json) {
    constexpr bool kSpot = std::is_same_v<W, GenChartLib::WriteSpotColor>;
    json.raw("  \"patches\": [");
    bool anyTints = false;
    for (std::size_t i = 0; i < patches.size(); ++i) {
        json.raw(i == 0 ? "\n    " : ",\n    ");
        if constexpr (kSpot) {
            json.numbers(patches[i].extra);
        } else {
            json.numbers(patches[i].channels);
            anyTints = anyTints || !patches[i].extra.empty();
        }
    }
    json.raw(patches.empty() ? "]" : "\n  ]");
    if (anyTints) {
        json.raw(",\n  \"spotTints\": [");
        for (std::size_t i = 0; i < patches.size(); ++i) {
            json.raw(i == 0 ? "\n    " : ",\n    ");
            json.numbers(patches[i].extra);
        }
        json.raw("\n  ]");
    }
    json.raw("\n}\n");
}

template <class W>
std::string inspect(const std::string& path, const ColorModeEntry& mode) {
    CgatsReader reader;
    std::vector<typename W::PixelColor> patches;
    GenChartLib::PatchLoader<W>::load(reader, path, patches);
    Json json;
    writeHeader(reader, mode, path, json);
    writePatches<W>(patches, json);
    return json.text();
}

std::string inspectAs(WriterKind writer, const std::string& path, const ColorModeEntry& mode) {
    switch (writer) {
        case WriterKind::CMYK:
            return inspect<GenChartLib::WriteCMYK>(path, mode);
        case WriterKind::CMYKO:
            return inspect<GenChartLib::WriteCMYKO>(path, mode);
        case WriterKind::CMYKOG:
            return inspect<GenChartLib::WriteCMYKOG>(path, mode);
        case WriterKind::CMYKRGB:
            return inspect<GenChartLib::WriteCMYKRGB>(path, mode);
        case WriterKind::LAB:
            return inspect<GenChartLib::WriteLAB>(path, mode);
        case WriterKind::RGB:
            return inspect<GenChartLib::WriteRGB>(path, mode);
        case WriterKind::SpotColor:
            break;
    }
    return inspect<GenChartLib::WriteSpotColor>(path, mode);
}

}  // namespace

int runInspectCommand(int argc, char** argv) {
    Options options;
    const std::string problem = parseOptions(argc, argv, options);
    if (options.help) {
        std::fputs(kUsage, stdout);
        return 0;
    }
    if (!problem.empty()) {
        std::fprintf(stderr, "orvochart inspect: %s\n\n%s", problem.c_str(), kUsage);
        return 2;
    }
    try {
        const std::string json = inspectAs(options.mode->writer, options.reference, *options.mode);
        std::fwrite(json.data(), 1, json.size(), stdout);
        return 0;
    } catch (GenChartLib::eColorCtrlErrors code) {
        std::fprintf(stderr, "orvochart inspect: %s: error %d: %s\n", options.reference.c_str(),
                     static_cast<int>(code), GenChartLib::errorText(code));
    } catch (const std::exception& e) {
        std::fprintf(stderr, "orvochart inspect: %s: %s\n", options.reference.c_str(), e.what());
    }
    return 1;
}
