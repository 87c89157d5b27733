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

TEST(PageFormats, SpotPagesOfEveryChannelCount) {
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
    p = patchPage<WriteSpotColor>(folder, 4, WriteSpotColor::blackColor());
    expectFormat(p, PHOTOMETRIC_SEPARATED, INKSET_CMYK, {});
    for (unsigned n = 5; n <= 8; ++n) {
        WriteSpotColor::PixelColor spot{{0, 0, 0, 0}, {1, 2, 3, 4}, n};
        std::vector<std::string> names = processInksAnd({});
        std::string packed = std::string("Cyan\0Magenta\0Yellow\0Black\0", 26);
        for (unsigned i = 5; i <= n; ++i) {
            spot.extra.push_back(static_cast<std::uint8_t>(i * 10));
            names.push_back("Spot " + std::to_string(i));
            packed += names.back() + '\0';
        }
        p = patchPage<WriteSpotColor>(folder, n, spot, -1, packed);
        expectFormat(p, PHOTOMETRIC_SEPARATED, INKSET_MULTIINK, names);
        EXPECT_EQ(p.pixel(5, 5), spot.extra);
        // Paper: no process ink, spot channels inverted.
        Bytes paper(n, 255);
        std::fill(paper.begin(), paper.begin() + 4, 0);
        EXPECT_EQ(p.pixel(20, 20), paper);
    }
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

// The page's rows, written and read back, against the step-by-step row
// loop's for the objects `build` makes, framed (EyeOne) or not (Canon).
template <class W, class Build>
void expectLiteralRows(const TempFolder& folder, unsigned channels, std::uint32_t width,
                       std::uint32_t height, bool frame, Build build) {
    const Rows expected = renderLiteral<W>(build(), width, height, channels, frame);
    const TiffPage p = renderPage<W>(folder.file("rows.tif"), channels, width, height,
                                     frame ? MI_EYEONE : MI_CANON, build());
    ASSERT_EQ(p.rows.size(), expected.size());
    for (std::size_t y = 0; y < expected.size(); ++y) {
        ASSERT_EQ(p.rows[y], expected[y]) << "row " << y << (frame ? ", framed" : "");
    }
}

template <class W>
void expectRandomPages(const TempFolder& folder, unsigned channels, std::uint32_t firstSeed,
                       std::uint32_t pages) {
    for (std::uint32_t seed = firstSeed; seed < firstSeed + pages; ++seed) {
        SCOPED_TRACE(testing::Message() << "seed " << seed);
        const RandomPage<W> page(seed, channels);
        expectLiteralRows<W>(folder, channels, page.width, page.height, page.frame,
                             [&] { return page.build(); });
        if (testing::Test::HasFatalFailure()) {
            return;
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

// A strip chart as the strip readers' layouts draw it: each strip a number
// in the left margin and a row of patches. Marks added after the patches
// are asked after them at every step: a bar crossing every strip, a circle
// and a diamond over strip edges, a bar over the numbers and an arrow.
template <class W>
ObjectList<W> stripChartWithMarks() {
    std::mt19937 rng(77);
    ObjectList<W> o;
    for (std::uint32_t strip = 0; strip < 8; ++strip) {
        const std::uint32_t y = 20 + strip * 45;
        o.push_back(makeNumberInBox<W>({20, y}, 35, (strip + 1) * 37, W::blackColor()));
        for (std::uint32_t i = 0; i < 18; ++i) {
            o.push_back(
                std::make_unique<Rect<W>>(Point{90 + i * 30, y}, 25, 35, randomColor<W>(rng, 0)));
        }
    }
    o.push_back(std::make_unique<Rect<W>>(Point{300, 10}, 12, 400, randomColor<W>(rng, 0)));
    o.push_back(std::make_unique<Circle<W>>(Point{200, 110}, 30, randomColor<W>(rng, 0)));
    o.push_back(makeDiamond<W>({400, 150}, 40, 50, randomColor<W>(rng, 0)));
    o.push_back(std::make_unique<Rect<W>>(Point{30, 200}, 50, 8, randomColor<W>(rng, 0)));
    o.push_back(makeRasterArrow<W>({600, 200}, 20, 40, 180, randomColor<W>(rng, 0)));
    return o;
}

TEST(RowLoop, PagesTheRandomOnesRarelyBuildMatchTheRowLoop) {
    using C = WriteCMYK;
    const auto blue = C::blueColor(), yellow = C::yellowColor(), black = C::blackColor();
    // Tall plain rectangles make most rows repeats of the row above; the
    // circle clipped at the top-left corner reaches past its box on row 0.
    auto repeats = [&] {
        ObjectList<C> o;
        o.push_back(std::make_unique<Circle<C>>(Point{3, 2}, 9, blue));
        for (std::uint32_t i = 0; i < 8; ++i) {
            o.push_back(std::make_unique<Rect<C>>(Point{10 + 25 * i, 5}, 20, 150, yellow));
        }
        o.push_back(std::make_unique<Number<C>>(Point{0, 40}, 12, 8, black));
        o.push_back(std::make_unique<Rect<C>>(Point{0, 0}, 1, 1, black));
        return o;
    };
    // The ':' digit has no segments, so the composite holding it reports
    // finished already on row 0, where its all-zero box still lies; the
    // rectangle before it is then the last object and steps by its own run.
    auto shapeless = [&] {
        ObjectList<C> o;
        o.push_back(std::make_unique<Rect<C>>(Point{17, 1}, 10, 5, blue));
        o.push_back(std::make_unique<Polygone<C>>(
            std::vector<Point>{{3, 0}, {34, 5}, {44, 3}, {8, 1}, {15, 4}}, blue));
        o.push_back(std::make_unique<Rect<C>>(Point{48, 3}, 4, 1, blue));
        o.push_back(std::make_unique<Polygone<C>>(
            std::vector<Point>{{30, 0}, {31, 4}, {37, 1}, {22, 2}, {45, 0}, {0, 0}, {0, 4}},
            yellow));
        auto digits = std::make_unique<ComplexGraphicObject<C>>(blue);
        digits->add(std::make_unique<Digit<C>>(Point{0, 0}, 5, ':', blue));
        digits->computeBounds();
        EXPECT_TRUE(digits->hollow());
        o.push_back(std::move(digits));
        return o;
    };
    // On row 11 the circle clipped at column 0 is inside with a run past
    // the union box's right edge; the polygon starting on row 12 comes
    // after it in the list, untouched, and its run (that edge) sets the
    // step, which decides which pixels the slanted polygon is asked at.
    auto notReached = [&] {
        ObjectList<C> o;
        o.push_back(std::make_unique<Polygone<C>>(
            std::vector<Point>{{0, 13}, {2, 11}, {10, 11}, {0, 15}, {1, 11}, {2, 16}, {9, 15}},
            blue));
        o.push_back(std::make_unique<Circle<C>>(Point{4, 11}, 8, yellow));
        o.push_back(std::make_unique<Polygone<C>>(
            std::vector<Point>{{0, 12}, {0, 15}, {0, 18}, {0, 19}, {0, 16}, {10, 14}},
            C::greyMarkerColor()));
        return o;
    };
    TempFolder folder;
    for (bool frame : {true, false}) {
        expectLiteralRows<C>(folder, 4, 220, 170, frame, repeats);
        expectLiteralRows<C>(folder, 4, 52, 12, frame, shapeless);
        expectLiteralRows<C>(folder, 4, 11, 16, frame, notReached);
        expectLiteralRows<C>(folder, 4, 640, 420, frame, stripChartWithMarks<C>);
        expectLiteralRows<WriteCMYKRGB>(folder, 7, 640, 420, frame,
                                        stripChartWithMarks<WriteCMYKRGB>);
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
