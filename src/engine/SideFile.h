// The side files an instrument's software reads beside the pages (target
// descriptions, device-control blocks, chart files). Their bytes are the same
// on every platform and under any host locale: CR LF after every line, '.' as
// the decimal point, no digit grouping.
#ifndef ORVOCHART_ENGINE_SIDEFILE_H
#define ORVOCHART_ENGINE_SIDEFILE_H

#include <cstdint>
#include <string>
#include <string_view>

#include "base/ChartParams.h"

namespace GenChartLib {

// A side file's text, built line by line.
class SideFileText {
  public:
    // Appends `text` and CR LF.
    SideFileText& line(std::string_view text);
    // Appends `key` + `value` + CR LF.
    SideFileText& line(std::string_view key, std::string_view value);
    const std::string& bytes() const { return bytes_; }

  private:
    std::string bytes_;
};

// `value` with exactly `decimals` digits after a '.' (rounded half away from
// zero on the decimal digits), whatever locale the host has set.
std::string fixedDecimal(double value, int decimals);
// `value` in plain decimal digits, no grouping.
std::string decimal(std::int64_t value);

// The file name part of a path: what follows the last '/' or '\'.
std::string fileNamePart(const std::string& path);

// Writes `bytes` as the side file `path` before any page is drawn. The file
// is first written whole under a new unpredictable name in the same folder
// and then moved onto `path`, never replacing anything there.
// Throws ERR_CHART_NAME_IS_REFERENCE (nothing written) when `path` names the
// chart's reference file, and ERR_OPEN_FILE when the file cannot be created,
// written fully or moved into place (something already stands at `path`);
// both are logged with the file's name through `logFormat`.
void writeSideFile(const std::string& path, const std::string& bytes, const ChartParams& params,
                   const char* logFormat);

}  // namespace GenChartLib

#endif  // ORVOCHART_ENGINE_SIDEFILE_H
