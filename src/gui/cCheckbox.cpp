#include "gui/cCheckbox.h"

#include <algorithm>

#include "gui/cSpriteContainer.h"

cCheckbox::cCheckbox(int id, int eventId, D3DTexture* checkedImage, D3DTexture* uncheckedImage, D3DXVECTOR2 position,
                     float width, float height)
    : iGUIComponent(id),
      eventId_(eventId),
      checkedImage_(checkedImage),
      uncheckedImage_(uncheckedImage),
      rect_{position.x, position.y, width, height} {}

cCheckbox::cCheckbox(int group, int id, int eventId, D3DTexture* checkedImage, D3DTexture* uncheckedImage,
                     D3DXVECTOR2 position, float width, float height)
    : cCheckbox(id, eventId, checkedImage, uncheckedImage, position, width, height) {
  SetGroup(group);
}

int cCheckbox::OnClick(float, float) {
  checked_ = checked_ ? 0 : 1;
  fadeTimer_.Reset();
  return eventId_;
}

void cCheckbox::DrawSprites(cSpriteContainer* container) {
  if (!IsVisible() || !IsEnabled()) return;
  fadeTimer_.Tick();
  const float t = std::min(fadeTimer_.total, kFadeDuration);
  const unsigned alpha = static_cast<unsigned>(t / kFadeDuration * GetAlpha());
  container->AddSprite(rect_.Sprite(checked_ == 1 ? checkedImage_ : uncheckedImage_, WhiteWithAlpha(alpha)));
}
