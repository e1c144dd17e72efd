// Printing to a PDF file, as on a machine without a printer: the file is read
// back through pdftoppm at the print's own resolution, so one raster pixel is
// one device pixel, and the rings are looked for where the dots are.

#include "print/widgets/page_painter.h"
#include "tests/support/test_workspace.h"
#include "workspace/workspace.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QPageLayout>
#include <QPageSize>
#include <QProcess>
#include <QStandardPaths>
#include <gtest/gtest.h>

#include <unistd.h>

using namespace dotforge;
using namespace dotforge::test;

namespace {

void fillLibrary(Workspace &ws, const std::vector<GlyphPlane> &glyphs)
{
    std::vector<std::string> codes;
    for (std::size_t i = 0; i < glyphs.size(); ++i)
        codes.push_back(std::string{char(0xB0), char(0xA1 + i)});
    addToLibrary(ws, glyphs, codes);
}

// One page of a PDF as an image: the w x h pixels from (x, y) of the page at
// the print resolution. A null image when the page does not exist.
QImage rasterise(const QString &pdf, int page, int x, int y, int w, int h)
{
    const QString out = pdf + QStringLiteral("-page%1").arg(page);
    const QStringList args = {"-r", QString::number(PagePainter::kFileResolution), "-f", QString::number(page), "-l",
        QString::number(page), "-x", QString::number(x), "-y", QString::number(y), "-W", QString::number(w), "-H",
        QString::number(h), "-gray", "-png", "-singlefile", pdf, out};
    QProcess pdftoppm;
    pdftoppm.setProcessChannelMode(QProcess::ForwardedOutputChannel); // no complaint about a missing page
    pdftoppm.start(QStringLiteral("pdftoppm"), args);
    if (!pdftoppm.waitForFinished() || pdftoppm.exitStatus() != QProcess::NormalExit || pdftoppm.exitCode() != 0)
        return {};
    return QImage(out + ".png").convertToFormat(QImage::Format_Grayscale8);
}

bool dark(const QImage &img, int x, int y)
{
    return qGray(img.pixel(x, y)) < 96;
}
bool light(const QImage &img, int x, int y)
{
    return qGray(img.pixel(x, y)) > 200;
}

// Every inked dot of the glyph whose square starts at (left, top) is a ring: a
// dark rim at the left of its 7-pixel box and a light centre; blank dots leave
// their whole box light.
void expectRings(const QImage &img, int left, int top, const GlyphPlane &glyph, int n)
{
    for (int y = 0; y < n; ++y)
        for (int x = 0; x < n; ++x) {
            const int bx = left + 10 * x;
            const int by = top + 10 * y;
            if (glyph.dot(x, y)) {
                EXPECT_TRUE(dark(img, bx, by + 3)) << "no rim at dot " << x << "," << y;
                EXPECT_TRUE(dark(img, bx + 6, by + 3)) << "no rim at dot " << x << "," << y;
                EXPECT_TRUE(light(img, bx + 3, by + 3)) << "no light centre at dot " << x << "," << y;
            } else {
                for (int py = by; py < by + 8; ++py)
                    for (int px = bx; px < bx + 8; ++px)
                        ASSERT_TRUE(light(img, px, py)) << "ink at blank dot " << x << "," << y;
            }
        }
}

class PrintPdf : public testing::Test {
protected:
    void SetUp() override
    {
        if (QStandardPaths::findExecutable(QStringLiteral("pdftoppm")).isEmpty())
            GTEST_SKIP() << "pdftoppm (poppler-utils) is not installed";
        // To a file even where a printer is installed.
        painter.printer().setOutputFormat(QPrinter::PdfFormat);
    }

    QString outFile(int k) const
    {
        return QString::fromStdString(tw.dir().file("Dotforge-print-" + std::to_string(k) + ".pdf"));
    }

