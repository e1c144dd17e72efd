// Printing a range of library glyphs as rings, on a device that records what
// is drawn.

#include "core/io_error.h"
#include "print/print_device.h"
#include "print/print_layout.h"
#include "tests/support/test_workspace.h"
#include "workspace/workspace.h"

#include <gtest/gtest.h>

#include <tuple>

using namespace dotforge;
using namespace dotforge::test;

namespace {

struct Ring {
    int page, left, top, right, bottom;
    bool operator==(const Ring &) const = default;
};

std::ostream &operator<<(std::ostream &os, const Ring &r)
{
    return os << "{page " << r.page << ": " << r.left << "," << r.top << " - " << r.right << "," << r.bottom << "}";
}

class RecordingDevice : public PrintDevice {
public:
    bool printing() const override { return busy || open; }
    void beginDoc(const std::string &title) override
    {
        calls.push_back("begin " + title);
        open = true;
        page = 0;
    }
    int pageWidth() const override { return width; }
    int pageHeight() const override { return height; }
    void newPage() override
    {
        calls.push_back("page");
        ++page;
    }
    void endDoc() override
    {
        calls.push_back("end");
        open = false;
    }
    void abortDoc() override
    {
        calls.push_back("abort");
        open = false;
    }
    std::string outputFile() const override { return file; }
    void setDotTools() override { calls.push_back("tools"); }
    void ellipse(int left, int top, int right, int bottom) override
    {
        if (failAtRing == int(rings.size()))
            throw IoError(0, "Printer out of paper");
        rings.push_back({page, left, top, right, bottom});
    }

    bool busy = false;
    bool open = false;
    int width = 4800;
    int height = 6800;
    int page = 0;
    int failAtRing = -1;
    std::string file;
    std::vector<std::string> calls;
    std::vector<Ring> rings;
};

// Puts the glyphs into the store as records 0, 1, ... with codes B0A1, B0A2 ...
void fillLibrary(Workspace &ws, const std::vector<GlyphPlane> &glyphs)
{
    std::vector<std::string> codes;
    for (std::size_t i = 0; i < glyphs.size(); ++i)
        codes.push_back(std::string{char(0xB0), char(0xA1 + i)});
    addToLibrary(ws, glyphs, codes);
}

GlyphPlane dotAt(int x, int y)
{
    GlyphPlane p;
    p.setDot(x, y, true);
    return p;
}

const std::vector<std::string> kCorners = {
    "#..............#", //
    "...#............", //
    "................",
    "................",
    "................",
    "................",
    "................",
    "................",
    "................",
    "................",
    "................",
    "................",
    "................",
    "................",
    "................", //
    "#..............#",
};

} // namespace

TEST(Print, OneGlyphStaysInsideTheTopLeftSquare)
{
    TestWorkspace tw;
    fillLibrary(tw.ws(), {planeFromArt(kCorners)});
    RecordingDevice dev;
    tw->printRange("1", "1", dev);

    const std::vector<Ring> expected = {
        {0, 0, 0, 7, 7},
        {0, 150, 0, 157, 7},
        {0, 30, 10, 37, 17},
        {0, 0, 150, 7, 157},
        {0, 150, 150, 157, 157},
    };
    EXPECT_EQ(dev.rings, expected);
    EXPECT_EQ(dev.calls, (std::vector<std::string>{"begin Dotforge 小字库 第1-1字", "tools", "end"}));
    EXPECT_TRUE(tw.prompts().log().empty());
}

TEST(Print, GlyphsFollowAtTwentyDotsPitch)
{
    TestWorkspace tw;
    GlyphPlane two = dotAt(0, 0);
    two.setDot(1, 0, true);
    fillLibrary(tw.ws(), {dotAt(5, 5), dotAt(0, 0), two});
    RecordingDevice dev;
    tw->printRange("2", "3", dev);

    const std::vector<Ring> expected = {{0, 0, 0, 7, 7}, {0, 320, 0, 327, 7}, {0, 330, 0, 337, 7}};
    EXPECT_EQ(dev.rings, expected);
}

