// Raster pages rendered by RasterImage, written by the real image writer
// module and read back with libtiff.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <memory>
#include <random>
#include <stdexcept>
#include <string>
#include <vector>

#include "FailureCapture.h"
#include "LiteralRowLoop.h"
#include "base/ErrorCodes.h"
#include "host/ReadBack.h"
#include "render/GraphicObjects.h"
#include "render/RasterImage.h"
#include "render/ScanlineRenderer.h"

namespace GenChartLib {
namespace {

using failuretest::codeOf;
using failuretest::messageOf;
using readback::readTiff;
using readback::TempFolder;
using readback::TiffPage;
using testsupport::LogCapture;

using rowloop::ObjectList;
using rowloop::renderLiteral;
using rowloop::Rows;

// Renders `objects` into `file` through the module and reads it back. The
// module never writes over a file, so an earlier page of the name goes first.
template <class W>
TiffPage renderPage(const std::string& file, int channels, std::uint32_t width,
                    std::uint32_t height, IdMeasureInstrument instrument, ObjectList<W> objects,
                    int hint = OC_IMG_PHOTOMETRIC_AUTO) {
    std::remove(file.c_str());
    RasterImage<W> page(channels, file, width, height, instrument, hint);
    page.open();
    for (auto& o : objects) {
        page.add(std::move(o));
    }
    page.renderAndWrite(instrument);
    return readTiff(file);
}

// ------------------------------------------------------------ the frame

const std::vector<std::uint8_t> kBlack = {0, 0, 0, 255};
const std::vector<std::uint8_t> kPaper = {0, 0, 0, 0};
const std::vector<std::uint8_t> kBlue = {255, 255, 0, 0};

class FramedPage : public testing::Test {
  protected:
    // The 100 x 50 CMYK page with one rectangle at (10, 10), 20 x 5.
    TiffPage draw(IdMeasureInstrument instrument) {
        ObjectList<WriteCMYK> objects;
        objects.push_back(
            std::make_unique<Rect<WriteCMYK>>(Point{10, 10}, 20, 5, WriteCMYK::blueColor()));
        return renderPage<WriteCMYK>(folder.file("frame.tif"), 4, 100, 50, instrument,
                                     std::move(objects));
    }
    TempFolder folder;
};

TEST_F(FramedPage, DashesRunAlongAllFourEdgesAndTheRectangleFillsItsRows) {
    const TiffPage p = draw(MI_EYEONE);
    ASSERT_EQ(p.width, 100u);
    ASSERT_EQ(p.height, 50u);
    for (std::uint32_t y = 0; y < 50; ++y) {
        for (std::uint32_t x = 0; x < 100; ++x) {
            const bool edgeRow = y <= 1 || y >= 48;
            const bool sideDash = y % 20 < 10 && (x <= 1 || x >= 98);
            const bool topDash = edgeRow && x < 90 && x % 20 < 10;
            const bool rect = !edgeRow && y >= 10 && y <= 14 && x >= 10 && x <= 29;
            const auto& want = rect ? kBlue : (sideDash || topDash) ? kBlack : kPaper;
            ASSERT_EQ(p.pixel(x, y), want) << "pixel " << x << ", " << y;
        }
    }
    // The pixels the example names.
    EXPECT_EQ(p.pixel(85, 0), kBlack);
    EXPECT_EQ(p.pixel(90, 49), kPaper);
    EXPECT_EQ(p.pixel(1, 9), kBlack);
    EXPECT_EQ(p.pixel(98, 47), kBlack);
    EXPECT_EQ(p.pixel(0, 10), kPaper);
    EXPECT_EQ(p.pixel(99, 30), kPaper);
}

TEST_F(FramedPage, PrinterEmbeddedLayoutsGetNoFrame) {
    for (IdMeasureInstrument id : {MI_CANON, MI_EPSON, MI_EPSONILS30, MI_HPZ, MI_HPZ_UVCUT}) {
        const TiffPage p = draw(id);
        for (std::uint32_t y = 0; y < 50; ++y) {
            for (std::uint32_t x = 0; x < 100; ++x) {
                const bool rect = y >= 10 && y <= 14 && x >= 10 && x <= 29;
                ASSERT_EQ(p.pixel(x, y), rect ? kBlue : kPaper)
                    << "instrument " << id << " pixel " << x << ", " << y;
            }
        }
    }
}

TEST_F(FramedPage, DashRowsHideObjectsAndSpansPastTheRightEdgeAreDroppedWhole) {
    ObjectList<WriteCMYK> objects;
    objects.push_back(
        std::make_unique<Rect<WriteCMYK>>(Point{0, 0}, 100, 50, WriteCMYK::yellowColor()));
    objects.push_back(
        std::make_unique<Rect<WriteCMYK>>(Point{80, 20}, 30, 3, WriteCMYK::blueColor()));
    objects.push_back(
        std::make_unique<Rect<WriteCMYK>>(Point{80, 30}, 20, 3, WriteCMYK::blueColor()));
    const TiffPage p =
        renderPage<WriteCMYK>(folder.file("full.tif"), 4, 100, 50, MI_EYEONE, std::move(objects));
    const std::vector<std::uint8_t> yellow = {0, 0, 255, 0};
    EXPECT_EQ(p.pixel(15, 0), kPaper);  // horizontal-dash row, between dashes
    EXPECT_EQ(p.pixel(5, 49), kBlack);  // a dash
    EXPECT_EQ(p.pixel(0, 5), yellow);   // the object paints over the side dash
    EXPECT_EQ(p.pixel(99, 5), yellow);
    EXPECT_EQ(p.pixel(50, 25), yellow);
    EXPECT_EQ(p.pixel(85, 21), yellow);  // 80 + 30 passes the edge: nothing drawn
    EXPECT_EQ(p.pixel(99, 31), kBlue);   // 80 + 20 reaches it exactly
    EXPECT_EQ(p.pixel(80, 31), kBlue);
}

// ------------------------------------------------------------ formats

struct FormatCase {
    std::string name;
    int channels;
    int hint;
    std::uint16_t photometric;
    std::uint16_t inkSet;  // 0: no InkSet tag
    std::vector<std::string> inks;
};

// Cyan, Magenta, Yellow, Black followed by `extra`.
std::vector<std::string> processInksAnd(std::vector<std::string> extra) {
    extra.insert(extra.begin(), {"Cyan", "Magenta", "Yellow", "Black"});
    return extra;
}

// Draws a 40 x 30 page in writer W with a patch of `patch` at (5, 5),
// 10 x 10, checks the tags libtiff reads back and returns the page.
template <class W>
TiffPage patchPage(const TempFolder& folder, const FormatCase& fc,
                   const typename W::PixelColor& patch, const std::string& inkNames = "") {
    SCOPED_TRACE(fc.name);
    const std::string file = folder.file(fc.name + ".tif");
    RasterImage<W> page(fc.channels, file, 40, 30, MI_EYEONE, fc.hint);
    page.open();
    if (!inkNames.empty()) {
        page.setField(OC_IMG_TAG_INK_NAMES, inkNames);
    }
    page.add(std::make_unique<Rect<W>>(Point{5, 5}, 10, 10, patch));
    page.renderAndWrite(MI_EYEONE);
    const TiffPage p = readTiff(file);
    EXPECT_EQ(p.samplesPerPixel, fc.channels);
    EXPECT_EQ(p.bitsPerSample, 8);
    EXPECT_EQ(p.planar, PLANARCONFIG_CONTIG);
    EXPECT_EQ(p.photometric, fc.photometric);
    EXPECT_EQ(p.compression, COMPRESSION_LZW);
    EXPECT_EQ(p.predictor, PREDICTOR_HORIZONTAL);
    EXPECT_EQ(p.resolutionUnit, RESUNIT_INCH);
    EXPECT_FLOAT_EQ(p.xResolution, 254.0f);
    EXPECT_FLOAT_EQ(p.yResolution, 254.0f);
    EXPECT_EQ(p.inkSet, fc.inkSet);
    EXPECT_EQ(p.inkNames, fc.inks);
    if (!fc.inks.empty()) {
        EXPECT_EQ(p.numberOfInks, fc.inks.size());
    }
    EXPECT_FALSE(p.hasDateTime);
    EXPECT_FALSE(p.hasSoftware);
    EXPECT_FALSE(p.bigTiff);
    EXPECT_EQ(p.rows.size(), 30u);
    EXPECT_EQ(p.rows[0].size(), 40u * static_cast<unsigned>(fc.channels));
    return p;
}

using Bytes = std::vector<std::uint8_t>;

class PageFormats : public testing::Test {
  protected:
    TempFolder folder;
};

TEST_F(PageFormats, ProcessAndExtraInkPagesAreSeparatedWithTheirInkSetAndNames) {
    const TiffPage p4 = patchPage<WriteCMYK>(
        folder, {"cmyk", 4, -1, PHOTOMETRIC_SEPARATED, INKSET_CMYK, {}}, {{10, 20, 30, 40}, {}});
    EXPECT_EQ(p4.pixel(5, 5), (Bytes{10, 20, 30, 40}));
    EXPECT_EQ(p4.pixel(14, 14), (Bytes{10, 20, 30, 40}));
    EXPECT_EQ(p4.pixel(15, 14), kPaper);

    // Orange at 100 % is byte 0, an inverted ink; paper leaves it at 255.
    const TiffPage p5 = patchPage<WriteCMYKO>(
        folder,
        {"cmyko", 5, -1, PHOTOMETRIC_SEPARATED, INKSET_MULTIINK, processInksAnd({"Orange"})},
        {{0, 0, 0, 0, 0}, {}});
    EXPECT_EQ(p5.pixel(6, 6), (Bytes{0, 0, 0, 0, 0}));
    EXPECT_EQ(p5.pixel(20, 20), (Bytes{0, 0, 0, 0, 255}));

    patchPage<WriteCMYKOG>(folder,
                           {"cmykog", 6, -1, PHOTOMETRIC_SEPARATED, INKSET_MULTIINK,
                            processInksAnd({"Orange", "Green"})},
                           WriteCMYKOG::blackColor());

    const TiffPage p7 =
        patchPage<WriteCMYKRGB>(folder,
                                {"cmykrgb", 7, -1, PHOTOMETRIC_SEPARATED, INKSET_MULTIINK,
                                 processInksAnd({"Red", "Green", "Blue"})},
                                {{1, 2, 3, 4, 5, 6, 7}, {}});
    EXPECT_EQ(p7.pixel(10, 10), (Bytes{1, 2, 3, 4, 5, 6, 7}));
}

TEST_F(PageFormats, ThreeChannelPagesAreCieLabWithTheLabHintAndRgbWithout) {
    // L* 50, a* -20, b* 30 in TIFF's own CIELab encoding.
    const TiffPage lab =
        patchPage<WriteLAB>(folder, {"lab", 3, OC_IMG_PHOTOMETRIC_LAB, PHOTOMETRIC_CIELAB, 0, {}},
                            {{128, 236, 30}, {}});
    EXPECT_EQ(lab.pixel(7, 7), (Bytes{128, 236, 30}));
    EXPECT_EQ(lab.pixel(30, 20), (Bytes{255, 0, 0}));  // paper, L* 100

    const TiffPage rgb =
        patchPage<WriteRGB>(folder, {"rgb", 3, -1, PHOTOMETRIC_RGB, 0, {}}, WriteRGB::blueColor());
    EXPECT_EQ(rgb.pixel(5, 5), (Bytes{0, 0, 255}));
    EXPECT_EQ(rgb.pixel(25, 5), (Bytes{255, 255, 255}));
}

TEST_F(PageFormats, SpotPagesOfEveryChannelCount) {
    // One channel: the byte is an ink amount, so 0 is white.
    const TiffPage p1 = patchPage<WriteSpotColor>(
        folder, {"spot1", 1, -1, PHOTOMETRIC_MINISWHITE, 0, {}}, {{0, 0, 0, 0}, {200}, 1});
    EXPECT_EQ(p1.at(5, 5), 200);
    EXPECT_EQ(p1.at(1, 5), 255);  // frame black on a one-ink page
    EXPECT_EQ(p1.at(20, 20), 0);

    // Three spot inks handed over by name are separated inks, not RGB.
    const TiffPage p3 = patchPage<WriteSpotColor>(
        folder,
        {"spot3", 3, -1, PHOTOMETRIC_SEPARATED, INKSET_MULTIINK, {"Cyan", "Magenta", "Yellow"}},
        {{0, 0, 0, 0}, {10, 20, 30}, 3}, std::string("Cyan\0Magenta\0Yellow\0", 20));
    EXPECT_EQ(p3.pixel(5, 5), (Bytes{10, 20, 30}));

    patchPage<WriteSpotColor>(folder, {"spot4", 4, -1, PHOTOMETRIC_SEPARATED, INKSET_CMYK, {}},
                              WriteSpotColor::blackColor());

    for (unsigned n = 5; n <= 8; ++n) {
        WriteSpotColor::PixelColor spot{{0, 0, 0, 0}, {1, 2, 3, 4}, n};
        std::vector<std::string> names = processInksAnd({});
        std::string packed = std::string("Cyan\0Magenta\0Yellow\0Black\0", 26);
        for (unsigned i = 5; i <= n; ++i) {
            spot.extra.push_back(static_cast<std::uint8_t>(i * 10));
            names.push_back("Spot " + std::to_string(i));
            packed += names.back() + '\0';
        }
        const TiffPage p =
            patchPage<WriteSpotColor>(folder,
                                      {"spot" + std::to_string(n), static_cast<int>(n), -1,
                                       PHOTOMETRIC_SEPARATED, INKSET_MULTIINK, names},
                                      spot, packed);
        EXPECT_EQ(p.pixel(5, 5), spot.extra);
        // Paper: no process ink, spot channels inverted.
        Bytes paper(n, 255);
        std::fill(paper.begin(), paper.begin() + 4, 0);
        EXPECT_EQ(p.pixel(20, 20), paper);
    }
    // Eight inks without names fall back to spot names.
    patchPage<WriteSpotColor>(folder,
                              {"unnamed8", 8, -1, PHOTOMETRIC_SEPARATED, INKSET_MULTIINK,
                               processInksAnd({"Spot 5", "Spot 6", "Spot 7", "Spot 8"})},
                              WriteSpotColor::paperColor());
}

TEST_F(PageFormats, DescriptionTagIsWrittenWhereTheLayoutSetsIt) {
    const std::string file = folder.file("described.tif");
    RasterImage<WriteCMYK> page(4, file, 20, 20, MI_HPZ, -1);
    page.open();
    page.setField(OC_IMG_TAG_IMAGE_DESCRIPTION, "PRINT MODE=3; SPEED=2");
    page.renderAndWrite(MI_HPZ);
    const TiffPage p = readTiff(file);
    EXPECT_TRUE(p.hasDescription);
    EXPECT_EQ(p.description, "PRINT MODE=3; SPEED=2");

    RasterImage<WriteCMYK> plain(4, folder.file("plain.tif"), 20, 20, MI_HPZ, -1);
    plain.open();
    plain.renderAndWrite(MI_HPZ);
    EXPECT_FALSE(readTiff(folder.file("plain.tif")).hasDescription);
}

TEST_F(PageFormats, TheSamePageDrawnTwiceGivesTheSameBytes) {
    auto draw = [&](const std::string& name) {
        RasterImage<WriteCMYKRGB> page(7, folder.file(name), 300, 200, MI_EYEONE, -1);
        page.open();
        page.add(
            std::make_unique<Circle<WriteCMYKRGB>>(Point{100, 100}, 60, WriteCMYKRGB::blueColor()));
        page.add(std::make_unique<Number<WriteCMYKRGB>>(Point{150, 20}, 20, 4711,
                                                        WriteCMYKRGB::blackColor()));
        page.renderAndWrite(MI_EYEONE);
        return readback::fileText(folder.file(name));
    };
    const auto first = draw("first.tif");
    ASSERT_GT(first.size(), 100u);
    EXPECT_EQ(first, draw("second.tif"));
}

// ------------------------------------------------------------ failures

class PageFailures : public testing::Test {
  protected:
    // The files in the folder other than the log.
    std::vector<std::string> pageFiles() const {
        std::vector<std::string> names = folder.entries();
        names.erase(std::remove(names.begin(), names.end(), "log.txt"), names.end());
        return names;
    }
    std::string log() const { return captured.text(); }
    TempFolder folder;
    LogCapture captured{folder.file("log.txt")};
};

TEST_F(PageFailures, MissingOrOutdatedModulesAreRefusedWithTheReasonLogged) {
    RasterImage<WriteCMYK> missing(4, folder.file("x.tif"), 10, 10, MI_EYEONE, -1,
                                   folder.file("NoSuchModule.so"));
    EXPECT_EQ(codeOf([&] { missing.open(); }), ERR_LOAD_LIBRARY);
    EXPECT_NE(log().find("RasterImage/open: LoadLibrary failed"), std::string::npos) << log();
    RasterImage<WriteCMYK> outdated(4, folder.file("x.tif"), 10, 10, MI_EYEONE, -1,
                                    std::string(ORVOCHART_MODULE_DIR) + "/outdatedDbgOut.so");
    EXPECT_EQ(codeOf([&] { outdated.open(); }), ERR_LOAD_LIBRARY);
    EXPECT_NE(log().find("interface version 0 of"), std::string::npos) << log();

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
        EXPECT_EQ(messageOf([&] { page.open(); }), "Unsupported colorspace") << channels;
        EXPECT_FALSE(page.isOpen());
    }
    EXPECT_EQ(bitsPerPixelOf(1), 8);
    EXPECT_EQ(bitsPerPixelOf(8), 64);

