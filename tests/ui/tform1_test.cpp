// The window, clicked for real (offscreen): its start-up state, the wiring of
// grids, buttons and menus to the workspace, what it draws, and the Qt boxes.

#include "app/widgets/qt_prompts.h"
#include "app/widgets/tform1.h"
#include "app/widgets/window_folders.h"
#include "editor/widgets/sg2_grid.h"
#include "library/widgets/dg1_grid.h"
#include "render/widgets/ui_fonts.h"
#include "sources/widgets/sg1_grid.h"
#include "tests/support/offscreen_desktop.h"
#include "tests/support/scripted_prompts.h"
#include "tests/support/test_workspace.h"

#include <QAction>
#include <QClipboard>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QFileSystemModel>
#include <QInputMethodEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMessageBox>
#include <QPointer>
#include <QProcessEnvironment>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>
#include <QSpinBox>
#include <QStyleOptionSpinBox>
#include <QTemporaryDir>
#include <QTest>
#include <QTextBrowser>
#include <QTimer>
#include <QToolButton>

#include <filesystem>
#include <memory>

using namespace dotforge;
using dotforge::test::ScriptedPrompts;
using dotforge::test::TempDir;

namespace {
const QColor kBlue(0, 0, 255);
} // namespace

class TForm1Test : public QObject {
    Q_OBJECT

private:
    std::unique_ptr<TempDir> m_dir;
    std::unique_ptr<ScriptedPrompts> m_prompts;
    std::unique_ptr<TForm1> m_form;

    Workspace &ws() { return m_form->workspace(); }
    template <class T> T *child(const char *name)
    {
        T *w = m_form->findChild<T *>(QString::fromLatin1(name));
        if (!w)
            qFatal("no control %s", name);
        return w;
    }
    QAction *action(const char *name) { return child<QAction>(name); }
    void startForm(bool withFont16s = true)
    {
        m_dir = std::make_unique<TempDir>();
        if (withFont16s)
            std::filesystem::create_symlink(test::font16sPath(), m_dir->path() / "Font16s");
        m_prompts = std::make_unique<ScriptedPrompts>();
        m_form = std::make_unique<TForm1>(QString::fromStdString(m_dir->path().string()), *m_prompts);
        m_form->show();
        QVERIFY(QTest::qWaitForWindowExposed(m_form.get()));
    }
    QPoint sg2Cell(int col, int row) { return child<SG2Grid>("SG2")->cellRect(col, row).center(); }
    QColor sg2Pixel(int col, int row)
    {
        auto *sg2 = child<SG2Grid>("SG2");
        const QImage shot = sg2->grab().toImage();
        return shot.pixelColor(sg2->cellRect(col, row).bottomRight() - QPoint(1, 1));
    }
    // What the window system delivers for a double-click: press, release,
    // double-click, release.
    void doubleClick(const QPoint &pos)
    {
        auto *sg2 = child<SG2Grid>("SG2");
        QTest::mouseClick(sg2, Qt::LeftButton, {}, pos);
        QTest::mouseDClick(sg2, Qt::LeftButton, {}, pos);
        QTest::mouseRelease(sg2, Qt::LeftButton, {}, pos);
    }
    // The editor grid as rows of '#' and '.'.
    std::vector<std::string> gridArt()
    {
        std::vector<std::string> rows;
        for (int r = 0; r < ws().dotSize(); ++r) {
            std::string row;
            for (int c = 0; c < ws().dotSize(); ++c)
                row += ws().editorGrid().inked(c, r) ? '#' : '.';
            rows.push_back(row);
        }
        return rows;
    }
    // The window active, so that its widgets can hold the focus.
    void activate()
    {
        m_form->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(m_form.get()));
    }
    // Dark pixels on the outline of a rectangle of a grabbed image.
    static int darkOnOutline(const QImage &image, const QRect &r)
    {
        int dark = 0;
        for (int x = r.left(); x <= r.right(); ++x)
            for (const int y : {r.top(), r.bottom()})
                dark += qGray(image.pixel(x, y)) < 128;
        for (int y = r.top() + 1; y < r.bottom(); ++y)
            for (const int x : {r.left(), r.right()})
                dark += qGray(image.pixel(x, y)) < 128;
        return dark;
    }
    // A cell of the current glyph without ink, so that its colour is its background.
    QPoint blankCell()
    {
        for (int r = ws().dotSize() - 1; r >= 0; --r)
            for (int c = 0; c < ws().dotSize(); ++c)
                if (!ws().editorGrid().inked(c, r))
                    return {c, r};
        return {-1, -1};
    }

