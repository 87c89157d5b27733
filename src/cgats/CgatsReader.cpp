#include "cgats/CgatsReader.h"

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <fstream>
#include <istream>
#include <limits>
#include <memory>
#include <utility>

#include "base/ErrorCodes.h"
#include "cgats/Numbers.h"
#include "outside/DebugLog.h"

namespace GenChartLib {

namespace {

constexpr const char* kLogFormat = "CgatsReader/load: %s";
constexpr std::size_t kReadChunkBytes = 1u << 16;

[[noreturn]] void failLimit(const char* reason) {
    debugLog(kLogFormat, 0, 0, reason);
    throw ERR_INVALID_REFERENCE;
}

bool isBlank(char c) {
    return c == ' ' || c == '\t';
}

bool startsWith(std::string_view text, std::string_view prefix) {
    return text.substr(0, prefix.size()) == prefix;
}

std::string_view trimFront(std::string_view text, std::string_view blanks) {
    const auto first = text.find_first_not_of(blanks);
    return first == std::string_view::npos ? std::string_view{} : text.substr(first);
}

std::string_view trimBack(std::string_view text, std::string_view blanks) {
    const auto last = text.find_last_not_of(blanks);
    return last == std::string_view::npos ? std::string_view{} : text.substr(0, last + 1);
}

// Channel number 1..8 written as the single digit `text`, or 0.
int channelDigit(std::string_view text) {
    return text.size() == 1 && text[0] >= '1' && text[0] <= '8' ? text[0] - '0' : 0;
}

// A decimal number truncated toward zero; NaN and values beyond the 32-bit
// range are kept inside it instead of reaching an undefined conversion.
std::int32_t truncatedInt(double value) {
    if (std::isnan(value)) {
        return 0;
    }
    constexpr double kMin = std::numeric_limits<std::int32_t>::min();
    constexpr double kMax = std::numeric_limits<std::int32_t>::max();
    return static_cast<std::int32_t>(std::clamp(std::trunc(value), kMin, kMax));
}

// ORANGE -> Orange: every letter after the first in lower case.
std::string displayName(std::string_view token) {
    std::string name(token);
    for (std::size_t i = 1; i < name.size(); ++i) {
        if (name[i] >= 'A' && name[i] <= 'Z') {
            name[i] = static_cast<char>(name[i] + ('a' - 'A'));
        }
    }
    return name;
}

void splitTokens(std::string_view line, std::vector<std::string_view>& tokens) {
    tokens.clear();
    std::size_t i = 0;
    const std::size_t n = line.size();
    while (i < n) {
        while (i < n && isBlank(line[i])) {
            ++i;
        }
        if (i == n) {
            break;
        }
        const std::size_t start = i;
        while (i < n && !isBlank(line[i])) {
            ++i;
        }
        if (tokens.size() == kMaxFieldsPerLine) {
            failLimit("a line holds more fields than the reader accepts");
        }
        tokens.push_back(line.substr(start, i - start));
    }
}

// Ink channel of an n-colour column: <d>CLR_<k> or PC<d>_<k> with d 5..8 and
// k 1..d gives k; anything else 0.
int multiInkChannel(std::string_view name) {
    int colours = 0;
    std::string_view rest;
    if (name.size() == 6 && name.substr(1, 4) == "CLR_") {
        colours = name[0] - '0';
        rest = name.substr(5);
    } else if (name.size() == 5 && startsWith(name, "PC") && name[3] == '_') {
        colours = name[2] - '0';
        rest = name.substr(4);
    }
    const int channel = channelDigit(rest);
    return colours >= 5 && colours <= 8 && channel >= 1 && channel <= colours ? channel : 0;
}

// What a column name says about a wavelength: whether it names one, the
// wavelength in nanometres, and whether the spelling marks percent values.
struct WavelengthName {
    bool isSpectral = false;
    bool percent = false;
    std::int32_t wavelength = 0;
};

WavelengthName wavelengthMapName(std::string_view name) {
    if (startsWith(name, "SPECTRAL_NM_")) {
        return {true, true, parseInt(name.substr(12))};
    }
    for (std::string_view prefix : {"SPECTRAL_NM", "SPECTRAL_", "NM"}) {
        if (startsWith(name, prefix)) {
            return {true, false, parseInt(name.substr(prefix.size()))};
        }
    }
    return {};
}

WavelengthName spectralListName(std::string_view name) {
    for (std::string_view prefix : {"SP_", "SPECTRAL_NM_", "NM", "SPECTRAL_"}) {
        if (startsWith(name, prefix)) {
            return {true, false, parseInt(name.substr(prefix.size()))};
        }
    }
    return {};
}

}  // namespace

// Delivers the file one line at a time, applying the line rules: blank lines
// skipped, quotes tracked, upper case outside quotes, commas as full stops.
class CgatsReader::LineSource {
  public:
    explicit LineSource(std::istream& in) : in_(in), buffer_(new char[kReadChunkBytes]) {}

