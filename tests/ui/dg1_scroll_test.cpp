// The library list of the real window, scrolled: every visible cell shows the
// glyph of its own index, one pixel per dot inside a 2-pixel white margin,
// before and after scrolling, and a press on a scrolled cell selects that glyph.
// The selected glyph's cell has a blue 1-pixel frame in the outer pixel of its
// margin; no other cell has one.

#include "app/widgets/tform1.h"
#include "editor/widgets/sg2_grid.h"
#include "library/widgets/dg1_grid.h"
#include "render/widgets/ui_fonts.h"
#include "sources/widgets/sg1_grid.h"
#include "tests/support/scripted_prompts.h"
#include "tests/support/test_workspace.h"

#include <QAction>
#include <QApplication>
#include <QLabel>
#include <QScreen>
#include <QScrollBar>
#include <QTest>
#include <QToolButton>

#include <filesystem>
#include <memory>

using namespace dotforge;
using dotforge::test::ScriptedPrompts;
using dotforge::test::TempDir;

namespace {

constexpr int kGlyphs = 30;

// One glyph as the editor held it when it was added: rows of '#' and '.'.
using Art = std::vector<std::string>;

} // namespace

class DG1ScrollTest : public QObject {
    Q_OBJECT

private:
    std::unique_ptr<TempDir> m_dir;
    std::unique_ptr<ScriptedPrompts> m_prompts;
    std::unique_ptr<TForm1> m_form;
    std::vector<Art> m_added; // glyph i of the library, as added

    Workspace &ws() { return m_form->workspace(); }
    template <class T> T *child(const char *name)
    {
        T *w = m_form->findChild<T *>(QString::fromLatin1(name));
        if (!w)
            qFatal("no control %s", name);
        return w;
    }
    DG1Grid *dg1() { return child<DG1Grid>("DG1"); }

    void chooseSize(int dots)
    {
        // The grids are laid out anew (New); a test with glyphs scripts the question.
        child<QAction>(dots == 16 ? "mnu16" : dots == 24 ? "mnu24" : "mnu32")->trigger();
        QCOMPARE(ws().dotSize(), dots);
    }

    // Picks characters of the code table and adds each with AddBtn. Every glyph
    // gets its number in dots along its bottom row and the top-right dot, so
    // that no two are alike and none is blank, whatever fonts are installed.
    void addGlyphs(int count)
    {
        auto *sg1 = child<SG1Grid>("SG1");
        auto *addBtn = child<QToolButton>("AddBtn");
        const int n = ws().dotSize();
        for (int i = 0; i < count; ++i) {
            QTest::mouseClick(sg1, Qt::LeftButton, {}, sg1->cellRect(i % 10, i / 10).center());
            std::vector<std::string> art = test::gridArt(ws());
            for (int bit = 0; bit < 6; ++bit)
                art[std::size_t(n - 1)][std::size_t(bit)] = ((i + 1) >> bit) & 1 ? '#' : '.';
            art[0][std::size_t(n - 1)] = '#';
            test::showGrid(ws(), art);
            m_added.push_back(test::gridArt(ws()));
            QVERIFY(addBtn->isEnabled());
            QTest::mouseClick(addBtn, Qt::LeftButton);
        }
        QCOMPARE(ws().library().LibCount(), int(m_added.size()));
    }

    // Every pixel of every visible cell: the glyph of the cell's index at one
    // pixel per dot 2 pixels in from the cell's corner, white everywhere else
    // (the margin, and the whole cell past the last glyph), but for the frame
    // of the selected glyph's cell. Empty when all match. The pixels are those
    // the window shows, as the paints it was sent left them, or (fresh) those
    // of a complete repaint.
    QString cellMismatch(bool fresh = true)
    {
        const QImage shot = fresh ? dg1()->viewport()->grab().toImage() : shownList();
        const Library &library = ws().library();
        const int selected
            = library.LibIndex() >= 0 && library.LibIndex() < library.LibCount() ? library.LibIndex() : -1;
        if (shot.size() != dg1()->viewport()->size())
            return QStringLiteral("no image of the list");
        const int n = ws().dotSize();
        const int size = n + 4;
        const int pitch = size + 1;
        const int columns = ws().library().DG1ColCount();
        const int top = dg1()->topRow();
        for (int r = 0; r * pitch < shot.height(); ++r) {
            for (int c = 0; c < columns; ++c) {
                const int index = (top + r) * columns + c;
                for (int y = 0; y < size && r * pitch + y < shot.height(); ++y) {
                    for (int x = 0; x < size; ++x) {
                        const int gx = x - 2;
                        const int gy = y - 2;
                        const bool ink = index < int(m_added.size()) && gx >= 0 && gx < n && gy >= 0 && gy < n
                            && m_added[std::size_t(index)][std::size_t(gy)][std::size_t(gx)] == '#';
                        const bool frame = index == selected && (x == 0 || y == 0 || x == size - 1 || y == size - 1);
                        const QColor want = frame ? QColor(Qt::blue) : ink ? QColor(Qt::black) : QColor(Qt::white);
                        const QColor got = shot.pixelColor(c * pitch + x, r * pitch + y);
                        // The keyboard's cell, while the list has the focus: a dotted inner ring.
                        const bool focusRing = dg1()->hasFocus() && index == dg1()->currentIndex() && !frame
                            && (x == 1 || y == 1 || x == size - 2 || y == size - 2) && x > 0 && y > 0 && x < size - 1
                            && y < size - 1;
                        if (focusRing && got == QColor(Qt::black))
                            continue;
                        if (got != want)
                            return QStringLiteral("top row %1, cell %2 (index %3), pixel (%4, %5): %6 instead of %7")
                                .arg(top)
                                .arg(c + r * columns)
                                .arg(index)
                                .arg(x)
                                .arg(y)
                                .arg(got.name(), want.name());
                    }
                }
            }
        }
        return {};
    }

