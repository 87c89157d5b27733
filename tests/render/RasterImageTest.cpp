// Raster pages rendered by RasterImage, written by the real image writer
// module and read back with libtiff.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <memory>
#include <random>
#include <string>
#include <vector>

#include "FailureCapture.h"
#include "LiteralRowLoop.h"
#include "base/ErrorCodes.h"
#include "host/ReadBack.h"
#include "render/GraphicObjects.h"
#include "render/RasterImage.h"

namespace GenChartLib {
namespace {

using failuretest::codeOf;
using readback::readTiff;
using readback::TempFolder;
using readback::TiffPage;
using rowloop::ObjectList;
using rowloop::renderLiteral;
using rowloop::Rows;
using Bytes = std::vector<std::uint8_t>;

const Bytes kBlack = {0, 0, 0, 255}, kPaper = {0, 0, 0, 0}, kBlue = {255, 255, 0, 0};

// Renders `objects` into `file` through the module and reads it back. The
// module never writes over a file, so an earlier page of the name goes first.
template <class W>
TiffPage renderPage(const std::string& file, unsigned channels, std::uint32_t width,
                    std::uint32_t height, IdMeasureInstrument instrument, ObjectList<W> objects,
                    int hint = OC_IMG_PHOTOMETRIC_AUTO, const std::string& inkNames = "") {
    std::remove(file.c_str());
    RasterImage<W> page(static_cast<int>(channels), file, width, height, instrument, hint);
    page.open();
    if (!inkNames.empty()) {
        page.setField(OC_IMG_TAG_INK_NAMES, inkNames);
    }
    for (auto& o : objects) {
        page.add(std::move(o));
    }
    page.renderAndWrite(instrument);
    return readTiff(file);
}

TEST(FramedPage, EyeOnePagesGetDashesAlongAllFourEdgesAndPrinterLayoutsNone) {
    TempFolder folder;
    for (IdMeasureInstrument id :
         {MI_EYEONE, MI_CANON, MI_EPSON, MI_EPSONILS30, MI_HPZ, MI_HPZ_UVCUT}) {
        ObjectList<WriteCMYK> objects;
        objects.push_back(
            std::make_unique<Rect<WriteCMYK>>(Point{10, 10}, 20, 5, WriteCMYK::blueColor()));
        const TiffPage p =
            renderPage<WriteCMYK>(folder.file("frame.tif"), 4, 100, 50, id, std::move(objects));
        const bool framed = id == MI_EYEONE;
        for (std::uint32_t y = 0; y < 50; ++y) {
            for (std::uint32_t x = 0; x < 100; ++x) {
                const bool edgeRow = framed && (y <= 1 || y >= 48);
                const bool sideDash = framed && y % 20 < 10 && (x <= 1 || x >= 98);
                const bool topDash = edgeRow && x < 90 && x % 20 < 10;
                const bool rect = y >= 10 && y <= 14 && x >= 10 && x <= 29;
                const Bytes& want = rect ? kBlue : (sideDash || topDash) ? kBlack : kPaper;
                ASSERT_EQ(p.pixel(x, y), want)
                    << "instrument " << id << " pixel " << x << ", " << y;
            }
        }
    }
}

// A 40 x 30 page of writer W with a 10 x 10 patch at (5, 5), read back.
template <class W>
TiffPage patchPage(const TempFolder& folder, unsigned channels, const typename W::PixelColor& patch,
                   int hint = -1, const std::string& inkNames = "") {
    ObjectList<W> objects;
    objects.push_back(std::make_unique<Rect<W>>(Point{5, 5}, 10, 10, patch));
    return renderPage<W>(folder.file("patch.tif"), channels, 40, 30, MI_EYEONE, std::move(objects),
                         hint, inkNames);
}

// The tags every page carries the same, then its own colour tags.
void expectFormat(const TiffPage& p, std::uint16_t photometric, std::uint16_t inkSet,
                  const std::vector<std::string>& inks) {
    SCOPED_TRACE(testing::Message() << p.samplesPerPixel << " channels");
    EXPECT_EQ(std::make_tuple(p.bitsPerSample, p.planar, p.compression, p.predictor),
              std::make_tuple(8, PLANARCONFIG_CONTIG, COMPRESSION_LZW, PREDICTOR_HORIZONTAL));
    EXPECT_EQ(p.resolutionUnit, RESUNIT_INCH);
    EXPECT_FLOAT_EQ(p.xResolution, 254.0f);
    EXPECT_FLOAT_EQ(p.yResolution, 254.0f);
    EXPECT_FALSE(p.hasDateTime || p.hasSoftware || p.hasDescription || p.bigTiff);
    EXPECT_EQ(p.photometric, photometric);
    EXPECT_EQ(p.inkSet, inkSet);
    EXPECT_EQ(p.inkNames, inks);
    EXPECT_EQ(p.numberOfInks, inks.empty() ? 0u : inks.size());
}

// Cyan, Magenta, Yellow, Black followed by `extra`.
std::vector<std::string> processInksAnd(std::vector<std::string> extra) {
    extra.insert(extra.begin(), {"Cyan", "Magenta", "Yellow", "Black"});
    return extra;
}

TEST(PageFormats, ProcessInkLabAndRgbPagesCarryTheirOwnColourTags) {
    TempFolder folder;
    TiffPage p = patchPage<WriteCMYK>(folder, 4, {{10, 20, 30, 40}, {}});
    expectFormat(p, PHOTOMETRIC_SEPARATED, INKSET_CMYK, {});
    EXPECT_EQ(p.pixel(14, 14), (Bytes{10, 20, 30, 40}));
    EXPECT_EQ(p.pixel(15, 14), kPaper);
    // Orange at 100 % is byte 0, an inverted ink; paper leaves it at 255.
    p = patchPage<WriteCMYKO>(folder, 5, {{0, 0, 0, 0, 0}, {}});
    expectFormat(p, PHOTOMETRIC_SEPARATED, INKSET_MULTIINK, processInksAnd({"Orange"}));
    EXPECT_EQ(p.pixel(6, 6), Bytes(5, 0));
    EXPECT_EQ(p.pixel(20, 20), (Bytes{0, 0, 0, 0, 255}));
    p = patchPage<WriteCMYKOG>(folder, 6, WriteCMYKOG::blackColor());
    expectFormat(p, PHOTOMETRIC_SEPARATED, INKSET_MULTIINK, processInksAnd({"Orange", "Green"}));
    p = patchPage<WriteCMYKRGB>(folder, 7, {{1, 2, 3, 4, 5, 6, 7}, {}});
    expectFormat(p, PHOTOMETRIC_SEPARATED, INKSET_MULTIINK,
                 processInksAnd({"Red", "Green", "Blue"}));
    EXPECT_EQ(p.pixel(10, 10), (Bytes{1, 2, 3, 4, 5, 6, 7}));
    // Three channels: CIELab with the Lab hint (L* 50, a* -20, b* 30), RGB
    // without.
    p = patchPage<WriteLAB>(folder, 3, {{128, 236, 30}, {}}, OC_IMG_PHOTOMETRIC_LAB);
    expectFormat(p, PHOTOMETRIC_CIELAB, 0, {});
    EXPECT_EQ(p.pixel(7, 7), (Bytes{128, 236, 30}));
    EXPECT_EQ(p.pixel(30, 20), (Bytes{255, 0, 0}));  // paper, L* 100
    p = patchPage<WriteRGB>(folder, 3, WriteRGB::blueColor());
    expectFormat(p, PHOTOMETRIC_RGB, 0, {});
    EXPECT_EQ(p.pixel(5, 5), (Bytes{0, 0, 255}));
    EXPECT_EQ(p.pixel(25, 5), (Bytes{255, 255, 255}));
}

TEST(PageFormats, SpotPagesFromOneToEightChannels) {
    TempFolder folder;
    // One channel: the byte is an ink amount, so 0 is white.
    TiffPage p = patchPage<WriteSpotColor>(folder, 1, {{0, 0, 0, 0}, {200}, 1});
    expectFormat(p, PHOTOMETRIC_MINISWHITE, 0, {});
    EXPECT_EQ(p.at(5, 5), 200);
    EXPECT_EQ(p.at(1, 5), 255);  // frame black on a one-ink page
    EXPECT_EQ(p.at(20, 20), 0);
    // Three spot inks handed over by name are separated inks, not RGB.
    p = patchPage<WriteSpotColor>(folder, 3, {{0, 0, 0, 0}, {10, 20, 30}, 3}, -1,
                                  std::string("Cyan\0Magenta\0Yellow\0", 20));
    expectFormat(p, PHOTOMETRIC_SEPARATED, INKSET_MULTIINK, {"Cyan", "Magenta", "Yellow"});
    EXPECT_EQ(p.pixel(5, 5), (Bytes{10, 20, 30}));
    EXPECT_EQ(p.pixel(1, 5), (Bytes{255, 255, 255}));  // frame black in every ink
    EXPECT_EQ(p.pixel(20, 20), (Bytes{0, 0, 0}));
    p = patchPage<WriteSpotColor>(folder, 4, WriteSpotColor::blackColor());
    expectFormat(p, PHOTOMETRIC_SEPARATED, INKSET_CMYK, {});
    // Six: paper and black leave the spot channels, inverted, at 255.
    p = patchPage<WriteSpotColor>(folder, 6, {{0, 0, 0, 0}, {1, 2, 3, 4, 50, 60}, 6}, -1,
                                  std::string("Cyan\0Magenta\0Yellow\0Black\0Gold\0Spot 6\0", 38));
    expectFormat(p, PHOTOMETRIC_SEPARATED, INKSET_MULTIINK, processInksAnd({"Gold", "Spot 6"}));
    EXPECT_EQ(p.pixel(5, 5), (Bytes{1, 2, 3, 4, 50, 60}));
    EXPECT_EQ(p.pixel(20, 20), (Bytes{0, 0, 0, 0, 255, 255}));
    EXPECT_EQ(p.pixel(1, 5), (Bytes{0, 0, 0, 255, 255, 255}));
    // Eight inks without names fall back to spot names.
    p = patchPage<WriteSpotColor>(folder, 8, WriteSpotColor::paperColor());
    expectFormat(p, PHOTOMETRIC_SEPARATED, INKSET_MULTIINK,
                 processInksAnd({"Spot 5", "Spot 6", "Spot 7", "Spot 8"}));
}

class PageFailures : public testing::Test {
  protected:
    bool logged(const std::string& text) const {
        return captured.text().find(text) != std::string::npos;
    }
    TempFolder folder;
    testsupport::LogCapture captured{folder.file("log.txt")};
};

TEST_F(PageFailures, MissingOrOutdatedModulesAreRefusedWithTheReasonLogged) {
    const std::string suffix = ORVOCHART_MODULE_SUFFIX;
    RasterImage<WriteCMYK> missing(4, folder.file("x.tif"), 10, 10, MI_EYEONE, -1,
                                   folder.file("NoSuchModule" + suffix));
    EXPECT_EQ(codeOf([&] { missing.open(); }), ERR_LOAD_LIBRARY);
    EXPECT_TRUE(logged("RasterImage/open: LoadLibrary failed")) << captured.text();
    RasterImage<WriteCMYK> outdated(4, folder.file("x.tif"), 10, 10, MI_EYEONE, -1,
                                    std::string(ORVOCHART_MODULE_DIR) + "/outdatedDbgOut" + suffix);
    EXPECT_EQ(codeOf([&] { outdated.open(); }), ERR_LOAD_LIBRARY);
    EXPECT_TRUE(logged("interface version 0 of")) << captured.text();
    // The table checks name what is wrong.
    std::string reason;
    EXPECT_FALSE(acceptImageWriter(nullptr, &reason));
    EXPECT_EQ(reason, "no interface");
    OcImageWriterInterface table{};
    table.structSize = sizeof table;
    table.version = OC_IMG_INTERFACE_VERSION;
    EXPECT_FALSE(acceptImageWriter(&table, &reason));
    EXPECT_EQ(reason, "interface has empty entries");
    table.structSize = 8;
    EXPECT_FALSE(acceptImageWriter(&table, &reason));
    EXPECT_EQ(reason.rfind("interface version 1 of 8 bytes, expected version 1 of ", 0), 0u)
        << reason;
}

TEST_F(PageFailures, UnusablePagesStopBeforeAnythingIsWritten) {
    for (int channels : {0, 2, 9, -1}) {
        RasterImage<WriteCMYK> page(channels, folder.file("bad.tif"), 10, 10, MI_EYEONE, -1);
        EXPECT_EQ(failuretest::messageOf([&] { page.open(); }), "Unsupported colorspace")
            << channels;
        EXPECT_FALSE(page.isOpen());
    }
    RasterImage<WriteCMYK> noFolder(4, folder.file("no/such/x.tif"), 10, 10, MI_EYEONE, -1);
    EXPECT_EQ(codeOf([&] { noFolder.open(); }), ERR_TIFF_HEADER);
    EXPECT_TRUE(logged("GenChartLib: Initialize Tiff Header failed"));
    EXPECT_TRUE(logged("cannot create")) << captured.text();
    // 4 G pixels per row and row, eight channels: an error code, not a crash.
    RasterImage<WriteSpotColor> huge(8, folder.file("huge.tif"), 0xFFFFFFFFu, 0xFFFFFFFFu,
                                     MI_EYEONE, -1);
    EXPECT_EQ(codeOf([&] { huge.open(); }), ERR_TIFF_HEADER);
    EXPECT_TRUE(logged("is too large")) << captured.text();
    RasterImage<WriteCMYK> empty(4, folder.file("empty.tif"), 0, 10, MI_EYEONE, -1);
    EXPECT_EQ(codeOf([&] { empty.open(); }), ERR_TIFF_HEADER);
    {  // A page dropped before it is written leaves no file.
        RasterImage<WriteCMYK> dropped(4, folder.file("dropped.tif"), 50, 50, MI_EYEONE, -1);
        dropped.open();
        dropped.add(std::make_unique<Rect<WriteCMYK>>(Point{1, 1}, 5, 5, WriteCMYK::blackColor()));
    }
    EXPECT_EQ(folder.entries(), std::vector<std::string>{"log.txt"});
}

TEST_F(PageFailures, APageIsWrittenOnceAfterOpeningAndNeverReplacesAnOlderFile) {
    const std::string file = folder.file("page.tif");
    const std::string older = "an older page";
    { std::ofstream(file) << older; }
    RasterImage<WriteCMYK> page(4, file, 30, 30, MI_EYEONE, -1);
    EXPECT_EQ(codeOf([&] { page.renderAndWrite(MI_EYEONE); }), ERR_OPEN_FILE);
    page.open();
    // The finished page finds its name taken, and the handle is gone after.
    EXPECT_EQ(codeOf([&] { page.renderAndWrite(MI_EYEONE); }), ERR_OPEN_FILE);
    EXPECT_EQ(codeOf([&] { page.renderAndWrite(MI_EYEONE); }), ERR_OPEN_FILE);
    EXPECT_TRUE(logged("GenChartLib: Cannot open file"));
    EXPECT_EQ(testsupport::fileText(file), older);
    EXPECT_EQ(folder.entries(), (std::vector<std::string>{"log.txt", "page.tif"}));
}

// ------------------------------------------------------------ the row loop

template <class W>
typename W::PixelColor randomColor(std::mt19937& rng, unsigned channels) {
    typename W::PixelColor c = W::paperColor();
    for (auto& b : c.channels) {
        b = static_cast<std::uint8_t>(rng());
    }
    if constexpr (std::is_same_v<W, WriteSpotColor>) {
        c.channelCount = channels;
        c.extra.resize(channels);
        for (auto& b : c.extra) {
            b = static_cast<std::uint8_t>(rng());
        }
    }
    return c;
}

// A seeded random page of every kind of object; the same seed builds the
// same objects, so each renderer gets its own identical set.
template <class W>
struct RandomPage {
    RandomPage(std::uint32_t s, unsigned n) : seed(s), channels(n) {
        std::mt19937 rng(seed);
        width = 30 + static_cast<std::uint32_t>(rng() % 370);
        height = 30 + static_cast<std::uint32_t>(rng() % 270);
        frame = rng() % 4 != 0;
    }
    ObjectList<W> build() const {
        std::mt19937 rng(seed * 7919u + 13u);
        auto below = [&](std::uint32_t n) { return n == 0 ? 0u : std::uint32_t(rng() % n); };
        ObjectList<W> o;
        for (std::uint32_t i = 0, count = 1 + below(40); i < count; ++i) {
            const auto color = randomColor<W>(rng, channels);
            const std::uint32_t kind = below(9);
            const Point p{below(width), below(height)};
            if (kind < 2) {
                o.push_back(std::make_unique<Rect<W>>(Point{p.x + 1, p.y}, below(width / 2),
                                                      below(height / 3), color));
            } else if (kind == 2) {
                // Radius 0 at column 0 would end left of the page's first
                // column: its box would wrap round the axis.
                o.push_back(std::make_unique<Circle<W>>(p, 1 + below(60), color));
            } else if (kind < 5) {
                std::vector<Point> corners(3 + below(6));
                const std::uint32_t spread = 4 + below(80);
                for (Point& v : corners) {
                    v = {p.x + below(spread), p.y + below(spread)};
                }
                o.push_back(std::make_unique<Polygone<W>>(std::move(corners), color));
            } else if (kind == 5) {
                const auto c = static_cast<char>('0' + below(11));
                o.push_back(std::make_unique<Digit<W>>(p, 2 + below(30), c, color));
            } else if (kind == 6) {
                o.push_back(std::make_unique<Number<W>>(p, 1 + below(24), below(100000), color));
            } else if (kind == 7) {
                o.push_back(
                    makeDiamond<W>({p.x + 1, p.y + 1}, 2 + below(60), 2 + below(60), color));
            } else {
                const std::uint32_t angles[] = {0, 90, 180, 45}, shaft = 4 + below(40);
                o.push_back(makeRasterArrow<W>({p.x + 200, p.y + 60}, shaft, 6 + below(90),
                                               angles[below(4)], color));
            }
        }
        return o;
    }
    std::uint32_t seed;
    unsigned channels;
    std::uint32_t width = 0, height = 0;
    bool frame = true;
};

// Seeded random pages of writer W, written and read back, against the
// step-by-step row loop's rows, framed (EyeOne) or not (Canon).
template <class W>
void expectRandomPages(const TempFolder& folder, unsigned channels, std::uint32_t firstSeed,
                       std::uint32_t pages) {
    for (std::uint32_t seed = firstSeed; seed < firstSeed + pages; ++seed) {
        SCOPED_TRACE(testing::Message() << "seed " << seed);
        const RandomPage<W> page(seed, channels);
        const Rows expected =
            renderLiteral<W>(page.build(), page.width, page.height, channels, page.frame);
        const TiffPage p = renderPage<W>(folder.file("rows.tif"), channels, page.width, page.height,
                                         page.frame ? MI_EYEONE : MI_CANON, page.build());
        ASSERT_EQ(p.rows.size(), expected.size());
        for (std::size_t y = 0; y < expected.size(); ++y) {
            ASSERT_EQ(p.rows[y], expected[y]) << "row " << y;
        }
    }
}

TEST(RowLoop, RenderedRowsEqualTheStepByStepRowLoopOnRandomPages) {
    TempFolder folder;
    const char* longRun = std::getenv("ORVOCHART_LONG");
    const std::uint32_t pages = longRun != nullptr && *longRun == '1' ? 3000
                                : readback::quickRun()                ? 20
                                                                      : 150;
    expectRandomPages<WriteCMYK>(folder, 4, 1000, pages);
    expectRandomPages<WriteCMYKRGB>(folder, 7, 50000, pages / 5 + 1);
    expectRandomPages<WriteLAB>(folder, 3, 60000, pages / 5 + 1);
    for (unsigned channels = 1; channels <= kMaxChannels; ++channels) {
        if (channels != 2) {  // a count no page takes
            expectRandomPages<WriteSpotColor>(folder, channels, 70000 + 100 * channels,
                                              pages / 10 + 1);
        }
    }
}

// A page whose TIFF could pass 4 GiB (about 2.9 GB of pixels) is written as
// BigTIFF; small pages stay classic TIFF (see the formats above). It takes
// some seconds, so quick runs leave it out.
TEST(RowLoop, PagesThatCouldPassFourGibibytesAreWrittenAsBigTiff) {
    if (readback::quickRun()) {
        GTEST_SKIP() << "quick run";
    }
    TempFolder folder;
    const std::string file = folder.file("big.tif");
    RasterImage<WriteSpotColor> page(1, file, 54000, 54000, MI_CANON, -1);
    page.open();
    page.add(std::make_unique<Rect<WriteSpotColor>>(Point{53000, 53990}, 1000, 10,
                                                    WriteSpotColor::blackColor()));
    page.renderAndWrite(MI_CANON);
    const TiffPage p = readTiff(file, false);
    EXPECT_TRUE(p.bigTiff);
    EXPECT_EQ(p.width, 54000u);
    EXPECT_EQ(p.height, 54000u);
    // Rows decode in order from the start of their strip.
    TIFF* t = TIFFOpen(file.c_str(), "r");
    Bytes row(54000);
    std::uint32_t rowsPerStrip = 0;
    ASSERT_EQ(TIFFGetField(t, TIFFTAG_ROWSPERSTRIP, &rowsPerStrip), 1);
    for (std::uint32_t y = 53995 - 53995 % rowsPerStrip; y <= 53995; ++y) {
        TIFFReadScanline(t, row.data(), y, 0);
    }
    TIFFClose(t);
    EXPECT_EQ(row[52999], 0);
    EXPECT_EQ(row[53000], 255);
    EXPECT_EQ(row[53999], 255);
}

}  // namespace
}  // namespace GenChartLib