private slots:
    void initTestCase() { installFontSubstitutions(); }

    void init() { startForm(); }

    void cleanup()
    {
        m_form.reset();
        // Every question the window asked was scripted and answered.
        QVERIFY(m_prompts->allConsumed());
        m_prompts.reset();
        m_dir.reset();
    }

    void startUpWindow()
    {
        QCOMPARE(m_form->windowTitle(), QStringLiteral("Dotforge"));
        QCOMPARE(m_form->centralWidget()->size(), QSize(789, 444));
        QCOMPARE(m_form->minimumSize(), m_form->maximumSize());
        QVERIFY(!m_form->windowFlags().testFlag(Qt::WindowMaximizeButtonHint));
        QCOMPARE(child<QLabel>("XNLabel")->text(), QStringLiteral("共 0字 第 0字"));
        QVERIFY(std::filesystem::exists(m_dir->path() / "JQT.TMP"));
        QVERIFY(m_prompts->log().empty());

        auto *se1 = child<QSpinBox>("SE1");
        QCOMPARE(se1->value(), 16);
        QCOMPARE(se1->minimum(), 1);
        QCOMPARE(se1->maximum(), 94);
        QVERIFY(child<QRadioButton>("RW")->isChecked());
        QVERIFY(!child<QRadioButton>("RU")->isChecked());
        QVERIFY(child<QRadioButton>("RG1Item0")->isChecked());
        QCOMPARE(child<QComboBox>("UJF")->currentText(), QStringLiteral("中文简体"));
        QVERIFY(child<QLabel>("Image1")->isHidden());
        QCOMPARE(child<QToolButton>("AddBtn")->text(), QStringLiteral("加入(&A)"));
    }

    // Every control with its hint and its enabled state after start-up.
    void startUpControls_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("hint");
        QTest::addColumn<bool>("enabled");
        auto row = [](const char *name, const char *hint, bool enabled) {
            QTest::newRow(name) << QString::fromLatin1(name) << QString::fromUtf8(hint) << enabled;
        };
        row("SE1", "", true);
        row("SG1", "", true);
        row("ChEdit", "可在此输入 多个所需文字", true);
        row("Button1", "", true);
        row("RW", "用Windows系统自带的TTF字库作为点阵源", true);
        row("FontBtn", "选择Windows字体和大小", true);
        row("RU", "用UCDOS汉字系统的16点阵字库作为点阵源", true);
        row("UJF", "", false);
        row("RG1", "", false);
        row("SG2", "", true);
        row("LeftBtn", "整体向左移动一列", true);
        row("RightBtn", "整体向右移动一列", true);
        row("UpBtn", "整体向上移动一行", true);
        row("DownBtn", "整体向下移动一行", true);
        row("CCWBtn", "左旋90度", true);
        row("HflipBtn", "左右翻转", true);
        row("VflipBtn", "上下翻转", true);
        row("ELBtn", "左右交换", true);
        row("EUBtn", "上下交换", true);
        row("undoBtn", "恢复初始状态", true);
        row("ClearBtn", "清除点阵", false);
        row("ChgBtn", "确认修改", false);
        row("DG1", "", true);
        row("AddBtn", "将所选字加入到小字库中", true);
        row("DelBtn", "删除小字库中的字", false);
    }
    void startUpControls()
    {
        QFETCH(QString, name);
        QFETCH(QString, hint);
        QFETCH(bool, enabled);
        auto *w = m_form->findChild<QWidget *>(name);
        QVERIFY(w);
        QCOMPARE(w->toolTip(), hint);
        QCOMPARE(w->isEnabled(), enabled);
    }

    // The whole menu tree: caption, enabled, tick.
    void startUpMenus_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("enabled");
        QTest::addColumn<bool>("checked");
        auto row = [](const char *name, const char *text, bool enabled, bool checked) {
            QTest::newRow(name) << QString::fromLatin1(name) << QString::fromUtf8(text) << enabled << checked;
        };
        row("mnuNew", "新建(&N)", true, false);
        row("mnuOpen", "打开(&O)...", true, false);
        row("mnuSave", "保存(&S)", false, false);
        row("mnuSaveAs", "另存为(&A)...", false, false);
        row("mnuPrint", "打印(&P)...", true, false);
        row("mnuClose", "关闭(&C)", true, false);
        row("mnuExit", "退出(&X)", true, false);
        row("mnu16", "&16点阵", true, true);
        row("mnu24", "&24点阵", true, false);
        row("mnu32", "&32点阵", true, false);
        row("mnuModA", "模式&A", true, true);
        row("mnuModB", "模式&B", true, false);
        row("mnuModC", "模式&C", true, false);
        row("mnuModD", "模式&D", true, false);
        row("mnuR0", "不旋转(&0)", true, true);
        row("mnuR90", "左旋90度(&1)", true, false);
        row("mnuR180", "左旋180度(&2)", true, false);
        row("mnuR270", "左旋270度(&3)", true, false);
        row("mnuFN", "不翻转(&N)", true, true);
        row("mnuFH", "水平翻转(&H)", true, false);
        row("mnuFV", "垂直翻转(&V)", true, false);
        row("mnuEN", "不交换(&N)", true, true);
        row("mnuEL", "左右交换(&L)", true, false);
        row("mnuEU", "上下交换(&U)", true, false);
        row("mnuView", "显示默认效果(&V)", true, false);
        row("mnuHelp", "使用说明(&M)", true, false);
        row("mnuAbout", "关于(&A)", true, false);
        row("pmuCut", "剪切\tCtrl+X", true, false);
        row("pmuDel", "删除\tDel", true, false);
    }
    void startUpMenus()
    {
        QFETCH(QString, name);
        QFETCH(QString, text);
        QFETCH(bool, enabled);
        QFETCH(bool, checked);
        QAction *a = m_form->findChild<QAction *>(name);
        QVERIFY(a);
        QCOMPARE(a->text(), text);
        QCOMPARE(a->isEnabled(), enabled);
        QCOMPARE(a->isChecked(), checked);
        // The block menu's keys act through the editor grid's key handler, not as
        // shortcuts of these actions.
        QVERIFY(a->shortcut().isEmpty());
    }

    // Pixel positions to cells: 21-pixel cells and 1-pixel lines in SG1, 17 in SG2.
    void gridGeometry()
    {
        auto *sg1 = child<SG1Grid>("SG1");
        const QPoint o1 = sg1->contentsRect().topLeft();
        QCOMPARE(sg1->cellAt(o1 + QPoint(20, 0)), QPoint(0, 0));
        QCOMPARE(sg1->cellAt(o1 + QPoint(22, 43)), QPoint(1, 1));
        QCOMPARE(sg1->cellAt(o1 + QPoint(9 * 22 + 21, 9 * 22 + 21)), QPoint(9, 9));
        QCOMPARE(sg1->cellAt(o1 + QPoint(220, 5)), QPoint(-1, -1));
        QCOMPARE(sg1->cellAt(QPoint(0, 0)), QPoint(-1, -1)); // the frame

        auto *sg2 = child<SG2Grid>("SG2");
        QCOMPARE(sg2->contentsRect().size(), QSize(289, 289));
        const QPoint o2 = sg2->contentsRect().topLeft();
        QCOMPARE(ws().editorGrid().cellSize(), 17);
        QCOMPARE(sg2->cellAt(o2 + QPoint(16, 17)), QPoint(0, 0));
        QCOMPARE(sg2->cellAt(o2 + QPoint(18, 18)), QPoint(1, 1));
        QCOMPARE(sg2->cellAt(o2 + QPoint(287, 0)), QPoint(15, 0));
        QCOMPARE(sg2->cellAt(o2 + QPoint(288, 0)), QPoint(-1, -1));

        auto *dg1 = child<DG1Grid>("DG1");
        QCOMPARE(dg1->viewport()->width(), DG1Grid::kClientWidth);
        QCOMPARE(ws().library().DG1ColCount(), 10);
        QCOMPARE(dg1->cellAt(QPoint(209, 0)), QPoint(9, 0));
        QCOMPARE(dg1->cellAt(QPoint(210, 0)), QPoint(-1, -1));
        // Scrolled by three rows, the top visible row is row 3.
        dg1->verticalScrollBar()->setValue(3);
        QCOMPARE(dg1->cellAt(QPoint(0, 0)), QPoint(0, 3));
    }

    void sg1ClickRendersTheCell()
    {
        auto *sg1 = child<SG1Grid>("SG1");
        // Area 16, position 24: column 3, row 2.
        QTest::mouseClick(sg1, Qt::LeftButton, {}, sg1->cellRect(3, 2).center());
        QCOMPARE(ws().CurCode(), std::string("\xB0\xB8"));
        QCOMPARE(ws().codeTable().tableCol(), 3);
        QCOMPARE(ws().codeTable().tableRow(), 2);
        // A right click selects as well; an empty cell only beeps.
        QTest::mouseClick(sg1, Qt::RightButton, {}, sg1->cellRect(0, 1).center());
        QCOMPARE(ws().CurCode(), std::string("\xB0\xAB"));
        QTest::mouseClick(sg1, Qt::LeftButton, {}, sg1->cellRect(7, 9).center());
        QCOMPARE(ws().CurCode(), std::string("\xB0\xAB"));
        QCOMPARE(m_prompts->beeps(), 1);
    }

    // The keyboard's cell of the table: framed while the table has the focus,
    // moved by the arrows without a render, pressed by Enter and Space.
    void sg1KeyboardCell()
    {
        activate();
        auto *sg1 = child<SG1Grid>("SG1");
        const auto frame
            = [sg1](int col, int row) { return darkOnOutline(sg1->grab().toImage(), sg1->cellRect(col, row)); };
        QCOMPARE(frame(0, 0), 0);
        sg1->setFocus();
        QTRY_VERIFY(sg1->hasFocus());
        QVERIFY(frame(0, 0) > 4);
        for (const Qt::Key key : {Qt::Key_Right, Qt::Key_Right, Qt::Key_Right, Qt::Key_Down, Qt::Key_Down})
            QTest::keyClick(sg1, key);
        QCOMPARE(frame(0, 0), 0);
        QVERIFY(frame(3, 2) > 4);
        QCOMPARE(ws().CurCode(), std::string("\xB0\xA1"));
        QTest::keyClick(sg1, Qt::Key_Return);
        QCOMPARE(ws().CurCode(), std::string("\xB0\xB8"));
        QTest::keyClick(sg1, Qt::Key_Right);
        QTest::keyClick(sg1, Qt::Key_Space);
        QCOMPARE(ws().CurCode(), std::string("\xB0\xB9"));
        // Cell 99 holds no character: pressed, it beeps as a click there does.
        for (int i = 0; i < 9; ++i)
            QTest::keyClick(sg1, Qt::Key_Down);
        QTest::keyClick(sg1, Qt::Key_End);
        QCOMPARE(sg1->currentCell(), QPoint(9, 9));
        QTest::keyClick(sg1, Qt::Key_Enter);
        QCOMPARE(m_prompts->beeps(), 1);
        QCOMPARE(ws().CurCode(), std::string("\xB0\xB9"));
        // A click moves it; without the focus it is not framed.
        QTest::mouseClick(sg1, Qt::LeftButton, {}, sg1->cellRect(1, 1).center());
        QCOMPARE(sg1->currentCell(), QPoint(1, 1));
        child<SG2Grid>("SG2")->setFocus();
        QTRY_VERIFY(!sg1->hasFocus());
        QCOMPARE(frame(1, 1), 0);
    }

    // The code table draws its characters with the glyph rasteriser at 12
    // points from (2, 2) in each cell: at 16 dots, where the editor takes the
    // same face and size, the cell shows exactly the glyph the editor gets.
    void sg1CellShowsTheRenderedGlyph()
    {
        auto *sg1 = child<SG1Grid>("SG1");
        for (const QPoint cell : {QPoint(3, 2), QPoint(0, 0), QPoint(9, 8)}) {
            QTest::mouseClick(sg1, Qt::LeftButton, {}, sg1->cellRect(cell.x(), cell.y()).center());
            const QImage shot = sg1->grab().toImage();
            const QPoint origin = sg1->cellRect(cell.x(), cell.y()).topLeft() + QPoint(2, 2);
            int ink = 0;
            for (int y = 0; y < 16; ++y)
                for (int x = 0; x < 16; ++x) {
                    const bool shown = shot.pixelColor(origin + QPoint(x, y)) != QColor(Qt::white);
                    QCOMPARE(shown, ws().codeTable().sourcePlane().dot(x, y));
                    ink += shown;
                }
            QVERIFY(ink > 20);
        }
    }

    // The arrows step; a typed number is the area once Enter confirms it or
    // the field loses the focus, Escape drops it, letters never get in.
    void se1StepsAndTakesTypedNumbers()
    {
        activate();
        auto *se1 = child<QSpinBox>("SE1");
        auto *edit = se1->findChild<QLineEdit *>();
        se1->setFocus();
        QTest::keyClick(se1, Qt::Key_Up);
        QCOMPARE(ws().codeTable().curArea(), 17);
        QCOMPARE(se1->value(), 17);
        QCOMPARE(ws().CurCode(), std::string("\xB1\xA1"));

        edit->selectAll();
        QTest::keyClicks(se1, "2a5");
        QCOMPARE(se1->text(), QStringLiteral("25"));
        QCOMPARE(ws().codeTable().curArea(), 17);
        QTest::keyClick(se1, Qt::Key_Return);
        QCOMPARE(ws().codeTable().curArea(), 25);
        QCOMPARE(se1->value(), 25);
        QCOMPARE(ws().CurCode(), std::string("\xB9\xA1"));

        QTest::keyClick(se1, Qt::Key_Backspace);
        QTest::keyClick(se1, Qt::Key_Backspace);
        QTest::keyClicks(se1, "9");
        QTest::keyClick(se1, Qt::Key_Escape);
        QCOMPARE(se1->text(), QStringLiteral("25"));
        QCOMPARE(ws().codeTable().curArea(), 25);

        // Tab on to the next control confirms; a box taking the focus does not.
        edit->selectAll();
        QTest::keyClicks(se1, "8");
        QTest::keyClick(se1, Qt::Key_Tab);
        QTRY_COMPARE(ws().codeTable().curArea(), 8);
        QCOMPARE(se1->text(), QStringLiteral("8"));
        QCOMPARE(ws().CurCode(), std::string("\xA8\xA1"));
        se1->setFocus(Qt::TabFocusReason);
        edit->selectAll();
        QTest::keyClicks(se1, "9");
        child<SG1Grid>("SG1")->setFocus(Qt::ActiveWindowFocusReason);
        QCOMPARE(ws().codeTable().curArea(), 8);
    }

    // A real click on the up arrow, then the arrow key: both step. Held down,
    // the arrow repeats.
    void se1MouseStepThenKeyStep()
    {
        auto *se1 = child<QSpinBox>("SE1");
        QStyleOptionSpinBox option;
        option.initFrom(se1);
        option.subControls = QStyle::SC_SpinBoxUp | QStyle::SC_SpinBoxDown | QStyle::SC_SpinBoxFrame;
        option.stepEnabled = QAbstractSpinBox::StepUpEnabled | QAbstractSpinBox::StepDownEnabled;
        const QPoint up = se1->style()->subControlRect(QStyle::CC_SpinBox, &option, QStyle::SC_SpinBoxUp, se1).center();
        QTest::mouseClick(se1, Qt::LeftButton, {}, up);
        QCOMPARE(ws().codeTable().curArea(), 17);
        QCOMPARE(se1->text(), QStringLiteral("17"));
        se1->setFocus();
        QTest::keyClick(se1, Qt::Key_Up);
        QCOMPARE(ws().codeTable().curArea(), 18);
        QTest::keyClick(se1, Qt::Key_Down);
        QCOMPARE(ws().codeTable().curArea(), 17);
        QTest::mouseClick(se1, Qt::LeftButton, {}, up);
        QCOMPARE(ws().codeTable().curArea(), 18);

        QTest::mousePress(se1, Qt::LeftButton, {}, up);
        QTest::qWait(1500);
        QTest::mouseRelease(se1, Qt::LeftButton, {}, up);
        QVERIFY2(ws().codeTable().curArea() >= 21, qPrintable(QString::number(ws().codeTable().curArea())));
        QCOMPARE(se1->value(), ws().codeTable().curArea());
    }

    // What reaches the field otherwise (a middle-click paste of the
    // selection, any insert) waits for Enter as a typed number does.
    void se1KeepsTheAreaShown()
    {
        auto *se1 = child<QSpinBox>("SE1");
        auto *edit = se1->findChild<QLineEdit *>();
        edit->selectAll();
        edit->insert(QStringLiteral("7"));
        QCOMPARE(se1->value(), 16);
        QCOMPARE(ws().codeTable().curArea(), 16);
        QTest::keyClick(se1, Qt::Key_Escape);
        QCOMPARE(se1->text(), QStringLiteral("16"));
        if (QGuiApplication::clipboard()->supportsSelection()) {
            QGuiApplication::clipboard()->setText(QStringLiteral("42"), QClipboard::Selection);
            QTest::mouseClick(edit, Qt::MiddleButton, {}, edit->rect().center());
            QCOMPARE(se1->value(), 16);
            QCOMPARE(ws().codeTable().curArea(), 16);
        }
    }

    // Latin letters and digits are drawn as crisply as the hanzi: black ink, no
    // faint grey smoothing (the area number in SE1, "Windows字库" in RW).
    void latinTextIsCrisp()
    {
        auto *se1 = child<QSpinBox>("SE1");
        auto *rw = child<QRadioButton>("RW");
        const struct {
            QImage image;
            const char *name;
        } shots[] = {{se1->findChild<QLineEdit *>()->grab().toImage(), "SE1"},
            {rw->grab(QRect(22, 0, rw->width() - 22, rw->height())).toImage(), "RW"}};
        for (const auto &shot : shots) {
            int ink = 0;
            int grey = 0;
            for (int y = 0; y < shot.image.height(); ++y)
                for (int x = 0; x < shot.image.width(); ++x) {
                    const int g = qGray(shot.image.pixel(x, y));
                    ink += g < 80;
                    grey += g >= 80 && g < 180;
                }
            QVERIFY2(ink > 20, shot.name);
            QVERIFY2(
                grey * 10 < ink, qPrintable(QStringLiteral("%1: %2 grey, %3 ink").arg(shot.name).arg(grey).arg(ink)));
        }
    }

    void sg2DoubleClickInSystemViewChangesNothing()
    {
        const std::vector<std::string> before = test::gridArt(ws());
        doubleClick(sg2Cell(5, 5));
        QCOMPARE(test::gridArt(ws()), before);
        QVERIFY(!action("mnuSave")->isEnabled());
        // The press made the cell the one-cell selection.
        QCOMPARE(ws().editorGrid().selCol(), 5);
        QCOMPARE(ws().editorGrid().selRow(), 5);
    }

    void selectionIsDrawnBlue()
    {
        QCOMPARE(sg2Pixel(0, 0), kBlue); // the one-cell selection after start-up
        const QPoint cell = blankCell();
        QTest::mouseClick(child<SG2Grid>("SG2"), Qt::LeftButton, {}, sg2Cell(cell.x(), cell.y()));
        QCOMPARE(sg2Pixel(cell.x(), cell.y()), kBlue);
        if (!ws().editorGrid().inked(0, 0))
            QCOMPARE(sg2Pixel(0, 0), QColor(Qt::white));
    }

    void addBtnAddsAndTheListShowsIt()
    {
        auto *addBtn = child<QToolButton>("AddBtn");
        QTest::mouseClick(addBtn, Qt::LeftButton);
        QCOMPARE(child<QLabel>("XNLabel")->text(), QStringLiteral("共 1字 第 1字"));
        QCOMPARE(ws().library().LibCount(), 1);
        QVERIFY(!addBtn->isEnabled());
        QVERIFY(child<QToolButton>("DelBtn")->isEnabled());
        QVERIFY(child<QWidget>("RG1")->isEnabled());
        QVERIFY(action("mnuSave")->isEnabled());

        // The glyph stands in list cell 0, one pixel per dot, 2 pixels in.
        auto *dg1 = child<DG1Grid>("DG1");
        const QImage list = dg1->viewport()->grab().toImage();
        int ink = 0;
        for (int y = 0; y < 16; ++y)
            for (int x = 0; x < 16; ++x)
                if (ws().editorGrid().inked(x, y)) {
                    QCOMPARE(list.pixelColor(2 + x, 2 + y), QColor(Qt::black));
                    ++ink;
                }
        QVERIFY(ink > 0);
        // The margin's outer pixel is the frame of the selected glyph, its inner one white.
        QCOMPARE(list.pixelColor(0, 0), QColor(Qt::blue));
        QCOMPARE(list.pixelColor(1, 1), QColor(Qt::white));

        // Selecting it opens the library view, where a double-click toggles a dot.
        QTest::mouseClick(dg1->viewport(), Qt::LeftButton, {}, QPoint(10, 10));
        QVERIFY(child<QRadioButton>("RG1Item1")->isChecked());
        QVERIFY(child<QToolButton>("ChgBtn")->isEnabled());
        const QPoint cell = blankCell();
        doubleClick(sg2Cell(cell.x(), cell.y()));
        QVERIFY(ws().editorGrid().inked(cell.x(), cell.y()));
        QVERIFY(action("mnuSave")->isEnabled());
    }

    // The list's keyboard cell: the inner pixel of a cell's margin, dotted
    // while the list has the focus; it moves over the glyphs only, and Enter
    // and Space select its glyph as a click does.
    void dg1KeyboardCell()
    {
        activate();
        auto *add = child<QToolButton>("AddBtn");
        auto *sg1 = child<SG1Grid>("SG1");
        QTest::mouseClick(add, Qt::LeftButton);
        QTest::mouseClick(sg1, Qt::LeftButton, {}, sg1->cellRect(1, 0).center());
        QTest::mouseClick(add, Qt::LeftButton);
        QCOMPARE(ws().library().LibCount(), 2);
        auto *dg1 = child<DG1Grid>("DG1");
        QCOMPARE(dg1->currentIndex(), ws().library().LibIndex());
        const auto frame = [dg1](int index) {
            return darkOnOutline(dg1->viewport()->grab().toImage(), dg1->cellRect(index).adjusted(1, 1, -1, -1));
        };
        QCOMPARE(frame(1), 0);
        dg1->setFocus();
        QTRY_VERIFY(dg1->hasFocus());
        QVERIFY(frame(1) > 4);
        QTest::keyClick(dg1, Qt::Key_Left);
        QTest::keyClick(dg1, Qt::Key_Left);
        QCOMPARE(dg1->currentIndex(), 0);
        QVERIFY(frame(0) > 4);
        QCOMPARE(frame(1), 0);
        QTest::keyClick(dg1, Qt::Key_Space);
        QVERIFY(child<QRadioButton>("RG1Item1")->isChecked());
        QCOMPARE(child<QLabel>("XNLabel")->text(), QStringLiteral("共 2字 第 1字"));
        for (const Qt::Key key : {Qt::Key_Right, Qt::Key_Right, Qt::Key_Down})
            QTest::keyClick(dg1, key);
        QCOMPARE(dg1->currentIndex(), 1);
        QTest::keyClick(dg1, Qt::Key_Return);
        QCOMPARE(child<QLabel>("XNLabel")->text(), QStringLiteral("共 2字 第 2字"));
        QCOMPARE(m_prompts->beeps(), 0);
    }

    // The editor's keyboard cell: the arrows move it as the pointer moves,
    // Space clicks it, a second Space on the selected cell toggles its dot,
    // the menu key opens the block menu there.
    void sg2KeyboardCell()
    {
        activate();
        QTest::mouseClick(child<QToolButton>("AddBtn"), Qt::LeftButton);
        QTest::mouseClick(child<DG1Grid>("DG1")->viewport(), Qt::LeftButton, {}, QPoint(10, 10));
        QTest::mouseClick(child<QToolButton>("ClearBtn"), Qt::LeftButton);
        auto *sg2 = child<SG2Grid>("SG2");
        // Pixels of a cell's outline that differ from its background.
        const auto frame = [this, sg2](int col, int row) {
            const QImage shot = sg2->grab().toImage();
            const QRect r = sg2->cellRect(col, row);
            const QRgb back = ws().editorGrid().inSelection(col, row) ? kBlue.rgb() : QColor(Qt::white).rgb();
            int marks = 0;
            for (int x = r.left(); x <= r.right(); ++x)
                marks += (shot.pixel(x, r.top()) != back) + (shot.pixel(x, r.bottom()) != back);
            return marks;
        };
        QTest::mouseClick(sg2, Qt::LeftButton, {}, sg2Cell(2, 2));
        sg2->setFocus();
        QTRY_VERIFY(sg2->hasFocus());
        QVERIFY(frame(2, 2) > 4);
        QTest::keyClick(sg2, Qt::Key_Right);
        QCOMPARE(frame(2, 2), 0);
        QVERIFY(frame(3, 2) > 4);
        QCOMPARE(ws().editorGrid().selCol(), 2);
        QTest::keyClick(sg2, Qt::Key_Space);
        QCOMPARE(ws().editorGrid().selCol(), 3);
        QVERIFY(!ws().editorGrid().inked(3, 2));
        QTest::keyClick(sg2, Qt::Key_Space);
        QVERIFY(ws().editorGrid().inked(3, 2));
        QVERIFY(action("mnuSave")->isEnabled());
        // Shift toggles the rubber band; the arrows stretch it.
        QTest::keyClick(sg2, Qt::Key_Shift);
        for (const Qt::Key key : {Qt::Key_Right, Qt::Key_Right, Qt::Key_Down})
            QTest::keyClick(sg2, key);
        QTest::keyClick(sg2, Qt::Key_Shift);
        QCOMPARE(ws().editorGrid().selWidth(), 3);
        QCOMPARE(ws().editorGrid().selHeight(), 2);
        QTest::keyClick(sg2, Qt::Key_S, Qt::ControlModifier);
        QVERIFY(ws().editorGrid().inked(4, 2));
        QVERIFY(!ws().editorGrid().inked(3, 2));
        QTest::keyClick(sg2, Qt::Key_Menu);
        QTRY_VERIFY(child<QMenu>("PMenu")->isVisible());
        QVERIFY(action("pmuLeft")->isEnabled());
        child<QMenu>("PMenu")->hide();
    }

    // Each further window opens 30 pixels right of and below the one before;
    // a closed window's place is taken again.
    void furtherWindowsCascade()
    {
        const QPoint first = m_form->pos();
        TempDir otherDir;
        std::filesystem::create_symlink(test::font16sPath(), otherDir.path() / "Font16s");
        ScriptedPrompts prompts;
        auto second = std::make_unique<TForm1>(QString::fromStdString(otherDir.path().string()), prompts);
        QCOMPARE(second->pos(), first + QPoint(30, 30));
        m_form.reset();
        TForm1 again(QString::fromStdString(m_dir->path().string()), *m_prompts);
        QCOMPARE(again.pos(), first);
        second.reset();
    }

    void dotSizeMenuResizesTheGrids()
    {
        action("mnu24")->trigger();
        QCOMPARE(ws().dotSize(), 24);
        QCOMPARE(ws().editorGrid().cellSize(), 11);
        QVERIFY(action("mnu24")->isChecked());
        QVERIFY(!action("mnu16")->isChecked());
        QVERIFY(!child<QRadioButton>("RU")->isEnabled());
        auto *sg2 = child<SG2Grid>("SG2");
        const QPoint o = sg2->contentsRect().topLeft();
        QCOMPARE(sg2->cellAt(o + QPoint(11, 0)), QPoint(0, 0));
        QCOMPARE(sg2->cellAt(o + QPoint(12, 0)), QPoint(1, 0));
        QCOMPARE(sg2->cellAt(o + QPoint(287, 287)), QPoint(23, 23));
        QCOMPARE(sg2->cellAt(o + QPoint(288, 0)), QPoint(-1, -1));
        QCOMPARE(ws().library().DG1ColCount(), 7);
        QCOMPARE(sg2Pixel(0, 0), kBlue);
    }

    // The block menu opens at the window's outer left + the grid's left + the
    // pointer + 10, and at the outer top + the grid's top + the pointer.
    void rightPressOpensTheBlockMenu()
    {
        auto *sg2 = child<SG2Grid>("SG2");
        QTest::mousePress(sg2, Qt::LeftButton, {}, sg2Cell(1, 1));
        QTest::mouseMove(sg2, sg2Cell(3, 2));
        QTest::mouseRelease(sg2, Qt::LeftButton, {}, sg2Cell(3, 2));
        QCOMPARE(ws().editorGrid().selWidth(), 3);
        QCOMPARE(ws().editorGrid().selHeight(), 2);

        const QPoint pointer = sg2Cell(2, 2);
        QTest::mousePress(sg2, Qt::RightButton, {}, pointer);
        auto *menu = child<QMenu>("PMenu");
        QTRY_VERIFY(menu->isVisible());
        QVERIFY(action("pmuCopy")->isEnabled());
        QVERIFY(!action("pmuCut")->isEnabled());
        QVERIFY(!action("pmuPaste")->isEnabled());
        const QPoint grid = sg2->mapTo(m_form->centralWidget(), QPoint(0, 0));
        const QPoint inGrid = pointer - sg2->contentsRect().topLeft();
        const QPoint expected = m_form->frameGeometry().topLeft() + grid + inGrid + QPoint(10, 0);
        QCOMPARE(menu->pos(), expected);
        menu->hide();
    }

    // The block menu's keys: the moves and Del act while a block is selected
    // and do nothing to one selected cell; Ctrl+X always cuts.
    void gridKeys()
    {
        auto *sg2 = child<SG2Grid>("SG2");
        const std::vector<std::string> glyph = gridArt();
        QTest::mouseClick(sg2, Qt::LeftButton, {}, sg2Cell(3, 3));
        for (const Qt::Key key : {Qt::Key_A, Qt::Key_S, Qt::Key_W, Qt::Key_Z})
            QTest::keyClick(sg2, key, Qt::ControlModifier);
        QTest::keyClick(sg2, Qt::Key_Delete);
        QCOMPARE(gridArt(), glyph);
        QVERIFY(!action("mnuSave")->isEnabled());

        QTest::mousePress(sg2, Qt::LeftButton, {}, sg2Cell(0, 0));
        QTest::mouseMove(sg2, sg2Cell(15, 15));
        QTest::mouseRelease(sg2, Qt::LeftButton, {}, sg2Cell(15, 15));
        // Down one row: the first row is left blank; up again, back from the snapshot.
        QTest::keyClick(sg2, Qt::Key_Z, Qt::ControlModifier);
        QCOMPARE(gridArt()[0], std::string(16, '.'));
        for (int r = 1; r < 16; ++r)
            QCOMPARE(gridArt()[std::size_t(r)], glyph[std::size_t(r - 1)]);
        QVERIFY(action("mnuSave")->isEnabled());
        QTest::keyClick(sg2, Qt::Key_W, Qt::ControlModifier);
        QCOMPARE(gridArt(), glyph);
        QTest::keyClick(sg2, Qt::Key_S, Qt::ControlModifier);
        QCOMPARE(gridArt()[5].substr(1), glyph[5].substr(0, 15));
        QTest::keyClick(sg2, Qt::Key_A, Qt::ControlModifier);
        QCOMPARE(gridArt(), glyph);
        QTest::keyClick(sg2, Qt::Key_Delete);
        QCOMPARE(gridArt(), std::vector<std::string>(16, std::string(16, '.')));

        QTest::keyClick(sg2, Qt::Key_Home);
        QCOMPARE(gridArt(), glyph);
        QTest::mousePress(sg2, Qt::LeftButton, {}, sg2Cell(0, 0));
        QTest::mouseMove(sg2, sg2Cell(15, 15));
        QTest::mouseRelease(sg2, Qt::LeftButton, {}, sg2Cell(15, 15));
        QTest::keyClick(sg2, Qt::Key_X, Qt::ControlModifier);
        QVERIFY(ws().editorGrid().clipFull());
        QVERIFY(action("mnuSave")->isEnabled());
        for (int r = 0; r < 16; ++r)
            for (int c = 0; c < 16; ++c)
                QVERIFY(!ws().editorGrid().inked(c, r));
    }

    void chEditKeepsGbkInStep()
    {
        auto *edit = child<QLineEdit>("ChEdit");
        edit->setFocus();
        QTest::keyClicks(edit, "AB");
        // Chinese arrives from the input method.
        QInputMethodEvent typed;
        typed.setCommitString(QStringLiteral("中文"));
        QApplication::sendEvent(edit, &typed);
        QCOMPARE(edit->text(), QStringLiteral("ab中文"));
        QCOMPARE(ws().controls().ChEditText, std::string("ab\xD6\xD0\xCE\xC4"));
        // Enter starts the typed entry with the first two bytes.
        QTest::keyClick(edit, Qt::Key_Return);
        QCOMPARE(ws().CurCode(), std::string("ab"));
        QVERIFY(ws().TypedEntry());
        // An add moves on: the field follows the workspace's text.
        QTest::mouseClick(child<QToolButton>("AddBtn"), Qt::LeftButton);
        QCOMPARE(edit->text(), QStringLiteral("中文"));
        QCOMPARE(ws().CurCode(), std::string("\xD6\xD0"));
    }

    void closingAsksWhileUnsaved()
    {
        QTest::mouseClick(child<QToolButton>("AddBtn"), Qt::LeftButton);
        m_prompts->answer(Answer::Cancel);
        QVERIFY(!m_form->close());
        QVERIFY(m_form->isVisible());
        QCOMPARE(m_prompts->texts("warning"), std::vector<std::string>{"你还没有保存小字库文件!要保存吗?"});
        m_prompts->answer(Answer::No);
        action("mnuExit")->trigger();
        QTRY_VERIFY(!m_form->isVisible());
        QVERIFY(!std::filesystem::exists(m_dir->path() / "JQT.TMP"));
    }

    void helpAndAboutGoThroughThePrompts()
    {
        action("mnuHelp")->trigger();
        action("mnuAbout")->trigger();
        QCOMPARE(m_prompts->texts("help"), std::vector<std::string>{"JQT.HLP"});
        QCOMPARE(m_prompts->texts("about"), std::vector<std::string>{"Dotforge V3.0"});
    }

    void startUpWithoutFont16s()
    {
        m_form.reset();
        startForm(false);
        QCOMPARE(m_prompts->texts("ioerror"),
            std::vector<std::string>{"File not found: \"" + m_dir->file("Font16s") + "\""});
        QVERIFY(!child<QRadioButton>("RU")->isEnabled());
        QVERIFY(child<QToolButton>("AddBtn")->isEnabled());
    }
};