TEST(Print, BlankGlyphPrintsNothingButKeepsItsPlace)
{
    TestWorkspace tw;
    fillLibrary(tw.ws(), {GlyphPlane{}, dotAt(15, 15)});
    RecordingDevice dev;
    tw->printRange("1", "2", dev);

    EXPECT_EQ(dev.rings, (std::vector<Ring>{{0, 470, 150, 477, 157}}));
}

TEST(Print, ThirtyTwoDotGlyphsUseTheirOwnPitch)
{
    TestWorkspace tw;
    tw->mnu32Click();
    fillLibrary(tw.ws(), {dotAt(31, 31), dotAt(31, 0)});
    RecordingDevice dev;
    tw->printRange("1", "2", dev);

    EXPECT_EQ(dev.rings, (std::vector<Ring>{{0, 310, 310, 317, 317}, {0, 950, 0, 957, 7}}));
}

TEST(Print, ProposesTheWholeLibrary)
{
    TestWorkspace tw;
    EXPECT_EQ(tw->printRangeProposal(), std::make_pair(std::string("1"), std::string("0")));
    fillLibrary(tw.ws(), std::vector<GlyphPlane>(37));
    EXPECT_EQ(tw->printRangeProposal(), std::make_pair(std::string("1"), std::string("37")));
}

class PrintRangeRefused : public testing::TestWithParam<std::tuple<int, const char *, const char *>> { };

TEST_P(PrintRangeRefused, ShowsTheRangeError)
{
    const auto [count, first, last] = GetParam();
    TestWorkspace tw;
    fillLibrary(tw.ws(), std::vector<GlyphPlane>(std::size_t(count), dotAt(0, 0)));
    RecordingDevice dev;
    // Captured by name: clang before 16 cannot capture a structured binding.
    EXPECT_TRUE(tw->run([&, first = first, last = last] { tw->printRange(first, last, dev); }));

    EXPECT_EQ(tw.prompts().texts("error"), std::vector<std::string>{"范围指定错误!"});
    EXPECT_EQ(tw.prompts().lastButtons(), Buttons::Ok);
    EXPECT_TRUE(dev.calls.empty());
    EXPECT_EQ(tw->library().LibIndex(), 0);
    EXPECT_EQ(tw->ViewMode(), 0);
}

INSTANTIATE_TEST_SUITE_P(Ranges, PrintRangeRefused,
    testing::Values(std::make_tuple(3, "0", "2"), std::make_tuple(3, "-1", "2"), std::make_tuple(3, "3", "2"),
        std::make_tuple(3, "1", "4"), std::make_tuple(0, "1", "0"), std::make_tuple(0, "1", "1")));

class PrintNotANumber : public testing::TestWithParam<std::tuple<const char *, const char *, const char *>> { };

TEST_P(PrintNotANumber, ShowsTheConversionError)
{
    const auto [first, last, shown] = GetParam();
    TestWorkspace tw;
    fillLibrary(tw.ws(), {dotAt(0, 0), dotAt(0, 0)});
    RecordingDevice dev;
    EXPECT_FALSE(tw->run([&, first = first, last = last] { tw->printRange(first, last, dev); }));

    EXPECT_EQ(tw.prompts().texts("ioerror"), std::vector<std::string>{shown});
    EXPECT_TRUE(tw.prompts().texts("error").empty());
    EXPECT_TRUE(dev.calls.empty());
}

INSTANTIATE_TEST_SUITE_P(Texts, PrintNotANumber,
    testing::Values(std::make_tuple("abc", "2", "'abc' is not a valid integer value."),
        std::make_tuple("1", "abc", "'abc' is not a valid integer value."),
        std::make_tuple("", "2", "'' is not a valid integer value."),
        std::make_tuple("1", "2x", "'2x' is not a valid integer value."),
        std::make_tuple("1.5", "2", "'1.5' is not a valid integer value."),
        std::make_tuple("-", "2", "'-' is not a valid integer value."),
        std::make_tuple("1", "99999999999", "'99999999999' is not a valid integer value.")));

