// PDF pages written through the real PDF writer module and read back by
// independent tools: qpdf checks and parses the documents, Ghostscript's
// separation device shows what each ink plate carries, libjpeg-turbo opens
// the previews.
#include <gtest/gtest.h>
#include <tiffio.h>
#include <turbojpeg.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <limits>
#include <map>
#include <memory>
#include <qpdf/Buffer.hh>
#include <qpdf/QPDF.hh>
#include <qpdf/QPDFObjectHandle.hh>
#include <qpdf/QPDFPageDocumentHelper.hh>
#include <string>
#include <vector>

#include "api/ChartParams.h"
#include "api/ErrorCodes.h"
#include "outside/DebugLog.h"
#include "render/PdfPage.h"

// Under LeakSanitizer: fontconfig, which cairo uses to find the preview's
// font, keeps one font pattern for the life of the process that leak checks
// report at exit. It is allocated once, however many previews are drawn.
extern "C" const char* __lsan_default_suppressions() {
    return "leak:libfontconfig.so\n";
}

namespace GenChartLib {
namespace {

namespace fs = std::filesystem;

// Ghostscript renders test pages at 5 dots per millimetre.
constexpr double kRenderDpi = 127.0;
constexpr double kDotsPerMm = kRenderDpi / 25.4;

// A folder of its own for each test and process (other builds may run the
// same tests at the same time), removed afterwards.
class TempFolder {
  public:
    TempFolder() {
        const auto* info = testing::UnitTest::GetInstance()->current_test_info();
        std::string name = std::string("orvochart-pdf-") + std::to_string(getpid()) + "-" +
                           info->test_suite_name() + "-" + info->name();
        std::replace(name.begin(), name.end(), '/', '_');
        path_ = fs::temp_directory_path() / name;
        fs::remove_all(path_);
        fs::create_directories(path_);
    }
    ~TempFolder() {
        std::error_code ignored;
        fs::remove_all(path_, ignored);
    }
    std::string file(const std::string& name) const { return (path_ / name).string(); }
    const fs::path& path() const { return path_; }

  private:
    fs::path path_;
};

std::string quoted(const std::string& path) {
    return "'" + path + "'";
}

int run(const std::string& command) {
    return std::system((command + " >/dev/null 2>&1").c_str());
}

std::string readFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

bool qpdfCheckPasses(const std::string& pdf) {
    return run("qpdf --check " + quoted(pdf)) == 0;
}

// One 8-bit plate (or RGB image) as Ghostscript wrote it.
struct Raster {
    std::uint32_t width = 0;
    std::uint32_t height = 0;
    std::uint16_t samples = 0;
    std::vector<std::uint8_t> bytes;

    std::uint8_t at(double xMm, double yMm, unsigned sample = 0) const {
        const auto x = static_cast<std::size_t>(xMm * kDotsPerMm);
        const auto y = static_cast<std::size_t>(yMm * kDotsPerMm);
        return bytes.at((y * width + x) * samples + sample);
    }
};

Raster readTiff(const std::string& path) {
    Raster r;
    std::unique_ptr<TIFF, void (*)(TIFF*)> tiff(TIFFOpen(path.c_str(), "r"), TIFFClose);
    if (!tiff) {
        ADD_FAILURE() << "cannot open " << path;
        return r;
    }
    TIFFGetField(tiff.get(), TIFFTAG_IMAGEWIDTH, &r.width);
    TIFFGetField(tiff.get(), TIFFTAG_IMAGELENGTH, &r.height);
    TIFFGetFieldDefaulted(tiff.get(), TIFFTAG_SAMPLESPERPIXEL, &r.samples);
    const auto lineBytes = static_cast<std::size_t>(TIFFScanlineSize(tiff.get()));
    r.bytes.resize(lineBytes * r.height);
    for (std::uint32_t y = 0; y < r.height; ++y) {
        TIFFReadScanline(tiff.get(), r.bytes.data() + y * lineBytes, y, 0);
    }
    return r;
}

// The ink plates of a document's first page, by colorant name. A plate's
// byte is the ink amount (Ghostscript stores 255 - ink).
std::map<std::string, Raster> separations(const TempFolder& folder, const std::string& pdf) {
    const std::string base = folder.file("sep.tif");
    const int status =
        run("gs -q -dSAFER -dBATCH -dNOPAUSE -sDEVICE=tiffsep -sCompression=none "
            "-r127 -dFirstPage=1 -dLastPage=1 -sOutputFile=" +
            quoted(base) + " " + quoted(pdf));
    EXPECT_EQ(status, 0) << "Ghostscript failed on " << pdf;
    std::map<std::string, Raster> plates;
    for (const auto& entry : fs::directory_iterator(folder.path())) {
        const std::string name = entry.path().filename().string();
        if (name.rfind("sep(", 0) == 0) {
            Raster plate = readTiff(entry.path().string());
            for (auto& b : plate.bytes) {
                b = static_cast<std::uint8_t>(255 - b);
            }
            plates[name.substr(4, name.size() - 4 - 5)] = std::move(plate);
        }
    }
    return plates;
}

Raster renderRgb(const TempFolder& folder, const std::string& pdf) {
    const std::string out = folder.file("rgb.tif");
    EXPECT_EQ(run("gs -q -dSAFER -dBATCH -dNOPAUSE -sDEVICE=tiff24nc -sCompression=none -r127 "
                  "-sOutputFile=" +
                  quoted(out) + " " + quoted(pdf)),
              0);
    return readTiff(out);
}

struct Jpeg {
    int width = 0;
    int height = 0;
    std::vector<unsigned char> rgb;