    // The list's viewport as the window shows it after the pending repaints.
    QImage shownList()
    {
        QCoreApplication::processEvents();
        const QPoint origin = dg1()->viewport()->mapTo(m_form.get(), QPoint(0, 0));
        const QSize size = dg1()->viewport()->size();
        return m_form->screen()
            ->grabWindow(m_form->winId(), origin.x(), origin.y(), size.width(), size.height())
            .toImage();
    }

    void scrollTo(int row)
    {
        dg1()->verticalScrollBar()->setValue(row);
        QCOMPARE(dg1()->topRow(), row);
    }

private slots:
    void initTestCase() { installFontSubstitutions(); }

    void init()
    {
        m_dir = std::make_unique<TempDir>();
        std::filesystem::create_symlink(test::font16sPath(), m_dir->path() / "Font16s");
        m_prompts = std::make_unique<ScriptedPrompts>();
        m_form = std::make_unique<TForm1>(QString::fromStdString(m_dir->path().string()), *m_prompts);
        m_form->show();
        QVERIFY(QTest::qWaitForWindowExposed(m_form.get()));
        m_added.clear();
    }

    void cleanup()
    {
        m_form.reset();
        QVERIFY(m_prompts->allConsumed());
        m_prompts.reset();
        m_dir.reset();
    }

    void cellsShowTheirGlyphsWhenScrolled_data()
    {
        QTest::addColumn<int>("dots");
        QTest::addColumn<int>("columns");
        QTest::newRow("16 dots") << 16 << 10;
        QTest::newRow("24 dots") << 24 << 7;
        QTest::newRow("32 dots") << 32 << 5;
    }

    void cellsShowTheirGlyphsWhenScrolled()
    {
        QFETCH(int, dots);
        QFETCH(int, columns);
        chooseSize(dots);
        QCOMPARE(ws().library().DG1ColCount(), columns);
        addGlyphs(kGlyphs);

        QCOMPARE(cellMismatch(), QString());
        // Glyph rows move up under the first visible row, then the rows past
        // the last glyph, then back to the start.
        for (int row : {2, 1, dg1()->verticalScrollBar()->maximum(), 0}) {
            scrollTo(row);
            QCOMPARE(cellMismatch(), QString());
        }
        // The wheel scrolls as the scroll bar does.
        QWheelEvent wheel(QPointF(20, 20), dg1()->viewport()->mapToGlobal(QPointF(20, 20)), QPoint(), QPoint(0, -120),
            Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false);
        QApplication::sendEvent(dg1()->viewport(), &wheel);
        QVERIFY(dg1()->topRow() > 0);
        QCOMPARE(cellMismatch(), QString());
    }

