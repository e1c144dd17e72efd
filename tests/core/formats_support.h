#pragma once
// Helpers of the file format tests: golden files, a library put straight into
// the store, and nasm for checking what an .ASM file assembles to.

#include "tests/support/test_workspace.h"
#include "workspace/workspace.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

namespace dotforge::test {

inline std::string goldenPath(const std::string &name)
{
    return (std::filesystem::path(__FILE__).parent_path().parent_path() / "data" / name).string();
}

inline std::string golden(const std::string &name)
{
    return readFile(goldenPath(name));
}

inline std::string bytes(std::initializer_list<int> values)
{
    std::string out;
    for (const int v : values)
        out += char(v);
    return out;
}

// Puts glyphs and codes into the store as the add command leaves them.
inline void fillStore(Workspace &ws, const std::vector<GlyphPlane> &glyphs, const std::vector<std::string> &codes)
{
    addToLibrary(ws, glyphs, codes);
    ws.ChgDone(); // unsaved, as after an add
}

inline std::vector<GlyphPlane> storeRecords(Workspace &ws, int count)
{
    std::vector<GlyphPlane> out;
    for (int i = 0; i < count; ++i)
        out.push_back(LibraryAccess::of(ws).readGlyph(i));
    return out;
}

// The three 16-dot glyphs of the golden files three16c.*: top row, left column,
// diagonal, codes 啊 阿 埃.
inline std::vector<GlyphPlane> threeGlyphs()
{
    std::vector<std::string> top(16, std::string(16, '.'));
    top[0] = std::string(16, '#');
    std::vector<std::string> left(16, "#...............");
    std::vector<std::string> diagonal(16, std::string(16, '.'));
    for (int i = 0; i < 16; ++i)
        diagonal[std::size_t(i)][std::size_t(i)] = '#';
    return {planeFromArt(top), planeFromArt(left), planeFromArt(diagonal)};
}
inline const std::vector<std::string> kThreeCodes{"\xB0\xA1", "\xB0\xA2", "\xB0\xA3"};

// Assembles an .ASM file with `nasm -f bin` and returns the bytes; nasm must
// assemble it without a single message.
inline std::string assemble(const std::string &asmPath)
{
#ifndef NASM_PATH
    (void)asmPath;
    ADD_FAILURE() << "nasm was not found when the build was configured (apt-get install nasm)";
    return {};
#else
    const std::string out = asmPath + ".bin";
    const std::string log = asmPath + ".log";
    const std::string command
        = std::string("'") + NASM_PATH + "' -f bin -o '" + out + "' '" + asmPath + "' 2>'" + log + "'";
    EXPECT_EQ(std::system(command.c_str()), 0) << readFile(log);
    EXPECT_EQ(readFile(log), "") << "nasm complained about " << asmPath;
    return readFile(out);
#endif
}

} // namespace dotforge::test
