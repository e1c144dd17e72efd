// The print dialog's own wiring: the range proposed on every showing and the
// buttons.

#include "print/widgets/txprint.h"
#include "render/widgets/ui_fonts.h"
#include "tests/support/test_workspace.h"

#include <QApplication>
#include <QDialogButtonBox>
#include <QFile>
#include <QLineEdit>
#include <QPrintDialog>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <gtest/gtest.h>

using namespace dotforge;
using namespace dotforge::test;

TEST(TXPrint, EveryShowingProposesTheWholeLibrary)
{
    TestWorkspace tw;
    tw.library().setCount(37);
    TXPrint dlg(tw.ws());
    dlg.show();
    EXPECT_EQ(dlg.Edit1->text(), QStringLiteral("1"));
    EXPECT_EQ(dlg.Edit2->text(), QStringLiteral("37"));

    dlg.Edit1->setText(QStringLiteral("4"));
    QTest::mouseClick(dlg.Button3, Qt::LeftButton);
    EXPECT_FALSE(dlg.isVisible());
    tw.library().setCount(3);
    dlg.show();
    EXPECT_EQ(dlg.Edit1->text(), QStringLiteral("1"));
    EXPECT_EQ(dlg.Edit2->text(), QStringLiteral("3"));
}

TEST(TXPrint, PrintButtonPrintsTheEditedRange)
{
    TestWorkspace tw;
    GlyphPlane dot;
    dot.setDot(0, 0, true);
    addToLibrary(tw.ws(), {dot, dot, dot});
    TXPrint dlg(tw.ws());
    dlg.pagePainter().printer().setOutputFormat(QPrinter::PdfFormat); // a file even where a printer exists
    dlg.show();
    dlg.Edit1->setText(QStringLiteral("2"));
    QTest::mouseClick(dlg.Button1, Qt::LeftButton);

    const std::string file = tw.dir().file("Dotforge-print-1.pdf");
    EXPECT_EQ(tw.prompts().texts("message"), std::vector<std::string>{"已打印到文件 " + file});
    EXPECT_TRUE(QFile::exists(QString::fromStdString(file)));
    EXPECT_EQ(tw->library().LibIndex(), 2);
    EXPECT_TRUE(dlg.isVisible());
}

// The print set-up proposes the file the next print writes to, and its button
// does not claim to print: it only keeps the choice.
TEST(TXPrint, SetUpProposesTheNextFileAndOnlyChooses)
{
    TestWorkspace tw;
    GlyphPlane dot;
    dot.setDot(0, 0, true);
    addToLibrary(tw.ws(), {dot});
    TXPrint dlg(tw.ws());
    dlg.pagePainter().printer().setOutputFormat(QPrinter::PdfFormat);
    dlg.show();
    QTest::mouseClick(dlg.Button1, Qt::LeftButton);
    ASSERT_TRUE(QFile::exists(QString::fromStdString(tw.dir().file("Dotforge-print-1.pdf"))));

    QString okText;
    QString proposed;
    QTimer::singleShot(0, [&] {
        auto *setUp = qobject_cast<QPrintDialog *>(QApplication::activeModalWidget());
        if (!setUp)
            return;
        auto *buttons = setUp->findChild<QDialogButtonBox *>();
        okText = buttons->button(QDialogButtonBox::Ok)->text();
        if (auto *name = setUp->findChild<QLineEdit *>(QStringLiteral("filename")))
            proposed = name->text();
        // Accepting a name in use would bring up the overwrite question.
        buttons->button(QFile::exists(proposed) ? QDialogButtonBox::Cancel : QDialogButtonBox::Ok)->click();
    });
    QTest::mouseClick(dlg.Button2, Qt::LeftButton);
    const QString next = QString::fromStdString(tw.dir().file("Dotforge-print-2.pdf"));
    EXPECT_EQ(okText, QStringLiteral("确定"));
    EXPECT_EQ(proposed, next);
    EXPECT_EQ(tw.prompts().texts("message").size(), 1u); // the set-up printed nothing

    QTest::mouseClick(dlg.Button1, Qt::LeftButton);
    EXPECT_EQ(tw.prompts().texts("message").back(), "已打印到文件 " + next.toStdString());
    EXPECT_TRUE(QFile::exists(next));
}

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    installFontSubstitutions();
    testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
