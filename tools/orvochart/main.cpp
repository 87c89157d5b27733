// orvochart: the command-line host of the chart library.
#include <cstdio>
#include <cstring>

#include "Commands.h"

namespace {

struct Verb {
    const char* name;
    int (*run)(int argc, char** argv);
    const char* summary;
};

constexpr Verb kVerbs[] = {
    {"inspect", runInspectCommand, "read a reference file and show the patches of a colour mode"},
    {"color", runColorCommand, "colour conversions, colour differences and spectral evaluation"},
    {"chart", runChartCommand, "make a chart through the shared library, as a host does"},
    {"list", runListCommand, "show the instruments and colour modes and what each supports"},
};

void printUsage(std::FILE* out) {
    std::fprintf(out, "usage: orvochart <command> [options]\n\ncommands:\n");
    for (const Verb& verb : kVerbs) {
        std::fprintf(out, "  %-10s %s\n", verb.name, verb.summary);
    }
    std::fprintf(out,
                 "\n'orvochart <command> --help' explains a command's options.\n"
                 "Set ORVOCHART_LOG=stderr (or a file path) to see the library's diagnostics.\n"
                 "Exit status: 0 done, 1 refused (the reason is printed), 2 wrong command line.\n");
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 2 || std::strcmp(argv[1], "--help") == 0 || std::strcmp(argv[1], "-h") == 0) {
        printUsage(argc < 2 ? stderr : stdout);
        return argc < 2 ? 2 : 0;
    }
    for (const Verb& verb : kVerbs) {
        if (std::strcmp(argv[1], verb.name) == 0) {
            return verb.run(argc - 1, argv + 1);
        }
    }
    std::fprintf(stderr, "orvochart: unknown command '%s'\n\n", argv[1]);
    printUsage(stderr);
    return 2;
}