TEST(Print, BusyPrinterRefuses)
{
    TestWorkspace tw;
    fillLibrary(tw.ws(), {dotAt(0, 0)});
    RecordingDevice dev;
    dev.busy = true;
    tw->printRange("1", "1", dev);

    EXPECT_EQ(tw.prompts().texts("error"), std::vector<std::string>{"打印机正在处理其他打印任务，请稍候再试"});
    EXPECT_TRUE(dev.calls.empty());
}

TEST(Print, FailureWhileDrawingAbortsTheDocument)
{
    TestWorkspace tw;
    fillLibrary(tw.ws(), {dotAt(0, 0), dotAt(1, 1), dotAt(2, 2)});
    RecordingDevice dev;
    dev.failAtRing = 1;
    EXPECT_FALSE(tw->run([&] { tw->printRange("1", "3", dev); }));

    EXPECT_EQ(tw.prompts().texts("ioerror"), std::vector<std::string>{"Printer out of paper."});
    EXPECT_EQ(dev.calls.back(), "abort");
    EXPECT_FALSE(dev.printing());
    // The glyph being printed when it failed is the one selected and shown.
    EXPECT_EQ(tw->library().LibIndex(), 1);
    EXPECT_EQ(tw.grid()[1], ".#..............");

    // The next print is not refused as busy.
    dev.failAtRing = -1;
    dev.calls.clear();
    tw->printRange("3", "3", dev);
    EXPECT_EQ(dev.calls.back(), "end");
    EXPECT_TRUE(tw.prompts().texts("error").empty());
}

TEST(Print, StoreReadFailureAbortsAndKeepsTheLastGlyphRead)
{
    TestWorkspace tw;
    fillLibrary(tw.ws(), {dotAt(0, 0), dotAt(3, 0)});
    tw.library().setCount(3); // the store holds only two records
    RecordingDevice dev;
    EXPECT_FALSE(tw->run([&] { tw->printRange("1", "3", dev); }));

    EXPECT_EQ(tw.prompts().texts("ioerror"), std::vector<std::string>{"Read beyond end of file."});
    EXPECT_EQ(dev.calls.back(), "abort");
    EXPECT_EQ(tw->library().LibIndex(), 1);
    EXPECT_EQ(tw->libPlane(), dotAt(3, 0));
    EXPECT_EQ(tw.grid()[0], "...#............");
    EXPECT_EQ(tw->controls().XNLabel, "共 3字 第 2字");
}

TEST(Print, LastGlyphPrintedBecomesTheSelection)
{
    TestWorkspace tw;
    std::vector<GlyphPlane> glyphs;
    for (int i = 0; i < 8; ++i)
        glyphs.push_back(dotAt(i, 0));
    fillLibrary(tw.ws(), glyphs);
    // The editor shows glyph 1 in the library view, with an edit not committed.
    tw->DG1MouseDown(0, 0);
    tw->SG2DblClick();
    ASSERT_TRUE(tw->EditModified());

    RecordingDevice dev;
    dev.file = "/home/user/Dotforge-print-1.pdf";
    tw->printRange("4", "6", dev);

    EXPECT_EQ(dev.calls.front(), "begin Dotforge 小字库 第4-6字");
    EXPECT_EQ(tw->library().LibIndex(), 5);
    EXPECT_EQ(tw->controls().RG1Index, 1);
    EXPECT_EQ(tw->ViewMode(), 1);
    EXPECT_EQ(tw->libPlane(), dotAt(5, 0));
    EXPECT_EQ(tw.grid()[0], ".....#..........");
    EXPECT_FALSE(tw->EditModified());
    EXPECT_EQ(tw->controls().XNLabel, "共 8字 第 6字");
    EXPECT_EQ(tw.prompts().texts("message"), std::vector<std::string>{"已打印到文件 /home/user/Dotforge-print-1.pdf"});

    // A commit now writes the grid over glyph 6 and leaves glyph 1 alone.
    tw->ChgBtnClick();
    EXPECT_EQ(tw.library().readGlyph(0), dotAt(0, 0));
}

