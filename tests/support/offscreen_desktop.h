#pragma once
// Offscreen, Qt gives one 800 x 800 screen: too small for a window beside
// another or a dialog of a desktop's width. Before the application object
// exists, this names a 1280 x 1024 screen instead (kept in `dir`); with any
// other platform it does nothing.

#include <QByteArray>
#include <QFile>
#include <QTemporaryDir>

namespace dotforge::test {

inline void useDesktopSizedOffscreenScreen(const QTemporaryDir &dir)
{
    if (qgetenv("QT_QPA_PLATFORM") != "offscreen")
        return;
    QFile config(dir.filePath(QStringLiteral("screen.json")));
    if (!config.open(QIODevice::WriteOnly))
        return;
    config.write(R"({"screens": [{"name": "desktop", "x": 0, "y": 0, "width": 1280, "height": 1024}]})");
    config.close();
    qputenv("QT_QPA_PLATFORM", "offscreen:configfile=" + QFile::encodeName(config.fileName()));
}

} // namespace dotforge::test
