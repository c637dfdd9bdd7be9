#include "gui/cWindow.h"

#include "gui/cSpriteContainer.h"

cWindow::cWindow(int id, D3DTexture* image, D3DXVECTOR2 position, float width, float height)
    : iGUIComponent(id), rect_{position.x, position.y, width, height}, image_(image) {}

cWindow::cWindow(int group, int id, D3DTexture* image, D3DXVECTOR2 position, float width, float height)
    : cWindow(id, image, position, width, height) {
  SetGroup(group);
}

void cWindow::DrawSprites(cSpriteContainer* container) {
  if (IsEnabled() && IsVisible() && image_) container->AddSprite(rect_.Sprite(image_, Tinted()));
}
