// The font dialog: installed bitmap faces listed with their strikes, which are
// the only sizes they offer; a font file taken "从文件..." and chosen by path;
// a file that is no font refused with a message, a font without a size it can
// be drawn at refused; lists that show their entries whole.

#include "app/widgets/font_chooser.h"
#include "formats/bdf.h"
#include "tests/support/offscreen_desktop.h"
#include "tests/support/test_workspace.h"

#include <QApplication>
#include <QFileDialog>
#include <QLabel>
#include <QListWidget>
#include <QMessageBox>
#include <QPushButton>
#include <QStyle>
#include <QTest>
#include <QTimer>

#include <filesystem>

using namespace dotforge;
using dotforge::test::TempDir;

namespace {

QStringList texts(const QListWidget *list)
{
    QStringList out;
    for (int i = 0; i < list->count(); ++i)
        out << list->item(i)->text();
    return out;
}

// A one-glyph BDF of 16 dots: 汉 is its top-left dot.
std::string oneGlyphBdf(const TempDir &dir)
{
    GlyphPlane plane;
    plane.setDot(0, 0, true);
    const std::string path = dir.file("one.bdf");
    test::writeFile(path, writeBdf({plane}, {"\xBA\xBA"}, 16, "one"));
    return path;
}

// A bitmap font of one 18-pixel strike: 18 pixels lie between 13 and 14
// points. Its one glyph, 阿, has ink in its last two rows.
std::string eighteenPixelBdf(const TempDir &dir)
{
    std::string bdf = "STARTFONT 2.1\n"
                      "FONT -test-Eighteen-Medium-R-Normal--18-130-100-100-C-180-ISO10646-1\n"
                      "SIZE 13 100 100\n"
                      "FONTBOUNDINGBOX 18 18 0 -2\n"
                      "STARTPROPERTIES 3\n"
                      "PIXEL_SIZE 18\n"
                      "FONT_ASCENT 16\n"
                      "FONT_DESCENT 2\n"
                      "ENDPROPERTIES\n"
                      "CHARS 1\n"
                      "STARTCHAR U+963F\n"
                      "ENCODING 38463\n"
                      "SWIDTH 1000 0\n"
                      "DWIDTH 18 0\n"
                      "BBX 18 18 0 -2\n"
                      "BITMAP\n";
    for (int row = 0; row < 18; ++row)
        bdf += "C00000\n";
    bdf += "ENDCHAR\nENDFONT\n";
    const std::string path = dir.file("eighteen.bdf");
    test::writeFile(path, bdf);
    return path;
}

} // namespace

class FontChooserTest : public QObject {
    Q_OBJECT

private slots:
    void bitmapFacesOfferTheirStrikes()
    {
        FontChooser dialog(QStringLiteral("WenQuanYi Bitmap Song"), 12);
        auto *faces = dialog.findChild<QListWidget *>(QStringLiteral("FontFaces"));
        auto *sizes = dialog.findChild<QListWidget *>(QStringLiteral("FontSizes"));
        QVERIFY(faces && sizes);
        QCOMPARE(dialog.face(), QStringLiteral("WenQuanYi Bitmap Song"));
        QCOMPARE(faces->currentItem()->text(), QStringLiteral("WenQuanYi Bitmap Song [点阵 12, 13, 14, 15, 16 像素]"));
        QCOMPARE(
            texts(sizes), QStringList({"9 (12 像素)", "10 (13 像素)", "- (14 像素)", "11 (15 像素)", "12 (16 像素)"}));
        QVERIFY(!(sizes->item(2)->flags() & Qt::ItemIsEnabled));
        QCOMPARE(dialog.pointSize(), 12);
        sizes->setCurrentRow(0);
        QCOMPARE(dialog.pointSize(), 9);

        // A scalable face again: 12 to 28 points, the last size kept where it can be.
        faces->setCurrentItem(faces->findItems(QStringLiteral("宋体"), Qt::MatchExactly).constFirst());
        QCOMPARE(sizes->count(), 17);
        QCOMPARE(dialog.pointSize(), 12);
        QCOMPARE(dialog.face(), QStringLiteral("宋体"));
    }

