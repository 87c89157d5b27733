// orvochart color: the library's colour conversions and colour differences on
// numbers from the command line, and the spectral evaluation of a CGATS
// measurement file (XYZ, Lab and densities per set).
#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <exception>
#include <iterator>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "Commands.h"
#include "OrvoChartInterface.h"
#include "base/ErrorCodes.h"
#include "cgats/CgatsReader.h"
#include "cgats/Numbers.h"
#include "color/Conversions.h"

namespace {

const char* const kUsage =
    "usage: orvochart color SUBCOMMAND NUMBERS... [options]\n"
    "       orvochart color spectral FILE [--illuminant N] [--observer N] [--density N]\n"
    "\n"
    "Colour differences (first colour = reference where the formula is asymmetric):\n"
    "  de76   L1 a1 b1 L2 a2 b2   CIE76\n"
    "  de94   L1 a1 b1 L2 a2 b2   CIE94, graphic-arts weights\n"
    "  de2000 L1 a1 b1 L2 a2 b2   CIEDE2000 (kL = kC = kH = 1)\n"
    "  cmc    L1 a1 b1 L2 a2 b2   CMC(1:1)\n"
    "  dh     L1 a1 b1 L2 a2 b2   hue difference Delta H\n"
    "  df     L1 a1 b1 L2 a2 b2   difference in the a-b plane\n"
    "\n"
    "Conversions:\n"
    "  lab2xyz L a b [--white W]                 Lab to XYZ (2 degree white W)\n"
    "  xyz2lab X Y Z [--white W] [--observer O]  XYZ to Lab\n"
    "  lab2lch L a b                              Lab to LCh\n"
    "  lch2lab L C h                              LCh to Lab\n"
    "  rgb2xyz R G B                              sRGB (0..255) to XYZ (D65)\n"
    "  rgb2lab R G B                              sRGB to Lab (D50 white)\n"
    "  xyz2rgb X Y Z [--space S]                  XYZ to display RGB\n"
    "  lab2rgb L a b                              D50 Lab to sRGB\n"
    "  cmyk2rgb C M Y K                           screen preview of ink percentages\n"
    "\n"
    "Spectral evaluation:\n"
    "  spectral FILE   reads a CGATS file with spectral columns (SPECTRAL_NM_380,\n"
    "                  NM380, SPECTRAL_380, ...) and prints per set: XYZ, Lab\n"
    "                  against the perfect white under the same illuminant and\n"
    "                  observer, and the red, green, blue and visual densities\n"
    "                  (sets on the 380..730 nm, 10 nm grid only).\n"
    "\n"
    "options:\n"
    "  --white W       white point: 0 D50 (default), 1 D65, 2 C, 3 A\n"
    "  --observer O    xyz2lab: 1 = 10 degree, else 2 degree; spectral: 0 or 3 CIE\n"
    "                  1931 2 degree (default 3), 4 CIE 1964 10 degree, 5..8\n"
    "                  abridged tables\n"
    "  --space S       0 wide-gamut (default), 1 sRGB, 2 NTSC\n"
    "  --illuminant N  0 or 5 D50 (default 5), 3 A, 4 C, 6 D65, 7 equal energy,\n"
    "                  8 F2, 9 F7, 10 F11, 11 D55\n"
    "  --density N     0 status A, 1 status M, 2 status T, 3 status E (default),\n"
    "                  4..6 narrow band\n"
    "  --help          show this text\n"
    "\n"
    "Numbers use a full stop as decimal separator. A usage error exits with 2, a\n"
    "file that cannot be read with 1.\n";

constexpr int kUsageError = 2;
constexpr int kFileError = 1;
constexpr int kDecimals = 4;

// Four decimals; values that round to zero print without a sign.
std::string fixed(double v) {
    return GenChartLib::formatNumber(std::fabs(v) < 0.5e-4 ? 0.0 : v, kDecimals);
}

std::optional<double> parseNumber(std::string_view text) {
    double value = 0.0;
    const char* begin = text.data();
    const char* end = begin + text.size();
    if (begin != end && *begin == '+') {
        ++begin;
    }
    const auto [next, ec] = std::from_chars(begin, end, value);
    if (ec != std::errc() || next != end) {
        return std::nullopt;
    }
    return value;
}

// The command line after the subcommand: positional numbers and options.
struct Arguments {
    std::vector<double> numbers;
    std::string file;
    unsigned white = 0;
    std::optional<unsigned> observer;
    unsigned space = 0;
    unsigned illuminant = 5;
    OrvoLong density = 3;
    bool help = false;
    std::string problem;
};

bool parseUnsigned(std::string_view text, unsigned& out) {
    const std::optional<double> v = parseNumber(text);
    if (!v || *v < 0 || *v > 1000 || *v != static_cast<double>(static_cast<unsigned>(*v))) {
        return false;
    }
    out = static_cast<unsigned>(*v);
    return true;
}

Arguments parseArguments(int argc, char** argv, bool wantsFile) {
    Arguments args;
    for (int i = 2; i < argc && args.problem.empty(); ++i) {
        const std::string_view arg = argv[i];
        if (arg == "--help" || arg == "-h") {
            args.help = true;
            continue;
        }
        if (arg.size() > 2 && arg.substr(0, 2) == "--") {
            if (i + 1 >= argc) {
                args.problem = "option " + std::string(arg) + " needs a value";
                break;
            }
            const std::string_view value = argv[++i];
            unsigned n = 0;
            if (!parseUnsigned(value, n)) {
                args.problem = "option " + std::string(arg) + ": '" + std::string(value) +
                               "' is not a whole number";
            } else if (arg == "--white") {
                args.white = n;
            } else if (arg == "--observer") {
                args.observer = n;
            } else if (arg == "--space") {
                args.space = n;
            } else if (arg == "--illuminant") {
                args.illuminant = n;
            } else if (arg == "--density") {
                args.density = static_cast<OrvoLong>(n);
            } else {
                args.problem = "unknown option " + std::string(arg);
            }
            continue;
        }
        if (wantsFile && args.file.empty()) {
            args.file = arg;
            continue;
        }
        const std::optional<double> v = parseNumber(arg);
        if (!v) {
            args.problem = "'" + std::string(arg) + "' is not a number";
        } else {
            args.numbers.push_back(*v);
        }
    }
    return args;
}

using DifferenceFunction = double (*)(double, double, double, double, double, double);

struct Difference {
    const char* name;
    DifferenceFunction function;
};

constexpr Difference kDifferences[] = {
    {"de76", GetDeltaE_CIE76}, {"de94", GetDeltaE_CIE94}, {"de2000", GetDeltaE_CIE2000},
    {"cmc", GetDeltaE_CIECMC}, {"dh", GetDeltaH},         {"df", GetDeltaF},
};

void printTriple(const char* n1, double v1, const char* n2, double v2, const char* n3, double v3) {
    std::printf("%s=%s %s=%s %s=%s\n", n1, fixed(v1).c_str(), n2, fixed(v2).c_str(), n3,
                fixed(v3).c_str());
}

void printRgb(const tagRGBRecord& rgb) {
    std::printf("R=%d G=%d B=%d\n", static_cast<int>(rgb.R), static_cast<int>(rgb.G),
                static_cast<int>(rgb.B));
}

OrvoLong rgbChannel(double v) {
    return GenChartLib::truncToLong(v);
}

// Runs one conversion on the numbers; false for an unknown subcommand.
bool runConversion(std::string_view verb, const Arguments& a) {
    const std::vector<double>& n = a.numbers;
    if (verb == "lab2xyz") {
        double X = 0, Y = 0, Z = 0;
        GetXYZfromLAB(n[0], n[1], n[2], &X, &Y, &Z, a.white);
        printTriple("X", X, "Y", Y, "Z", Z);
    } else if (verb == "xyz2lab") {
        double L = 0, A = 0, B = 0;
        GetLABfromXYZ_Ex(n[0], n[1], n[2], &L, &A, &B, a.white, a.observer.value_or(0));
        printTriple("L", L, "a", A, "b", B);
    } else if (verb == "lab2lch") {
        const LCHRecord lch = GetLCHFromLab(LabRecord{n[0], n[1], n[2]});
        printTriple("L", lch.L, "C", lch.C, "h", lch.h);
    } else if (verb == "lch2lab") {
        const LabRecord lab = GetLabFromLCH(LCHRecord{n[0], n[1], n[2]});
        printTriple("L", lab.L, "a", lab.a, "b", lab.b);
    } else if (verb == "rgb2xyz") {
        const ColorTriplex xyz =
            GetXYZFromRGB(tagRGBRecord{rgbChannel(n[0]), rgbChannel(n[1]), rgbChannel(n[2])});
        printTriple("X", xyz.X, "Y", xyz.Y, "Z", xyz.Z);
    } else if (verb == "rgb2lab") {
        const LabRecord lab =
            GetLABFromRGB(tagRGBRecord{rgbChannel(n[0]), rgbChannel(n[1]), rgbChannel(n[2])});
        printTriple("L", lab.L, "a", lab.a, "b", lab.b);
    } else if (verb == "xyz2rgb") {
        OrvoLong R = 0, G = 0, B = 0;
        GetRGBfromXYZ(n[0], n[1], n[2], &R, &G, &B, a.space);
        printRgb(tagRGBRecord{R, G, B});
    } else if (verb == "lab2rgb") {
        printRgb(GetRGBFromLab(LabRecord{n[0], n[1], n[2]}));
    } else if (verb == "cmyk2rgb") {
        printRgb(GetRGBFromCMYK(ColorQuadruple{n[0], n[1], n[2], n[3]}));
    } else {
        return false;
    }
    return true;
}

std::size_t numbersNeeded(std::string_view verb) {
    for (const Difference& d : kDifferences) {
        if (verb == d.name) {
            return 6;
        }
    }
    return verb == "cmyk2rgb" ? 4 : 3;
}

bool isConversion(std::string_view verb) {
    constexpr const char* kConversions[] = {"lab2xyz", "xyz2lab", "lab2lch", "lch2lab", "rgb2xyz",
                                            "rgb2lab", "xyz2rgb", "lab2rgb", "cmyk2rgb"};
    for (const char* name : kConversions) {
        if (verb == name) {
            return true;
        }
    }
    return false;
}

// --- spectral ---------------------------------------------------------------

// The spectral columns of a file as one wavelength grid: the first
// wavelength, the step and the columns, at most the 36 a SpectRecord holds
// (from 380 nm when the file has it, so the density grid is kept).
struct SpectralGrid {
    OrvoLong startNm = 0;
    OrvoLong stepNm = 0;
    std::vector<std::int32_t> columns;
    std::string note;
};

std::optional<SpectralGrid> spectralGrid(const GenChartLib::CgatsReader& reader,
                                         std::string& problem) {
    const auto& bands = reader.spectralByWavelength;
    if (bands.empty()) {
        problem = "no spectral columns";
        return std::nullopt;
    }
    std::vector<std::pair<std::int32_t, std::int32_t>> all(bands.begin(), bands.end());
    const std::int32_t step = all.size() > 1 ? all[1].first - all[0].first : 10;
    for (std::size_t i = 1; i < all.size(); ++i) {
        if (all[i].first - all[i - 1].first != step || step <= 0) {
            problem = "spectral columns are not equally spaced (" +
                      std::to_string(all[i - 1].first) + " nm, " + std::to_string(all[i].first) +
                      " nm)";
            return std::nullopt;
        }
    }
    constexpr std::size_t kMaxBands = std::size(SpectRecord{}.value);
    std::size_t first = 0;
    if (all.size() > kMaxBands) {
        while (first < all.size() && all[first].first < 380) {
            ++first;
        }
        first = std::min(first, all.size() - kMaxBands);
    }
    const std::size_t count = std::min(all.size() - first, kMaxBands);
    SpectralGrid grid;
    grid.startNm = all[first].first;
    grid.stepNm = step;
    for (std::size_t i = first; i < first + count; ++i) {
        grid.columns.push_back(all[i].second);
    }
    if (count < all.size()) {
        grid.note = "# using " + std::to_string(grid.startNm) + ".." +
                    std::to_string(all[first + count - 1].first) + " nm of " +
                    std::to_string(all.front().first) + ".." + std::to_string(all.back().first) +
                    " nm\n";
    }
    return grid;
}

SpectRecord spectrumOfSet(const GenChartLib::CgatsReader& reader, const SpectralGrid& grid,
                          std::int32_t set) {
    SpectRecord s{};
    s.start = grid.startNm;
    s.step = grid.stepNm;
    s.count = static_cast<OrvoLong>(grid.columns.size());
    for (std::size_t i = 0; i < grid.columns.size(); ++i) {
        s.value[i] =
            GenChartLib::parseDouble(reader.valueAt(set, grid.columns[i])) / reader.spectralScale;
    }
    return s;
}

std::string sampleName(const GenChartLib::CgatsReader& reader, std::int32_t set) {
    for (const char* name : {"SAMPLE_ID", "SAMPLE_NAME", "SampleID"}) {
        const std::int32_t column = reader.columnOf(name);
        if (column >= 0) {
            return reader.valueAt(set, column);
        }
    }
    return std::to_string(set + 1);
}

int usageError(const std::string& problem) {
    std::fprintf(stderr, "orvochart color: %s\n(orvochart color --help lists the subcommands)\n",
                 problem.c_str());
    return kUsageError;
}

void printSpectralTable(const GenChartLib::CgatsReader& reader, const SpectralGrid& grid,
                        const Arguments& a, unsigned observer, const ColorTriplex& whiteXyz) {
    std::printf("# illuminant %u, observer %u, density type %d; white X=%s Y=%s Z=%s\n%s",
                a.illuminant, observer, static_cast<int>(a.density), fixed(whiteXyz.X).c_str(),
                fixed(whiteXyz.Y).c_str(), fixed(whiteXyz.Z).c_str(), grid.note.c_str());
    std::printf("SET\tX\tY\tZ\tL\ta\tb\tD_R\tD_G\tD_B\tD_V\n");
    const auto sets = static_cast<std::int32_t>(reader.rows.size());
    for (std::int32_t set = 0; set < sets; ++set) {
        const SpectRecord s = spectrumOfSet(reader, grid, set);
        ColorTriplex xyz{};
        GetXYZfromSPECTRAL_Ex(s, &xyz, a.illuminant, observer);
        const LabRecord lab = GenChartLib::labFromXyz(xyz, whiteXyz);
        const ColorQuadruple d = GetDesityfromSPECTRAL(a.density, s);
        std::printf("%s\t%s\t%s\t%s\t%s\t%s\t%s", sampleName(reader, set).c_str(),
                    fixed(xyz.X).c_str(), fixed(xyz.Y).c_str(), fixed(xyz.Z).c_str(),
                    fixed(lab.L).c_str(), fixed(lab.a).c_str(), fixed(lab.b).c_str());
        if (d.c < 0.0) {
            std::printf("\t-\t-\t-\t-\n");  // not on the density grid
        } else {
            std::printf("\t%s\t%s\t%s\t%s\n", fixed(d.c).c_str(), fixed(d.m).c_str(),
                        fixed(d.y).c_str(), fixed(d.k).c_str());
        }
    }
}

int runSpectral(const Arguments& a) {
    const unsigned observer = a.observer.value_or(3);
    SpectRecord white{};
    for (double& v : white.value) {
        v = 1.0;
    }
    white.start = 380;
    white.step = 10;
    white.count = 36;
    ColorTriplex whiteXyz{};
    if (GetXYZfromSPECTRAL_Ex(white, &whiteXyz, a.illuminant, observer) != 0) {
        return usageError("spectral: unknown illuminant " + std::to_string(a.illuminant) +
                          " or observer " + std::to_string(observer));
    }
    if (GetDesityfromSPECTRAL(a.density, white).c != 0.0) {
        return usageError("spectral: unknown density type " + std::to_string(a.density));
    }
    GenChartLib::CgatsReader reader;
    std::string problem;
    try {
        reader.load(a.file);
        if (const std::optional<SpectralGrid> grid = spectralGrid(reader, problem)) {
            printSpectralTable(reader, *grid, a, observer, whiteXyz);
            return 0;
        }
    } catch (GenChartLib::eColorCtrlErrors code) {
        problem =
            "error " + std::to_string(static_cast<int>(code)) + ": " + GenChartLib::errorText(code);
    } catch (const std::exception& e) {
        problem = e.what();
    }
    std::fprintf(stderr, "orvochart color spectral: %s: %s\n", a.file.c_str(), problem.c_str());
    return kFileError;
}

}  // namespace

