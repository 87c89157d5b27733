// orvochart list: the instruments and colour modes a host can ask for, and
// which of them this build can make charts for.
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "Commands.h"
#include "api/Factory.h"

namespace {

using GenChartLib::ColorModeEntry;
using GenChartLib::LayoutClass;

std::string joined(const std::vector<std::string>& names) {
    std::string text;
    for (const std::string& name : names) {
        text += (text.empty() ? "" : ", ") + name;
    }
    return text;
}

// The colour modes for which this build can make the layout class.
std::string supportedModes(LayoutClass layout) {
    std::vector<std::string> yes;
    std::vector<std::string> no;
    for (const ColorModeEntry& mode : GenChartLib::colorModeTable()) {
        (GenChartLib::layoutAvailable(layout, mode.mode) ? yes : no).push_back(mode.shortName);
    }
    if (no.empty()) {
        return "all colour modes";
    }
    if (yes.empty()) {
        return "not in this build";
    }
    return no.size() <= 2 ? "all colour modes but " + joined(no) : joined(yes);
}

void printInstruments() {
    std::printf("instruments (id, short name, enumerator, layout: charts today)\n");
    for (const GenChartLib::InstrumentEntry& entry : GenChartLib::instrumentTable()) {
        std::printf("  %3d  %-14s %-18s %-13s %s\n", static_cast<int>(entry.id), entry.shortName,
                    entry.enumName, GenChartLib::layoutClassName(entry.layout),
                    supportedModes(entry.layout).c_str());
    }
    std::printf("  any other id: %s, %s\n", GenChartLib::layoutClassName(LayoutClass::WarmUpPage),
                supportedModes(LayoutClass::WarmUpPage).c_str());
}

void printColorModes() {
    std::printf("\ncolour modes (value, short name, enumerator, writer)\n");
    for (const ColorModeEntry& mode : GenChartLib::colorModeTable()) {
        std::printf("  %3d  %-10s %-14s %-15s %s\n", static_cast<int>(mode.mode), mode.shortName,
                    mode.enumName, GenChartLib::writerName(mode.writer), mode.meaning);
    }
}

}  // namespace

int runListCommand(int argc, char** argv) {
    if (argc >= 2 && (std::strcmp(argv[1], "--help") == 0 || std::strcmp(argv[1], "-h") == 0)) {
        std::printf(
            "usage: orvochart list\n\nShows the instrument ids and colour modes that "
            "'orvochart chart' takes,\nand which layouts this build can make.\n");
        return 0;
    }
    if (argc > 1) {
        std::fprintf(stderr, "orvochart list: takes no options\n");
        return 2;
    }
    printInstruments();
    printColorModes();
    return 0;
}
