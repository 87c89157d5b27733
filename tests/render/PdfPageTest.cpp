// PDF pages written through the real PDF writer module and read back by
// independent tools: qpdf checks and parses the documents, Ghostscript's
// separation device shows what each ink plate carries, libjpeg-turbo opens
// the previews.
#include <gtest/gtest.h>
#include <turbojpeg.h>

#include <array>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
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

#include "FailureCapture.h"
#include "base/ChartParams.h"
#include "base/ErrorCodes.h"
#include "host/ReadBack.h"
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
using failuretest::codeOf;
using readback::TempFolder;
using readback::TiffPage;
using testsupport::LogCapture;

// Ghostscript renders test pages at 5 dots per millimetre.
constexpr double kDotsPerMm = 127.0 / 25.4;

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

// Sample s of a Ghostscript raster at a point given in millimetres.
int atMm(const TiffPage& r, double xMm, double yMm, unsigned s = 0) {
    return r.at(static_cast<std::uint32_t>(xMm * kDotsPerMm),
                static_cast<std::uint32_t>(yMm * kDotsPerMm), s);
}

// The ink plates of a document's first page, by colorant name. A plate's
// byte is turned into the ink amount (Ghostscript stores 255 - ink).
std::map<std::string, TiffPage> separations(const TempFolder& folder, const std::string& pdf) {
    EXPECT_EQ(run("gs -q -dSAFER -dBATCH -dNOPAUSE -sDEVICE=tiffsep -sCompression=none "
                  "-r127 -dFirstPage=1 -dLastPage=1 -sOutputFile=" +
                  quoted(folder.file("sep.tif")) + " " + quoted(pdf)),
              0)
        << "Ghostscript failed on " << pdf;
    std::map<std::string, TiffPage> plates;
    for (const std::string& name : folder.entries()) {
        if (name.rfind("sep(", 0) == 0) {
            TiffPage plate = readback::readTiff(folder.file(name));
            for (auto& row : plate.rows) {
                for (auto& b : row) {
                    b = static_cast<std::uint8_t>(255 - b);
                }
            }
            plates[name.substr(4, name.size() - 4 - 5)] = std::move(plate);
        }
    }
    return plates;
}

