// A textured rectangle: panel background, icon or part of a combobox. Without
// an image it draws nothing but still has a hit area.
#pragma once

#include "gui/GUIRect.h"
#include "gui/iGUIComponent.h"

class D3DTexture;

class cWindow : public iGUIComponent {
 public:
  cWindow(int id, D3DTexture* image, D3DXVECTOR2 position, float width, float height);
  cWindow(int group, int id, D3DTexture* image, D3DXVECTOR2 position, float width, float height);

  bool HitTest(float x, float y) override { return rect_.Contains(x, y); }
  int OnClick(float, float) override { return -1; }
  int OnHover(float, float) override { return -1; }
  int OnPress(float, float) override { return -1; }
  void DrawSprites(cSpriteContainer* container) override;
  void SetPosition(float x, float y) override { rect_.MoveTo(x, y); }
  const float* GetPosition() override { return rect_.Position(); }

  void SetImage(D3DTexture* image) { image_ = image; }
  void SetSize(float width, float height) {
    rect_.width = width;
    rect_.height = height;
  }

 private:
  GUIRect rect_;
  D3DTexture* image_;
};
