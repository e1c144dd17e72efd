// Commands of this folder that are not built yet: they do nothing. Each
// definition moves out of this file when its command is written.

#include "app/workspace.h"

namespace dotforge {

void Workspace::AddBtnClick() {}
void Workspace::DelBtnClick() {}
void Workspace::ChgDone() {}
void Workspace::XDotEffect() {}
bool Workspace::DG1DrawCell(int, GlyphPlane &) { return false; }
void Workspace::DG1MouseDown(int, int) {}
void Workspace::ReadXDot() {}
void Workspace::ChEditKeyPress(char32_t) {}
void Workspace::Button1Click() {}
void Workspace::updateXNLabel() {}

} // namespace dotforge