// The Qt prompts: the boxes' captions, buttons, default and escape answers.
class QtPromptsTest : public QObject {
    Q_OBJECT

private slots:
    // The window works in the folder it starts in when that takes files, and
    // its dialogs start there. Else it writes in $XDG_STATE_HOME/dotforge and
    // its dialogs start in the documents folder, or without one at home.
    void startUpFoldersFollowTheStartFolder()
    {
        TempDir dir;
        for (const char *folder : {"start", "home/Documents"})
            std::filesystem::create_directories(dir.path() / folder);
        const auto path = [&dir](const char *name) { return QString::fromStdString(dir.file(name)); };
        struct Restore {
            QString folder = QDir::currentPath();
            QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
            ~Restore()
            {
                QDir::setCurrent(folder);
                for (const char *name : {"HOME", "XDG_STATE_HOME", "XDG_CONFIG_HOME"}) {
                    if (env.contains(name))
                        qputenv(name, env.value(name).toLocal8Bit());
                    else
                        qunsetenv(name);
                }
            }
        } restore;
        qputenv("HOME", path("home").toLocal8Bit());
        qputenv("XDG_STATE_HOME", path("state").toLocal8Bit());
        qputenv("XDG_CONFIG_HOME", path("config").toLocal8Bit());
        QVERIFY(QDir::setCurrent(path("start")));

        const WindowFolders writable = startUpFolders();
        QCOMPARE(writable.work, QStringLiteral("."));
        QCOMPARE(writable.dialogs, path("start"));
        QCOMPARE(writable.font16sPlaces.front(), std::string("Font16s"));
        QVERIFY(!QFileInfo::exists(path("state")));

        QFile::setPermissions(path("start"), QFile::ReadOwner | QFile::ExeOwner);
        if (QFile probe(path("start/probe")); probe.open(QIODevice::WriteOnly))
            QSKIP("running as root, whose writes permissions do not stop: a read-only folder takes files");
        const WindowFolders readOnly = startUpFolders();
        QCOMPARE(readOnly.work, path("state/dotforge"));
        QCOMPARE(readOnly.dialogs, path("home/Documents"));
        QVERIFY(QDir().rmdir(path("home/Documents")));
        QCOMPARE(startUpFolders().dialogs, path("home"));
    }