    TestWorkspace tw;
    PagePainter painter{tw.dir().path().string()};
};

const std::vector<std::string> kTen = {
    "................",
    "#######.........",
    "...#............",
    "...#............",
    "...#............",
    "...#............",
    "...#............",
    "...#............",
    "...#............",
    "...#............",
    "...#............",
    "...#............",
    "...#............",
    "...#............",
    "...#............",
    "...............#",
};

} // namespace

TEST_F(PrintPdf, RingsStandWhereTheDotsAre)
{
    GlyphPlane corner;
    corner.setDot(0, 0, true);
    corner.setDot(15, 15, true);
    fillLibrary(tw.ws(), {GlyphPlane{}, planeFromArt(kTen), corner});
    EXPECT_TRUE(tw->run([&] { tw->printRange("2", "3", painter); }));

    EXPECT_EQ(tw.prompts().texts("message"), std::vector<std::string>{"已打印到文件 " + outFile(1).toStdString()});
    EXPECT_FALSE(painter.printing());
    const QRect area = painter.printer().pageRect(QPrinter::DevicePixel).toRect();
    const QImage img = rasterise(outFile(1), 1, area.left(), area.top(), 700, 200);
    ASSERT_FALSE(img.isNull());
    img.save(QString::fromStdString(tw.dir().file("page.png")));
    expectRings(img, 0, 0, planeFromArt(kTen), 16);
    expectRings(img, 320, 0, corner, 16);
    // Nothing between and after the glyphs.
    for (int y = 0; y < 200; ++y)
        for (int x : {170, 250, 318, 480, 699})
            ASSERT_TRUE(light(img, x, y)) << x << "," << y;
}

TEST_F(PrintPdf, LongRangeContinuesOnTheNextPageAndKeepsOlderFiles)
{
    writeFile(outFile(1).toStdString(), "an older print");
    // A 2-inch square page without margins: 1200 x 1200 device pixels, four
    // lines of 16-dot glyphs.
    painter.printer().setPageLayout(
        QPageLayout(QPageSize(QSizeF(2, 2), QPageSize::Inch), QPageLayout::Portrait, QMarginsF(0, 0, 0, 0)));
    GlyphPlane corner;
    corner.setDot(0, 0, true);
    corner.setDot(15, 15, true);
    fillLibrary(tw.ws(), std::vector<GlyphPlane>(17, corner));
    EXPECT_TRUE(tw->run([&] { tw->printRange("1", "17", painter); }));

    EXPECT_EQ(tw.prompts().texts("message"), std::vector<std::string>{"已打印到文件 " + outFile(2).toStdString()});
    EXPECT_EQ(readFile(outFile(1).toStdString()), "an older print");
    ASSERT_EQ(painter.pageWidth(), 1200);
    ASSERT_EQ(painter.pageHeight(), 1200);

    const QImage first = rasterise(outFile(2), 1, 0, 0, 1200, 1200);
    ASSERT_FALSE(first.isNull());
    QList<QPoint> spots;
    for (int line = 0; line < 4; ++line)
        for (int k = 0; k < 4; ++k)
            spots.append({320 * k, 320 * line});
    for (const QPoint &p : spots)
        expectRings(first, p.x(), p.y(), corner, 16);

    const QImage second = rasterise(outFile(2), 2, 0, 0, 1000, 200);
    ASSERT_FALSE(second.isNull());
    expectRings(second, 0, 0, corner, 16);
    expectRings(second, 320, 0, GlyphPlane{}, 16);
    EXPECT_TRUE(rasterise(outFile(2), 3, 0, 0, 10, 10).isNull());
}

