#pragma once
// The folders of the window program, decided once at start-up from the folder
// it starts in and the environment (core/program_folders.h): where it writes
// its own files, where its file dialogs start and where it looks for
// "Font16s".

#include <QString>

#include <string>
#include <vector>

namespace dotforge {

struct WindowFolders {
    // The store "JQT.TMP" and the other files the window writes by itself: the
    // folder it started in when that takes files, else $XDG_STATE_HOME/dotforge.
    QString work;
    // Where the open and save dialogs start and a print to a file goes: the
    // folder it started in when the window works there, else the user's
    // documents folder, else the home folder.
    QString dialogs;
    // Where start-up looks for "Font16s", in order.
    std::vector<std::string> font16sPlaces;
};

// The folders of a window started in the current folder.
WindowFolders startUpFolders();

// A window working in `workDir` alone, as the tests start one: its files, its
// dialogs and "Font16s" there.
WindowFolders foldersIn(const QString &workDir);

} // namespace dotforge
