// Dotforge: the window program. No command-line arguments; it works in the
// current folder, which gets the store file "JQT.TMP" when it takes files
// (else $XDG_STATE_HOME/dotforge does) and where "Font16s" is looked for
// first (app/widgets/window_folders.h).

#include "app/widgets/window_program.h"

int main(int argc, char *argv[])
{
    return dotforge::runWindowProgram(argc, argv);
}
