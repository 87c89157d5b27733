// orvochart chart: makes a chart through the shared library exactly as a host
// does, by loading the library and calling its exported createChart.
#include <atomic>
#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <map>
#include <optional>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#if defined(_WIN32)
#define WIN32_LEAN_AND_MEAN
#include <windows.h>
#endif

#include "CloseMatches.h"
#include "Commands.h"
#include "OrvoChartInterface.h"
#include "Preview.h"
#include "api/ChartJob.h"
#include "api/Factory.h"
#include "cgats/Numbers.h"
#include "platform/Platform.h"

namespace fs = std::filesystem;

namespace {

using CreateChartFn = decltype(&createChart);

// The exported createChart under the name the compiler gives a C++ function
// of its signature at global scope.
#if defined(_MSC_VER)
constexpr const char* kCreateChartSymbol =
    "?createChart@@YAHW4IdMeasureInstrument@@PEBD1NNHPEAH22W4ColorMode@@@Z";
#else
constexpr const char* kCreateChartSymbol =
    "_Z11createChart19IdMeasureInstrumentPKcS1_ddiPiS2_S2_9ColorMode";
#endif

#if defined(_WIN32)
constexpr const char* kLibraryFile = "OrvoChartInterfaceShared.dll";
#elif defined(__APPLE__)
constexpr const char* kLibraryFile = "libOrvoChartInterfaceShared.dylib";
#else
constexpr const char* kLibraryFile = "libOrvoChartInterfaceShared.so";
#endif

// Portrait sheet sizes in millimetres (width, height).
struct Paper {
    const char* name;
    double widthMm;
    double heightMm;
};

constexpr Paper kPapers[] = {
    {"A0", 841.0, 1189.0},     {"A1", 594.0, 841.0},     {"A2", 420.0, 594.0},
    {"A3", 297.0, 420.0},      {"A4", 210.0, 297.0},     {"A5", 148.0, 210.0},
    {"A6", 105.0, 148.0},      {"B3", 353.0, 500.0},     {"B4", 250.0, 353.0},
    {"B5", 176.0, 250.0},      {"Letter", 215.9, 279.4}, {"Legal", 215.9, 355.6},
    {"Tabloid", 279.4, 431.8}, {"Ledger", 431.8, 279.4}, {"Executive", 184.15, 266.7},
    {"SRA3", 320.0, 450.0},    {"SuperB", 330.2, 482.6},
};

void printChartUsage(std::FILE* out) {
    std::fprintf(
        out,
        "usage: orvochart chart --instrument I --mode M --ref REF --out FILE\n"
        "                       (--width MM --height MM | --paper NAME [--landscape])\n"
        "\n"
        "  --instrument I  instrument id or short name (DTP41, \"KM FD-5BT\", MI_DTP45, 2)\n"
        "  --mode M        colour mode value or name (CMYK, CMYKOG, Lab, RGB, Spot3, 0)\n"
        "  --ref REF       CGATS/IT8 reference file\n"
        "  --out FILE      the chart; further pages become FILE_1.tif, FILE_2.tif, ...\n"
        "  --width MM, --height MM   page size in millimetres\n"
        "  --paper NAME    a sheet size instead:");
    for (const Paper& paper : kPapers) {
        std::fprintf(out, " %s", paper.name);
    }
    std::fprintf(
        out,
        "\n  --landscape     turn the sheet\n"
        "  --preview       a small PNG beside each TIFF page, named as the page with .png\n"
        "  -v, --verbose   when no chart is made, every line the library logged, not\n"
        "                  only the first reason\n"
        "\n"
        "After the files, one line per page: its strips x columns and size in mm.\n"
        "\n"
        "exit status: 0 the chart was made, 1 it was refused (the reason is printed),\n"
        "             2 the command line is wrong\n"
        "\n"
        "'orvochart list' shows the instruments and colour modes.\n");
}

bool equalNoCase(const std::string& a, const std::string& b) {
    if (a.size() != b.size()) {
        return false;
    }
    for (std::size_t i = 0; i < a.size(); ++i) {
        const auto lower = [](char c) {
            return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
        };
        if (lower(a[i]) != lower(b[i])) {
            return false;
        }
    }
    return true;
}

// A whole number when the text is one, else nothing.
std::optional<long long> wholeNumber(const std::string& text) {
    if (text.empty()) {
        return std::nullopt;
    }
    std::size_t i = text[0] == '-' ? 1 : 0;
    if (i == text.size() || text.size() - i > 9) {
        return std::nullopt;
    }
    long long value = 0;
    for (; i < text.size(); ++i) {
        if (text[i] < '0' || text[i] > '9') {
            return std::nullopt;
        }
        value = value * 10 + (text[i] - '0');
    }
    return text[0] == '-' ? -value : value;
}

std::optional<IdMeasureInstrument> parseInstrument(const std::string& text) {
    if (const auto number = wholeNumber(text)) {
        return static_cast<IdMeasureInstrument>(*number);
    }
    if (const GenChartLib::InstrumentEntry* entry = GenChartLib::findInstrumentByName(text)) {
        return entry->id;
    }
    return std::nullopt;
}

// Any number is a mode the library can be asked for, but only the listed
// ones make charts; another number is a typing slip.
std::optional<ColorMode> parseColorMode(const std::string& text) {
    if (const auto number = wholeNumber(text)) {
        if (!GenChartLib::isSupportedColorMode(static_cast<std::int32_t>(*number))) {
            return std::nullopt;
        }
        return static_cast<ColorMode>(*number);
    }
    if (const GenChartLib::ColorModeEntry* entry = GenChartLib::findColorModeByName(text)) {
        return entry->mode;
    }
    return std::nullopt;
}

std::vector<KnownName> instrumentNames() {
    std::vector<KnownName> names;
    for (const GenChartLib::InstrumentEntry& entry : GenChartLib::instrumentTable()) {
        names.push_back({entry.shortName, {entry.shortName, entry.enumName}});
    }
    return names;
}

std::vector<KnownName> colorModeNames() {
    std::vector<KnownName> names;
    for (const GenChartLib::ColorModeEntry& mode : GenChartLib::colorModeTable()) {
        names.push_back({mode.shortName, {mode.shortName, mode.enumName}});
    }
    return names;
}

std::vector<KnownName> paperNames() {
    std::vector<KnownName> names;
    for (const Paper& paper : kPapers) {
        names.push_back({paper.name, {paper.name}});
    }
    return names;
}

// A name that matches nothing, with the names the user may have meant.
std::string unknownName(const std::string& what, const std::string& text,
                        const std::vector<KnownName>& known, const char* allNames) {
    std::string line = "unknown " + what + " '" + text + "'";
    const std::vector<std::string> similar = closeMatches(text, known);
    if (!similar.empty()) {
        line += "; did you mean " + listedAlternatives(similar) + "?";
    }
    return line + " (" + allNames + ")";
}

// A length in millimetres: digits with an optional full stop, nothing else.
std::optional<double> parseMillimetres(const std::string& text) {
    if (text.empty() || text.find_first_not_of("0123456789.") != std::string::npos) {
        return std::nullopt;
    }
    return GenChartLib::parseDouble(text);
}

struct ChartOptions {
    std::string instrumentText;
    std::string modeText;
    std::string refFile;
    std::string outFile;
    std::string widthText;
    std::string heightText;
    std::string paper;
    bool landscape = false;
    bool preview = false;
    bool verbose = false;
};

// Reads the options; an error message when they do not make a job.
std::optional<std::string> readOptions(int argc, char** argv, ChartOptions& options) {
    const std::map<std::string, std::string*> valued = {
        {"--instrument", &options.instrumentText},
        {"--mode", &options.modeText},
        {"--ref", &options.refFile},
        {"--out", &options.outFile},
        {"--width", &options.widthText},
        {"--height", &options.heightText},
        {"--paper", &options.paper},
    };
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg == "--landscape") {
            options.landscape = true;
            continue;
        }
        if (arg == "--preview") {
            options.preview = true;
            continue;
        }
        if (arg == "-v" || arg == "--verbose") {
            options.verbose = true;
            continue;
        }
        const auto it = valued.find(arg);
        if (it == valued.end()) {
            return "unknown option '" + arg + "'";
        }
        if (i + 1 >= argc) {
            return "option " + arg + " needs a value";
        }
        *it->second = argv[++i];
    }
    if (options.instrumentText.empty() || options.modeText.empty() || options.refFile.empty() ||
        options.outFile.empty()) {
        return std::string("--instrument, --mode, --ref and --out are required");
    }
    const bool bySize = !options.widthText.empty() || !options.heightText.empty();
    if (bySize == !options.paper.empty()) {
        return std::string("give either --width and --height or --paper");
    }
    if (bySize && (options.widthText.empty() || options.heightText.empty())) {
        return std::string("--width and --height go together");
    }
    return std::nullopt;
}

