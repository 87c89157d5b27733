// Reader of CGATS/IT8 reference files: the header keywords that steer a
// chart layout, the data format (the column names) and the data block (one
// row of text values per patch set). Values stay text; the patch loaders
// turn rows into patch colours of a colour mode.
//
// Accepted syntax, in short: lines end at CR, LF or CRLF; blank lines are
// skipped; outside double quotes everything is upper-cased; every comma
// becomes a full stop (decimal commas); tokens are separated by blanks and
// tabs. Numbers are read without regard to the process locale.
#ifndef ORVOCHART_CGATS_CGATSREADER_H
#define ORVOCHART_CGATS_CGATSREADER_H

#include <array>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <iosfwd>
#include <map>
#include <string>
#include <string_view>
#include <vector>

namespace GenChartLib {

// Limits that keep a hostile or broken file from taking unbounded memory or
// time. Hitting one logs the reason and fails the load with
// ERR_INVALID_REFERENCE. Real reference files stay far below them.
constexpr std::size_t kMaxLineBytes = 1u << 20;
constexpr std::size_t kMaxFieldsPerLine = 4096;
constexpr std::int64_t kMaxSets = 1000000;
constexpr std::size_t kMaxCells = std::size_t{1} << 24;
// Bytes read from one file: a source that never ends (a device, a pipe fed
// forever) stops here instead of holding the call.
constexpr std::uint64_t kMaxReadBytes = std::uint64_t{1} << 30;

class CgatsReader {
  public:
    struct FieldRecord {
        std::int32_t column = 0;
        std::string name;
        std::string unit;  // always empty: the files carry no units
    };
    struct SpectralFieldRecord : FieldRecord {
        std::int32_t wavelength = 0;  // nanometres
    };
    using ColumnMap = std::map<std::string, std::int32_t, std::less<>>;

    CgatsReader();

    // Reads the file at `path`. Failures are thrown as eColorCtrlErrors
    // codes; ERR_OPEN_DATA when the file cannot be opened.
    void load(const std::string& path);
    // Reads a reference from `in` (the file body of load(path)).
    void load(std::istream& in);

    // Text of one cell; set -1 gives the column's name. Throws
    // ERR_COORDINATES outside the table.
    std::string valueAt(std::int32_t set, std::int32_t column) const;

    // Column number of `name` (upper case, as stored), or -1.
    std::int32_t columnOf(std::string_view name) const;

    bool hasProofJob = false;
    std::string proofJob;
    std::vector<std::string> spotKeys;
    std::vector<std::string> spotNames;

    // Column-index cache; -1 where the file has no such column.
    std::array<std::int32_t, 4> cmykColumn{};     // C, M, Y, K
    std::array<std::int32_t, 8> inkColumn{};      // ink channels 1 to 8
    std::array<std::int32_t, 3> rgbColumn{};      // R, G, B
    std::array<std::int32_t, 4> densityColumn{};  // red, green, blue, visual
    std::array<std::int32_t, 3> xyzColumn{};
    std::array<std::int32_t, 3> labColumn{};
    std::int32_t drgbColumn = -1;

    std::vector<FieldRecord> fieldColumns;
    std::vector<SpectralFieldRecord> spectralColumns;  // sorted by wavelength
    ColumnMap fieldIndex;
    std::map<std::int32_t, std::int32_t> spectralByWavelength;
    std::vector<std::string> spotColorFormat;
    std::vector<std::vector<std::string>> rows;

    // CMYK make-up and display name of ink channels 1 to 8 (index 0 is
    // channel 1); -1 where the file declares none.
    std::array<std::array<std::int32_t, 4>, 8> deviceNCmyk{};
    std::vector<std::string> channelNames;

    // 100 when spectral columns are named SPECTRAL_NM_<n> (percent values),
    // 1 for the other spellings (factors).
    double spectralScale = 1.0;
    std::string targetId;
    std::string target;
    std::string layoutId;

    std::vector<std::string> fieldNames;
    std::int32_t fieldCount = -1;

    // Header keyword values; -1 where the file does not set them.
    std::int32_t numberOfCols = -1;
    std::int32_t numberOfSets = -1;
    std::int32_t numberOfStrips = -1;
    std::int32_t borderPatches = -1;
    std::int32_t patchesPerPage = -1;
    std::int32_t device = -1;
    std::int32_t verticalMeas = -1;
    std::int32_t patchSizeX = -1;
    std::int32_t patchSizeY = -1;
    std::int32_t gapSize = -1;
    std::int32_t measureOrientation = 0;
    std::int32_t uvCutMode = -1;
    std::int32_t zebraRulerMode = -1;
    std::int32_t lowres = -1;
    std::int32_t isisXlFormat = -1;
    std::int32_t apertureSize = -1;
    std::int32_t randomizedPatches = -1;
    std::int32_t printerId = -1;
    std::int32_t useRandomizedReference = 0;

  private:
    class LineSource;
    using Tokens = std::vector<std::string_view>;

    void clearColumnCache();
    void resetForLoad();
    void loadFrom(LineSource& source);
    // Handles one header line; true once BEGIN_DATA has been met.
    bool scanHeaderLine(LineSource& source, const std::string& line, const Tokens& tokens);
    void readProofJob(const std::string& line, const Tokens& tokens);
    void readSpotDeclaration(std::string_view line, bool idForm);
    void readDeviceNLine(const Tokens& tokens);
    void readProcessColorLine(const Tokens& tokens);
    bool readKeyword(const std::string& line, const Tokens& tokens);
    void readDataFormat(LineSource& source);
    void analyseColumn(std::int32_t column, const std::string& name);
    void readDataBlock(LineSource& source);
};

}  // namespace GenChartLib

#endif  // ORVOCHART_CGATS_CGATSREADER_H
