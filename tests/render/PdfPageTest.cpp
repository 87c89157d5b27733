// PDF pages written through the real PDF writer module and read back by
// independent tools: qpdf checks and parses the documents, Ghostscript shows
// what each ink plate carries, libjpeg-turbo opens the previews.
#include <gtest/gtest.h>
#include <turbojpeg.h>

#include <array>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <limits>
#include <map>
#include <memory>
#include <qpdf/Buffer.hh>
#include <qpdf/QPDF.hh>
#include <qpdf/QPDFJob.hh>
#include <qpdf/QPDFLogger.hh>
#include <qpdf/QPDFObjectHandle.hh>
#include <qpdf/QPDFPageDocumentHelper.hh>
#include <sstream>
#include <string>
#include <vector>

#include "FailureCapture.h"
#include "base/ChartParams.h"
#include "base/ErrorCodes.h"
#include "host/ReadBack.h"
#include "render/PdfPage.h"

namespace GenChartLib {
namespace {

namespace fs = std::filesystem;
using failuretest::codeOf;
using readback::RenderedPage;
using readback::TempFolder;
using testsupport::fileText;

// qpdf's check through its library, as its command may be missing from the
// host; warnings fail too.
bool qpdfCheckPasses(const std::string& pdf) {
    std::ostringstream output;
    const auto logger = QPDFLogger::create();
    logger->setOutputStreams(&output, &output);
    QPDFJob job;
    job.setLogger(logger);
    const char* const argv[] = {"qpdf", "--check", pdf.c_str(), nullptr};
    job.initializeFromArgv(argv);
    job.run();
    return job.getExitCode() == 0;
}

// Ghostscript's view of the first page's ink plates. Callers return first
// when readback::toolsMissing().
RenderedPage rendered(const TempFolder& folder, const std::string& pdf) {
    EXPECT_TRUE(qpdfCheckPasses(pdf)) << pdf;
    const auto pages = readback::render({pdf}, true, folder.path() / "gs");
    return pages.empty() ? RenderedPage{} : pages[0];
}

// A JPEG decoded to RGB by libjpeg-turbo; at() is the pixel at fractions
// of the width and height.
struct Jpeg {
    int width = 0, height = 0;
    std::vector<unsigned char> rgb;

