// Commands of this folder that are not built yet: they do nothing. Each
// definition moves out of this file when its command is written.

#include "app/workspace.h"

namespace dotforge {

void Workspace::SE1Change() {}
void Workspace::SE1Step(int) {}
void Workspace::SE1KeyPress(char32_t, bool &discard) { discard = true; }
void Workspace::DispChs() {}
CodeTableCell Workspace::SDotEffect(int, int) { return {}; }
void Workspace::SG1MouseDown(int, int) {}
void Workspace::SelHZ() {}
void Workspace::ChTextOut(const std::string &) {}
void Workspace::RWClick() {}
void Workspace::RUClick() {}
void Workspace::UJFClick(int) {}
void Workspace::FontBtnClick() {}
void Workspace::ReadUDot(std::int64_t) {}
void Workspace::readFontRecord(std::int64_t) {}
void Workspace::applyDefaultEffects() {}
void Workspace::mnuRotationClick(Rotation) {}
void Workspace::mnuFlipClick(Flip) {}
void Workspace::mnuSwapClick(Swap) {}

} // namespace dotforge