TiffPage renderRgb(const TempFolder& folder, const std::string& pdf) {
    const std::string out = folder.file("rgb.tif");
    EXPECT_EQ(run("gs -q -dSAFER -dBATCH -dNOPAUSE -sDEVICE=tiff24nc -sCompression=none -r127 "
                  "-sOutputFile=" +
                  quoted(out) + " " + quoted(pdf)),
              0);
    return readback::readTiff(out);
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
    auto* bytes = reinterpret_cast<unsigned char*>(data.data());
    Jpeg j;
    int subsampling = 0;
    int colorspace = 0;
    tjhandle decoder = tjInitDecompress();
    bool decoded = !data.empty() && tjDecompressHeader3(decoder, bytes, data.size(), &j.width,
                                                        &j.height, &subsampling, &colorspace) == 0;
    if (decoded) {
        j.rgb.resize(static_cast<std::size_t>(j.width) * static_cast<std::size_t>(j.height) * 3);
        decoded = tjDecompress2(decoder, bytes, data.size(), j.rgb.data(), j.width, 0, j.height,
                                TJPF_RGB, 0) == 0;
    }
    tjDestroy(decoder);
    EXPECT_TRUE(decoded) << "not a JPEG: " << path;
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

std::string moduleFile(const char* baseName) {
    return std::string(ORVOCHART_MODULE_DIR) + "/" + platform::moduleFileName(baseName);
}

TEST(PdfPageModule, MissingForeignOutdatedOrUnfitModulesAreRefusedWithTheReasonLogged) {
    TempFolder folder;
    LogCapture log(folder.file("log.txt"));
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
    EXPECT_NE(text.find("PdfPage/PdfPage: " + moduleFile("noSuchPDF")), std::string::npos);
    EXPECT_NE(text.find("foreignPDF.so: no entry GetPDFInterface"), std::string::npos) << text;
    EXPECT_NE(text.find("outdatedPDF.so: interface version 0 of 112 bytes, expected version 1"),
              std::string::npos)
        << text;
    EXPECT_NE(text.find("colour mode 42 with 0 channels refused"), std::string::npos) << text;

    PdfPage<WriteCMYK> page(params);
    EXPECT_TRUE(page.loaded());
    EXPECT_EQ(page.channelCount(), 4);
}

// --- Ink values on the separations ------------------------------------------

// Byte of channel c of patch p: spread over the whole range, 0 and 255
// included.
std::uint8_t patchByte(unsigned p, unsigned c) {
    static constexpr std::uint8_t kBytes[] = {0, 255, 1, 128, 254, 77, 200, 13, 64, 191, 33};
    return kBytes[(3 * p + c) % sizeof kBytes];
}

// Four patches of writer W's page, each ink on its own plate by name.
template <class W>
void expectPatchInks(ColorMode mode, const std::vector<std::string>& inks) {
    SCOPED_TRACE(inks.back());
    TempFolder folder;
    const std::string pdf = folder.file("chart_0.tif");
    {
        PdfPage<W> page(paramsFor(mode));
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
    for (unsigned c = 0; c < inks.size(); ++c) {
        ASSERT_EQ(plates.count(inks[c]), 1u) << "no plate " << inks[c];
        for (unsigned p = 0; p < 4; ++p) {
            // Process inks are stored as amounts, the extra inks inverted.
            const int byte = patchByte(p, c);
            EXPECT_EQ(atMm(plates[inks[c]], p * 10.0 + 5.0, 5.0), c < 4 ? byte : 255 - byte)
                << inks[c] << " of patch " << p;
        }
        EXPECT_EQ(atMm(plates[inks[c]], 35.0, 18.0), 0) << "paper under " << inks[c];
    }
}

TEST(PdfInkValues, EveryPatchPrintsItsInksExactly) {
    const std::vector<std::string> cmyk = {"Cyan", "Magenta", "Yellow", "Black"};
    auto with = [&](std::vector<std::string> extra) {
        extra.insert(extra.begin(), cmyk.begin(), cmyk.end());
        return extra;
    };
    expectPatchInks<WriteCMYK>(CM_CMYK, cmyk);
    expectPatchInks<WriteCMYKO>(CM_CMYKO, with({"Orange"}));
    expectPatchInks<WriteCMYKOG>(CM_CMYKOG, with({"Orange", "Green"}));
    expectPatchInks<WriteCMYKRGB>(CM_CMYKRGB, with({"Red", "Green", "Blue"}));
}

template <class W>
void expectReproducibleFiles(ColorMode mode) {
    SCOPED_TRACE(static_cast<int>(mode));
    TempFolder folder;
    auto draw = [&](const std::string& name) {
        PdfPage<W> page(paramsFor(mode));
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

TEST(PdfInkValues, TheSamePageDrawnTwiceGivesIdenticalFiles) {
    expectReproducibleFiles<WriteCMYK>(CM_CMYK);
    expectReproducibleFiles<WriteCMYKO>(CM_CMYKO);
    expectReproducibleFiles<WriteCMYKOG>(CM_CMYKOG);
    expectReproducibleFiles<WriteCMYKRGB>(CM_CMYKRGB);
}

TEST(PdfSpotInks, SpotPlatesCarryTheChartsNamesAndInvertedChannelsFromTheFifthOn) {
    TempFolder folder;
    ChartParams params = paramsFor(CM_SPOT_6);
    params.channelCount = 6;
    // An empty, a repeated and a reserved name fall back to "Spot N"; PDF
    // name delimiters and "#" survive.
    params.channelNames = {"Pantone 185 C", "", "Gold", "Gold", "None", "Varnish #2 (gloss)"};
    const std::string pdf = folder.file("spot.pdf");
    {
        PdfPage<WriteSpotColor> page(params);
        EXPECT_EQ(page.channelCount(), 6);
        page.newPage(40.0, 20.0, 0);
        page.fillRect({0, 0}, 100, 100, {{0, 0, 0, 0}, {255, 0, 128, 7, 0, 255}, 6});
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
        EXPECT_EQ(atMm(plates[names[c]], 5.0, 5.0), inks[c]) << names[c];
    }
    // A fixed colour on a six-channel page: its K on channel 4, no extra ink.
    EXPECT_EQ(atMm(plates["Spot 4"], 15.0, 5.0), 255);
    EXPECT_EQ(atMm(plates["Pantone 185 C"], 15.0, 5.0), 0);
    EXPECT_EQ(atMm(plates["Spot 5"], 15.0, 5.0), 0);
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
    EXPECT_EQ(atMm(plates["Spot 1"], 2.0, 5.0), 255);
    EXPECT_EQ(atMm(plates["Spot 2"], 2.0, 5.0), 255);
    EXPECT_EQ(atMm(plates["Spot 1"], 15.0, 5.0), 0);
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
    const TiffPage rgb = renderRgb(folder, pdf);
    for (unsigned i = 0; i < colors.size(); ++i) {
        for (unsigned s = 0; s < 3; ++s) {
            EXPECT_EQ(atMm(rgb, i * 10.0 + 5.0, 5.0, s), colors[i].channels[s]) << i << "/" << s;
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
    const TiffPage rgb = renderRgb(folder, pdf);
    for (unsigned s = 0; s < 3; ++s) {
        EXPECT_NEAR(atMm(rgb, 15.0, 5.0, s), 119, 3) << s;
    }
    EXPECT_GT(atMm(rgb, 5.0, 5.0, 1), atMm(rgb, 5.0, 5.0, 0));  // a* -20 leans green
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
    {
        PdfPage<WriteCMYK> page(paramsFor(CM_CMYK));
        page.newPage(40.0, 40.0, 0);
        std::vector<std::uint32_t> xs;
        std::vector<std::uint32_t> ys;
        for (std::size_t count : {300, 256, 255}) {
            xs.resize(count);
            ys.resize(count);
            for (std::size_t i = 0; i < count; ++i) {
                xs[i] = static_cast<std::uint32_t>(100 + (i % 2) * 50);
                ys[i] = static_cast<std::uint32_t>(100 + i / 2);
            }
            page.drawPolygon(count, xs.data(), ys.data(),
                             count == 255 ? WriteCMYK::blueColor() : WriteCMYK::blackColor());
        }
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

TEST(PdfDrawing, PatchesCarryThePageFlagPlainRectanglesDoNotAndFarPositionsStayPositive) {
    TempFolder folder;
    const std::string pdf = folder.file("flags.pdf");
    {
        PdfPage<WriteCMYK> page(paramsFor(CM_CMYK));
        page.newPage(40.0, 20.0, -17);
        page.fillRect({0, 0}, 100, 100, WriteCMYK::blueColor());
        page.fillRectPlain({100, 0}, 7, 100, WriteCMYK::blackColor());
        page.fillRectExact(200.5, 10.25, 33.3, 50.0, WriteCMYK::yellowColor());
        page.fillRect({3000000000u, 0}, 10, 10, WriteCMYK::blackColor());
        page.save(pdf);
    }
    ASSERT_TRUE(qpdfCheckPasses(pdf));
    ParsedPdf parsed(pdf);
    const std::string content = parsed.content(0);
    // pdfFlag 0x105: the page's flag byte is 5.
    const std::string marked = "/OrvoPatch <</Flag 5>> BDC\n";
    const auto first = content.find(marked);
    ASSERT_NE(first, std::string::npos) << content;
    const auto second = content.find(marked, first + 1);
    ASSERT_NE(second, std::string::npos);
    const auto far = content.find(marked, second + 1);  // the patch past 2^31 tenths
    ASSERT_NE(far, std::string::npos);
    EXPECT_EQ(content.find(marked, far + 1), std::string::npos);
    // The plain bar (0.7 mm = 1.9843 pt wide) lies between the two patches.
    const auto bar = content.find("1.9843 28.3465 re");
    ASSERT_NE(bar, std::string::npos);
    EXPECT_GT(bar, first);
    EXPECT_LT(bar, second);
    // Exact tenths keep their fraction: x 20.05 mm = 56.8346 pt, width
    // 3.33 mm = 9.4394 pt, bottom 20 - 1.025 - 5 mm = 13.975 mm = 39.6142 pt.
    EXPECT_NE(content.find("56.8346 39.6142 9.4394 14.1732 re"), std::string::npos);
    // 3e9 tenths (past 2^31) = 3e8 mm = 850393700.7874 pt, not negative.
    EXPECT_NE(content.find("850393700.7874 "), std::string::npos);
    EXPECT_EQ(parsed.pages[0].getKey("/OrvoPageCode").getIntValue(), -17);
    EXPECT_EQ(parsed.pages[0].getKey("/MediaBox").unparse(), "[ 0 0 113.3858 56.6929 ]");
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

TEST(PdfDrawing, TheDocumentHoldsEveryPageInOrderAndTheCommandTextAsKeywords) {
    TempFolder folder;
    const std::string pdf = folder.file("pages.pdf");
    const std::string command = "MEASURE ROW=1;PASS=Düsseldorf";
    {
        PdfPage<WriteCMYK> page(paramsFor(CM_CMYK));
        page.newPage(40.0, 20.0, -17);
        page.setCommandText(command);
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
    EXPECT_EQ(parsed.pdf->getTrailer().getKey("/Info").getKey("/Keywords").getUTF8Value(), command);
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
    const Jpeg tall = readJpeg(folder.file("tall_1.jpg"));
    EXPECT_EQ(2 * tall.height, 5 * tall.width);
    const std::array<int, 3> red{255, 0, 0}, white{255, 255, 255}, cyan{0, 255, 255};
    const std::pair<std::array<int, 3>, std::array<int, 3>> expected[] = {
        {wide.at(0.25, 0.5), red}, {wide.at(0.75, 0.5), white}, {tall.at(0.5, 0.25), cyan}};
    for (const auto& [got, want] : expected) {
        for (unsigned s = 0; s < 3; ++s) {
            EXPECT_NEAR(got[s], want[s], 4) << s;
        }
    }
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
    for (int v : readJpeg(folder.file("lab.jpg")).at(0.5, 0.5)) {
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
    EXPECT_EQ(folder.entries(), std::vector<std::string>{"taken.pdf"});
}

// An older file under the name stays whole: the document is refused, and its
// new file goes again.
TEST(PdfFiles, SavingNeverReplacesAnOlderFile) {
    TempFolder folder;
    const std::string pdf = folder.file("chart.pdf");
    const std::string older = "an older file that must survive whole";
    { std::ofstream(pdf) << older; }
    PdfPage<WriteCMYK> page(paramsFor(CM_CMYK));
    page.newPage(20.0, 10.0, 0);
    EXPECT_EQ(codeOf([&] { page.save(pdf); }), -2373);
    EXPECT_EQ(readFile(pdf), older);
    EXPECT_EQ(folder.entries(), std::vector<std::string>{"chart.pdf"});
}

}  // namespace
}  // namespace GenChartLib
