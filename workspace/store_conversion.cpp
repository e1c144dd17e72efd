// The byte layout mode, the conversions of the library and edit planes, and the
// library file's glyphs between the store and the file as the document commands
// write and read them.

#include "core/store_records.h"
#include "formats/layout.h"
#include "workspace/workspace.h"

#include <algorithm>

namespace dotforge {

namespace {

// With the view option on, the glyphs got their effects when they were rendered.
Effects saveEffects(const Workspace &ws)
{
    if (ws.controls().mnuView)
        return {};
    return {ws.controls().rotation, ws.controls().flip, ws.controls().swap};
}

// The store's first LibCount records, each read through the library plane. While
// a file is written they hold converted sequences.
std::vector<Sequence> storeSequences(GlyphPlane &libPlane, int n, Library &library)
{
    std::vector<Sequence> glyphs;
    for (int i = 0; i < library.LibCount(); ++i) {
        libPlane = library.readGlyph(i);
        glyphs.push_back(squareBytes(libPlane, n));
    }
    return glyphs;
}

std::vector<std::string> storeCodes(const Workspace &ws)
{
    return ws.library().codes();
}

// Appends the glyphs read from a file: each sequence goes through the edit plane
// (the workspace's, which its TransDot converts) into the next record; the
// glyphs count once all records are written.
void appendToStore(Workspace &ws, GlyphPlane &editPlane, Library &library, const LibraryContent &content)
{
    for (std::size_t g = 0; g < content.glyphs.size(); ++g) {
        putSquareBytes(editPlane, ws.dotSize(), content.glyphs[g]);
        ws.TransDot();
        library.writeNext(editPlane, int(g));
    }
    for (const std::string &code : content.codes)
        library.admit(code);
}

} // namespace

void Workspace::mnuModeClick(Mode m)
{
    m_controls.mode = m;
    notifyControls();
}

void Workspace::TransXDot()
{
    putSquareBytes(m_libPlane, dotSize(), toFileOrder(m_libPlane, dotSize(), m_controls.mode, saveEffects(*this)));
}

void Workspace::TransDot()
{
    const GlyphPlane raw = fromFileOrder(squareBytes(m_editPlane, dotSize()), dotSize(), m_controls.mode);
    putSquareBytes(m_editPlane, dotSize(), squareBytes(raw, dotSize()));
}

void Workspace::SaveXZMB()
{
    m_documents.writeZmbFile(storeSequences(m_libPlane, dotSize(), m_library), storeCodes(*this), filesInUse());
}

void Workspace::SaveXASM()
{
    m_documents.writeAsmFile(
        storeSequences(m_libPlane, dotSize(), m_library), storeCodes(*this), dotSize(), filesInUse());
}

std::vector<std::string> Workspace::filesInUse() const
{
    return {m_library.storePath(), workPath("JQT1.Tmp")};
}

void Workspace::ReadXZMB()
{
    appendToStore(*this, m_editPlane, m_library, m_documents.readZmbFile(dotSize(), m_library.room()));
}

void Workspace::ReadXASM()
{
    appendToStore(*this, m_editPlane, m_library, m_documents.readAsmFile(dotSize(), m_library.room()));
}

} // namespace dotforge