// An A4 page at 32 dots: in every line the glyphs stand one pitch (640 device
// pixels) apart from the left edge on, also after a line break. The glyphs are
// found on the printed page: runs of ink along their top row of dots.
TEST_F(PrintPdf, A4PageKeepsThePitchOnEveryLine)
{
    painter.printer().setPageSize(QPageSize(QPageSize::A4));
    std::vector<std::string> art(32, std::string(32, '.'));
    art[0] = std::string(32, '#');
    tw->mnu32Click();
    fillLibrary(tw.ws(), std::vector<GlyphPlane>(20, planeFromArt(art)));
    EXPECT_TRUE(tw->run([&] { tw->printRange("1", "20", painter); }));

    const QRect area = painter.printer().pageRect(QPrinter::DevicePixel).toRect();
    const int width = area.width();
    const int perLine = (width - 320) / 640 + 1;
    ASSERT_NE(width % 640, 0) << "a page whose width is a whole number of pitches tests nothing";
    const int lines = (20 + perLine - 1) / perLine;
    const QImage img = rasterise(outFile(1), 1, area.left(), area.top(), width, 640 * lines);
    ASSERT_FALSE(img.isNull());
    int found = 0;
    for (int line = 0; line < lines; ++line) {
        // Left edges of the runs of ink through the middle of the dots of row 0.
        std::vector<int> starts;
        int lastInk = -1000;
        for (int x = 0; x < width; ++x) {
            if (!dark(img, x, 640 * line + 3))
                continue;
            if (x - lastInk > 40)
                starts.push_back(x);
            lastInk = x;
        }
        ASSERT_FALSE(starts.empty()) << "line " << line;
        EXPECT_LE(starts.front(), 2) << "line " << line;
        for (std::size_t k = 1; k < starts.size(); ++k)
            EXPECT_NEAR(starts[k] - starts[k - 1], 640, 2) << "line " << line << " glyph " << k;
        found += int(starts.size());
    }
    EXPECT_EQ(found, 20);
}

// A print file on a full disk: the failure is reported through the error
// handler, never "已打印到文件" over a file that holds nothing.
TEST_F(PrintPdf, FullDiskIsReportedNotPrinted)
{
    const std::string full = tw.dir().file("full.pdf");
    ASSERT_EQ(::symlink("/dev/full", full.c_str()), 0);
    painter.printer().setOutputFileName(QString::fromStdString(full));
    fillLibrary(tw.ws(), {GlyphPlane{}});
    EXPECT_FALSE(tw->run([&] { tw->printRange("1", "1", painter); }));

    EXPECT_EQ(
        tw.prompts().texts("ioerror"), std::vector<std::string>{"打印文件未能完整写入（磁盘可能已满）: " + full + "."});
    EXPECT_TRUE(tw.prompts().texts("message").empty());
    EXPECT_FALSE(painter.printing());
    EXPECT_TRUE(QFileInfo(QString::fromStdString(full)).isSymLink());
}

TEST_F(PrintPdf, UnwritableFolderIsReportedAndLeavesThePrinterFree)
{
    const std::string folder = tw.dir().file("missing");
    PagePainter lost{folder};
    lost.printer().setOutputFormat(QPrinter::PdfFormat);
    fillLibrary(tw.ws(), {GlyphPlane{}});
    EXPECT_FALSE(tw->run([&] { tw->printRange("1", "1", lost); }));

    EXPECT_EQ(tw.prompts().texts("ioerror"),
        std::vector<std::string>{"无法写入打印文件 " + folder + "/Dotforge-print-1.pdf."});
    EXPECT_TRUE(tw.prompts().texts("message").empty());
    EXPECT_FALSE(lost.printing());
}

TEST_F(PrintPdf, FailedPrintLeavesNoFileAndTheNextOneRuns)
{
    GlyphPlane dot;
    dot.setDot(0, 0, true);
    fillLibrary(tw.ws(), {dot, dot});
    tw.library().setCount(3); // the store holds two records
    EXPECT_FALSE(tw->run([&] { tw->printRange("1", "3", painter); }));

    EXPECT_EQ(tw.prompts().texts("ioerror"), std::vector<std::string>{"Read beyond end of file."});
    EXPECT_FALSE(QFile::exists(outFile(1)));
    EXPECT_FALSE(painter.printing());

    EXPECT_TRUE(tw->run([&] { tw->printRange("1", "2", painter); }));
    EXPECT_EQ(tw.prompts().texts("message"), std::vector<std::string>{"已打印到文件 " + outFile(1).toStdString()});
    EXPECT_TRUE(QFile::exists(outFile(1)));
}
