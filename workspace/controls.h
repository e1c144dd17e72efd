#pragma once
// The state of the window's controls as the commands leave it: enabled and
// ticked states, texts, the menu ticks that are the program's options. The
// window draws them; nothing here is drawn by the core.

#include "core/layout_modes.h"

#include <string>

namespace dotforge {

// Enabled and ticked state of a control or menu item.
struct Toggle {
    bool enabled = true;
    bool checked = false;
};

// The spin edit SE1 ("区码(&R)").
struct SpinState {
    bool enabled = true;
    int value = 16;
    int min = 1;
    int max = 94;
};

// XNLabel over an empty list.
inline constexpr const char *kEmptyXNLabel = "共 0字 第 0字";

struct Controls {
    std::string caption = "Dotforge";
    std::string XNLabel = kEmptyXNLabel;
    SpinState SE1;
    Toggle RW{true, true};
    Toggle RU{true, false};
    Toggle FontBtn;
    Toggle UJF{false, false};
    int UJFIndex = 0; // -1: no item selected
    Toggle ChEdit;
    std::string ChEditText; // GBK bytes
    Toggle Button1;
    Toggle RG1;
    int RG1Index = 0;
    Toggle Panel1;
    Toggle AddBtn{false, false};
    Toggle DelBtn{false, false};
    Toggle ClearBtn{false, false};
    Toggle ChgBtn{false, false};
    Toggle mnuSave{false, false};
    Toggle mnuSaveAs{false, false};
    Toggle mnu16{true, true};
    Toggle mnu24;
    Toggle mnu32;
    // The options: byte layout mode, default effects, the view option
    // "显示默认效果(&V)".
    Mode mode = Mode::A;
    Rotation rotation = Rotation::R0;
    Flip flip = Flip::None;
    Swap swap = Swap::None;
    bool mnuView = false;
    Toggle pmuCut, pmuCopy, pmuPaste, pmuLeft, pmuRight, pmuUp, pmuDown, pmuDel;
};

} // namespace dotforge