int runColorCommand(int argc, char** argv) {
    if (argc < 2) {
        return usageError("missing subcommand");
    }
    const std::string_view verb = argv[1];
    if (verb == "--help" || verb == "-h") {
        std::fputs(kUsage, stdout);
        return 0;
    }
    const bool spectral = verb == "spectral";
    const Arguments args = parseArguments(argc, argv, spectral);
    if (args.help) {
        std::fputs(kUsage, stdout);
        return 0;
    }
    if (!args.problem.empty()) {
        return usageError(args.problem);
    }
    if (spectral) {
        if (args.file.empty() || !args.numbers.empty()) {
            return usageError("spectral takes one file name");
        }
        return runSpectral(args);
    }
    const bool difference = std::any_of(std::begin(kDifferences), std::end(kDifferences),
                                        [&](const Difference& d) { return verb == d.name; });
    if (!difference && !isConversion(verb)) {
        return usageError("unknown subcommand '" + std::string(verb) + "'");
    }
    if (args.numbers.size() != numbersNeeded(verb)) {
        return usageError(std::string(verb) + " takes " + std::to_string(numbersNeeded(verb)) +
                          " numbers, got " + std::to_string(args.numbers.size()));
    }
    for (const Difference& d : kDifferences) {
        if (verb == d.name) {
            const std::vector<double>& n = args.numbers;
            std::printf("%s\n", fixed(d.function(n[0], n[1], n[2], n[3], n[4], n[5])).c_str());
            return 0;
        }
    }
    runConversion(verb, args);
    return 0;
}
