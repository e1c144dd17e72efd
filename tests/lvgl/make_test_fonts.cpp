// Writes the LVGL test fonts as C source, for the LVGL test to compile:
// OUTDIR/dotforge_test16.c and OUTDIR/dotforge_test24.c.

#include "tests/lvgl/test_font.h"

#include <fstream>
#include <iostream>

int main(int argc, char **argv)
{
    if (argc != 2) {
        std::cerr << "usage: " << argv[0] << " OUTDIR\n";
        return 2;
    }
    // A note that tries to end the comment and to splice its line.
    const std::vector<std::string> note{"made by the LVGL test from patterns", "*/ ?\?/ \\ /* end"};
    for (const int n : {16, 24}) {
        const std::string name = "dotforge_test" + std::to_string(n);
        std::ofstream out(std::string(argv[1]) + "/" + name + ".c", std::ios::binary);
        out << dotforge::lvglSource(dotforge::test::lvglTestFont(n, name), note);
        if (!out.flush()) {
            std::cerr << "cannot write " << name << ".c\n";
            return 1;
        }
    }
    return 0;
}
