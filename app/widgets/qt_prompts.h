#pragma once
// The prompts of the running window: Qt message boxes with the program's
// captions, icons and button texts, the file dialogs, the font chooser, the
// printer set-up, the help window and the About box.

#include "core/prompts.h"

#include <QPointer>
#include <QString>
#include <QStringList>

class QWidget;

namespace dotforge {

// A dialog filter "desc|pattern|desc|pattern" as Qt name filters, one per
// entry, in order. Patterns lose leading blanks, a bare extension ".ZMB"
// becomes "*.ZMB", and ";" separators become blanks.
QStringList qtNameFilters(const std::string &filter);
// The extension of the first pattern of a Qt name filter: "ASM" for
// "小汉字库汇编文件(*.ASM)"; empty when the filter names none.
QString filterSuffix(const QString &nameFilter);

// Loads Qt's own Chinese translation (qtbase_zh_CN, Debian package
// qt6-translations-l10n), so that the standard dialogs say "打开", "文件名",
// "取消" like the rest of the program. False when it is not installed.
bool installQtTranslation();

// Qt's own formats in Chinese whatever the system's locale: the sizes ("13
// 字节"), dates and file types of the file dialogs. Call before the
// application object exists.
void useChineseLocale();

class QtPrompts : public Prompts {
public:
    // owner: the main window, which owns the dialogs; dialogFolder: the folder
    // that relative initial directories start from.
    QtPrompts(QWidget *owner, QString dialogFolder);
    ~QtPrompts() override;

    Answer ask(BoxKind kind, const std::string &text, Buttons buttons) override;
    void message(const std::string &text) override;
    void showError(const std::string &text) override;
    void beep() override;
    std::optional<FileChoice> openFile(const FileDialogSpec &spec) override;
    std::optional<FileChoice> saveFile(const FileDialogSpec &spec) override;
    std::optional<FontChoice> chooseFont(const std::string &face, int pointSize) override;
    void showHelp(const std::string &helpFile) override;
    void showAbout(const std::string &text) override;

private:
    std::optional<FileChoice> runFileDialog(const FileDialogSpec &spec, bool save);

    QWidget *m_owner;
    QString m_dialogFolder;
    QPointer<QWidget> m_helpWindow;
};

} // namespace dotforge
