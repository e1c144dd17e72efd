// Commands of this folder that are not built yet: they do nothing. Each
// definition moves out of this file when its command is written.

#include "app/workspace.h"

namespace dotforge {

void Workspace::mnuPrintClick() {}

} // namespace dotforge