    bool atEnd() { return pos_ == end_ && !refill(); }

    // The next line; empty only at end of input or at a zero byte that
    // starts a line.
    void readLine(std::string& line) {
        line.clear();
        bool inQuotes = false;
        while (pos_ < end_ || refill()) {
            while (pos_ < end_) {
                char c = buffer_[pos_++];
                if (c == '\r' || c == '\n') {
                    if (line.empty()) {
                        continue;
                    }
                    return;
                }
                if (c == '"') {
                    inQuotes = !inQuotes;
                } else if (c == '\0' && !inQuotes) {
                    return;
                } else if (c == ',') {
                    c = '.';
                } else if (!inQuotes && c >= 'a' && c <= 'z') {
                    c = static_cast<char>(c - ('a' - 'A'));
                }
                if (line.size() == kMaxLineBytes) {
                    failLimit("a line is longer than the reader accepts");
                }
                line.push_back(c);
            }
        }
    }

  private:
    bool refill() {
        pos_ = 0;
        end_ = 0;
        if (!in_) {
            return false;
        }
        if (bytesRead_ >= kMaxReadBytes) {
            failLimit("the reference is longer than the reader accepts");
        }
        in_.read(buffer_.get(), static_cast<std::streamsize>(kReadChunkBytes));
        end_ = static_cast<std::size_t>(in_.gcount());
        bytesRead_ += end_;
        return end_ > 0;
    }