struct PageSize {
    double widthMm;
    double heightMm;
};

std::optional<PageSize> pageSizeOf(const ChartOptions& options, std::string& error) {
    if (!options.paper.empty()) {
        for (const Paper& paper : kPapers) {
            if (equalNoCase(paper.name, options.paper)) {
                return options.landscape ? PageSize{paper.heightMm, paper.widthMm}
                                         : PageSize{paper.widthMm, paper.heightMm};
            }
        }
        error = unknownName("paper size", options.paper, paperNames(),
                            "'orvochart chart --help' lists the sizes");
        return std::nullopt;
    }
    const auto width = parseMillimetres(options.widthText);
    const auto height = parseMillimetres(options.heightText);
    if (!width || !height) {
        error = "page width and height are millimetres, such as 210 or 297.5";
        return std::nullopt;
    }
    return options.landscape ? PageSize{*height, *width} : PageSize{*width, *height};
}

// The folder this program runs from, where the shared library is built.
std::string toolDirectory(const char* argv0) {
    std::error_code ec;
#if defined(_WIN32)
    char path[MAX_PATH] = {};
    if (GetModuleFileNameA(nullptr, path, MAX_PATH) > 0) {
        return fs::path(path).parent_path().string();
    }
#else
    const fs::path self = fs::read_symlink("/proc/self/exe", ec);
    if (!ec) {
        return self.parent_path().string();
    }
#endif
    return fs::absolute(fs::path(argv0 != nullptr ? argv0 : "."), ec).parent_path().string();
}

