// main() of the render tests: Qt's text drawing, the reference of the FreeType
// rasteriser, needs an application object (offscreen platform, set by CTest)
// and the face substitutions the program installs at start.

#include "render/widgets/ui_fonts.h"

#include <QGuiApplication>
#include <gtest/gtest.h>

int main(int argc, char **argv)
{
    QGuiApplication app(argc, argv);
    dotforge::installFontSubstitutions();
    testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
