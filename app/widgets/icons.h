#pragma once
// The program's icons, drawn at start-up: 32 x 32 pictures in a 16-colour
// palette for the tool buttons, the add and delete buttons and the window.

#include <QIcon>

namespace dotforge {

enum class ToolIcon {
    ShiftLeft,
    ShiftRight,
    ShiftUp,
    ShiftDown,
    RotateLeft,
    FlipLeftRight,
    FlipUpDown,
    SwapLeftRight,
    SwapUpDown,
    Undo,
    Clear,
    Commit,
    Add,
    Delete,
};

QIcon toolIcon(ToolIcon kind);
QIcon appIcon();

} // namespace dotforge
