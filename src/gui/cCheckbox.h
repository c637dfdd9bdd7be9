// A two-image toggle whose image fades in after every change.
#pragma once

#include "base/cTimer.h"
#include "gui/GUIRect.h"
#include "gui/iGUIComponent.h"

class D3DTexture;

class cCheckbox : public iGUIComponent {
 public:
  static constexpr float kFadeDuration = 0.3f;

  cCheckbox(int id, int eventId, D3DTexture* checkedImage, D3DTexture* uncheckedImage, D3DXVECTOR2 position,
            float width, float height);
  cCheckbox(int group, int id, int eventId, D3DTexture* checkedImage, D3DTexture* uncheckedImage, D3DXVECTOR2 position,
            float width, float height);

  bool HitTest(float x, float y) override { return rect_.Contains(x, y); }
  int OnClick(float x, float y) override;
  int OnHover(float, float) override { return -1; }
  int OnPress(float, float) override { return -1; }
  void DrawSprites(cSpriteContainer* container) override;
  void SetPosition(float x, float y) override { rect_.MoveTo(x, y); }
  const float* GetPosition() override { return rect_.Position(); }
  void Reset() override { checked_ = 0; }

  bool IsChecked() const { return checked_ == 1; }
  void SetChecked(int checked) { checked_ = checked; }

 private:
  int eventId_;
  D3DTexture* checkedImage_;
  D3DTexture* uncheckedImage_;
  int checked_ = 0;
  GUIRect rect_;
  cTimer fadeTimer_;
};