    void nameFilters_data()
    {
        QTest::addColumn<QString>("filter");
        QTest::addColumn<QStringList>("expected");
        QTest::newRow("open") << QStringLiteral("小汉字库点阵文件(*.ZMB)| *.ZMB|小汉字库汇编文件(*.ASM)|*.ASM")
                              << QStringList{QStringLiteral("小汉字库点阵文件(*.ZMB)"),
                                     QStringLiteral("小汉字库汇编文件(*.ASM)")};
        QTest::newRow("save: bare extensions")
            << QStringLiteral("小汉字库点阵文件(*.ZMB)|.ZMB|小汉字库汇编文件(*.ASM)|.ASM")
            << QStringList{QStringLiteral("小汉字库点阵文件(*.ZMB)"), QStringLiteral("小汉字库汇编文件(*.ASM)")};
        QTest::newRow("text") << QStringLiteral("文本文件(*.TXT)| *.TXT")
                              << QStringList{QStringLiteral("文本文件(*.TXT)")};
        QTest::newRow("patterns not in the text")
            << QStringLiteral("Text|*.txt;*.text") << QStringList{QStringLiteral("Text (*.txt *.text)")};
    }
    void nameFilters()
    {
        QFETCH(QString, filter);
        QFETCH(QStringList, expected);
        QCOMPARE(qtNameFilters(filter.toStdString()), expected);
    }