std::string readWholeFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

// Every regular file of a folder with its last write time.
std::map<std::string, fs::file_time_type> folderState(const fs::path& folder) {
    std::map<std::string, fs::file_time_type> state;
    std::error_code ec;
    for (fs::directory_iterator it(folder, ec), end; !ec && it != end; it.increment(ec)) {
        if (it->is_regular_file(ec)) {
            state[it->path().string()] = it->last_write_time(ec);
        }
    }
    return state;
}

// Tells which page is being written while the library works: a page file
// appears when its page starts.
class PageWatch {
  public:
    explicit PageWatch(std::string outFile) : outFile_(std::move(outFile)) {}

    void poll() {
        std::error_code ec;
        while (fs::exists(pageFile(next_), ec)) {
            std::printf("writing page %d ...\n", next_ + 1);
            std::fflush(stdout);
            ++next_;
        }
    }

  private:
    std::string pageFile(int page) const { return outFile_ + "_" + std::to_string(page) + ".tif"; }

    std::string outFile_;
    int next_ = 0;
};

struct Library {
    GenChartLib::platform::ModuleHandle handle = nullptr;
    CreateChartFn createChart = nullptr;
};

// The shared library beside this program (a build folder), else in the
// library folder of the installation this program belongs to, else wherever
// the system's search finds it.
std::string libraryPath(const std::string& toolFolder) {
    for (const fs::path& candidate : {fs::path(toolFolder) / kLibraryFile,
                                      fs::path(toolFolder) / ORVOCHART_BIN_TO_LIB / kLibraryFile}) {
        std::error_code ec;
        if (fs::exists(candidate, ec)) {
            return candidate.lexically_normal().string();
        }
    }
    return kLibraryFile;
}

