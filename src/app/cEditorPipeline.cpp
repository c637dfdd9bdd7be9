// The per-frame component step.
#include "app/cEditor.h"

void cEditor::UpdatePipeline() {}