    // A name typed without extension takes the extension of the file type
    // chosen in the dialog; the type entry is returned as chosen.
    void saveDialogNamesFilesAfterTheChosenType()
    {
        QCOMPARE(filterSuffix(QStringLiteral("小汉字库汇编文件(*.ASM)")), QStringLiteral("ASM"));
        QCOMPARE(filterSuffix(QStringLiteral("All (*)")), QString());

        TempDir dir;
        QtPrompts prompts(nullptr, QString::fromStdString(dir.path().string()));
        FileDialogSpec spec;
        spec.title = "保存小汉字库文件...";
        spec.filter = "小汉字库点阵文件(*.ZMB)|.ZMB|小汉字库汇编文件(*.ASM)|.ASM";
        spec.defaultExt = ".ZMB";
        spec.fileName = "*.ZMB";
        for (const bool toAsm : {false, true}) {
            QTimer::singleShot(0, [&] {
                auto *dialog = qobject_cast<QFileDialog *>(QApplication::activeModalWidget());
                if (!dialog)
                    return;
                if (toAsm)
                    QTest::keyClick(dialog->findChild<QComboBox *>(QStringLiteral("fileTypeCombo")), Qt::Key_Down);
                auto *name = dialog->findChild<QLineEdit *>(QStringLiteral("fileNameEdit"));
                name->setText(QStringLiteral("TEST"));
                QTest::keyClick(name, Qt::Key_Return);
            });
            const std::optional<FileChoice> choice = prompts.saveFile(spec);
            QVERIFY(choice);
            QCOMPARE(choice->filterIndex, toAsm ? 2 : 1);
            QCOMPARE(std::filesystem::path(choice->path).filename().string(), toAsm ? "TEST.ASM" : "TEST.ZMB");
        }
    }