    std::array<int, 3> at(double xFraction, double yFraction) const {
        const auto x = static_cast<std::size_t>(xFraction * width);
        const auto y = static_cast<std::size_t>(yFraction * height);
        const std::size_t i = (y * static_cast<std::size_t>(width) + x) * 3;
        return {rgb.at(i), rgb.at(i + 1), rgb.at(i + 2)};
    }
};

Jpeg readJpeg(const std::string& path) {
    std::string data = readFile(path);
    Jpeg j;
    tjhandle decoder = tjInitDecompress();
    auto* bytes = reinterpret_cast<unsigned char*>(data.data());
    int subsampling = 0;
    int colorspace = 0;
    if (data.empty() || tjDecompressHeader3(decoder, bytes, data.size(), &j.width, &j.height,
                                            &subsampling, &colorspace) != 0) {
        ADD_FAILURE() << "not a JPEG: " << path;
        tjDestroy(decoder);
        return {};
    }
    j.rgb.resize(static_cast<std::size_t>(j.width) * static_cast<std::size_t>(j.height) * 3);
    EXPECT_EQ(
        tjDecompress2(decoder, bytes, data.size(), j.rgb.data(), j.width, 0, j.height, TJPF_RGB, 0),
        0);
    tjDestroy(decoder);
    return j;
}

// The decoded content stream of a page, and its page dictionary.
struct ParsedPdf {
    std::shared_ptr<QPDF> pdf = std::make_shared<QPDF>();
    std::vector<QPDFObjectHandle> pages;

    explicit ParsedPdf(const std::string& path) {
        pdf->processFile(path.c_str());
        for (auto& page : QPDFPageDocumentHelper(*pdf).getAllPages()) {
            pages.push_back(page.getObjectHandle());
        }
    }
    std::string content(std::size_t page) {
        auto data = pages.at(page).getKey("/Contents").getStreamData(qpdf_dl_generalized);
        return std::string(reinterpret_cast<const char*>(data->getBuffer()), data->getSize());
    }
    QPDFObjectHandle colorSpace(std::size_t page) {
        return pages.at(page).getKey("/Resources").getKey("/ColorSpace").getKey("/CS0");
    }
};

ChartParams paramsFor(ColorMode mode, double widthMm = 40.0, double heightMm = 20.0) {
    ChartParams params(mode);
    params.pages.push_back({heightMm, widthMm, 4, 1});
    params.pdfFlag = 0x105;  // only the low byte is the page's flag
    return params;
}

// Routes the debug log into a file for the duration of a test.
class CapturedLog {
  public:
    explicit CapturedLog(const TempFolder& folder) : path_(folder.file("log.txt")) {
        setenv("ORVOCHART_LOG", path_.c_str(), 1);
        reopenDebugLog();
    }
    ~CapturedLog() {
        unsetenv("ORVOCHART_LOG");
        reopenDebugLog();
    }
    std::string text() const { return readFile(path_); }

