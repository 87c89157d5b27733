// Error codes of the chart library and of the colour-control family it shares
// its message table with. Failures inside the layout engine are thrown by value
// as eColorCtrlErrors and turned into return codes at the session boundary.
#ifndef ORVOCHART_BASE_ERRORCODES_H
#define ORVOCHART_BASE_ERRORCODES_H

#include <cstdint>

namespace GenChartLib {

enum eColorCtrlErrors : std::int32_t {
    ERR_NONE = 0,
    ERR_FATAL = -1,
    ERR_LOAD_LIBRARY = -199,
    ERR_INVALID_DESTROY_GENCHART = -189,
    ERR_INVALID_CREATE_GENCHART = -190,
    ERR_INVALID_WRITE_CHART = -193,
    ERR_INVALID_SET_CHART_PARAMS = -194,
    ERR_INVALID_INIT_CHART_PARAMS = -195,
    ERR_LAB_INDEX = -2390,
    ERR_NO_LAB_DATA = -2389,
    ERR_RGB_INDEX = -2388,
    ERR_NO_RGB_DATA = -2387,
    ERR_ALLOC_RASTER = -2385,
    ERR_TIFF_HEADER = -2384,
    ERR_ILLEGAL_CHANNELS = -2378,
    ERR_DIVISION_BY_ZERO = -2377,
    ERR_INVALID_HANDLE = -2376,
    ERR_INVALID_REFERENCE = -2375,
    ERR_INVALID_CHART_NAME = -2374,
    ERR_OPEN_FILE = -2373,
    ERR_EMPTY_PAGE_VECTOR = -2372,
    ERR_EMPTY_MEASURE_DATA = -2371,
    ERR_OPEN_DATA = -2370,
    ERR_ZERO_SETS = -2369,
    ERR_NO_DATA_FORMAT = -2368,
    ERR_BEGIN_DATA_NOT_FOUND = -2367,
    ERR_EMPTY_ROW = -2366,
    ERR_TOO_FEW_SETS = -2365,
    ERR_WRONG_ROW_LENGTH = -2364,
    ERR_COORDINATES = -2363,
    ERR_CMYK_INDEX = -2362,
    ERR_NO_CMYK_DATA = -2361,
    ERR_NO_SPECTRAL_DATA = -2360,
    ERR_END_DATA_NOT_FOUND = -2359,
    ERR_PAGE_SIZE = -2355,
    ERR_CHART_NAME_IS_REFERENCE = -2354
};

// The fixed English message of a code; "Unknown error" for any code the table
// does not list. Static storage, no allocation, safe from any thread.
const char* errorText(int code);

}  // namespace GenChartLib

#endif  // ORVOCHART_BASE_ERRORCODES_H