    void boxes_data()
    {
        QTest::addColumn<int>("kind");
        QTest::addColumn<int>("buttons");
        QTest::addColumn<QString>("title");
        QTest::addColumn<QStringList>("texts");
        QTest::addColumn<int>("icon");
        QTest::addColumn<int>("onEscape");
        QTest::addColumn<int>("onEnter");
        QTest::newRow("warning, yes/no/cancel")
            << int(BoxKind::Warning) << int(Buttons::YesNoCancel) << QStringLiteral("警告")
            << QStringList{QStringLiteral("是&Y"), QStringLiteral("否&N"), QStringLiteral("取消")}
            << int(QMessageBox::Warning) << int(Answer::Cancel) << int(Answer::Yes);
        QTest::newRow("confirmation, yes/no")
            << int(BoxKind::Confirmation) << int(Buttons::YesNo) << QStringLiteral("确认")
            << QStringList{QStringLiteral("是&Y"), QStringLiteral("否&N")} << int(QMessageBox::Question)
            << int(Answer::No) << int(Answer::Yes);
        QTest::newRow("error, ok") << int(BoxKind::Error) << int(Buttons::Ok) << QStringLiteral("错误")
                                   << QStringList{QStringLiteral("确定")} << int(QMessageBox::Critical)
                                   << int(Answer::Ok) << int(Answer::Ok);
    }
    void boxes()
    {
        QFETCH(int, kind);
        QFETCH(int, buttons);
        QFETCH(QString, title);
        QFETCH(QStringList, texts);
        QFETCH(int, icon);
        QFETCH(int, onEscape);
        QFETCH(int, onEnter);
        QtPrompts prompts(nullptr, QDir::tempPath());
        for (const Qt::Key key : {Qt::Key_Escape, Qt::Key_Return}) {
            QString seenTitle;
            QStringList seenTexts;
            int seenIcon = -1;
            QTimer::singleShot(0, [&] {
                auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget());
                if (!box)
                    return;
                seenTitle = box->windowTitle();
                seenIcon = int(box->icon());
                for (QAbstractButton *b : box->buttons())
                    seenTexts << b->text();
                QTest::keyClick(box, key);
            });
            const Answer answer = prompts.ask(BoxKind(kind), "text", Buttons(buttons));
            QCOMPARE(seenTitle, title);
            QCOMPARE(seenIcon, icon);
            seenTexts.sort();
            texts.sort();
            QCOMPARE(seenTexts, texts);
            QCOMPARE(int(answer), key == Qt::Key_Escape ? onEscape : onEnter);
        }
    }

    void plainMessageIsTitledDotforge()
    {
        QtPrompts prompts(nullptr, QDir::tempPath());
        QString title;
        int icon = -1;
        QTimer::singleShot(0, [&] {
            auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget());
            if (!box)
                return;
            title = box->windowTitle();
            icon = int(box->icon());
            box->buttons().constFirst()->click();
        });
        prompts.message("请先保存小字库!");
        QCOMPARE(title, QStringLiteral("Dotforge"));
        QCOMPARE(icon, int(QMessageBox::NoIcon));
    }

    // Every box shows its whole text, whatever its length: the label gets the
    // room its text needs, on one line or wrapped.
    void boxesShowTheirWholeText()
    {
        QtPrompts prompts(nullptr, QDir::tempPath());
        const QStringList texts = {QStringLiteral("'abc' is not a valid integer value."),
            QStringLiteral("已打印到文件 /home/user/文档/字库/Dotforge-print-12.pdf"), QStringLiteral("Disk full."),
            QStringLiteral("范围指定错误!")};
        for (const QString &text : texts) {
            for (int kind = 0; kind < 3; ++kind) {
                bool whole = false;
                QString seen;
                QTimer::singleShot(0, [&] {
                    auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget());
                    if (!box)
                        return;
                    auto *label = box->findChild<QLabel *>(QStringLiteral("qt_msgbox_label"));
                    seen = label->text();
                    whole = label->wordWrap() ? label->heightForWidth(label->width()) <= label->height()
                                              : label->minimumSizeHint().width() <= label->width();
                    // Wide enough for its caption too.
                    whole = whole && box->width() >= 150;
                    box->buttons().constFirst()->click();
                });
                if (kind == 0)
                    prompts.showError(text.toStdString());
                else if (kind == 1)
                    prompts.message(text.toStdString());
                else
                    prompts.ask(BoxKind::Warning, text.toStdString(), Buttons::Ok);
                QCOMPARE(seen, text);
                QVERIFY2(whole, qPrintable(text));
            }
        }
    }

    // Start-up errors come before the window is shown: their boxes stand in the
    // middle of the screen, not where the hidden window would be.
    void boxesOfAHiddenWindowAreCentredOnTheScreen()
    {
        QWidget owner;
        owner.setGeometry(0, 0, 700, 500);
        QtPrompts prompts(&owner, QDir::tempPath());
        for (int kind = 0; kind < 2; ++kind) {
            QPoint centre;
            QRect screen;
            QTimer::singleShot(0, [&] {
                auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget());
                if (!box)
                    return;
                centre = box->frameGeometry().center();
                screen = box->screen()->availableGeometry();
                box->buttons().constFirst()->click();
            });
            if (kind == 0)
                prompts.showError("File not found.");
            else
                prompts.ask(BoxKind::Warning, "text", Buttons::YesNo);
            QVERIFY2((centre - screen.center()).manhattanLength() <= 4,
                qPrintable(QStringLiteral("box centre %1,%2").arg(centre.x()).arg(centre.y())));
        }
    }

    // Qt's standard dialogs speak Chinese once its translation is installed.
    void standardDialogsSpeakChinese()
    {
        QVERIFY(installQtTranslation());
        QFileDialog dialog;
        dialog.setOption(QFileDialog::DontUseNativeDialog);
        dialog.setAcceptMode(QFileDialog::AcceptOpen);
        auto *buttons = dialog.findChild<QDialogButtonBox *>();
        QVERIFY(buttons);
        QVERIFY(buttons->button(QDialogButtonBox::Open)->text().contains(QStringLiteral("打开")));
        QVERIFY(buttons->button(QDialogButtonBox::Cancel)->text().contains(QStringLiteral("取消")));
        QVERIFY(dialog.findChild<QLabel *>(QStringLiteral("fileNameLabel"))->text().contains(QStringLiteral("文件名")));

        // Sizes, file types and dates too, though the tests run under LANG=C.UTF-8 (see main()).
        TempDir dir;
        test::writeFile(dir.file("notes.txt"), "thirteen byte");
        std::filesystem::create_directory(dir.path() / "folder");
        QFileSystemModel model;
        const QModelIndex root = model.setRootPath(QString::fromStdString(dir.path().string()));
        QTRY_COMPARE(model.rowCount(root), 2);
        model.sort(0);
        QTRY_COMPARE(model.index(0, 0, root).data().toString(), QStringLiteral("folder"));
        QCOMPARE(model.index(0, 2, root).data().toString(), QStringLiteral("文件夹"));
        const QModelIndex file = model.index(1, 0, root);
        QCOMPARE(file.data().toString(), QStringLiteral("notes.txt"));
        QCOMPARE(file.siblingAtColumn(1).data().toString(), QStringLiteral("13 字节"));
        QCOMPARE(file.siblingAtColumn(2).data().toString(), QStringLiteral("纯文本文档"));
        const QDateTime modified = QFileInfo(QString::fromStdString(dir.file("notes.txt"))).lastModified();
        QCOMPARE(file.siblingAtColumn(3).data().toString(), modified.toString(QStringLiteral("yyyy/M/d HH:mm")));
    }

    void helpOpensAtItsContents()
    {
        QWidget owner;
        QtPrompts prompts(&owner, QDir::tempPath());
        prompts.showHelp("JQT.HLP");
        auto *browser = owner.findChild<QTextBrowser *>(QStringLiteral("HelpBrowser"));
        QVERIFY(browser);
        QVERIFY(browser->isVisible());
        const QString text = browser->toPlainText();
        QVERIFY(text.contains(QStringLiteral("目录")));
        QVERIFY(text.contains(QStringLiteral("转换模式")));
        QCOMPARE(browser->verticalScrollBar()->value(), 0);
        // Opened again after reading on, it is back at the contents.
        browser->verticalScrollBar()->setValue(browser->verticalScrollBar()->maximum());
        prompts.showHelp("JQT.HLP");
        QVERIFY(browser->verticalScrollBar()->maximum() > 0);
        QCOMPARE(browser->verticalScrollBar()->value(), 0);

        // Escape closes it.
        QPointer<QWidget> window = owner.findChild<QWidget *>(QStringLiteral("HelpWindow"));
        QVERIFY(QTest::qWaitForWindowActive(window));
        QTest::keyClick(browser, Qt::Key_Escape);
        QTRY_VERIFY(!window);
    }
};

int main(int argc, char *argv[])
{
    // The default locale of many systems, under which Qt's dialogs would be
    // half English; and a runtime folder of this run's own for the windows'
    // places on the screen.
    qputenv("LANG", "C.UTF-8");
    for (const char *name : {"LC_ALL", "LC_MESSAGES", "LC_TIME", "LC_NUMERIC", "LANGUAGE"})
        qunsetenv(name);
    QTemporaryDir runtime;
    qputenv("XDG_RUNTIME_DIR", QFile::encodeName(runtime.path()));
    // Room for windows side by side.
    QTemporaryDir screens;
    test::useDesktopSizedOffscreenScreen(screens);
    useChineseLocale();
    QApplication app(argc, argv);
    int status = 0;
    {
        TForm1Test form;
        status |= QTest::qExec(&form, argc, argv);
    }
    {
        QtPromptsTest prompts;
        status |= QTest::qExec(&prompts, argc, argv);
    }
    return status;
}

#include "tform1_test.moc"
