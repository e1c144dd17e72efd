#pragma once
// The print dialog "打印小字库": prints a range of library glyphs, each dot a
// ring, on the printer chosen with "打印设置(&S)". Created once with the main
// window and shown modally; the printer choice lasts as long as the dialog.

#include "print/widgets/page_painter.h"
#include "workspace/workspace.h"

#include <QDialog>

class QFrame;
class QLabel;
class QLineEdit;
class QPushButton;

namespace dotforge {

class TXPrint : public QDialog {
    Q_OBJECT
public:
    // printFolder: where a print to a file goes; by default the working folder.
    explicit TXPrint(Workspace &ws, QWidget *parent = nullptr, const std::string &printFolder = {});

    PagePainter &pagePainter() { return m_painter; }

    QFrame *Panel1;
    QLabel *Label1;
    QLineEdit *Edit1;
    QLabel *Label2;
    QLineEdit *Edit2;
    QLabel *Label3;
    QPushButton *Button1;
    QPushButton *Button2;
    QPushButton *Button3;

public slots:
    void FormShow();
    void Button1Click();
    void Button2Click();
    void Button3Click();

protected:
    void showEvent(QShowEvent *event) override;

private:
    Workspace &m_ws;
    PagePainter m_painter;
};

} // namespace dotforge
