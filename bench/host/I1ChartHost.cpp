// A minimal host for the i1 benchmark: makes one chart through the shared
// library's createChart and nothing else, so that a whole process can be
// measured from outside (wall time, peak resident memory) as a host would
// see it.
//
// usage: bench_i1_host INSTRUMENT OUT REF WIDTH_MM HEIGHT_MM MODE
#include <charconv>
#include <cstdio>
#include <cstring>
#include <string>

#include "OrvoChartInterface.h"

namespace {

template <class T>
bool parse(const char* text, T& value) {
    const char* end = text + std::strlen(text);
    const auto result = std::from_chars(text, end, value);
    return result.ec == std::errc() && result.ptr == end;
}

}  // namespace

int main(int argc, char** argv) {
    int instrument = 0;
    int mode = 0;
    double widthMm = 0.0;
    double heightMm = 0.0;
    if (argc != 7 || !parse(argv[1], instrument) || !parse(argv[4], widthMm) ||
        !parse(argv[5], heightMm) || !parse(argv[6], mode)) {
        std::fprintf(stderr, "usage: bench_i1_host INSTRUMENT OUT REF WIDTH_MM HEIGHT_MM MODE\n");
        return 2;
    }
    int strips = 0;
    int columns = 0;
    const int made =
        createChart(static_cast<IdMeasureInstrument>(instrument), argv[2], argv[3], widthMm,
                    heightMm, 0, &strips, &columns, nullptr, static_cast<ColorMode>(mode));
    if (made != 1) {
        std::fprintf(stderr, "bench_i1_host: no chart was made\n");
        return 1;
    }
    std::printf("%d strips of %d patches on page 1\n", strips, columns);
    return 0;
}