    // At 32 dots, scrolled by two rows: a press on the second visible cell
    // selects glyph 11, and a commit repaints that cell where it now stands.
    void scrolledCellSelectsAndCommitsItsGlyph()
    {
        chooseSize(32);
        addGlyphs(kGlyphs);
        scrollTo(2);

        const int pitch = ws().library().DG1CellSize() + 1;
        QTest::mouseClick(dg1()->viewport(), Qt::LeftButton, {}, QPoint(pitch + 10, 10));
        QCOMPARE(ws().library().LibIndex(), 11);
        QCOMPARE(child<QLabel>("XNLabel")->text(), QStringLiteral("共 30字 第 12字"));
        QCOMPARE(test::gridArt(ws()), m_added[11]);

        // Ink the blank dot (1, 1) with a double-click in the editor, then Enter.
        auto *sg2 = child<SG2Grid>("SG2");
        QVERIFY(!ws().editorGrid().inked(1, 1));
        const QPoint dot = sg2->cellRect(1, 1).center();
        QTest::mouseClick(sg2, Qt::LeftButton, {}, dot);
        QTest::mouseDClick(sg2, Qt::LeftButton, {}, dot);
        QTest::mouseRelease(sg2, Qt::LeftButton, {}, dot);
        QVERIFY(ws().editorGrid().inked(1, 1));
        QTest::keyClick(sg2, Qt::Key_Return);
        m_added[11][1][1] = '#';
        QCOMPARE(cellMismatch(), QString());
    }

    // The frame follows the selection in the pixels the window shows: on the
    // glyph added last, on a pressed glyph, on the glyph that moves into a
    // deleted one's place, on the new last glyph when the last one goes; a
    // press below the last glyph beeps and leaves it. New takes it away and
    // shows the empty label, the delete button off.
    void selectionFrameFollowsTheSelection()
    {
        addGlyphs(12);
        QCOMPARE(ws().library().LibIndex(), 11);
        QCOMPARE(cellMismatch(false), QString());

        auto *list = dg1()->viewport();
        auto *delBtn = child<QToolButton>("DelBtn");
        const int pitch = ws().library().DG1CellSize() + 1;
        const auto press = [&](int index) {
            QTest::mouseClick(list, Qt::LeftButton, {}, QPoint(index % 10 * pitch + 5, index / 10 * pitch + 5));
        };
        press(3);
        QCOMPARE(ws().library().LibIndex(), 3);
        QCOMPARE(cellMismatch(false), QString());
        press(30);
        QCOMPARE(m_prompts->beeps(), 1);
        QCOMPARE(ws().library().LibIndex(), 3);
        QCOMPARE(cellMismatch(false), QString());

        m_prompts->answer(Answer::Yes);
        QTest::mouseClick(delBtn, Qt::LeftButton);
        m_added.erase(m_added.begin() + 3);
        QCOMPARE(ws().library().LibIndex(), 3);
        QCOMPARE(test::gridArt(ws()), m_added[3]);
        QCOMPARE(cellMismatch(false), QString());

        press(10);
        m_prompts->answer(Answer::Yes);
        QTest::mouseClick(delBtn, Qt::LeftButton);
        m_added.pop_back();
        QCOMPARE(ws().library().LibIndex(), 9);
        QCOMPARE(child<QLabel>("XNLabel")->text(), QStringLiteral("共 10字 第 10字"));
        QCOMPARE(cellMismatch(false), QString());

        child<QAction>("mnuNew")->trigger();
        m_added.clear();
        QCOMPARE(cellMismatch(false), QString());
        QCOMPARE(child<QLabel>("XNLabel")->text(), QStringLiteral("共 0字 第 0字"));
        QVERIFY(!delBtn->isEnabled());
    }

    // Opening a file of 200 glyphs selects the last one: the list scrolls to it.
    void openShowsTheSelectedGlyph()
    {
        std::string glyphs;
        std::string codes;
        for (int i = 0; i < 200; ++i) {
            glyphs += std::string(32, char(0x81));
            codes += std::string{char(0xB0 + i / 94), char(0xA1 + i % 94)};
        }
        const std::string file = m_dir->file("LIB200.ZMB");
        test::writeFile(file, glyphs + codes);
        m_prompts->fileChoice(FileChoice{file, 1});
        child<QAction>("mnuOpen")->trigger();
        QCOMPARE(ws().library().LibCount(), 200);
        QCOMPARE(ws().library().LibIndex(), 199);
        QVERIFY(dg1()->viewport()->rect().contains(dg1()->cellRect(199)));
    }

    // New empties the list: it shows its first row again, so the first glyph
    // added afterwards is in sight.
    void newShowsTheFirstRow()
    {
        chooseSize(32);
        addGlyphs(kGlyphs);
        scrollTo(dg1()->verticalScrollBar()->maximum());
        child<QAction>("mnuNew")->trigger();
        QCOMPARE(dg1()->topRow(), 0);
        m_added.clear();
        addGlyphs(1);
        QCOMPARE(cellMismatch(), QString());

        // The same after another dot size, the glyph given up.
        scrollTo(5);
        m_prompts->answer(Answer::No);
        chooseSize(24);
        QCOMPARE(dg1()->topRow(), 0);
    }
};

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    DG1ScrollTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "dg1_scroll_test.moc"
