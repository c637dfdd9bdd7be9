// The water scene of each frame and the GUI previews.
#include "app/cEditor.h"

void cEditor::RenderWaterScene() { DrawFps(); }

void cEditor::UpdatePreviews() {}