TEST(Print, PageBreakOpensOnePageForTheNextLines)
{
    TestWorkspace tw;
    fillLibrary(tw.ws(), std::vector<GlyphPlane>(17, dotAt(0, 0)));
    RecordingDevice dev;
    dev.width = 1200;
    dev.height = 1200;
    tw->printRange("1", "17", dev);

    ASSERT_EQ(dev.rings.size(), 17u);
    EXPECT_EQ(std::count(dev.calls.begin(), dev.calls.end(), "page"), 1);
    EXPECT_EQ(dev.rings[14], (Ring{0, 640, 960, 647, 967}));
    EXPECT_EQ(dev.rings[15], (Ring{0, 960, 960, 967, 967}));
    EXPECT_EQ(dev.rings[16], (Ring{1, 0, 0, 7, 7}));
}

struct SpotCase {
    int g, n, width, height;
    PrintSpot spot;
};

class PrintLayout : public testing::TestWithParam<SpotCase> { };

TEST_P(PrintLayout, PlacesTheGlyph)
{
    const SpotCase c = GetParam();
    const PrintSpot s = printSpot(c.g, c.n, c.width, c.height);
    EXPECT_EQ(std::make_tuple(s.page, s.x, s.y), std::make_tuple(c.spot.page, c.spot.x, c.spot.y));
}

INSTANTIATE_TEST_SUITE_P(Spots, PrintLayout,
    testing::Values(
        // 1200 x 1200 page, 16 dots: four 160-pixel glyphs on a line, four lines a page.
        SpotCase{0, 16, 1200, 1200, {0, 0, 0}}, SpotCase{3, 16, 1200, 1200, {0, 960, 0}},
        SpotCase{4, 16, 1200, 1200, {0, 0, 320}}, SpotCase{7, 16, 1200, 1200, {0, 960, 320}},
        SpotCase{11, 16, 1200, 1200, {0, 960, 640}}, SpotCase{12, 16, 1200, 1200, {0, 0, 960}},
        SpotCase{15, 16, 1200, 1200, {0, 960, 960}}, SpotCase{16, 16, 1200, 1200, {1, 0, 0}},
        // 1100 wide: glyph 3 at 960 would cross the edge; three glyphs a line.
        SpotCase{2, 16, 1100, 1200, {0, 640, 0}}, SpotCase{3, 16, 1100, 1200, {0, 0, 320}},
        SpotCase{4, 16, 1100, 1200, {0, 320, 320}},
        // 32 dots on a page one line high: glyph 7 ends exactly at the edge.
        SpotCase{7, 32, 4800, 700, {0, 4480, 0}}, SpotCase{8, 32, 4800, 700, {1, 0, 0}},
        // A page lower than a glyph still takes one line, one narrower than two
        // glyphs one glyph a line.
        SpotCase{0, 16, 200, 100, {0, 0, 0}}, SpotCase{1, 16, 200, 100, {1, 0, 0}}));

// However wide the page, two glyphs of one line are a whole pitch apart and
// each stands within the width: A4 at 600 dpi and odd widths, at every size.
TEST(PrintLayoutRule, NoGlyphNearerItsNeighbourThanThePitch)
{
    for (const int n : {16, 24, 32}) {
        for (const int width : {4760, 4961, 1100, 1919, 10 * n}) {
            const int pitch = 20 * n;
            PrintSpot previous = printSpot(0, n, width, 7016);
            for (int g = 1; g < 200; ++g) {
                const PrintSpot s = printSpot(g, n, width, 7016);
                EXPECT_LE(s.x + 10 * n, width) << n << " " << width << " " << g;
                if (s.page == previous.page && s.y == previous.y)
                    EXPECT_EQ(s.x - previous.x, pitch) << n << " " << width << " " << g;
                else
                    EXPECT_EQ(s.x, 0) << n << " " << width << " " << g;
                previous = s;
            }
        }
    }
}
