#pragma once
// What the code table and the dot-matrix font reader keep between commands.

#include <array>
#include <cstdint>
#include <string>

namespace dotforge {

struct CodeTableState {
    int curArea = 16;
    std::array<std::string, 94> areaTable; // the codes of the area's 94 positions
    int tableCol = 0; // table selection; valid when both >= 0 and row*10+col < 94
    int tableRow = 0;
    std::string tableFace = "宋体"; // face of SG1 and ChEdit: FontName with RW, "宋体" with RU

    // "Font16s": per-variant record counts and first areas, the record read last.
    std::array<int, 4> sectionSize{};
    std::array<int, 4> firstArea{};
    std::array<std::uint8_t, 32> recordBuf{};
};

} // namespace dotforge
