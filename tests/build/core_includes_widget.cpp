// Compiled with the include paths of dotforge_core only: it must not build,
// because the core links no Qt Widgets and cannot see their headers.
#include <QWidget>

int probe()
{
    return sizeof(QWidget);
}
