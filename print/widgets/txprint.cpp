#include "print/widgets/txprint.h"

#include <QDialogButtonBox>
#include <QFrame>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPrintDialog>
#include <QPushButton>
#include <QShowEvent>

namespace dotforge {

TXPrint::TXPrint(Workspace &ws, QWidget *parent, const std::string &printFolder)
    : QDialog(parent,
        Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint
            | Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint)
    , m_ws(ws)
    , m_painter(printFolder.empty() ? ws.workPath(".") : printFolder)
{
    setWindowTitle(QStringLiteral("打印小字库"));
    QFont font(QStringLiteral("宋体"));
    font.setPixelSize(12);
    // Its Latin digits would be faint grey outlines when smoothed.
    font.setStyleStrategy(QFont::NoAntialias);
    setFont(font);
    setFixedSize(242, 153);

    Panel1 = new QFrame(this);
    Panel1->setObjectName(QStringLiteral("Panel1"));
    Panel1->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    Panel1->setGeometry(13, 10, 216, 66);
    QPalette info = Panel1->palette();
    info.setColor(QPalette::Window, info.color(QPalette::ToolTipBase));
    info.setColor(QPalette::WindowText, info.color(QPalette::ToolTipText));
    Panel1->setPalette(info);
    Panel1->setAutoFillBackground(true);

    // One line that reads as a sentence: 范围：从第 [1] 字到第 [n] 字.
    Label1 = new QLabel(QStringLiteral("范围：从第"), Panel1);
    Edit1 = new QLineEdit(QStringLiteral("1"), Panel1);
    Label2 = new QLabel(QStringLiteral("字到第"), Panel1);
    Edit2 = new QLineEdit(QStringLiteral("1"), Panel1);
    Label3 = new QLabel(QStringLiteral("字"), Panel1);
    for (QLineEdit *edit : {Edit1, Edit2}) {
        edit->setFixedSize(36, 21);
        edit->setAlignment(Qt::AlignRight);
    }
    auto *line = new QHBoxLayout(Panel1);
    line->setContentsMargins(6, 0, 6, 0);
    line->setSpacing(2);
    line->addStretch();
    for (QWidget *w : {static_cast<QWidget *>(Label1), static_cast<QWidget *>(Edit1), static_cast<QWidget *>(Label2),
             static_cast<QWidget *>(Edit2), static_cast<QWidget *>(Label3)})
        line->addWidget(w);
    line->addStretch();

    Button1 = new QPushButton(QStringLiteral("开始打印(&P)"), this);
    Button2 = new QPushButton(QStringLiteral("打印设置(&S)"), this);
    Button3 = new QPushButton(QStringLiteral("关闭(&X)"), this);
    int left = 5;
    for (QPushButton *button : {Button1, Button2, Button3}) {
        button->setGeometry(left, 118, 74, 25);
        button->setAutoDefault(false);
        left += 79;
    }
    connect(Button1, &QPushButton::clicked, this, &TXPrint::Button1Click);
    connect(Button2, &QPushButton::clicked, this, &TXPrint::Button2Click);
    connect(Button3, &QPushButton::clicked, this, &TXPrint::Button3Click);
}

void TXPrint::showEvent(QShowEvent *event)
{
    if (!event->spontaneous())
        FormShow();
    QDialog::showEvent(event);
}

void TXPrint::FormShow()
{
    const auto [first, last] = m_ws.printRangeProposal();
    Edit1->setText(QString::fromStdString(first));
    Edit2->setText(QString::fromStdString(last));
}

void TXPrint::Button1Click()
{
    const std::string first = Edit1->text().toStdString();
    const std::string last = Edit2->text().toStdString();
    m_ws.run([&] { m_ws.printRange(first, last, m_painter); });
}

// The printer and its settings chosen here serve the later prints; the page
// range of the dialog plays no part, the edits give the range. It proposes the
// file the next print writes to, and its button says that it only chooses:
// printing is "开始打印".
void TXPrint::Button2Click()
{
    m_painter.proposeOutputFile();
    QPrintDialog PrtDlg(&m_painter.printer(), this);
    if (auto *buttons = PrtDlg.findChild<QDialogButtonBox *>()) {
        if (QPushButton *ok = buttons->button(QDialogButtonBox::Ok))
            ok->setText(QStringLiteral("确定"));
    }
    PrtDlg.exec();
}

void TXPrint::Button3Click()
{
    close();
}

} // namespace dotforge
