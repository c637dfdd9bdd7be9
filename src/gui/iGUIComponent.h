// Base of every widget. Input operations return an event id for the menu's
// callback; -1 means no event.
#pragma once

#include <utility>
#include <vector>

#include "platform/d3d9.h"

class cSpriteContainer;

class iGUIComponent {
 public:
  explicit iGUIComponent(int id) : id_(id) {}
  iGUIComponent(const iGUIComponent&) = delete;
  iGUIComponent& operator=(const iGUIComponent&) = delete;

  virtual ~iGUIComponent() = default;
  virtual bool HitTest(float x, float y) = 0;
  virtual int OnClick(float x, float y) = 0;
  virtual int OnHover(float x, float y) = 0;
  virtual int OnPress(float x, float y) = 0;
  virtual int OnKey(unsigned code);
  virtual int OnChar(char character);
  virtual void OnClickAnywhere(float x, float y);
  virtual void DrawSprites(cSpriteContainer* container) = 0;
  virtual void DrawText();
  virtual void SetPosition(float x, float y) = 0;
  virtual const float* GetPosition() = 0;
  virtual void Reset();

  bool IsVisible() const { return visible_; }
  void SetVisible(bool visible) { visible_ = visible; }
  bool IsEnabled() const { return enabled_; }
  void SetEnabled(bool enabled) { enabled_ = enabled; }
  BYTE GetAlpha() const { return alpha_; }
  void SetAlpha(BYTE alpha) { alpha_ = alpha; }
  int GetId() const { return id_; }
  void SetColor(BYTE red, BYTE green, BYTE blue);
  void AddHotkey(unsigned code, int eventId) { hotkeys_.emplace_back(code, eventId); }
  int GetGroup() const { return group_; }
  void SetGroup(int group) { group_ = group; }
  int GetLayer() const { return layer_; }
  void SetLayer(int layer) { layer_ = layer; }

 protected:
  // The component's alpha over white, and over its own colour.
  D3DCOLOR White() const { return WhiteWithAlpha(alpha_); }
  static D3DCOLOR WhiteWithAlpha(unsigned alpha) { return D3DCOLOR_ARGB(alpha, 255, 255, 255); }
  D3DCOLOR Tinted() const { return D3DCOLOR_ARGB(alpha_, red_, green_, blue_); }
  void SetId(int id) { id_ = id; }

 private:
  bool visible_ = true;
  bool enabled_ = true;
  BYTE alpha_ = 255;
  int id_;
  BYTE red_ = 255;
  BYTE green_ = 255;
  BYTE blue_ = 255;
  std::vector<std::pair<unsigned, int>> hotkeys_;
  int group_ = 0;
  int layer_ = 0;
};
