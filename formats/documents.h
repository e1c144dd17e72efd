#pragma once
// The window's library file: the name and file type Open read and Save writes,
// the dialogs that choose them, and the reading and writing of that file's
// glyphs and codes. It holds no glyph itself: the caller gives the sequences
// and codes to write and takes those read, and asks every question.
// File errors are raised as IoError, a file of the wrong type as FormatError.

#include "core/prompts.h"
#include "formats/library_content.h"

#include <string>
#include <vector>

namespace dotforge {

// File type of a library file: the file-type entry of the dialog that chose it.
enum class FileType { ZMB = 1, ASM = 2 };

class Documents {
public:
    // The dialog of Open, and the one of a save that has no name yet.
    static FileDialogSpec openDialog();
    static FileDialogSpec saveDialog();
    // The file-type entry chosen in a dialog decides the format, never the extension.
    static FileType fileTypeOf(int filterIndex);
    // Why `path` cannot be opened with the file type chosen for it, in the window's words.
    static std::string refusalText(const FormatError &error, const std::string &path);

    // The file Save writes to; "" when a save must ask for a name.
    const std::string &fileName() const { return m_fileName; }
    FileType fileType() const { return m_fileType; }
    // Whether the last read left glyphs of its file unread for want of room.
    bool readCutShort() const { return m_readCutShort; }

    // New and Close, or an open that failed while reading: no file (the type stays).
    void forget() { m_fileName.clear(); }

    // The start of Open, Save and Save As: the name and type the window has now
    // are kept for restorePrevious(). Open takes the chosen file at once; Save
    // As forgets the name, so that the save asks for one.
    void beginOpen(const FileChoice &choice);
    void beginSave();
    void beginSaveAs();
    // The name and type of a save's dialog.
    void nameChosen(const FileChoice &choice);
    // The command did not complete (the file was refused, or not written): the
    // file is again the one of the last completed open or save.
    void restorePrevious();

    // Reads at most `room` glyphs of the file at dot size n: the .ZMB file is
    // checked whole first (FormatError) and nothing is read from a file refused.
    LibraryContent readZmbFile(int n, int room);
    LibraryContent readAsmFile(int n, int room);

    // Replaces the file with these glyphs and codes. `inUse` names the files a
    // running save depends on (the store and its raw copy): replacing one of
    // them would lose the library or the file, so such a name is refused with
    // "Access denied" and nothing is written.
    void writeZmbFile(const std::vector<Sequence> &glyphs, const std::vector<std::string> &codes,
        const std::vector<std::string> &inUse);
    void writeAsmFile(const std::vector<Sequence> &glyphs, const std::vector<std::string> &codes, int n,
        const std::vector<std::string> &inUse);

private:
    void replace(const std::string &bytes, const std::vector<std::string> &inUse);

    std::string m_fileName;
    FileType m_fileType = FileType::ZMB;
    std::string m_previousName;
    FileType m_previousType = FileType::ZMB;
    bool m_readCutShort = false;
};

} // namespace dotforge
