// Per-frame validation of the menus and the statistics panels.
#include "app/cEditor.h"

void cEditor::UpdateComponentStatus() {}
