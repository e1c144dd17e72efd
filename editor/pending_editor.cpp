// Commands of this folder that are not built yet: they do nothing. Each
// definition moves out of this file when its command is written.

#include "app/workspace.h"

namespace dotforge {

void Workspace::DispDot() {}
void Workspace::SG2MouseDown(int, int, MouseButton) {}
void Workspace::SG2MouseMove(int, int) {}
void Workspace::SG2MouseUp(int, int, MouseButton) {}
void Workspace::SG2DblClick() {}
void Workspace::SG2KeyDown(Key, KeyMods) {}
void Workspace::selectRG1(int item) { RG1Index = item; }
void Workspace::RG1Click() {}
void Workspace::ChgBtnClick() {}
void Workspace::undoBtnClick() {}
void Workspace::ClearBtnClick() {}
bool Workspace::inSelection(int, int) const { return false; }
void Workspace::CCWBtnClick() {}
void Workspace::CWBtnClick() {}
void Workspace::HflipBtnClick() {}
void Workspace::VflipBtnClick() {}
void Workspace::ELBtnClick() {}
void Workspace::EUBtnClick() {}
void Workspace::LeftBtnClick() {}
void Workspace::RightBtnClick() {}
void Workspace::UpBtnClick() {}
void Workspace::DownBtnClick() {}
bool Workspace::prepareBlockMenu() { return false; }
void Workspace::mnuCutClick() {}
void Workspace::mnuCopyClick() {}
void Workspace::mnuPasteClick() {}
void Workspace::mnuDelClick() {}
void Workspace::pmuLeftClick() {}
void Workspace::pmuRightClick() {}
void Workspace::pmuUpClick() {}
void Workspace::pmuDownClick() {}

} // namespace dotforge
