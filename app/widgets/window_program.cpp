#include "app/widgets/window_program.h"

#include "app/widgets/icons.h"
#include "app/widgets/qt_prompts.h"
#include "app/widgets/tform1.h"
#include "app/widgets/window_folders.h"
#include "print/widgets/txprint.h"
#include "render/widgets/ui_fonts.h"

#include <QApplication>

#include <csignal>
#include <cstdio>
#include <cstdlib>

namespace dotforge {

namespace {

constexpr const char *kNoDisplayHint = "Dotforge is a desktop program and needs a display.\n"
                                       "On a machine without a screen, start it under Xvfb:\n"
                                       "    xvfb-run -a dotforge\n";

bool hasDisplay()
{
    return !qEnvironmentVariableIsEmpty("DISPLAY") || !qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY")
        || !qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM");
}

// While the application object connects to the display, a display that is
// named but cannot be reached would end the program with an abort: say what
// happened and leave with an error code instead.
void startupMessages(QtMsgType type, const QMessageLogContext &, const QString &message)
{
    std::fprintf(stderr, "%s\n", qPrintable(message));
    if (type == QtFatalMsg) {
        std::fputs(kNoDisplayHint, stderr);
        std::_Exit(1);
    }
}

} // namespace

int runWindowProgram(int argc, char *argv[], const std::function<void(QWidget &)> &shown)
{
    // A write beyond the file-size limit then fails like any short write ("Disk
    // full") instead of killing the program half-way through a save.
    std::signal(SIGXFSZ, SIG_IGN);
    if (!hasDisplay()) {
        std::fputs(kNoDisplayHint, stderr);
        return 1;
    }

    // The program speaks Chinese, Qt's dialogs included, whatever the locale.
    useChineseLocale();
    const QtMessageHandler previous = qInstallMessageHandler(startupMessages);
    QApplication app(argc, argv);
    qInstallMessageHandler(previous);

    QApplication::setApplicationName(QStringLiteral("Dotforge"));
    QApplication::setWindowIcon(appIcon());
    // The window's own texts in "宋体" (editor dots, the font dialog's sample).
    installFontSubstitutions();
    // Qt's own dialogs (file dialogs, their overwrite question) speak Chinese too.
    installQtTranslation();

    // The help file "JQT.HLP" is the workspace's; creating the window runs start-up.
    const WindowFolders folders = startUpFolders();
    TForm1 form(folders);
    TXPrint print(form.workspace(), &form, folders.dialogs.toStdString());
    form.setPrintDialog(&print);
    form.show();
    if (shown)
        shown(form);
    // Closing the window runs the close question and FormClose.
    return app.exec();
}

} // namespace dotforge
