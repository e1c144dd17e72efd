// Dotforge: the window program. No command-line arguments; it works in the
// current folder, which holds "Font16s" and gets the store file "JQT.TMP".

#include "app/widgets/window_program.h"

int main(int argc, char *argv[])
{
    return dotforge::runWindowProgram(argc, argv);
}