    RasterImage<WriteCMYK> missingFolder(4, folder.file("no/such/folder/x.tif"), 10, 10, MI_EYEONE,
                                         -1);
    EXPECT_EQ(codeOf([&] { missingFolder.open(); }), ERR_TIFF_HEADER);
    EXPECT_NE(log().find("GenChartLib: Initialize Tiff Header failed"), std::string::npos);
    EXPECT_NE(log().find("cannot create"), std::string::npos) << log();

    // 4 G pixels per row and row, eight channels: an error code, not a crash.
    RasterImage<WriteSpotColor> huge(8, folder.file("huge.tif"), 0xFFFFFFFFu, 0xFFFFFFFFu,
                                     MI_EYEONE, -1);
    EXPECT_EQ(codeOf([&] { huge.open(); }), ERR_TIFF_HEADER);
    EXPECT_NE(log().find("is too large"), std::string::npos) << log();
    RasterImage<WriteCMYK> empty(4, folder.file("empty.tif"), 0, 10, MI_EYEONE, -1);
    EXPECT_EQ(codeOf([&] { empty.open(); }), ERR_TIFF_HEADER);

    {  // A page dropped before it is written leaves no file.
        RasterImage<WriteCMYK> dropped(4, folder.file("dropped.tif"), 50, 50, MI_EYEONE, -1);
        dropped.open();
        dropped.add(std::make_unique<Rect<WriteCMYK>>(Point{1, 1}, 5, 5, WriteCMYK::blackColor()));
    }
    EXPECT_TRUE(pageFiles().empty());
}

TEST_F(PageFailures, APageIsWrittenOnceAfterOpeningAndNeverReplacesAnOlderFile) {
    const std::string file = folder.file("page.tif");
    const std::string older = "an older page";
    { std::ofstream(file) << older; }
    RasterImage<WriteCMYK> page(4, file, 30, 30, MI_EYEONE, -1);
    EXPECT_EQ(codeOf([&] { page.renderAndWrite(MI_EYEONE); }), ERR_OPEN_FILE);
    page.open();
    // The finished page finds its name taken: the older file stays whole.
    EXPECT_EQ(codeOf([&] { page.renderAndWrite(MI_EYEONE); }), ERR_OPEN_FILE);
    // The handle is gone afterwards.
    EXPECT_EQ(codeOf([&] { page.renderAndWrite(MI_EYEONE); }), ERR_OPEN_FILE);
    EXPECT_NE(log().find("GenChartLib: Cannot open file"), std::string::npos);
    EXPECT_EQ(readback::fileText(file), older);
    EXPECT_EQ(pageFiles(), std::vector<std::string>{"page.tif"});
}

// ------------------------------------------------------------ the row loop

// Seeded random pages of every kind of object; the same seed builds the
// same objects, so each renderer gets its own identical set.
template <class W>
class RandomPage {
  public:
    RandomPage(std::uint32_t seed, unsigned channels) : seed_(seed), channels_(channels) {
        std::mt19937 rng(seed);
        width = 30 + static_cast<std::uint32_t>(rng() % 370);
        height = 30 + static_cast<std::uint32_t>(rng() % 270);
        frame = rng() % 4 != 0;
    }
    std::uint32_t width = 0;
    std::uint32_t height = 0;
    bool frame = true;