std::optional<Library> loadLibrary(const std::string& folder, std::string& error) {
    const std::string path = libraryPath(folder);
    Library library;
    library.handle = GenChartLib::platform::loadModule(path, &error);
    if (library.handle == nullptr) {
        error = "cannot load the chart library " + path + ": " + error;
        return std::nullopt;
    }
    library.createChart = reinterpret_cast<CreateChartFn>(
        GenChartLib::platform::findEntry(library.handle, kCreateChartSymbol));
    if (library.createChart == nullptr) {
        GenChartLib::platform::unloadModule(library.handle);
        error = path + " exports no createChart";
        return std::nullopt;
    }
    return library;
}

// Sends the library's diagnostics to a file of our own unless the user has
// chosen a place; returns that file, or "" when the user's choice stands.
std::string captureLibraryLog() {
    const char* chosen = std::getenv("ORVOCHART_LOG");
    if (chosen != nullptr && *chosen != '\0') {
        return {};
    }
    const std::string path =
        GenChartLib::platform::tempDirectory() + "orvochart-chart-" +
        std::to_string(std::chrono::steady_clock::now().time_since_epoch().count()) + ".log";
#if defined(_WIN32)
    _putenv_s("ORVOCHART_LOG", path.c_str());
#else
    setenv("ORVOCHART_LOG", path.c_str(), 1);
#endif
    return path;
}

void listWrittenFiles(const std::map<std::string, fs::file_time_type>& before,
                      const fs::path& folder, const std::string& logFile) {
    std::vector<std::string> written;
    for (const auto& [path, time] : folderState(folder)) {
        const auto old = before.find(path);
        if (path != logFile && (old == before.end() || old->second != time)) {
            written.push_back(path);
        }
    }
    if (!written.empty()) {
        std::printf("files written:\n");
    }
    for (const std::string& path : written) {
        std::printf("  %s\n", path.c_str());
    }
}

// Why the reference cannot be read, with the system's reason; nothing when
// it can. A folder opens but does not read.
std::optional<std::string> unreadableReference(const std::string& path) {
    errno = 0;
    std::FILE* file = std::fopen(path.c_str(), "rb");
    int reason = errno;
    if (file != nullptr) {
        char byte = 0;
        const bool failed = std::fread(&byte, 1, 1, file) != 1 && std::ferror(file) != 0;
        reason = failed ? errno : 0;
        std::fclose(file);
    }
    if (reason == 0 && file != nullptr) {
        return std::nullopt;
    }
    return "cannot read the reference '" + path + "': " + std::strerror(reason);
}

// Why the chart cannot go to --out: a chart never replaces a file, and its
// folder must exist.
std::optional<std::string> unusableOutput(const std::string& outFile) {
    std::error_code ec;
    if (fs::exists(outFile, ec)) {
        return "'" + outFile + "' exists and a chart never replaces a file; remove it or choose " +
               "another --out";
    }
    const fs::path folder = fs::absolute(outFile, ec).parent_path();
    if (!fs::is_directory(folder, ec)) {
        return "the folder of --out, '" + folder.string() + "', does not exist";
    }
    return std::nullopt;
}

// The library logs the reason of a refusal first; the lines after it are the
// session winding down, of use to whoever debugs the library (-v).
void reportRefusal(const std::string& log, bool userLog, bool verbose) {
    if (userLog) {
        std::fprintf(stderr,
                     "orvochart chart: no chart was made; the reason is in ORVOCHART_LOG\n");
        return;
    }
    const std::size_t end = log.find('\n');
    const std::string first = log.substr(0, end);
    std::fprintf(stderr, "orvochart chart: no chart was made: %s\n",
                 first.empty() ? "the library gave no reason" : first.c_str());
    if (verbose && end != std::string::npos) {
        std::fprintf(stderr, "%s", log.substr(end + 1).c_str());
    }
}