  private:
    std::string path_;
};

int codeOf(const std::function<void()>& action) {
    try {
        action();
    } catch (eColorCtrlErrors code) {
        return code;
    }
    return 0;
}

std::string moduleFile(const char* baseName) {
    return std::string(ORVOCHART_MODULE_DIR) + "/" + platform::moduleFileName(baseName);
}

// --- Loading the module -----------------------------------------------------

TEST(PdfPageModule, MissingForeignOrOutdatedModulesAreRefusedWithTheReasonLogged) {
    TempFolder folder;
    CapturedLog log(folder);
    const ChartParams params = paramsFor(CM_CMYK);
    EXPECT_EQ(codeOf([&] { PdfPage<WriteCMYK> page(params, moduleFile("noSuchPDF")); }), -199);
    EXPECT_EQ(codeOf([&] { PdfPage<WriteCMYK> page(params, moduleFile("foreignPDF")); }), -199);
    EXPECT_EQ(codeOf([&] { PdfPage<WriteCMYK> page(params, moduleFile("outdatedPDF")); }), -199);
    EXPECT_STREQ(errorText(-199), "LoadLibrary failed");

    const std::string text = log.text();
    EXPECT_NE(text.find("PdfPage/PdfPage: " + moduleFile("noSuchPDF")), std::string::npos);
    EXPECT_NE(text.find("foreignPDF.so: no entry GetPDFInterface"), std::string::npos) << text;
    EXPECT_NE(text.find("outdatedPDF.so: interface version 0 of 112 bytes, expected version 1"),
              std::string::npos)
        << text;
}

TEST(PdfPageModule, TheModuleRefusesAColourModeItCannotRepresent) {
    TempFolder folder;
    CapturedLog log(folder);
    ChartParams params = paramsFor(static_cast<ColorMode>(42));
    EXPECT_EQ(codeOf([&] { PdfPage<WriteCMYK> page(params); }), -199);
    EXPECT_NE(log.text().find("colour mode 42 with 0 channels refused"), std::string::npos);
}

TEST(PdfPageModule, TheDefaultModuleLoadsAndStaysLoadedForThePagesLifetime) {
    PdfPage<WriteCMYK> page(paramsFor(CM_CMYK));
    EXPECT_TRUE(page.loaded());
    EXPECT_EQ(page.channelCount(), 4);
}

// --- Ink values on the separations ------------------------------------------

// Each writer's page: its colour mode, ink names and how a patch's bytes
// become its PixelColor and the ink amounts a printer would put down.
struct CmykCase {
    using W = WriteCMYK;
    static constexpr ColorMode kMode = CM_CMYK;
    static std::vector<std::string> inks() { return {"Cyan", "Magenta", "Yellow", "Black"}; }
};
struct CmykoCase {
    using W = WriteCMYKO;
    static constexpr ColorMode kMode = CM_CMYKO;
    static std::vector<std::string> inks() {
        return {"Cyan", "Magenta", "Yellow", "Black", "Orange"};
    }
};
struct CmykogCase {
    using W = WriteCMYKOG;
    static constexpr ColorMode kMode = CM_CMYKOG;
    static std::vector<std::string> inks() {
        return {"Cyan", "Magenta", "Yellow", "Black", "Orange", "Green"};
    }
};
struct CmykrgbCase {
    using W = WriteCMYKRGB;
    static constexpr ColorMode kMode = CM_CMYKRGB;
    static std::vector<std::string> inks() {
        return {"Cyan", "Magenta", "Yellow", "Black", "Red", "Green", "Blue"};
    }
};

template <class Case>
class PdfInkValues : public testing::Test {};
using InkCases = testing::Types<CmykCase, CmykoCase, CmykogCase, CmykrgbCase>;
// Names the instantiations by colour mode: PdfInkValues/CMYKOG.Every...
struct InkCaseNames {
    template <class Case>
    static std::string GetName(int) {
        std::string name;
        for (const std::string& ink : Case::inks()) {
            name += ink.front();
        }
        return name;
    }
};
TYPED_TEST_SUITE(PdfInkValues, InkCases, InkCaseNames);

// Byte of channel c of patch p: spread over the whole range, 0 and 255
// included.
std::uint8_t patchByte(unsigned p, unsigned c) {
    static constexpr std::uint8_t kBytes[] = {0, 255, 1, 128, 254, 77, 200, 13, 64, 191, 33};
    return kBytes[(3 * p + c) % sizeof kBytes];
}

TYPED_TEST(PdfInkValues, EveryPatchPrintsItsInksExactly) {
    using W = typename TypeParam::W;
    TempFolder folder;
    const std::vector<std::string> inks = TypeParam::inks();
    const std::string pdf = folder.file("chart_0.tif");
    {
        PdfPage<W> page(paramsFor(TypeParam::kMode));
        page.newPage(40.0, 20.0, -17);
        for (unsigned p = 0; p < 4; ++p) {
            typename W::PixelColor color;
            for (unsigned c = 0; c < inks.size(); ++c) {
                color.channels[c] = patchByte(p, c);
            }
            page.fillRect({p * 100, 0}, 100, 100, color);
        }
        page.drawNumber({0, 100}, 50, 7, W::blackColor());
        page.save(pdf);
    }
    ASSERT_TRUE(qpdfCheckPasses(pdf));
    auto plates = separations(folder, pdf);
    for (const std::string& ink : inks) {
        ASSERT_EQ(plates.count(ink), 1u) << "no plate " << ink;
    }
    for (unsigned p = 0; p < 4; ++p) {
        for (unsigned c = 0; c < inks.size(); ++c) {
            // Process inks are stored as amounts, the extra inks inverted.
            const int byte = patchByte(p, c);
            const int ink = c < 4 ? byte : 255 - byte;
            EXPECT_EQ(plates[inks[c]].at(p * 10.0 + 5.0, 5.0), ink) << inks[c] << " of patch " << p;
        }
    }
    // Paper stays free of every ink.
    for (const std::string& ink : inks) {
        EXPECT_EQ(plates[ink].at(35.0, 18.0), 0) << ink;
    }
}

TYPED_TEST(PdfInkValues, TheSamePageDrawnTwiceGivesIdenticalFiles) {
    using W = typename TypeParam::W;
    TempFolder folder;
    auto draw = [&](const std::string& name) {
        PdfPage<W> page(paramsFor(TypeParam::kMode));
        page.newPage(40.0, 20.0, -17);
        page.fillRect({50, 50}, 100, 80, W::blueColor());
        page.drawCircle({300, 100}, 40, W::yellowColor());
        page.drawLabel("Strip A", 10, 190, 30, W::blackColor());
        page.drawMarkerArrow(70, 100, 5, 100, 6, 30, 12, W::blackColor());
        page.exportJpeg(folder.file(name + ".tif"), 0, 1);
        page.save(folder.file(name + ".pdf"));
    };
    draw("first");
    draw("second");
    const std::string pdf = readFile(folder.file("first.pdf"));
    ASSERT_FALSE(pdf.empty());
    EXPECT_EQ(pdf, readFile(folder.file("second.pdf")));
    EXPECT_EQ(pdf.find("/CreationDate"), std::string::npos);
    EXPECT_EQ(pdf.find("/ModDate"), std::string::npos);
    const std::string jpeg = readFile(folder.file("first.jpg"));
    ASSERT_FALSE(jpeg.empty());
    EXPECT_EQ(jpeg, readFile(folder.file("second.jpg")));
}

TEST(PdfSpotInks, SpotPlatesCarryTheChartsNamesAndInvertedChannelsFromTheFifthOn) {
    TempFolder folder;
    ChartParams params = paramsFor(CM_SPOT_6);
    params.channelCount = 6;
    // An empty, a repeated and a reserved name fall back to "Spot N"; PDF
    // name delimiters and "#" survive.
    params.channelNames = {"Pantone 185 C", "", "Gold", "Gold", "None", "Varnish #2 (gloss)"};
    const std::string pdf = folder.file("spot.pdf");
    const std::vector<std::uint8_t> extra = {255, 0, 128, 7, 0, 255};
    {
        PdfPage<WriteSpotColor> page(params);
        EXPECT_EQ(page.channelCount(), 6);
        page.newPage(40.0, 20.0, 0);
        page.fillRect({0, 0}, 100, 100, {{0, 0, 0, 0}, extra, 6});
        page.fillRect({100, 0}, 100, 100, WriteSpotColor::blackColor());
        page.save(pdf);
    }
    ASSERT_TRUE(qpdfCheckPasses(pdf));
    auto plates = separations(folder, pdf);
    const std::vector<std::string> names = {"Pantone 185 C", "Spot 2", "Gold",
                                            "Spot 4",        "Spot 5", "Varnish #2 (gloss)"};
    // Channels 1-4 as amounts, 5 and up inverted: 255, 0, 128, 7, 255, 0.
    const std::vector<int> inks = {255, 0, 128, 7, 255, 0};
    for (std::size_t c = 0; c < names.size(); ++c) {
        ASSERT_EQ(plates.count(names[c]), 1u) << names[c];
        EXPECT_EQ(plates[names[c]].at(5.0, 5.0), inks[c]) << names[c];
    }
    // A fixed colour on a six-channel page: its K on channel 4, no extra ink.
    EXPECT_EQ(plates["Spot 4"].at(15.0, 5.0), 255);
    EXPECT_EQ(plates["Pantone 185 C"].at(15.0, 5.0), 0);
    EXPECT_EQ(plates["Spot 5"].at(15.0, 5.0), 0);
}

TEST(PdfSpotInks, BlackMarksStayVisibleOnAPageOfTwoSpotChannels) {
    TempFolder folder;
    ChartParams params = paramsFor(CM_SPOT_2);
    params.channelCount = 2;
    const std::string pdf = folder.file("two.pdf");
    {
        PdfPage<WriteSpotColor> page(params);
        page.newPage(20.0, 10.0, 0);
        page.fillRectPlain({0, 0}, 50, 100, WriteSpotColor::blackColor());
        page.save(pdf);
    }
    auto plates = separations(folder, pdf);
    ASSERT_EQ(plates.count("Spot 1"), 1u);
    ASSERT_EQ(plates.count("Spot 2"), 1u);
    EXPECT_EQ(plates.count("Spot 3"), 0u);
    EXPECT_EQ(plates["Spot 1"].at(2.0, 5.0), 255);
    EXPECT_EQ(plates["Spot 2"].at(2.0, 5.0), 255);
    EXPECT_EQ(plates["Spot 1"].at(15.0, 5.0), 0);
}

TEST(PdfDeviceColours, RgbPatchesRenderWithTheirOwnValues) {
    TempFolder folder;
    const std::string pdf = folder.file("rgb.pdf");
    const std::array<WriteRGB::PixelColor, 3> colors = {WriteRGB::PixelColor{{10, 128, 255}, {}},
                                                        WriteRGB::PixelColor{{200, 3, 77}, {}},
                                                        WriteRGB::blackColor()};
    {
        PdfPage<WriteRGB> page(paramsFor(CM_RGB));
        page.newPage(30.0, 10.0, 0);
        for (unsigned i = 0; i < colors.size(); ++i) {
            page.fillRect({i * 100, 0}, 100, 100, colors[i]);
        }
        page.save(pdf);
    }
    ASSERT_TRUE(qpdfCheckPasses(pdf));
    const Raster rgb = renderRgb(folder, pdf);
    for (unsigned i = 0; i < colors.size(); ++i) {
        for (unsigned s = 0; s < 3; ++s) {
            EXPECT_EQ(rgb.at(i * 10.0 + 5.0, 5.0, s), colors[i].channels[s]) << i << "/" << s;
        }
    }
}

TEST(PdfDeviceColours, LabPatchesGoIntoAD50LabSpaceWithTheirExactValues) {
    TempFolder folder;
    const std::string pdf = folder.file("lab.pdf");
    {
        PdfPage<WriteLAB> page(paramsFor(CM_LAB));
        page.newPage(30.0, 10.0, 0);
        // L* 50, a* -20, b* 30 as the reference loader stores it.
        page.fillRect({0, 0}, 100, 100, {{128, 236, 30}, {}});
        page.fillRect({100, 0}, 100, 100, {{128, 0, 0}, {}});
        page.save(pdf);
    }
    ASSERT_TRUE(qpdfCheckPasses(pdf));
    ParsedPdf parsed(pdf);
    EXPECT_NE(parsed.content(0).find("/CS0 cs 50.196078 -20 30 sc"), std::string::npos)
        << parsed.content(0);
    QPDFObjectHandle space = parsed.colorSpace(0);
    ASSERT_TRUE(space.isArray());
    EXPECT_EQ(space.getArrayItem(0).getName(), "/Lab");
    EXPECT_EQ(space.getArrayItem(1).getKey("/WhitePoint").unparse(), "[ 0.9642 1 0.8249 ]");
    EXPECT_EQ(space.getArrayItem(1).getKey("/Range").unparse(), "[ -128 127 -128 127 ]");

    // L* 50.2 neutral is sRGB grey 119 (0.1842 luminance) when read as D50.
    const Raster rgb = renderRgb(folder, pdf);
    for (unsigned s = 0; s < 3; ++s) {
        EXPECT_NEAR(rgb.at(15.0, 5.0, s), 119, 3) << s;
    }
    EXPECT_GT(rgb.at(5.0, 5.0, 1), rgb.at(5.0, 5.0, 0));  // a* -20 leans green
}

// --- Drawing operations -----------------------------------------------------

TEST(PdfDrawing, NumbersSitAtTheBoxWithTheCappedHeightAndLabelsUseAThirdOfTheirSize) {
    TempFolder folder;
    const std::string pdf = folder.file("numbers.pdf");
    {
        PdfPage<WriteCMYK> page(paramsFor(CM_CMYK));
        page.newPage(40.0, 40.0, 0);
        page.drawNumber({80, 130}, 65, 11, WriteCMYK::blackColor());  // 6.5 mm box: 5 mm high
        page.drawNumber({80, 300}, 30, 4000000000u, WriteCMYK::blackColor());  // 3 mm box
        page.drawLabel("DTP (41)", 20, 350, 30, WriteCMYK::blackColor());
        page.save(pdf);
    }
    const std::string content = ParsedPdf(pdf).content(0);
    // 5 mm x 3.33 = 16.65 pt; baseline 13 + 2.5 mm from the top of a 40 mm
    // page: 24.5 mm = 69.4488 pt above the bottom; x 8 mm = 22.6772 pt.
    EXPECT_NE(content.find("/F1 16.65 Tf\n22.6772 69.4488 Td\n(11) Tj"), std::string::npos)
        << content;
    // 3 mm x 3.33 = 9.99 pt; baseline 30 + 1.5 mm: 8.5 mm = 24.0945 pt.
    EXPECT_NE(content.find("/F1 9.99 Tf\n22.6772 24.0945 Td\n(4000000000) Tj"), std::string::npos);
    // 30 / 3 = 10 pt; (2 mm, 35 mm) -> 5.6693 pt, 14.1732 pt; brackets escaped.
    EXPECT_NE(content.find("/F1 10 Tf\n5.6693 14.1732 Td\n(DTP \\(41\\)) Tj"), std::string::npos);

    const std::string text = folder.file("text.txt");
    ASSERT_EQ(run("gs -q -dSAFER -dBATCH -dNOPAUSE -sDEVICE=txtwrite -sOutputFile=" + quoted(text) +
                  " " + quoted(pdf)),
              0);
    const std::string extracted = readFile(text);
    EXPECT_NE(extracted.find("11"), std::string::npos) << extracted;
    EXPECT_NE(extracted.find("DTP (41)"), std::string::npos) << extracted;
}

TEST(PdfDrawing, PolygonsOfTwoHundredFiftySixVerticesOrMoreAreNotDrawn) {
    TempFolder folder;
    const std::string pdf = folder.file("polygons.pdf");
    auto ring = [](std::size_t count, std::vector<std::uint32_t>& xs,
                   std::vector<std::uint32_t>& ys) {
        xs.resize(count);
        ys.resize(count);
        for (std::size_t i = 0; i < count; ++i) {
            xs[i] = static_cast<std::uint32_t>(100 + (i % 2) * 50);
            ys[i] = static_cast<std::uint32_t>(100 + i / 2);
        }
    };
    std::vector<std::uint32_t> xs;
    std::vector<std::uint32_t> ys;
    {
        PdfPage<WriteCMYK> page(paramsFor(CM_CMYK));
        page.newPage(40.0, 40.0, 0);
        ring(300, xs, ys);
        page.drawPolygon(xs.size(), xs.data(), ys.data(), WriteCMYK::blackColor());
        ring(256, xs, ys);
        page.drawPolygon(xs.size(), xs.data(), ys.data(), WriteCMYK::blackColor());
        ring(255, xs, ys);
        page.drawPolygon(xs.size(), xs.data(), ys.data(), WriteCMYK::blueColor());
        page.drawPolygon(3, nullptr, ys.data(), WriteCMYK::blackColor());
        page.save(pdf);
    }
    const std::string content = ParsedPdf(pdf).content(0);
    // Only the 255-vertex polygon: one fill, in blue (C and M solid).
    EXPECT_EQ(content.find("0 0 0 1 k"), std::string::npos);
    EXPECT_NE(content.find("1 1 0 0 k"), std::string::npos);
    std::size_t lines = 0;
    for (std::size_t at = content.find(" l\n"); at != std::string::npos;
         at = content.find(" l\n", at + 1)) {
        ++lines;
    }
    EXPECT_EQ(lines, 254u);
}

TEST(PdfDrawing, PatchesCarryThePageFlagAndPlainRectanglesDoNot) {
    TempFolder folder;
    const std::string pdf = folder.file("flags.pdf");
    {
        PdfPage<WriteCMYK> page(paramsFor(CM_CMYK));
        page.newPage(40.0, 20.0, -17);
        page.fillRect({0, 0}, 100, 100, WriteCMYK::blueColor());
        page.fillRectPlain({100, 0}, 7, 100, WriteCMYK::blackColor());
        page.fillRectExact(200.5, 10.25, 33.3, 50.0, WriteCMYK::yellowColor());
        page.save(pdf);
    }
    ParsedPdf parsed(pdf);
    const std::string content = parsed.content(0);
    // pdfFlag 0x105: the page's flag byte is 5.
    const std::string marked = "/OrvoPatch <</Flag 5>> BDC\n";
    const auto first = content.find(marked);
    ASSERT_NE(first, std::string::npos) << content;
    const auto second = content.find(marked, first + 1);
    ASSERT_NE(second, std::string::npos);
    EXPECT_EQ(content.find(marked, second + 1), std::string::npos);
    // The plain bar (0.7 mm = 1.9843 pt wide) lies between the two patches.
    const auto bar = content.find("1.9843 28.3465 re");
    ASSERT_NE(bar, std::string::npos);
    EXPECT_GT(bar, first);
    EXPECT_LT(bar, second);
    // Exact tenths keep their fraction: x 20.05 mm = 56.8346 pt, width
    // 3.33 mm = 9.4394 pt, bottom 20 - 1.025 - 5 mm = 13.975 mm = 39.6142 pt.
    EXPECT_NE(content.find("56.8346 39.6142 9.4394 14.1732 re"), std::string::npos);
    EXPECT_EQ(parsed.pages[0].getKey("/OrvoPageCode").getIntValue(), -17);
    auto box = parsed.pages[0].getKey("/MediaBox");
    EXPECT_EQ(box.unparse(), "[ 0 0 113.3858 56.6929 ]");
}

TEST(PdfDrawing, PositionsOfTwoToTheThirtyFirstTenthsAndMoreStayPositive) {
    TempFolder folder;
    const std::string pdf = folder.file("far.pdf");
    {
        PdfPage<WriteCMYK> page(paramsFor(CM_CMYK));
        page.newPage(40.0, 20.0, 0);
        page.fillRect({3000000000u, 0}, 10, 10, WriteCMYK::blackColor());
        page.save(pdf);
    }
    ASSERT_TRUE(qpdfCheckPasses(pdf));
    // 3e9 tenths = 3e8 mm = 850393700.7874 pt.
    EXPECT_NE(ParsedPdf(pdf).content(0).find("850393700.7874 "), std::string::npos);
}

TEST(PdfDrawing, DrawingBeforeTheFirstPageUsesTheChartsFirstPageSize) {
    TempFolder folder;
    const std::string pdf = folder.file("implicit.pdf");
    {
        PdfPage<WriteCMYK> page(paramsFor(CM_CMYK, 25.4, 50.8));
        page.fillRect({0, 0}, 10, 10, WriteCMYK::blackColor());
        page.save(pdf);
    }
    ParsedPdf parsed(pdf);
    ASSERT_EQ(parsed.pages.size(), 1u);
    EXPECT_EQ(parsed.pages[0].getKey("/MediaBox").unparse(), "[ 0 0 72 144 ]");
}

TEST(PdfDrawing, UnusablePageExtentsRaiseTheInvalidPageSizeCode) {
    PdfPage<WriteCMYK> page(paramsFor(CM_CMYK));
    EXPECT_EQ(codeOf([&] { page.newPage(0.0, 20.0, 0); }), -2355);
    EXPECT_EQ(codeOf([&] { page.newPage(40.0, std::numeric_limits<double>::quiet_NaN(), 0); }),
              -2355);
    EXPECT_EQ(codeOf([&] { page.newPage(6000.0, 20.0, 0); }), -2355);
    EXPECT_EQ(codeOf([&] { page.newPage(5080.0, 5080.0, 0); }), 0);
}

TEST(PdfDrawing, TheCommandTextIsTheDocumentsKeywords) {
    TempFolder folder;
    const std::string pdf = folder.file("command.pdf");
    const std::string command = "MEASURE ROW=1;PASS=Düsseldorf";
    {
        PdfPage<WriteCMYK> page(paramsFor(CM_CMYK));
        page.newPage(20.0, 10.0, 0);
        page.setCommandText(command);
        page.save(pdf);
    }
    ParsedPdf parsed(pdf);
    EXPECT_EQ(parsed.pdf->getTrailer().getKey("/Info").getKey("/Keywords").getUTF8Value(), command);
}

TEST(PdfDrawing, TheDocumentHoldsEveryPageInOrder) {
    TempFolder folder;
    const std::string pdf = folder.file("pages.pdf");
    {
        PdfPage<WriteCMYK> page(paramsFor(CM_CMYK));
        page.newPage(40.0, 20.0, -17);
        page.fillRect({0, 0}, 100, 100, WriteCMYK::blueColor());
        page.newPage(30.0, 60.0, 3);
        page.fillRect({0, 0}, 100, 100, WriteCMYK::yellowColor());
        page.save(pdf);
    }
    ASSERT_TRUE(qpdfCheckPasses(pdf));
    ParsedPdf parsed(pdf);
    ASSERT_EQ(parsed.pages.size(), 2u);
    EXPECT_EQ(parsed.pages[1].getKey("/MediaBox").unparse(), "[ 0 0 85.0394 170.0787 ]");
    EXPECT_EQ(parsed.pages[1].getKey("/OrvoPageCode").getIntValue(), 3);
    EXPECT_NE(parsed.content(0).find("1 1 0 0 k"), std::string::npos);
    EXPECT_NE(parsed.content(1).find("0 0 1 0 k"), std::string::npos);
}

// --- Files ------------------------------------------------------------------

TEST(PdfFiles, JpegNamesReplaceTheExtensionOfTheFileName) {
    EXPECT_EQ(PdfPage<WriteCMYK>::jpegName("chart_0.tif"), "chart_0.jpg");
    EXPECT_EQ(PdfPage<WriteCMYK>::jpegName("chart"), "chart.jpg");
    EXPECT_EQ(PdfPage<WriteCMYK>::jpegName("archive.tar.gz"), "archive.tar.jpg");
    EXPECT_EQ(PdfPage<WriteCMYK>::jpegName("out.d/chart"), "out.d/chart.jpg");
    EXPECT_EQ(PdfPage<WriteCMYK>::jpegName("out.d/chart.pdf"), "out.d/chart.jpg");
}

TEST(PdfFiles, PreviewsHaveThePagesAspectAndShowItsColours) {
    TempFolder folder;
    {
        PdfPage<WriteCMYK> page(paramsFor(CM_CMYK));
        page.newPage(60.0, 20.0, 0);
        page.fillRect({0, 0}, 300, 200, {{0, 255, 255, 0}, {}});  // magenta + yellow
        page.newPage(20.0, 50.0, 0);
        page.fillRect({0, 0}, 200, 250, {{255, 0, 0, 0}, {}});  // cyan, top half
        page.exportJpeg(folder.file("wide_0.tif"), 0, 2);
        page.exportJpeg(folder.file("tall_1.tif"), 1, 2);
    }
    EXPECT_FALSE(fs::exists(folder.file("wide_0.tif")));
    const Jpeg wide = readJpeg(folder.file("wide_0.jpg"));
    EXPECT_EQ(wide.width, 3 * wide.height);
    EXPECT_GE(wide.width, 200);
    const auto red = wide.at(0.25, 0.5);
    EXPECT_NEAR(red[0], 255, 4);
    EXPECT_NEAR(red[1], 0, 4);
    EXPECT_NEAR(red[2], 0, 4);
    const auto paper = wide.at(0.75, 0.5);
    for (int v : paper) {
        EXPECT_NEAR(v, 255, 4);
    }

    const Jpeg tall = readJpeg(folder.file("tall_1.jpg"));
    EXPECT_EQ(2 * tall.height, 5 * tall.width);
    const auto cyan = tall.at(0.5, 0.25);
    EXPECT_NEAR(cyan[0], 0, 4);
    EXPECT_NEAR(cyan[1], 255, 4);
    EXPECT_NEAR(cyan[2], 255, 4);
    EXPECT_NEAR(tall.at(0.5, 0.75)[0], 255, 4);
}

TEST(PdfFiles, LabPreviewsShowNeutralsAsNeutralGrey) {
    TempFolder folder;
    {
        PdfPage<WriteLAB> page(paramsFor(CM_LAB));
        page.newPage(20.0, 20.0, 0);
        page.fillRect({0, 0}, 200, 200, {{128, 0, 0}, {}});
        page.exportJpeg(folder.file("lab"), 0, 1);
    }
    const auto grey = readJpeg(folder.file("lab.jpg")).at(0.5, 0.5);
    for (int v : grey) {
        EXPECT_NEAR(v, 119, 3);
    }
}

TEST(PdfFiles, AFailedSaveRaisesCannotOpenFileAndLeavesNothingBehind) {
    TempFolder folder;
    PdfPage<WriteCMYK> page(paramsFor(CM_CMYK));
    page.newPage(20.0, 10.0, 0);
    const std::string missingFolder = folder.file("missing/chart.pdf");
    EXPECT_EQ(codeOf([&] { page.save(missingFolder); }), -2373);
    EXPECT_EQ(codeOf([&] { page.exportJpeg(missingFolder, 0, 1); }), -2373);
    EXPECT_STREQ(errorText(-2373), "GenChartLib: Cannot open file");

    // A folder where the file should go cannot be replaced by the document.
    fs::create_directories(folder.file("taken.pdf"));
    EXPECT_EQ(codeOf([&] { page.save(folder.file("taken.pdf")); }), -2373);
    for (const auto& entry : fs::directory_iterator(folder.path())) {
        EXPECT_EQ(entry.path().extension(), ".pdf") << entry.path();
    }
}

TEST(PdfFiles, SavingReplacesAnOlderDocumentWhole) {
    TempFolder folder;
    const std::string pdf = folder.file("chart.pdf");
    {
        std::ofstream old(pdf);
        old << "an older, longer file that must not survive in any part";
    }
    {
        PdfPage<WriteCMYK> page(paramsFor(CM_CMYK));
        page.newPage(20.0, 10.0, 0);
        page.save(pdf);
    }
    EXPECT_TRUE(qpdfCheckPasses(pdf));
    EXPECT_EQ(readFile(pdf).rfind("%PDF-", 0), 0u);
    std::size_t files = 0;
    for (const auto& entry : fs::directory_iterator(folder.path())) {
        (void)entry;
        ++files;
    }
    EXPECT_EQ(files, 1u);
}

}  // namespace
}  // namespace GenChartLib
