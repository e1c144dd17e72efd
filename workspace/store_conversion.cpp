// The byte layout mode, the conversions of the library and edit planes, and the
// .ZMB and .ASM writers and readers as the document commands call them.

#include "core/io_error.h"
#include "workspace/workspace.h"
#include "formats/asm.h"
#include "formats/file_io.h"
#include "formats/layout.h"
#include "formats/zmb.h"

#include <filesystem>

namespace dotforge {

namespace {

// With the view option on, the glyphs got their effects when they were rendered.
Effects saveEffects(const Workspace &ws)
{
    if (ws.controls.mnuView)
        return {};
    return {ws.controls.rotation, ws.controls.flip, ws.controls.swap};
}

// The store's first LibCount records, each read through the library plane. While
// a file is written they hold converted sequences.
std::vector<Sequence> storeSequences(Workspace &ws, Library &library)
{
    std::vector<Sequence> glyphs;
    for (int i = 0; i < library.LibCount(); ++i) {
        ws.libPlane = library.readGlyph(i);
        glyphs.push_back(squareBytes(ws.libPlane, ws.dotSize()));
    }
    return glyphs;
}

std::vector<std::string> storeCodes(const Workspace &ws)
{
    return ws.library().codes();
}

bool sameFile(const std::string &a, const std::string &b)
{
    std::error_code ec;
    return !a.empty() && !b.empty() && std::filesystem::equivalent(a, b, ec);
}

// Writes CurFileName. The store file and the raw copy of a running save are in
// use: replacing one of them would lose the library or the file just written.
void writeLibraryFile(Workspace &ws, std::string_view bytes)
{
    if (sameFile(ws.CurFileName, ws.library().storePath()) || sameFile(ws.CurFileName, ws.workPath("JQT1.Tmp")))
        throw IoError(ioerr::AccessDenied);
    replaceFile(ws.CurFileName, bytes);
}

// Appends the glyphs read from a file: each sequence goes through the edit plane
// and TransDot into the next record; the glyphs count once all records are written.
void appendToStore(Workspace &ws, Library &library, const LibraryContent &content)
{
    for (std::size_t g = 0; g < content.glyphs.size(); ++g) {
        putSquareBytes(ws.editPlane, ws.dotSize(), content.glyphs[g]);
        ws.TransDot();
        library.writeNext(ws.editPlane, int(g));
    }
    for (const std::string &code : content.codes)
        library.admit(code);
}

} // namespace

void Workspace::mnuModeClick(Mode m)
{
    controls.mode = m;
    notifyControls();
}

void Workspace::TransXDot()
{
    putSquareBytes(libPlane, dotSize(), toFileOrder(libPlane, dotSize(), controls.mode, saveEffects(*this)));
}

void Workspace::TransDot()
{
    const GlyphPlane raw = fromFileOrder(squareBytes(editPlane, dotSize()), dotSize(), controls.mode);
    putSquareBytes(editPlane, dotSize(), squareBytes(raw, dotSize()));
}

void Workspace::SaveXZMB()
{
    writeLibraryFile(*this, writeZmb(storeSequences(*this, m_library), storeCodes(*this)));
}

void Workspace::SaveXASM()
{
    writeLibraryFile(*this, writeAsm(storeSequences(*this, m_library), storeCodes(*this), dotSize()));
}

void Workspace::ReadXZMB()
{
    m_readCutShort = false;
    InputFile file(CurFileName);
    const ReadAt readAt = [&file](std::int64_t offset, std::size_t length) { return file.readAt(offset, length); };
    checkZmb(file.size(), readAt, dotSize());
    const LibraryContent content = readZmb(file.size(), readAt, dotSize(), m_library.room());
    appendToStore(*this, m_library, content);
    m_readCutShort = content.cutShort;
}

void Workspace::ReadXASM()
{
    m_readCutShort = false;
    InputFile file(CurFileName);
    LineReader lines([&file](char *buffer, std::size_t max) { return file.read(buffer, max); });
    const LibraryContent content = readAsm(lines, dotSize(), m_library.room());
    appendToStore(*this, m_library, content);
    m_readCutShort = content.cutShort;
}

} // namespace dotforge
