// The editor's commands: every event id of the menus but the selection screen's.
#include "app/cEditor.h"

void cEditor::OnEditorCommand(int /*eventId*/) {}