// One line per page: strips x columns and the page size.
void printPages(const std::vector<GenChartLib::PageLayout>& pages) {
    for (std::size_t i = 0; i < pages.size(); ++i) {
        std::printf("page %zu: %d strips x %d columns, %s x %s mm\n", i + 1, pages[i].strips,
                    pages[i].columns, GenChartLib::formatNumber(pages[i].width, 1).c_str(),
                    GenChartLib::formatNumber(pages[i].height, 1).c_str());
    }
}

int commandLineError(const std::string& problem) {
    std::fprintf(stderr, "orvochart chart: %s\n", problem.c_str());
    return 2;
}

int refused(const std::string& reason) {
    std::fprintf(stderr, "orvochart chart: %s\n", reason.c_str());
    return 1;
}

}  // namespace

int runChartCommand(int argc, char** argv) {
    if (argc >= 2 && (std::strcmp(argv[1], "--help") == 0 || std::strcmp(argv[1], "-h") == 0)) {
        printChartUsage(stdout);
        return 0;
    }
    if (argc < 2) {
        printChartUsage(stderr);
        return 2;
    }
    ChartOptions options;
    std::string error;
    if (const auto problem = readOptions(argc, argv, options)) {
        return commandLineError(*problem + " ('orvochart chart --help' lists the options)");
    }
    const auto instrument = parseInstrument(options.instrumentText);
    if (!instrument) {
        return commandLineError(unknownName("instrument", options.instrumentText, instrumentNames(),
                                            "'orvochart list' shows them all"));
    }
    const auto mode = parseColorMode(options.modeText);
    if (!mode) {
        return commandLineError(unknownName("colour mode", options.modeText, colorModeNames(),
                                            "'orvochart list' shows them all"));
    }
    const auto size = pageSizeOf(options, error);
    if (!size) {
        return commandLineError(error);
    }
    if (const auto problem = unreadableReference(options.refFile)) {
        return refused(*problem);
    }
    if (const auto problem = unusableOutput(options.outFile)) {
        return refused(*problem);
    }

    const std::string logFile = captureLibraryLog();
    const auto library = loadLibrary(toolDirectory(argv[0]), error);
    if (!library) {
        return refused(error);
    }
    std::error_code ec;
    const fs::path folder = fs::absolute(options.outFile, ec).parent_path();
    const auto before = folderState(folder);

    std::printf("chart for %s (id %d), colour mode %d, page %s x %s mm\n",
                GenChartLib::instrumentShortName(*instrument), static_cast<int>(*instrument),
                static_cast<int>(*mode), GenChartLib::formatNumber(size->widthMm, 1).c_str(),
                GenChartLib::formatNumber(size->heightMm, 1).c_str());
    int strips = 0;
    int columns = 0;
    std::atomic<int> result{-1};
    std::thread job([&] {
        result = library->createChart(*instrument, options.outFile.c_str(), options.refFile.c_str(),
                                      size->widthMm, size->heightMm, 0, &strips, &columns, nullptr,
                                      *mode);
    });
    PageWatch watch(options.outFile);
    while (result.load() < 0) {
        watch.poll();
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    job.join();
    GenChartLib::platform::unloadModule(library->handle);

    listWrittenFiles(before, folder, logFile);
    const std::string log = logFile.empty() ? std::string() : readWholeFile(logFile);
    if (!logFile.empty()) {
        fs::remove(logFile, ec);
    }
    if (result.load() != 1) {
        reportRefusal(log, logFile.empty(), options.verbose);
        return 1;
    }
    const auto pages = GenChartLib::chartJobPages(*instrument, options.refFile, size->widthMm,
                                                  size->heightMm, *mode);
    if (pages.empty()) {
        std::printf("page 1: %d strips x %d columns\n", strips, columns);
    }
    printPages(pages);
    if (options.preview && !writeChartPreviews(options.outFile, *mode, stdout)) {
        return 1;
    }
    return 0;
}
