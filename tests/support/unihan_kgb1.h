#pragma once
// Unihan's kGB1 field as the Unihan file (UNIHAN_PATH, bzip2-compressed)
// holds it, for tests that check the traditional set against the file itself:
// the first code point given for each GB/T 12345 position, keyed by its EUC
// code (first byte x 256 + second byte).

#include <cstdint>
#include <cstdio>
#include <map>

namespace dotforge::test {

inline std::map<std::uint32_t, char32_t> unihanKGb1()
{
    std::map<std::uint32_t, char32_t> cells;
    FILE *pipe = ::popen("bzip2 -dc " UNIHAN_PATH, "r");
    char line[512];
    while (pipe && std::fgets(line, sizeof line, pipe)) {
        unsigned codePoint = 0;
        int position = 0;
        if (std::sscanf(line, "U+%X kGB1 %d", &codePoint, &position) == 2)
            cells.emplace(std::uint32_t((position / 100 + 0xA0) << 8 | (position % 100 + 0xA0)), char32_t(codePoint));
    }
    if (pipe)
        ::pclose(pipe);
    return cells;
}

} // namespace dotforge::test
