#include "app/widgets/qt_prompts.h"

#include "app/widgets/font_chooser.h"
#include "app/widgets/icons.h"
#include "core/io_error.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QGridLayout>
#include <QLibraryInfo>
#include <QLocale>
#include <QMessageBox>
#include <QPushButton>
#include <QRegularExpression>
#include <QScrollBar>
#include <QShortcut>
#include <QTextBrowser>
#include <QTranslator>
#include <QVBoxLayout>

#include <algorithm>

// The help text is a resource of the ui library; a static library must pull
// its resources in by name, from the global namespace.
static void initHelpResource()
{
    Q_INIT_RESOURCE(dotforge);
}

namespace dotforge {

namespace {

const QString kTitle = QStringLiteral("Dotforge");

QString qs(const std::string &s)
{
    return QString::fromUtf8(s.data(), qsizetype(s.size()));
}

struct BoxLook {
    QString title;
    QMessageBox::Icon icon;
};

BoxLook lookOf(BoxKind kind)
{
    switch (kind) {
    case BoxKind::Warning:
        return {QStringLiteral("警告"), QMessageBox::Warning};
    case BoxKind::Confirmation:
        return {QStringLiteral("确认"), QMessageBox::Question};
    case BoxKind::Error:
        return {QStringLiteral("错误"), QMessageBox::Critical};
    }
    return {kTitle, QMessageBox::NoIcon};
}

// A short text would make a box narrower than its caption, which the window
// manager then cuts. The box gets a minimum width through an empty row of its
// layout: a minimum on the label itself would make Qt size the box to that
// minimum and cut longer texts instead.
void keepMinimumWidth(QMessageBox &box, int width)
{
    if (auto *grid = qobject_cast<QGridLayout *>(box.layout()))
        grid->addItem(new QSpacerItem(width, 0, QSizePolicy::Minimum, QSizePolicy::Fixed), grid->rowCount(), 0, 1,
            grid->columnCount());
}

// The parent of a box: the window while it is shown. A box shown before the
// window is (an error at start-up) has none, so Qt centres it on the screen
// instead of on the hidden window's corner.
QWidget *boxParent(QWidget *owner)
{
    return owner && owner->isVisible() ? owner : nullptr;
}

// A box with only the button "确定".
void okBox(QWidget *owner, const QString &title, QMessageBox::Icon icon, const QString &text)
{
    QMessageBox box(icon, title, text, QMessageBox::NoButton, boxParent(owner));
    keepMinimumWidth(box, 150);
    QPushButton *ok = box.addButton(QStringLiteral("确定"), QMessageBox::AcceptRole);
    box.setDefaultButton(ok);
    box.setEscapeButton(ok);
    box.exec();
}

} // namespace

QStringList qtNameFilters(const std::string &filter)
{
    const QStringList parts = qs(filter).split(QLatin1Char('|'));
    QStringList out;
    for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
        const QString desc = parts[i].trimmed();
        QStringList patterns;
        for (QString p : parts[i + 1].split(QLatin1Char(';'), Qt::SkipEmptyParts)) {
            p = p.trimmed();
            if (p.isEmpty())
                continue;
            // A bare extension matches no file; the entry means files of that type.
            if (p.startsWith(QLatin1Char('.')))
                p.prepend(QLatin1Char('*'));
            patterns << p;
        }
        const QString joined = patterns.join(QLatin1Char(' '));
        // "小汉字库点阵文件(*.ZMB)" already names its patterns the way Qt reads them.
        if (desc.endsWith(QLatin1Char('(') + joined + QLatin1Char(')')))
            out << desc;
        else
            out << desc + QStringLiteral(" (") + joined + QLatin1Char(')');
    }
    return out;
}

QString filterSuffix(const QString &nameFilter)
{
    static const QRegularExpression pattern(QStringLiteral("\\*\\.([^\\s;)*?]+)"));
    const QRegularExpressionMatch match = pattern.match(nameFilter);
    return match.hasMatch() ? match.captured(1) : QString();
}

namespace {

// Qt 6 moved the file types of its file dialog ("Folder", "Drive" ...) to the
// context QAbstractFileIconProvider, where the Chinese translation of Qt 6.4
// has none: they are answered with its texts for the same words in the file
// dialog's own context.
class FileTypeTranslator : public QTranslator {
public:
    explicit FileTypeTranslator(const QTranslator &qt)
        : m_qt(qt)
    {
    }
    QString translate(const char *context, const char *sourceText, const char *disambiguation, int n) const override
    {
        if (qstrcmp(context, "QAbstractFileIconProvider") != 0)
            return {};
        return m_qt.translate("QFileDialog", sourceText, disambiguation, n);
    }
    bool isEmpty() const override { return false; }

private:
    const QTranslator &m_qt;
};

} // namespace

