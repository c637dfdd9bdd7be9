#include "gui/iGUIComponent.h"

int iGUIComponent::OnKey(unsigned code) {
  for (const auto& [key, eventId] : hotkeys_)
    if (key == code) return eventId;
  return -1;
}

// 1 is an id the editor's command handler ignores.
int iGUIComponent::OnChar(char) { return 1; }

void iGUIComponent::OnClickAnywhere(float, float) {}

void iGUIComponent::DrawText() {}

void iGUIComponent::Reset() {}

void iGUIComponent::SetColor(BYTE red, BYTE green, BYTE blue) {
  red_ = red;
  green_ = green;
  blue_ = blue;
}
