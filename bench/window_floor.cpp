// The floor under the window's start: a bare Qt window of the same size with
// a menu bar and a line of text in the same face, ended at its first paint as
// bench/window_start.cpp ends the window. What the window takes beyond it is
// the program's own start.

#include "bench/first_paint.h"

#include <QApplication>
#include <QLabel>
#include <QMainWindow>
#include <QMenuBar>

int main(int argc, char *argv[])
{
    FirstPaint watcher;
    QApplication app(argc, argv);
    QMainWindow window;
    for (const char *title : {"文件(&F)", "选项(&O)", "帮助(&H)"})
        window.menuBar()->addMenu(QString::fromUtf8(title));
    auto *text = new QLabel(QStringLiteral("啊阿埃挨哎唉哀皑癌蔼矮艾碍爱隘"), &window);
    text->setFont(QFont(QStringLiteral("AR PL UMing CN"), 12));
    window.setCentralWidget(text);
    window.resize(790, 460);
    window.show();
    window.installEventFilter(&watcher);
    return app.exec();
}