    ObjectList<W> build() const {
        std::mt19937 rng(seed_ * 7919u + 13u);
        auto below = [&](std::uint32_t n) {
            return n == 0 ? 0u : static_cast<std::uint32_t>(rng() % n);
        };
        auto point = [&] { return Point{below(width), below(height)}; };
        ObjectList<W> objects;
        const std::uint32_t count = 1 + below(40);
        for (std::uint32_t i = 0; i < count; ++i) {
            const auto color = randomColor(rng);
            switch (below(9)) {
                case 0:
                case 1: {
                    const Point p = point();
                    objects.push_back(std::make_unique<Rect<W>>(
                        Point{p.x + 1, p.y}, below(width / 2), below(height / 3), color));
                    break;
                }
                case 2:
                    // A circle of radius 0 at column 0 would end left of the
                    // page's first column: its box wraps round the axis.
                    objects.push_back(std::make_unique<Circle<W>>(point(), 1 + below(60), color));
                    break;
                case 3:
                case 4: {
                    std::vector<Point> corners(3 + below(6));
                    const Point c = point();
                    const std::uint32_t spread = 4 + below(80);
                    for (Point& v : corners) {
                        v = {c.x + below(spread), c.y + below(spread)};
                    }
                    objects.push_back(std::make_unique<Polygone<W>>(std::move(corners), color));
                    break;
                }
                case 5:
                    objects.push_back(std::make_unique<Digit<W>>(
                        point(), 2 + below(30), static_cast<char>('0' + below(11)), color));
                    break;
                case 6:
                    objects.push_back(
                        std::make_unique<Number<W>>(point(), 1 + below(24), below(100000), color));
                    break;
                case 7: {
                    const Point p = point();
                    objects.push_back(
                        makeDiamond<W>({p.x + 1, p.y + 1}, 2 + below(60), 2 + below(60), color));
                    break;
                }
                default: {
                    const Point p = point();
                    const std::uint32_t angles[] = {0, 90, 180, 45};
                    objects.push_back(makeRasterArrow<W>({p.x + 200, p.y + 60}, 4 + below(40),
                                                         6 + below(90), angles[below(4)], color));
                    break;
                }
            }
        }
        return objects;
    }