    void fontFilesAreChosenByPath()
    {
        TempDir dir;
        const QString bdf = QString::fromStdString(oneGlyphBdf(dir));
        FontChooser dialog(QStringLiteral("宋体"), 18);
        auto *faces = dialog.findChild<QListWidget *>(QStringLiteral("FontFaces"));
        auto *sizes = dialog.findChild<QListWidget *>(QStringLiteral("FontSizes"));
        QVERIFY(dialog.addFontFile(bdf));
        QCOMPARE(dialog.face(), bdf);
        QCOMPARE(faces->currentRow(), 0);
        QCOMPARE(faces->currentItem()->text(),
            QStringLiteral("one.bdf (%1) [点阵 16 像素]").arg(QString::fromStdString(dir.path().string())));
        QCOMPARE(texts(sizes), QStringList({"12 (16 像素)"}));
        QCOMPARE(dialog.pointSize(), 12);
        // The sample is the rasteriser's drawing, twice enlarged: "AaBb " takes
        // five half cells, then the one dot of 汉 is the only ink.
        const QImage sample = dialog.findChild<QLabel *>(QStringLiteral("FontSample"))->pixmap().toImage();
        QCOMPARE(sample.height(), 32);
        QList<QPoint> ink;
        for (int y = 0; y < sample.height(); ++y)
            for (int x = 0; x < sample.width(); ++x)
                if (qGray(sample.pixel(x, y)) < 128)
                    ink << QPoint(x, y);
        QCOMPARE(ink, QList<QPoint>({{80, 0}, {81, 0}, {80, 1}, {81, 1}}));

        // Opened again with the file as the face, it is listed and chosen.
        FontChooser again(bdf, 12);
        QCOMPARE(again.face(), bdf);
        QCOMPARE(again.pointSize(), 12);
    }

    // Every size shows whole, the list as wide as its widest entry; both lists
    // take the room a larger dialog gives.
    void listsShowWholeEntriesAndGrowWithTheDialog()
    {
        FontChooser dialog(QStringLiteral("WenQuanYi Bitmap Song"), 12);
        dialog.show();
        QVERIFY(QTest::qWaitForWindowExposed(&dialog));
        auto *faces = dialog.findChild<QListWidget *>(QStringLiteral("FontFaces"));
        auto *sizes = dialog.findChild<QListWidget *>(QStringLiteral("FontSizes"));
        // The item view leaves a focus margin and one pixel on each side of a text.
        const int margin = 2 * (sizes->style()->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, sizes) + 1);
        for (const QString &text : texts(sizes))
            QVERIFY2(
                sizes->fontMetrics().horizontalAdvance(text) + margin <= sizes->viewport()->width(), qPrintable(text));
        // The face's long name too, on a screen with room for it.
        const QString name = faces->currentItem()->text();
        QVERIFY(name.endsWith(QStringLiteral("[点阵 12, 13, 14, 15, 16 像素]")));
        QVERIFY2(faces->fontMetrics().horizontalAdvance(name) + margin <= faces->viewport()->width(), qPrintable(name));

