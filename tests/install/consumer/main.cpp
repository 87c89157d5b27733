// A host built against an installed orvochart: makes a chart (which needs the
// installed modules) and prints its first page and one colour difference.
#include <OrvoChartInterface.h>

#include <cstdio>

int main(int argc, char** argv) {
    int strips = 0;
    int columns = 0;
    const int made = argc == 3 && createChart(MI_EYEONEPRO2, argv[2], argv[1], 210.0, 297.0, 0,
                                              &strips, &columns, nullptr, CM_CMYK);
    std::printf("page 1: %d strips x %d columns, dE00 %.4f\n", strips, columns,
                GetDeltaE_CIE2000(50.0, 2.6772, -79.7751, 50.0, 0.0, -82.7485));
    return made == 1 ? 0 : 1;
}
