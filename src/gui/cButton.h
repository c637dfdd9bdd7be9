// An image push button. Its state only lives for one frame: input sets it,
// drawing picks the image by it and returns it to idle.
#pragma once

#include "gui/GUIRect.h"
#include "gui/iGUIComponent.h"

class D3DTexture;

class cButton : public iGUIComponent {
 public:
  enum State { kIdle = 0, kOver = 1, kPressed = 2 };

  cButton(int id, int clickEventId, int hoverEventId, D3DTexture* idle, D3DTexture* over, D3DTexture* pressed,
          D3DXVECTOR2 position, float width, float height);
  cButton(int group, int id, int clickEventId, int hoverEventId, D3DTexture* idle, D3DTexture* over,
          D3DTexture* pressed, D3DXVECTOR2 position, float width, float height);

  bool HitTest(float x, float y) override { return rect_.Contains(x, y); }
  int OnClick(float x, float y) override;
  int OnHover(float x, float y) override;
  int OnPress(float x, float y) override;
  void DrawSprites(cSpriteContainer* container) override;
  void SetPosition(float x, float y) override { rect_.MoveTo(x, y); }
  const float* GetPosition() override { return rect_.Position(); }
  // Shown while disabled; without one a disabled button shows its over image.
  void SetDisabledImage(D3DTexture* image) { disabledImage_ = image; }

 private:
  int state_ = kIdle;
  int clickEventId_;
  int hoverEventId_;
  D3DTexture* images_[3];  // by state
  D3DTexture* disabledImage_ = nullptr;
  GUIRect rect_;
};