        const QSize facesBefore = faces->size();
        const QSize sizesBefore = sizes->size();
        dialog.resize(dialog.width() + 300, dialog.height() + 200);
        QTRY_VERIFY(faces->width() >= facesBefore.width() + 150);
        QVERIFY(sizes->width() >= sizesBefore.width() + 50);
        QVERIFY(faces->height() >= facesBefore.height() + 150);
        QCOMPARE(sizes->height(), faces->height());
    }

    // A bitmap font none of whose strikes has a whole point size cannot be
    // drawn at any size the program knows: 确定 is off, the sample says why,
    // and the dialog is not accepted, as the batch tool refuses the font.
    void fontsWithoutAWholePointSizeAreRefused()
    {
        TempDir dir;
        const QString bdf = QString::fromStdString(eighteenPixelBdf(dir));
        FontChooser dialog(QStringLiteral("宋体"), 12);
        auto *faces = dialog.findChild<QListWidget *>(QStringLiteral("FontFaces"));
        auto *sizes = dialog.findChild<QListWidget *>(QStringLiteral("FontSizes"));
        auto *ok = dialog.findChild<QPushButton *>(QStringLiteral("FontOk"));
        QVERIFY(ok && ok->isEnabled());
        QVERIFY(dialog.addFontFile(bdf));
        QCOMPARE(texts(sizes), QStringList({"- (18 像素)"}));
        QVERIFY(!ok->isEnabled());
        QCOMPARE(dialog.findChild<QLabel *>(QStringLiteral("FontSample"))->text(),
            QStringLiteral("不能使用此字体：18 像素的点阵没有整磅数的大小"));
        dialog.accept();
        QCOMPARE(dialog.result(), int(QDialog::Rejected));
        // Another face can be chosen again.
        faces->setCurrentItem(faces->findItems(QStringLiteral("宋体"), Qt::MatchExactly).constFirst());
        QVERIFY(ok->isEnabled());
        dialog.accept();
        QCOMPARE(dialog.result(), int(QDialog::Accepted));
    }

    // "从文件..." opens in the user's font folder, or in that of the chosen
    // font file; back in the dialog, Enter means 确定.
    void fromFileStartsInAFontFolderAndEnterMeansOk()
    {
        TempDir dir;
        const QString bdf = QString::fromStdString(oneGlyphBdf(dir));
        const QString userFonts = QString::fromStdString((dir.path() / "share" / "fonts").string());
        std::filesystem::create_directories(userFonts.toStdString());
        test::writeFile((dir.path() / "share" / "fonts" / "mine.bdf").string(), test::readFile(bdf.toStdString()));
        qputenv("XDG_DATA_HOME", QFile::encodeName(QString::fromStdString((dir.path() / "share").string())));
        FontChooser dialog(QStringLiteral("宋体"), 12);
        dialog.show();
        dialog.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&dialog));
        QCOMPARE(dialog.fontFolder(), userFonts);
        QString openedIn;
        QTimer::singleShot(0, [&] {
            auto *files = qobject_cast<QFileDialog *>(QApplication::activeModalWidget());
            if (!files)
                return;
            openedIn = files->directory().absolutePath();
            files->selectFile(bdf);
            QMetaObject::invokeMethod(files, "accept");
        });
        QTest::mouseClick(dialog.findChild<QPushButton *>(QStringLiteral("FontFromFile")), Qt::LeftButton);
        qunsetenv("XDG_DATA_HOME");
        QCOMPARE(openedIn, userFonts);
        QCOMPARE(dialog.face(), bdf);
        QCOMPARE(dialog.fontFolder(), QString::fromStdString(dir.path().string()));
        // Were Enter to open the file dialog again, it is sent away.
        QTimer::singleShot(0, [] {
            if (auto *files = qobject_cast<QFileDialog *>(QApplication::activeModalWidget()))
                files->reject();
        });
        QCOMPARE(dialog.focusWidget(), dialog.findChild<QPushButton *>(QStringLiteral("FontOk")));
        QTest::keyClick(dialog.focusWidget(), Qt::Key_Return);
        QCOMPARE(dialog.result(), int(QDialog::Accepted));
        QCOMPARE(dialog.face(), bdf);
    }

    void filesThatAreNoFontAreRefused()
    {
        TempDir dir;
        test::writeFile(dir.file("notes.ttf"), "plain text\n");
        FontChooser dialog(QStringLiteral("宋体"), 12);
        QString shown;
        QTimer::singleShot(0, [&shown] {
            if (auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget())) {
                shown = box->text();
                box->accept();
            }
        });
        QVERIFY(!dialog.addFontFile(QString::fromStdString(dir.file("notes.ttf"))));
        QVERIFY(shown.startsWith(QStringLiteral("无法读取字体文件")));
        QCOMPARE(dialog.face(), QStringLiteral("宋体"));
    }
};

int main(int argc, char **argv)
{
    // Room for a dialog of a desktop's width.
    QTemporaryDir screens;
    test::useDesktopSizedOffscreenScreen(screens);
    QApplication app(argc, argv);
    FontChooserTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "font_chooser_test.moc"
