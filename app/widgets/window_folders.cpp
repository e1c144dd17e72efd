#include "app/widgets/window_folders.h"

#include "core/program_folders.h"

#include <QDir>
#include <QStandardPaths>

namespace dotforge {

namespace {

QString documentsOrHome()
{
    const QString documents = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    return !documents.isEmpty() && QDir(documents).exists() ? documents : QDir::homePath();
}

} // namespace

WindowFolders startUpFolders()
{
    const FolderEnvironment env = processEnvironment();
    const std::string work = windowWriteFolder(".", env);
    WindowFolders folders;
    folders.work = QString::fromStdString(work);
    folders.dialogs = work == "." ? QDir::currentPath() : documentsOrHome();
    folders.font16sPlaces = font16sPlaces(".", env);
    return folders;
}

WindowFolders foldersIn(const QString &workDir)
{
    return {workDir, QDir(workDir).absolutePath(), {}};
}

} // namespace dotforge
