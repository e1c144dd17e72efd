// The font dialog: installed bitmap faces listed with their strikes, which are
// the only sizes they offer; a font file taken "从文件..." and chosen by path;
// a file that is no font refused with a message.

#include "app/widgets/font_chooser.h"
#include "formats/bdf.h"
#include "tests/support/test_workspace.h"

#include <QApplication>
#include <QLabel>
#include <QListWidget>
#include <QMessageBox>
#include <QTest>
#include <QTimer>

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
    QApplication app(argc, argv);
    FontChooserTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "font_chooser_test.moc"