    std::istream& in_;
    std::unique_ptr<char[]> buffer_;
    std::size_t pos_ = 0;
    std::size_t end_ = 0;
    std::uint64_t bytesRead_ = 0;
};

CgatsReader::CgatsReader() {
    clearColumnCache();
    for (auto& makeUp : deviceNCmyk) {
        makeUp.fill(-1);
    }
    channelNames.resize(8);
}

void CgatsReader::clearColumnCache() {
    cmykColumn.fill(-1);
    inkColumn.fill(-1);
    rgbColumn.fill(-1);
    densityColumn.fill(-1);
    xyzColumn.fill(-1);
    labColumn.fill(-1);
    drgbColumn = -1;
}

void CgatsReader::load(const std::string& path) {
    resetForLoad();
    // Only a regular file has an end: a device or a pipe could feed the
    // reader forever, and opening a pipe waits for a writer that may never come.
    std::error_code error;
    const auto status = std::filesystem::status(path, error);
    if (std::filesystem::exists(status) && !std::filesystem::is_regular_file(status)) {
        debugLog(kLogFormat, 0, 0, ("the reference is not a regular file: " + path).c_str());
        throw ERR_OPEN_DATA;
    }
    std::ifstream file(path, std::ios::binary);
    if (!file.is_open()) {
        throw ERR_OPEN_DATA;
    }
    LineSource source(file);
    loadFrom(source);
}

void CgatsReader::load(std::istream& in) {
    resetForLoad();
    LineSource source(in);
    loadFrom(source);
}

// A reader is loaded once; loading it again starts from a fresh reader so
// that nothing of the earlier file survives.
void CgatsReader::resetForLoad() {
    *this = CgatsReader();
}

void CgatsReader::loadFrom(LineSource& source) {
    std::string line;
    Tokens tokens;
    while (!source.atEnd()) {
        source.readLine(line);
        if (!line.empty() && line[0] == '\xFF') {
            break;
        }
        splitTokens(line, tokens);
        if (scanHeaderLine(source, line, tokens)) {
            readDataBlock(source);
            return;
        }
    }
    throw ERR_BEGIN_DATA_NOT_FOUND;
}

bool CgatsReader::scanHeaderLine(LineSource& source, const std::string& line,
                                 const Tokens& tokens) {
    if (line.size() < 2 || tokens.empty()) {
        return false;
    }
    const std::string_view first = tokens[0];
    if (first == "PROOFJOB" && tokens.size() >= 2) {
        readProofJob(line, tokens);
        return false;
    }
    if (first == "KEYWORD" && tokens.size() >= 3 && startsWith(tokens[1], "\"SPOT_")) {
        readSpotDeclaration(line, false);
        return false;
    }
    if (first == "SPOT_ID" && tokens.size() >= 2) {
        readSpotDeclaration(line, true);
        return false;
    }
    if (first == "BEGIN_TARGET_FORMAT" || first == "BEGIN_REPORTING_FORMAT") {
        const std::string_view endMarker =
            first == "BEGIN_TARGET_FORMAT" ? "END_TARGET_FORMAT" : "END_REPORTING_FORMAT";
        std::string sectionLine;
        Tokens sectionTokens;
        do {
            if (source.atEnd()) {
                throw ERR_BEGIN_DATA_NOT_FOUND;
            }
            source.readLine(sectionLine);
            splitTokens(sectionLine, sectionTokens);
        } while (sectionTokens.empty() || sectionTokens[0] != endMarker);
        return false;
    }
    readDeviceNLine(tokens);
    readProcessColorLine(tokens);
    if (readKeyword(line, tokens)) {
        return false;
    }
    if (first == "BEGIN_DATA_FORMAT") {
        readDataFormat(source);
    } else if (first == "BEGIN_SPOTCOLOR_FORMAT") {
        std::string formatLine;
        Tokens formatTokens;
        source.readLine(formatLine);
        splitTokens(formatLine, formatTokens);
        spotColorFormat.assign(formatTokens.begin(), formatTokens.end());
    } else if (first == "BEGIN_DATA") {
        if (fieldIndex.empty()) {
            throw ERR_NO_DATA_FORMAT;
        }
        return true;
    }
    return false;
}

// PROOFJOB <text>: the rest of the line, trimmed, one pair of enclosing
// double quotes removed.
void CgatsReader::readProofJob(const std::string& line, const Tokens& tokens) {
    const auto afterKeyword = static_cast<std::size_t>(tokens[0].data() - line.data()) + 8;
    std::string_view value = std::string_view(line).substr(afterKeyword);
    value = trimBack(trimFront(value, " \t"), " \t");
    if (value.size() > 1 && value.front() == '"' && value.back() == '"') {
        value = value.substr(1, value.size() - 2);
    }
    hasProofJob = true;
    proofJob = std::string(value);
}

// KEYWORD "SPOT_<n> '<name>'" or SPOT_ID "<n> '<name>'". Both keywords are
// seven letters long.
void CgatsReader::readSpotDeclaration(std::string_view line, bool idForm) {
    std::string_view rest = trimBack(trimFront(line, " \t\r\n"), " \t\r\n");
    rest = trimFront(rest.substr(std::min<std::size_t>(7, rest.size())), " \t");
    if (!rest.empty() && rest.front() == '"') {
        rest.remove_prefix(1);
    }
    const std::string_view key = rest.substr(0, rest.find_first_of(" \t"));
    rest = trimFront(rest.substr(key.size()), " \t");
    if (!rest.empty() && rest.front() == '\'') {
        rest.remove_prefix(1);
    }
    const std::string_view name = rest.substr(0, rest.find_first_of("'\""));
    spotKeys.push_back(idForm ? "SPOT_" + std::string(key) : std::string(key));
    spotNames.emplace_back(name);
}

// DEVICEN_CMYK_CLR_<n> k y m c [NAME]: the make-up is stored from the last
// number to the first.
void CgatsReader::readDeviceNLine(const Tokens& tokens) {
    constexpr std::string_view kPrefix = "DEVICEN_CMYK_CLR_";
    if (tokens.size() < 5 || !startsWith(tokens[0], kPrefix)) {
        return;
    }
    const int channel = channelDigit(tokens[0].substr(kPrefix.size()));
    if (channel == 0) {
        return;
    }
    auto& makeUp = deviceNCmyk[static_cast<std::size_t>(channel - 1)];
    for (std::size_t i = 0; i < 4; ++i) {
        makeUp[i] = truncatedInt(parseDouble(tokens[4 - i]));
    }
    if (tokens.size() == 6) {
        channelNames[static_cast<std::size_t>(channel - 1)] = displayName(tokens[5]);
    }
}

// PROCESSCOLOR_ID <n> "<word> <Name>": the name without its closing quote.
void CgatsReader::readProcessColorLine(const Tokens& tokens) {
    if (tokens.size() != 4 || tokens[0] != "PROCESSCOLOR_ID") {
        return;
    }
    const int channel = channelDigit(tokens[1]);
    if (channel != 0) {
        const std::string_view name = tokens[3];
        channelNames[static_cast<std::size_t>(channel - 1)] = name.substr(0, name.size() - 1);
    }
}

bool CgatsReader::readKeyword(const std::string& line, const Tokens& tokens) {
    if (tokens.size() < 2) {
        return false;
    }
    const std::string_view keyword = tokens[0];
    if (keyword == "TARGET_ID") {
        targetId = tokens[1];
        return true;
    }
    if (keyword == "TARGET") {
        // Everything after the keyword, blanks included.
        target = line.substr(static_cast<std::size_t>(tokens[0].data() - line.data()) + 6);
        return true;
    }
    if (keyword == "LAYOUT_ID") {
        layoutId = tokens[1];
        return true;
    }
    static const std::pair<std::string_view, std::int32_t CgatsReader::*> kIntegers[] = {
        {"UV_CUT_MODE", &CgatsReader::uvCutMode},
        {"ZEBRA_RULER_MODE", &CgatsReader::zebraRulerMode},
        {"LOWRES", &CgatsReader::lowres},
        {"ISIS_XL_FORMAT", &CgatsReader::isisXlFormat},
        {"PRINTERID", &CgatsReader::printerId},
        {"USE_RANDOMIZED_REFERENCEFILE", &CgatsReader::useRandomizedReference},
        {"APERTURESIZE", &CgatsReader::apertureSize},
        {"RANDOMIZED_PATCHES", &CgatsReader::randomizedPatches},
        {"NUMBER_OF_STRIPS", &CgatsReader::numberOfStrips},
        {"NUMBER_OF_COLS", &CgatsReader::numberOfCols},
        {"NUMBER_OF_SETS", &CgatsReader::numberOfSets},
        {"PATCHES_PER_PAGE", &CgatsReader::patchesPerPage},
        {"DEVICE", &CgatsReader::device},
        {"BORDER_PATCHES", &CgatsReader::borderPatches},
        {"VERTICAL_MEAS", &CgatsReader::verticalMeas},
        {"PATCH_SIZE_X", &CgatsReader::patchSizeX},
        {"PATCH_SIZE_Y", &CgatsReader::patchSizeY},
        {"GAP_SIZE", &CgatsReader::gapSize},
        {"MEASURE_ORIENTATION", &CgatsReader::measureOrientation},
    };
    for (const auto& [name, field] : kIntegers) {
        if (keyword == name) {
            this->*field = parseInt(tokens[1]);
            // A negative count would be mistaken for "not given" later on.
            if (field == &CgatsReader::numberOfSets && numberOfSets <= 0) {
                throw ERR_ZERO_SETS;
            }
            return true;
        }
    }
    return false;
}

void CgatsReader::readDataFormat(LineSource& source) {
    std::string line;
    Tokens tokens;
    source.readLine(line);
    splitTokens(line, tokens);
    if (tokens.empty() || tokens[0] == "END_DATA_FORMAT") {
        throw ERR_NO_DATA_FORMAT;
    }
    // A second data format replaces the first one completely.
    clearColumnCache();
    fieldColumns.clear();
    spectralColumns.clear();
    fieldIndex.clear();
    spectralByWavelength.clear();
    spectralScale = 1.0;

    fieldCount = static_cast<std::int32_t>(tokens.size());
    fieldNames.assign(tokens.begin(), tokens.end());
    for (std::size_t i = 0; i < fieldNames.size(); ++i) {
        analyseColumn(static_cast<std::int32_t>(i), fieldNames[i]);
    }
    std::stable_sort(spectralColumns.begin(), spectralColumns.end(),
                     [](const SpectralFieldRecord& a, const SpectralFieldRecord& b) {
                         return a.wavelength < b.wavelength;
                     });
}

void CgatsReader::analyseColumn(std::int32_t column, const std::string& name) {
    static const std::pair<std::string_view, int> kProcess[] = {
        {"CMYK_C", 0}, {"CMY_C", 0}, {"CMYK_M", 1}, {"CMY_M", 1},
        {"CMYK_Y", 2}, {"CMY_Y", 2}, {"CMYK_K", 3},
    };
    static const std::pair<std::string_view, std::int32_t* (*)(CgatsReader&)> kMeasured[] = {
        {"D_RED", [](CgatsReader& r) { return &r.densityColumn[0]; }},
        {"D_GREEN", [](CgatsReader& r) { return &r.densityColumn[1]; }},
        {"D_BLUE", [](CgatsReader& r) { return &r.densityColumn[2]; }},
        {"D_VIS", [](CgatsReader& r) { return &r.densityColumn[3]; }},
        {"XYZ_X", [](CgatsReader& r) { return &r.xyzColumn[0]; }},
        {"XYZ_Y", [](CgatsReader& r) { return &r.xyzColumn[1]; }},
        {"XYZ_Z", [](CgatsReader& r) { return &r.xyzColumn[2]; }},
        {"LAB_L", [](CgatsReader& r) { return &r.labColumn[0]; }},
        {"LAB_A", [](CgatsReader& r) { return &r.labColumn[1]; }},
        {"LAB_B", [](CgatsReader& r) { return &r.labColumn[2]; }},
        {"RGB_R", [](CgatsReader& r) { return &r.rgbColumn[0]; }},
        {"RGB_G", [](CgatsReader& r) { return &r.rgbColumn[1]; }},
        {"RGB_B", [](CgatsReader& r) { return &r.rgbColumn[2]; }},
        {"ORANGE", [](CgatsReader& r) { return &r.inkColumn[4]; }},
        {"GREEN", [](CgatsReader& r) { return &r.inkColumn[5]; }},
        {"BLUE", [](CgatsReader& r) { return &r.inkColumn[6]; }},
        {"DRGB", [](CgatsReader& r) { return &r.drgbColumn; }},
    };
    for (const auto& [processName, channel] : kProcess) {
        if (name == processName) {
            cmykColumn[static_cast<std::size_t>(channel)] = column;
            inkColumn[static_cast<std::size_t>(channel)] = column;
        }
    }
    if (const int channel = multiInkChannel(name); channel != 0) {
        inkColumn[static_cast<std::size_t>(channel - 1)] = column;
    }
    if (name == "RED") {
        // A red ink comes with CMYK: the CMYK columns are ink channels 1 to 4.
        std::copy(cmykColumn.begin(), cmykColumn.end(), inkColumn.begin());
        inkColumn[4] = column;
    }
    for (const auto& [measuredName, entry] : kMeasured) {
        if (name == measuredName) {
            *entry(*this) = column;
        }
    }

    fieldIndex[name] = column;
    fieldColumns.push_back({column, name, {}});

    if (const WavelengthName mapped = wavelengthMapName(name); mapped.isSpectral) {
        spectralByWavelength[mapped.wavelength] = column;
        spectralScale = mapped.percent ? 100.0 : 1.0;
    }
    if (const WavelengthName listed = spectralListName(name); listed.isSpectral) {
        SpectralFieldRecord record;
        record.column = column;
        record.name = name;
        record.wavelength = listed.wavelength;
        spectralColumns.push_back(std::move(record));
    }
}

void CgatsReader::readDataBlock(LineSource& source) {
    // A missing count (-1) has no sound reading either.
    if (numberOfSets <= 0) {
        throw ERR_ZERO_SETS;
    }
    const auto fields = static_cast<std::size_t>(fieldCount);
    std::string line;
    Tokens tokens;
    // Rows are added as they are read: the announced count is only a claim.
    for (std::int64_t r = 0; r <= numberOfSets; ++r) {
        source.readLine(line);
        if (line.empty()) {
            throw ERR_EMPTY_ROW;
        }
        splitTokens(line, tokens);
        const bool endOfData = !tokens.empty() && tokens[0] == "END_DATA";
        if (r == numberOfSets) {
            if (!endOfData) {
                throw ERR_END_DATA_NOT_FOUND;
            }
            return;
        }
        if (endOfData) {
            throw ERR_TOO_FEW_SETS;
        }
        if (tokens.size() != fields) {
            throw ERR_WRONG_ROW_LENGTH;
        }
        if (r == kMaxSets || (rows.size() + 1) * fields > kMaxCells) {
            failLimit("the data block holds more sets than the reader accepts");
        }
        rows.emplace_back(tokens.begin(), tokens.end());
    }
}

std::string CgatsReader::valueAt(std::int32_t set, std::int32_t column) const {
    if (column < 0 || column >= fieldCount ||
        static_cast<std::size_t>(column) >= fieldIndex.size()) {
        throw ERR_COORDINATES;
    }
    const auto c = static_cast<std::size_t>(column);
    if (set == -1) {
        return fieldNames[c];
    }
    if (set < 0 || set >= numberOfSets || static_cast<std::size_t>(set) >= rows.size()) {
        throw ERR_COORDINATES;
    }
    return rows[static_cast<std::size_t>(set)][c];
}

std::int32_t CgatsReader::columnOf(std::string_view name) const {
    const auto found = fieldIndex.find(name);
    return found == fieldIndex.end() ? -1 : found->second;
}

}  // namespace GenChartLib
