// Commands of this folder that are not built yet: they do nothing. Each
// definition moves out of this file when its command is written.

#include "app/workspace.h"

namespace dotforge {

void Workspace::mnuModeClick(Mode) {}
void Workspace::TransXDot() {}
void Workspace::TransDot() {}
void Workspace::SaveXZMB() {}
void Workspace::ReadXZMB() {}
void Workspace::SaveXASM() {}
void Workspace::ReadXASM() {}
void Workspace::mnuOpenClick() {}
void Workspace::mnuSaveClick() {}
void Workspace::mnuSaveAsClick() {}
void Workspace::SaveXFile() {}
void Workspace::mnuExitClick() {}
bool Workspace::FormCloseQuery() { return true; }

} // namespace dotforge