  private:
    typename W::PixelColor randomColor(std::mt19937& rng) const {
        typename W::PixelColor c = W::paperColor();
        for (auto& b : c.channels) {
            b = static_cast<std::uint8_t>(rng());
        }
        if constexpr (std::is_same_v<W, WriteSpotColor>) {
            c.channelCount = channels_;
            c.extra.resize(channels_);
            for (auto& b : c.extra) {
                b = static_cast<std::uint8_t>(rng());
            }
        }
        return c;
    }

    std::uint32_t seed_;
    unsigned channels_;
};

bool envSet(const char* name) {
    const char* value = std::getenv(name);
    return value != nullptr && *value == '1';
}

bool quickRun() {
    return envSet("ORVOCHART_QUICK");
}

int differentialPageCount() {
    return envSet("ORVOCHART_LONG") ? 3000 : quickRun() ? 20 : 150;
}

void expectSameRows(const TiffPage& written, const Rows& expected, const std::string& what) {
    ASSERT_EQ(written.rows.size(), expected.size()) << what;
    for (std::size_t y = 0; y < expected.size(); ++y) {
        ASSERT_EQ(written.rows[y], expected[y]) << what << " row " << y;
    }
}

template <class W>
void compareRenderers(const TempFolder& folder, unsigned channels, std::uint32_t firstSeed,
                      int pages) {
    for (int i = 0; i < pages; ++i) {
        const std::uint32_t seed = firstSeed + static_cast<std::uint32_t>(i);
        const RandomPage<W> page(seed, channels);
        const Rows expected =
            renderLiteral<W>(page.build(), page.width, page.height, channels, page.frame);
        expectSameRows(
            renderPage<W>(folder.file("random.tif"), static_cast<int>(channels), page.width,
                          page.height, page.frame ? MI_EYEONE : MI_CANON, page.build()),
            expected, "seed " + std::to_string(seed));
        if (testing::Test::HasFatalFailure()) {
            return;
        }
    }
}

// Renders the objects `build` makes through the page and through the
// step-by-step row loop and expects the same rows, with the frame (EyeOne)
// and without it (Canon).
template <class W, class Build>
void expectRowLoopRows(const TempFolder& folder, unsigned channels, std::uint32_t width,
                       std::uint32_t height, Build build) {
    for (IdMeasureInstrument id : {MI_EYEONE, MI_CANON}) {
        const Rows expected = renderLiteral<W>(build(), width, height, channels, id == MI_EYEONE);
        expectSameRows(renderPage<W>(folder.file("rows.tif"), static_cast<int>(channels), width,
                                     height, id, build()),
                       expected, "instrument " + std::to_string(id));
    }
}

class RowLoop : public testing::Test {
  protected:
    TempFolder folder;
};

TEST_F(RowLoop, RenderedRowsEqualTheStepByStepRowLoopOnRandomPages) {
    const int pages = differentialPageCount();
    compareRenderers<WriteCMYK>(folder, 4, 1000, pages);
    compareRenderers<WriteCMYKRGB>(folder, 7, 50000, pages / 5 + 1);
    compareRenderers<WriteLAB>(folder, 3, 60000, pages / 5 + 1);
    compareRenderers<WriteSpotColor>(folder, 1, 70000, pages / 10 + 1);
}

TEST_F(RowLoop, RowsThatRepeatAndObjectsAtThePageCornerMatchTheRowLoop) {
    // Tall plain rectangles make most rows repeats of the row above; the
    // circle clipped at the top-left corner reaches past its box on row 0.
    expectRowLoopRows<WriteCMYK>(folder, 4, 220, 170, [] {
        ObjectList<WriteCMYK> o;
        o.push_back(std::make_unique<Circle<WriteCMYK>>(Point{3, 2}, 9, WriteCMYK::blueColor()));
        for (std::uint32_t i = 0; i < 8; ++i) {
            o.push_back(std::make_unique<Rect<WriteCMYK>>(Point{10 + 25 * i, 5}, 20, 150,
                                                          WriteCMYK::yellowColor()));
        }
        o.push_back(
            std::make_unique<Number<WriteCMYK>>(Point{0, 40}, 12, 8, WriteCMYK::blackColor()));
        o.push_back(std::make_unique<Rect<WriteCMYK>>(Point{0, 0}, 1, 1, WriteCMYK::blackColor()));
        return o;
    });
}

// A strip chart as the strip readers' layouts draw it: each strip a number
// in the left margin and a row of patches. Marks added after the patches
// are asked after them at every step: a bar crossing every strip, a circle
// and a diamond over strip edges, a bar over the numbers and an arrow.
template <class W>
ObjectList<W> stripChartWithMarks() {
    std::mt19937 rng(77);
    auto colour = [&] {
        typename W::PixelColor c = W::paperColor();
        for (auto& b : c.channels) {
            b = static_cast<std::uint8_t>(rng());
        }
        return c;
    };
    ObjectList<W> objects;
    for (std::uint32_t strip = 0; strip < 8; ++strip) {
        const std::uint32_t y = 20 + strip * 45;
        objects.push_back(makeNumberInBox<W>({20, y}, 35, (strip + 1) * 37, W::blackColor()));
        for (std::uint32_t i = 0; i < 18; ++i) {
            objects.push_back(std::make_unique<Rect<W>>(Point{90 + i * 30, y}, 25, 35, colour()));
        }
    }
    objects.push_back(std::make_unique<Rect<W>>(Point{300, 10}, 12, 400, colour()));
    objects.push_back(std::make_unique<Circle<W>>(Point{200, 110}, 30, colour()));
    objects.push_back(makeDiamond<W>({400, 150}, 40, 50, colour()));
    objects.push_back(std::make_unique<Rect<W>>(Point{30, 200}, 50, 8, colour()));
    objects.push_back(makeRasterArrow<W>({600, 200}, 20, 40, 180, colour()));
    return objects;
}

TEST_F(RowLoop, StripChartsWithMarksOverThePatchesMatchTheRowLoop) {
    expectRowLoopRows<WriteCMYK>(folder, 4, 640, 420, stripChartWithMarks<WriteCMYK>);
    expectRowLoopRows<WriteCMYKRGB>(folder, 7, 640, 420, stripChartWithMarks<WriteCMYKRGB>);
}

TEST_F(RowLoop, ACompositeOfShapelessDigitsLeavesTheListOnTheFirstRowItIsAsked) {
    // The ':' digit has no segments, so the composite holding it reports
    // finished already on row 0, where its all-zero box still lies; the
    // rectangle before it is then the last object and steps by its own run.
    auto build = [] {
        const auto c = WriteCMYK::blueColor();
        ObjectList<WriteCMYK> o;
        o.push_back(std::make_unique<Rect<WriteCMYK>>(Point{17, 1}, 10, 5, c));
        o.push_back(std::make_unique<Polygone<WriteCMYK>>(
            std::vector<Point>{{3, 0}, {34, 5}, {44, 3}, {8, 1}, {15, 4}}, c));
        o.push_back(std::make_unique<Rect<WriteCMYK>>(Point{48, 3}, 4, 1, c));
        o.push_back(std::make_unique<Polygone<WriteCMYK>>(
            std::vector<Point>{{30, 0}, {31, 4}, {37, 1}, {22, 2}, {45, 0}, {0, 0}, {0, 4}},
            WriteCMYK::yellowColor()));
        auto shapeless = std::make_unique<ComplexGraphicObject<WriteCMYK>>(c);
        shapeless->add(std::make_unique<Digit<WriteCMYK>>(Point{0, 0}, 5, ':', c));
        shapeless->computeBounds();
        o.push_back(std::move(shapeless));
        return o;
    };
    EXPECT_TRUE(build().back()->hollow());
    expectRowLoopRows<WriteCMYK>(folder, 4, 52, 12, build);
}

TEST_F(RowLoop, ObjectsNotReachedYetShortenTheStepsAtTheFirstColumns) {
    // On row 11 the circle clipped at column 0 is inside with a run past
    // the union box's right edge; the polygon starting on row 12 comes
    // after it in the list, untouched, and its run (that edge) sets the
    // step, which decides which pixels the slanted polygon is asked at.
    auto build = [] {
        ObjectList<WriteCMYK> o;
        o.push_back(std::make_unique<Polygone<WriteCMYK>>(
            std::vector<Point>{{0, 13}, {2, 11}, {10, 11}, {0, 15}, {1, 11}, {2, 16}, {9, 15}},
            WriteCMYK::blueColor()));
        o.push_back(std::make_unique<Circle<WriteCMYK>>(Point{4, 11}, 8, WriteCMYK::yellowColor()));
        o.push_back(std::make_unique<Polygone<WriteCMYK>>(
            std::vector<Point>{{0, 12}, {0, 15}, {0, 18}, {0, 19}, {0, 16}, {10, 14}},
            WriteCMYK::greyMarkerColor()));
        return o;
    };
    expectRowLoopRows<WriteCMYK>(folder, 4, 11, 16, build);
}

TEST_F(RowLoop, SpotLinesOfEveryChannelCountMatchTheRowLoop) {
    // Straight into a line, so also the counts no TIFF page takes (2).
    for (unsigned channels = 1; channels <= kMaxChannels; ++channels) {
        for (std::uint32_t seed = 80000; seed < 80006; ++seed) {
            const RandomPage<WriteSpotColor> page(seed, channels);
            const Rows expected = renderLiteral<WriteSpotColor>(page.build(), page.width,
                                                                page.height, channels, page.frame);
            ObjectList<WriteSpotColor> objects = page.build();
            std::vector<std::uint8_t> row(std::size_t{page.width} * channels);
            const RasterLine line{row.data(), page.width, channels};
            ScanlineRenderer<WriteSpotColor> renderer(objects, line, page.frame, page.height);
            for (std::uint32_t y = 0; y < page.height; ++y) {
                renderer.renderRow(y);
                ASSERT_EQ(row, expected[y])
                    << channels << " channels, seed " << seed << " row " << y;
            }
        }
    }
}

// ------------------------------------------------------------ BigTIFF

// A page whose TIFF could pass 4 GiB (about 2.9 GB of pixels) is written as
// BigTIFF. It takes some seconds, so quick runs leave it out.
TEST_F(RowLoop, PagesThatCouldPassFourGibibytesAreWrittenAsBigTiff) {
    if (quickRun()) {
        GTEST_SKIP() << "quick run";
    }
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
    TIFF* t = TIFFOpen(file.c_str(), "r");
    ASSERT_NE(t, nullptr);
    std::vector<std::uint8_t> row(54000);
    // Rows decode in order from the start of their strip.
    std::uint32_t rowsPerStrip = 0;
    ASSERT_EQ(TIFFGetField(t, TIFFTAG_ROWSPERSTRIP, &rowsPerStrip), 1);
    for (std::uint32_t y = 53995 - 53995 % rowsPerStrip; y <= 53995; ++y) {
        ASSERT_EQ(TIFFReadScanline(t, row.data(), y, 0), 1);
    }
    EXPECT_EQ(row[52999], 0);
    EXPECT_EQ(row[53000], 255);
    EXPECT_EQ(row[53999], 255);
    TIFFClose(t);

    // Small pages stay classic TIFF: see the format checks above.
}

}  // namespace
}  // namespace GenChartLib