    explicit Jpeg(const std::string& path) {
        std::string data = fileText(path);
        auto* bytes = reinterpret_cast<unsigned char*>(data.data());
        int subsampling = 0, colorspace = 0;
        tjhandle tj = tjInitDecompress();
        if (tjDecompressHeader3(tj, bytes, static_cast<unsigned long>(data.size()), &width, &height,
                                &subsampling, &colorspace) == 0) {
            rgb.resize(std::size_t(width) * std::size_t(height) * 3);
            tjDecompress2(tj, bytes, static_cast<unsigned long>(data.size()), rgb.data(), width, 0,
                          height, TJPF_RGB, 0);
        }
        tjDestroy(tj);
    }
    std::array<int, 3> at(double xFraction, double yFraction) const {
        const auto i = (static_cast<std::size_t>(yFraction * height) * std::size_t(width) +
                        static_cast<std::size_t>(xFraction * width)) *
                       3;
        return {rgb.at(i), rgb.at(i + 1), rgb.at(i + 2)};
    }
};

// The pages of a document as qpdf parses them, with their decoded content.
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
    std::string key(std::size_t page, const char* name) {
        return pages.at(page).getKey(name).unparse();
    }
};

ChartParams paramsFor(ColorMode mode, double widthMm = 40.0, double heightMm = 20.0) {
    ChartParams params(mode);
    params.pages.push_back({heightMm, widthMm, 4, 1});
    params.pdfFlag = 0x105;  // only the low byte is the page's flag
    return params;
}

std::string moduleFile(const char* baseName) {
    return std::string(ORVOCHART_MODULE_DIR) + "/" + platform::moduleFileName(baseName);
}

TEST(PdfPageModule, MissingForeignOutdatedOrUnfitModulesAreRefusedWithTheReasonLogged) {
    TempFolder folder;
    testsupport::LogCapture log(folder.file("log.txt"));
    const ChartParams params = paramsFor(CM_CMYK);
    for (const char* module : {"noSuchPDF", "foreignPDF", "outdatedPDF"}) {
        EXPECT_EQ(codeOf([&] { PdfPage<WriteCMYK> page(params, moduleFile(module)); }), -199)
            << module;
    }
    // The default module refuses a colour mode it cannot represent.
    EXPECT_EQ(codeOf([&] { PdfPage<WriteCMYK> page(paramsFor(static_cast<ColorMode>(42))); }),
              -199);
    EXPECT_STREQ(errorText(-199), "LoadLibrary failed");
    const std::string text = log.text();
    for (const std::string& reason :
         {"PdfPage/PdfPage: " + moduleFile("noSuchPDF"),
          moduleFile("foreignPDF") + ": no entry GetPDFInterface",
          moduleFile("outdatedPDF") + ": interface version 0 of 112 bytes, expected version 1",
          std::string("colour mode 42 with 0 channels refused")}) {
        EXPECT_NE(text.find(reason), std::string::npos) << reason << "\n" << text;
    }
    PdfPage<WriteCMYK> page(params);
    EXPECT_TRUE(page.loaded());
    EXPECT_EQ(page.channelCount(), 4);
}

// A host of the module table itself may pass anything: every drawing entry
// refuses a missing colour instead of reading through it.
TEST(PdfPageModule, EveryDrawingEntryRefusesAMissingColour) {
    const platform::ModuleHandle module = platform::loadModule(moduleFile("wxPDF"));
    ASSERT_NE(module, nullptr);
    const auto table = reinterpret_cast<OcPdfGetInterface>(
        reinterpret_cast<std::uintptr_t>(platform::findEntry(module, "GetPDFInterface")))();
    const OcPdfPageSize size{210, 297};
    const OcPdfChartInfo chart{sizeof(OcPdfChartInfo), CM_CMYK, 4, {}, 1, &size};
    OcPdfDocument* doc = table->begin(&chart);
    ASSERT_NE(doc, nullptr);
    const double xs[] = {1, 9, 5}, ys[] = {1, 1, 9};
    for (const int result :
         {table->drawText(doc, "1", 10, 5, 5, nullptr),
          table->drawArrow(doc, 1, 1, 9, 9, 1, 2, 2, nullptr),
          table->drawCircle(doc, 5, 5, 2, nullptr), table->drawLine(doc, 1, 1, 9, 9, 0, 0, nullptr),
          table->drawBox(doc, 1, 1, 9, 9, nullptr), table->drawPolygon(doc, 3, xs, ys, nullptr),
          table->fillRect(doc, 1, 1, 9, 9, nullptr, 4, 0)}) {
        EXPECT_EQ(result, OC_PDF_BAD_ARGUMENT);
    }
    table->end(doc);
    platform::unloadModule(module);
}

// A document of writer W drawn by `draw`, saved as page.pdf in the folder
// (the module never writes over a file, so an earlier one goes first).
template <class W, class Draw>
std::string savedPdf(const TempFolder& folder, const ChartParams& params, Draw draw) {
    const std::string pdf = folder.file("page.pdf");
    fs::remove(pdf);
    PdfPage<W> page(params);
    draw(page);
    page.save(pdf);
    return pdf;
}

// Every writer's patches on Ghostscript's plates or screen are read back by
// the host tests' PDF charts; here what those do not reach.
TEST(PdfInks, SpotPlatesCarryTheChartsNamesAndInvertedChannelsFromTheFifthOn) {
    if (readback::toolsMissing()) {
        return;
    }
    TempFolder folder;
    ChartParams params = paramsFor(CM_SPOT_6);
    params.channelCount = 6;
    // An empty, a repeated and a reserved name fall back to "Spot N"; PDF
    // name delimiters and "#" survive.
    params.channelNames = {"Pantone 185 C", "", "Gold", "Gold", "None", "Varnish #2 (gloss)"};
    const RenderedPage page =
        rendered(folder, savedPdf<WriteSpotColor>(folder, params, [](auto& pdf) {
                     EXPECT_EQ(pdf.channelCount(), 6);
                     pdf.newPage(40.0, 20.0, 0);
                     pdf.fillRect({0, 0}, 100, 100, {{0, 0, 0, 0}, {255, 0, 128, 7, 0, 255}, 6});
                     pdf.fillRect({100, 0}, 100, 100, WriteSpotColor::blackColor());
                 }));
    for (const char* name :
         {"Pantone 185 C", "Spot 2", "Gold", "Spot 4", "Spot 5", "Varnish #2 (gloss)"}) {
        EXPECT_EQ(page.plates.count(name), 1u) << name;
    }
    // Channels 1-4 as amounts, 5 and up inverted.
    EXPECT_TRUE(page.shows({{"Pantone 185 C", 255}, {"Gold", 128}, {"Spot 4", 7}, {"Spot 5", 255}},
                           0, 5.0, 5.0));
    // A fixed colour on a six-channel page: its K on channel 4, no extra ink.
    EXPECT_TRUE(page.shows({{"Spot 4", 255}}, 0, 15.0, 5.0));

    // Black marks stay visible on a page of two spot channels.
    params = paramsFor(CM_SPOT_2);
    params.channelCount = 2;
    const RenderedPage two =
        rendered(folder, savedPdf<WriteSpotColor>(folder, params, [](auto& pdf) {
                     pdf.newPage(20.0, 10.0, 0);
                     pdf.fillRectPlain({0, 0}, 50, 100, WriteSpotColor::blackColor());
                 }));
    EXPECT_EQ(two.plates.count("Spot 3"), 0u);
    EXPECT_TRUE(two.shows({{"Spot 1", 255}, {"Spot 2", 255}}, 0, 2.0, 5.0));
    EXPECT_TRUE(two.isPaper(15.0, 5.0));
}

TEST(PdfInks, LabPatchesGoIntoAD50LabSpace) {
    TempFolder folder;
    // L* 50, a* -20, b* 30 as the reference loader stores it.
    const std::string pdf = savedPdf<WriteLAB>(folder, paramsFor(CM_LAB), [](auto& page) {
        page.newPage(30.0, 10.0, 0);
        page.fillRect({0, 0}, 100, 100, {{128, 236, 30}, {}});
    });
    ParsedPdf parsed(pdf);
    EXPECT_NE(parsed.content(0).find("/CS0 cs 50.196078 -20 30 sc"), std::string::npos)
        << parsed.content(0);
    EXPECT_EQ(
        parsed.pages[0].getKey("/Resources").getKey("/ColorSpace").getKey("/CS0").unparseResolved(),
        "[ /Lab << /Range [ -128 127 -128 127 ] /WhitePoint [ 0.9642 1 0.8249 ] >> ]");
}

TEST(PdfDrawing, NumbersSitAtTheBoxWithTheCappedHeightAndLabelsUseAThirdOfTheirSize) {
    TempFolder folder;
    const std::string pdf = savedPdf<WriteCMYK>(folder, paramsFor(CM_CMYK), [](auto& page) {
        page.newPage(40.0, 40.0, 0);
        page.drawNumber({80, 130}, 65, 11, WriteCMYK::blackColor());  // 6.5 mm box: 5 mm high
        page.drawNumber({80, 300}, 30, 4000000000u, WriteCMYK::blackColor());  // 3 mm box
        page.drawLabel("DTP (41)", 20, 350, 30, WriteCMYK::blackColor());
    });
    const std::string content = ParsedPdf(pdf).content(0);
    for (const char* text : {// 5 mm x 3.33 = 16.65 pt; baseline 13 + 2.5 mm from the top of a
                             // 40 mm page: 24.5 mm = 69.4488 pt above the bottom; x 8 mm.
                             "/F1 16.65 Tf\n22.6772 69.4488 Td\n(11) Tj",
                             // 3 mm x 3.33 = 9.99 pt; baseline 30 + 1.5 mm: 8.5 mm = 24.0945 pt.
                             "/F1 9.99 Tf\n22.6772 24.0945 Td\n(4000000000) Tj",
                             // 30 / 3 = 10 pt; (2 mm, 35 mm); brackets escaped.
                             "/F1 10 Tf\n5.6693 14.1732 Td\n(DTP \\(41\\)) Tj"}) {
        EXPECT_NE(content.find(text), std::string::npos) << text << "\n" << content;
    }
    if (readback::toolsMissing()) {
        return;
    }
    std::vector<std::string> texts;
    for (const auto& span : readback::textSpans({pdf})) {
        texts.push_back(span.text);
    }
    EXPECT_EQ(texts, (std::vector<std::string>{"11", "4000000000", "DTP (41)"}));
}

TEST(PdfDrawing, PatchesCarryThePageFlagFarPositionsStayPositiveAndLongPolygonsAreDropped) {
    TempFolder folder;
    const WriteCMYK::PixelColor green{{255, 0, 255, 0}, {}}, red{{0, 255, 255, 0}, {}};
    const std::string pdf = savedPdf<WriteCMYK>(folder, paramsFor(CM_CMYK), [&](auto& page) {
        page.newPage(40.0, 20.0, -17);
        page.fillRect({0, 0}, 100, 100, WriteCMYK::blueColor());
        page.fillRectPlain({100, 0}, 7, 100, WriteCMYK::blackColor());
        page.fillRectExact(200.5, 10.25, 33.3, 50.0, WriteCMYK::yellowColor());
        page.fillRect({3000000000u, 0}, 10, 10, WriteCMYK::blackColor());
        // Polygons of 256 vertices or more, or without vertices, are dropped.
        std::vector<std::uint32_t> xs, ys;
        for (const std::size_t count : {300u, 256u, 255u}) {
            xs.resize(count);
            ys.resize(count);
            for (std::uint32_t i = 0; i < count; ++i) {
                xs[i] = 100 + (i % 2) * 50;
                ys[i] = 100 + i / 2;
            }
            page.drawPolygon(count, xs.data(), ys.data(), count == 255 ? green : red);
        }
        page.drawPolygon(3, nullptr, ys.data(), red);
    });
    ASSERT_TRUE(qpdfCheckPasses(pdf));
    ParsedPdf parsed(pdf);
    const std::string content = parsed.content(0);
    // pdfFlag 0x105: the page's flag byte is 5. Patches are marked, the
    // plain bar (0.7 mm = 1.9843 pt wide) between them is not; the third
    // patch lies past 2^31 tenths.
    const std::string marked = "/OrvoPatch <</Flag 5>> BDC\n";
    const auto first = content.find(marked);
    const auto bar = content.find("1.9843 28.3465 re");
    const auto second = content.find(marked, first + 1);
    const auto far = content.find(marked, second + 1);
    ASSERT_NE(far, std::string::npos) << content;
    EXPECT_TRUE(first < bar && bar < second) << content;
    EXPECT_EQ(content.find(marked, far + 1), std::string::npos);
    // Exact tenths keep their fraction: x 20.05 mm = 56.8346 pt, width
    // 3.33 mm = 9.4394 pt, bottom 20 - 1.025 - 5 mm = 13.975 mm = 39.6142 pt.
    EXPECT_NE(content.find("56.8346 39.6142 9.4394 14.1732 re"), std::string::npos);
    // 3e9 tenths (past 2^31) = 3e8 mm = 850393700.7874 pt, not negative.
    EXPECT_NE(content.find("850393700.7874 "), std::string::npos);
    EXPECT_EQ(parsed.key(0, "/OrvoPageCode"), "-17");
    EXPECT_EQ(parsed.key(0, "/MediaBox"), "[ 0 0 113.3858 56.6929 ]");
    // Only the 255-vertex polygon: one fill of 254 lines, in green.
    EXPECT_EQ(content.find("0 1 1 0 k"), std::string::npos);
    EXPECT_NE(content.find("1 0 1 0 k"), std::string::npos);
    std::size_t lines = 0;
    for (auto at = content.find(" l\n"); at != std::string::npos;
         at = content.find(" l\n", at + 1)) {
        ++lines;
    }
    EXPECT_EQ(lines, 254u);
}

TEST(PdfDrawing, TheDocumentHoldsEveryPageInOrderAndTheCommandTextAsKeywords) {
    TempFolder folder;
    const std::string command = "MEASURE ROW=1;PASS=Düsseldorf";
    // Drawing before the first page opens one of the chart's first size.
    const std::string pdf =
        savedPdf<WriteCMYK>(folder, paramsFor(CM_CMYK, 25.4, 50.8), [&](auto& page) {
            page.setCommandText(command);
            page.fillRect({0, 0}, 100, 100, WriteCMYK::blueColor());
            page.newPage(30.0, 60.0, 3);
            page.fillRect({0, 0}, 100, 100, WriteCMYK::yellowColor());
        });
    ASSERT_TRUE(qpdfCheckPasses(pdf));
    ParsedPdf parsed(pdf);
    ASSERT_EQ(parsed.pages.size(), 2u);
    EXPECT_EQ(parsed.key(0, "/MediaBox"), "[ 0 0 72 144 ]");
    EXPECT_EQ(parsed.key(1, "/MediaBox"), "[ 0 0 85.0394 170.0787 ]");
    EXPECT_EQ(parsed.key(1, "/OrvoPageCode"), "3");
    EXPECT_NE(parsed.content(0).find("1 1 0 0 k"), std::string::npos);
    EXPECT_NE(parsed.content(1).find("0 0 1 0 k"), std::string::npos);
    EXPECT_EQ(parsed.pdf->getTrailer().getKey("/Info").getKey("/Keywords").getUTF8Value(), command);
    // Unusable page extents raise the invalid page size code.
    PdfPage<WriteCMYK> page(paramsFor(CM_CMYK));
    EXPECT_EQ(codeOf([&] { page.newPage(0.0, 20.0, 0); }), -2355);
    EXPECT_EQ(codeOf([&] { page.newPage(40.0, std::numeric_limits<double>::quiet_NaN(), 0); }),
              -2355);
    EXPECT_EQ(codeOf([&] { page.newPage(6000.0, 20.0, 0); }), -2355);
    EXPECT_EQ(codeOf([&] { page.newPage(5080.0, 5080.0, 0); }), 0);
}

TEST(PdfFiles, JpegNamesReplaceTheExtensionOfTheFileName) {
    // "name_0.tif" and a bare name are in the previews below.
    const std::pair<const char*, const char*> names[] = {{"archive.tar.gz", "archive.tar.jpg"},
                                                         {"out.d/chart", "out.d/chart.jpg"},
                                                         {"out.d/chart.pdf", "out.d/chart.jpg"}};
    for (const auto& [name, jpeg] : names) {
        EXPECT_EQ(PdfPage<WriteCMYK>::jpegName(name), jpeg);
    }
}

TEST(PdfFiles, PreviewsShowThePageInItsAspect) {
    TempFolder folder;
    const std::string pdf = savedPdf<WriteCMYK>(folder, paramsFor(CM_CMYK), [&](auto& page) {
        page.newPage(60.0, 20.0, 0);
        page.fillRect({0, 0}, 300, 200, {{0, 255, 255, 0}, {}});  // magenta + yellow
        page.fillRect({300, 0}, 150, 200, {{0, 0, 0, 255}, {}});  // black
        page.drawLabel("Strip A", 460, 50, 30, WriteCMYK::blackColor());
        page.drawMarkerArrow(470, 100, 500, 100, 6, 30, 12, WriteCMYK::blackColor());
        page.newPage(20.0, 50.0, 0);
        page.fillRect({0, 0}, 200, 250, {{255, 0, 0, 0}, {}});  // cyan, top half
        page.exportJpeg(folder.file("first_0.tif"), 0, 2);
        page.exportJpeg(folder.file("first_1.tif"), 1, 2);
    });
    // No dates: the same chart gives the same file.
    EXPECT_EQ(fileText(pdf).find("/CreationDate"), std::string::npos);
    EXPECT_EQ(fileText(pdf).find("/ModDate"), std::string::npos);
    EXPECT_FALSE(fs::exists(folder.file("first_0.tif")));
    const Jpeg wide(folder.file("first_0.jpg"));
    EXPECT_EQ(wide.width, 3 * wide.height);
    EXPECT_GE(wide.width, 200);
    const Jpeg tall(folder.file("first_1.jpg"));
    EXPECT_EQ(2 * tall.height, 5 * tall.width);
    const std::array<int, 3> red{255, 0, 0}, black{0, 0, 0}, white{255, 255, 255},
        cyan{0, 255, 255};
    const std::pair<std::array<int, 3>, std::array<int, 3>> expected[] = {
        {wide.at(0.25, 0.5), red},
        {wide.at(0.6, 0.5), black},
        {wide.at(0.95, 0.9), white},
        {tall.at(0.5, 0.25), cyan},
        {tall.at(0.5, 0.75), white}};
    for (const auto& [got, want] : expected) {
        for (unsigned s = 0; s < 3; ++s) {
            EXPECT_NEAR(got[s], want[s], 4) << s;
        }
    }
    // Lab previews show neutrals as neutral grey and keep negative a*.
    savedPdf<WriteLAB>(folder, paramsFor(CM_LAB), [&](auto& page) {
        page.newPage(20.0, 20.0, 0);
        page.fillRect({0, 0}, 100, 200, {{128, 0, 0}, {}});
        page.fillRect({100, 0}, 100, 200, {{128, 236, 0}, {}});  // a* -20
        page.exportJpeg(folder.file("lab"), 0, 1);
    });
    const Jpeg lab(folder.file("lab.jpg"));
    for (int v : lab.at(0.25, 0.5)) {
        EXPECT_NEAR(v, 119, 3);
    }
    EXPECT_GT(lab.at(0.75, 0.5)[1], lab.at(0.75, 0.5)[0] + 20);  // leans green
}

TEST(PdfFiles, AFailedSaveRaisesCannotOpenFileAndNeverReplacesAnOlderFile) {
    TempFolder folder;
    PdfPage<WriteCMYK> page(paramsFor(CM_CMYK));
    page.newPage(20.0, 10.0, 0);
    const std::string missingFolder = folder.file("missing/chart.pdf");
    EXPECT_EQ(codeOf([&] { page.save(missingFolder); }), -2373);
    EXPECT_EQ(codeOf([&] { page.exportJpeg(missingFolder, 0, 1); }), -2373);
    EXPECT_STREQ(errorText(-2373), "GenChartLib: Cannot open file");
    // Neither a folder nor an older file under the name is replaced.
    fs::create_directories(folder.file("taken.pdf"));
    EXPECT_EQ(codeOf([&] { page.save(folder.file("taken.pdf")); }), -2373);
    const std::string older = "an older file that must survive whole";
    { std::ofstream(folder.file("chart.pdf")) << older; }
    EXPECT_EQ(codeOf([&] { page.save(folder.file("chart.pdf")); }), -2373);
    EXPECT_EQ(fileText(folder.file("chart.pdf")), older);
    EXPECT_EQ(folder.entries(), (std::vector<std::string>{"chart.pdf", "taken.pdf"}));
}

}  // namespace
}  // namespace GenChartLib