bool installQtTranslation()
{
    static QTranslator translator;
    static FileTypeTranslator fileTypes(translator);
    if (!translator.isEmpty())
        return true;
    if (!translator.load(QStringLiteral("qtbase_zh_CN"), QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        return false;
    return QCoreApplication::installTranslator(&translator) && QCoreApplication::installTranslator(&fileTypes);
}

void useChineseLocale()
{
    // The file dialog writes sizes and dates in the system locale, which Qt
    // reads from the environment once, when it is first asked for. It is asked
    // while the environment names the Chinese locale; the environment is then
    // given back, so that the C library (for which that locale may not even be
    // installed) and programs started from here keep the user's settings.
    struct Variable {
        const char *name;
        bool set;
        QByteArray value;
    };
    Variable saved[] = {{"LC_ALL", false, {}}, {"LANGUAGE", false, {}}};
    for (Variable &v : saved) {
        v.set = qEnvironmentVariableIsSet(v.name);
        v.value = qgetenv(v.name);
    }
    qputenv("LC_ALL", "zh_CN.UTF-8");
    qputenv("LANGUAGE", "zh_CN");
    (void)QLocale::system().name();
    for (const Variable &v : saved) {
        if (v.set)
            qputenv(v.name, v.value);
        else
            qunsetenv(v.name);
    }
    // The file types' names follow the default locale.
    QLocale::setDefault(QLocale(QLocale::Chinese, QLocale::China));
}

QtPrompts::QtPrompts(QWidget *owner, QString dialogFolder)
    : m_owner(owner)
    , m_dialogFolder(std::move(dialogFolder))
{
}

QtPrompts::~QtPrompts() = default;

Answer QtPrompts::ask(BoxKind kind, const std::string &text, Buttons buttons)
{
    const BoxLook look = lookOf(kind);
    QMessageBox box(look.icon, look.title, qs(text), QMessageBox::NoButton, boxParent(m_owner));
    keepMinimumWidth(box, 150);
    QPushButton *yes = nullptr;
    QPushButton *no = nullptr;
    QPushButton *cancel = nullptr;
    QPushButton *ok = nullptr;
    if (buttons == Buttons::Ok) {
        ok = box.addButton(QStringLiteral("确定"), QMessageBox::AcceptRole);
    } else {
        yes = box.addButton(QStringLiteral("是&Y"), QMessageBox::YesRole);
        no = box.addButton(QStringLiteral("否&N"), QMessageBox::NoRole);
        if (buttons == Buttons::YesNoCancel)
            cancel = box.addButton(QStringLiteral("取消"), QMessageBox::RejectRole);
    }
    // Default: OK where the box has it, otherwise Yes. Escape (and the close
    // box): Cancel, otherwise No, otherwise OK.
    box.setDefaultButton(ok ? ok : yes);
    box.setEscapeButton(cancel ? cancel : no ? no : ok);
    box.exec();

    QAbstractButton *clicked = box.clickedButton();
    if (clicked && clicked == yes)
        return Answer::Yes;
    if (clicked && clicked == no)
        return Answer::No;
    if (clicked && clicked == ok)
        return Answer::Ok;
    if (clicked && clicked == cancel)
        return Answer::Cancel;
    return cancel ? Answer::Cancel : no ? Answer::No : Answer::Ok;
}

void QtPrompts::message(const std::string &text)
{
    okBox(m_owner, kTitle, QMessageBox::NoIcon, qs(text));
}

void QtPrompts::showError(const std::string &text)
{
    okBox(m_owner, kTitle, QMessageBox::Critical, qs(text));
}

void QtPrompts::beep()
{
    QApplication::beep();
}

std::optional<FileChoice> QtPrompts::openFile(const FileDialogSpec &spec)
{
    return runFileDialog(spec, false);
}

std::optional<FileChoice> QtPrompts::saveFile(const FileDialogSpec &spec)
{
    return runFileDialog(spec, true);
}

std::optional<FileChoice> QtPrompts::runFileDialog(const FileDialogSpec &spec, bool save)
{
    QFileDialog dialog(m_owner, qs(spec.title));
    dialog.setAcceptMode(save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
    // Open: the file and its folder must exist. Save: Qt asks before replacing.
    dialog.setFileMode(save ? QFileDialog::AnyFile : QFileDialog::ExistingFile);
    QString dir = qs(spec.initialDir.empty() ? std::string(".") : spec.initialDir);
    if (QDir::isRelativePath(dir))
        dir = QDir(m_dialogFolder).filePath(dir);
    dialog.setDirectory(QDir::cleanPath(dir));

    const QStringList filters = qtNameFilters(spec.filter);
    if (!filters.isEmpty()) {
        dialog.setNameFilters(filters);
        const int index = std::clamp(spec.filterIndex, 1, int(filters.size())) - 1;
        dialog.selectNameFilter(filters[index]);
    }
    QString suffix = qs(spec.defaultExt);
    if (suffix.startsWith(QLatin1Char('.')))
        suffix.remove(0, 1);
    dialog.setDefaultSuffix(suffix);
    // A name typed without extension takes the one of the chosen file type:
    // "TEST" with the .ASM entry becomes TEST.ASM, not an assembler file
    // named TEST.ZMB. The entry alone still decides how the file is written.
    QObject::connect(&dialog, &QFileDialog::filterSelected, &dialog, [&dialog, suffix](const QString &filter) {
        const QString own = filterSuffix(filter);
        dialog.setDefaultSuffix(own.isEmpty() ? suffix : own);
    });
    // "*.ZMB" is a pattern, not a name to propose.
    const QString name = qs(spec.fileName);
    if (!name.isEmpty() && !name.contains(QLatin1Char('*')) && !name.contains(QLatin1Char('?')))
        dialog.selectFile(name);

    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return std::nullopt;
    FileChoice choice;
    choice.path = QDir::toNativeSeparators(dialog.selectedFiles().constFirst()).toStdString();
    const qsizetype chosen = filters.indexOf(dialog.selectedNameFilter());
    choice.filterIndex = chosen >= 0 ? int(chosen) + 1 : spec.filterIndex;
    return choice;
}

std::optional<FontChoice> QtPrompts::chooseFont(const std::string &face, int pointSize)
{
    FontChooser dialog(qs(face), pointSize, m_owner);
    if (dialog.exec() != QDialog::Accepted)
        return std::nullopt;
    return FontChoice{dialog.face().toStdString(), dialog.pointSize()};
}

void QtPrompts::showHelp(const std::string &helpFile)
{
    initHelpResource();
    const QString path = QStringLiteral(":/help/") + qs(helpFile);
    if (!QFile::exists(path)) {
        showError(errorBoxText(IoError::textFor(ioerr::FileNotFound)));
        return;
    }
    if (!m_helpWindow) {
        auto *window = new QWidget(m_owner, Qt::Window);
        window->setObjectName(QStringLiteral("HelpWindow"));
        window->setWindowTitle(QStringLiteral("Dotforge 使用说明"));
        window->setAttribute(Qt::WA_DeleteOnClose);
        auto *browser = new QTextBrowser(window);
        browser->setObjectName(QStringLiteral("HelpBrowser"));
        browser->setOpenExternalLinks(false);
        auto *layout = new QVBoxLayout(window);
        layout->setContentsMargins(0, 0, 0, 0);
        layout->addWidget(browser);
        auto *escape = new QShortcut(QKeySequence(Qt::Key_Escape), window);
        QObject::connect(escape, &QShortcut::activated, window, &QWidget::close);
        window->resize(680, 560);
        if (m_owner)
            window->move(m_owner->frameGeometry().center() - window->rect().center());
        m_helpWindow = window;
    }
    auto *browser = m_helpWindow->findChild<QTextBrowser *>(QStringLiteral("HelpBrowser"));
    // Every call opens at the contents, wherever the reader had got to.
    browser->setSource(QUrl(QStringLiteral("qrc") + path), QTextDocument::HtmlResource);
    browser->verticalScrollBar()->setValue(0);
    m_helpWindow->show();
    m_helpWindow->raise();
    m_helpWindow->activateWindow();
}

void QtPrompts::showAbout(const std::string &text)
{
    QMessageBox box(m_owner);
    box.setWindowTitle(QStringLiteral("关于 Dotforge"));
    box.setIconPixmap(appIcon().pixmap(32, 32));
    box.setText(qs(text));
    box.setInformativeText(QStringLiteral("汉字点阵小字库制作工具"));
    keepMinimumWidth(box, 220);
    QPushButton *ok = box.addButton(QStringLiteral("确定"), QMessageBox::AcceptRole);
    box.setDefaultButton(ok);
    box.setEscapeButton(ok);
    box.exec();
}

} // namespace dotforge
