#include "gui/cButton.h"

#include "gui/cSpriteContainer.h"

cButton::cButton(int id, int clickEventId, int hoverEventId, D3DTexture* idle, D3DTexture* over, D3DTexture* pressed,
                 D3DXVECTOR2 position, float width, float height)
    : iGUIComponent(id),
      clickEventId_(clickEventId),
      hoverEventId_(hoverEventId),
      images_{idle, over, pressed},
      rect_{position.x, position.y, width, height} {}

cButton::cButton(int group, int id, int clickEventId, int hoverEventId, D3DTexture* idle, D3DTexture* over,
                 D3DTexture* pressed, D3DXVECTOR2 position, float width, float height)
    : cButton(id, clickEventId, hoverEventId, idle, over, pressed, position, width, height) {
  SetGroup(group);
}

int cButton::OnPress(float, float) {
  state_ = kPressed;
  return -1;
}

int cButton::OnClick(float, float) {
  state_ = kOver;
  return clickEventId_;
}

int cButton::OnHover(float, float) {
  state_ = kOver;
  return hoverEventId_;
}

// A disabled button gets no input and always shows its disabled image, or its
// over image when it has none.
void cButton::DrawSprites(cSpriteContainer* container) {
  if (!IsEnabled()) state_ = kOver;
  D3DTexture* image = !IsEnabled() && disabledImage_ ? disabledImage_ : images_[state_];
  if (IsVisible()) container->AddSprite(rect_.Sprite(image, White()));
  state_ = kIdle;
}
