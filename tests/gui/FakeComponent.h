// A widget that logs every call it gets, for dispatch tests.
#pragma once

#include <string>
#include <vector>

#include "gui/GUIRect.h"
#include "gui/cSpriteContainer.h"
#include "gui/iGUIComponent.h"

class FakeComponent : public iGUIComponent {
 public:
  FakeComponent(std::string name, std::vector<std::string>* log, GUIRect rect = {0, 1, 1, 1}, int result = -1,
                int id = 0)
      : iGUIComponent(id), name_(std::move(name)), log_(log), rect_(rect), result_(result) {}

  bool HitTest(float x, float y) override { return rect_.Contains(x, y); }
  int OnClick(float, float) override { return Log("click"); }
  int OnHover(float, float) override { return Log("hover"); }
  int OnPress(float, float) override { return Log("press"); }
  int OnKey(unsigned code) override {
    Log("key");
    return iGUIComponent::OnKey(code);
  }
  int OnChar(char) override { return Log("char"); }
  void OnClickAnywhere(float, float) override { Log("anywhere"); }
  void DrawSprites(cSpriteContainer* container) override {
    Log("sprites" + std::to_string(GetLayer()));
    container->AddSprite(rect_.Sprite(nullptr, D3DCOLOR_ARGB(GetAlpha(), 255, 255, 255)));
  }
  void DrawText() override { Log("text" + std::to_string(GetLayer())); }
  void SetPosition(float x, float y) override { rect_.MoveTo(x, y); }
  const float* GetPosition() override { return rect_.Position(); }
  void Reset() override { Log("reset"); }

 private:
  int Log(const std::string& what) {
    log_->push_back(name_ + "." + what);
    return result_;
  }

  std::string name_;
  std::vector<std::string>* log_;
  GUIRect rect_;
  int result_;
};
