// The stack of open menus. Only the top menu gets input; every stacked menu is
// drawn, bottom first, and the top one fades in after a push.
#pragma once

#include <vector>

#include "base/cTimer.h"
#include "gui/cMenu.h"
#include "platform/d3dx9.h"

class cGUIManager {
 public:
  // The render layers, in drawing order: later layers cover earlier ones.
  static constexpr int kLayers[] = {0, 56, 57};

  static cGUIManager* Instance();
  static void Shutdown();

  void PushMenu(cMenu* menu, bool fade);
  void PushMenu(cMenu* menu, int callerId, bool fade);
  void PopMenu();
  void ClearMenus();
  cMenu* GetTopMenu() const { return menus_.empty() ? nullptr : menus_.back(); }
  int GetCaller() const { return caller_; }
  void SetFadeDuration(float seconds) { fadeDuration_ = seconds; }

  void OnPress(float x, float y);
  void OnClick(float x, float y);
  void OnHover(float x, float y);
  void OnKey(unsigned code);
  void OnChar(char character);

  void DrawSprites(int layer, cSpriteContainer* container);
  void DrawText(int layer);
  // Every layer in order: its sprites through the container, then its texts.
  HRESULT Render(IDirect3DDevice9* device, cSpriteContainer* container, const D3DXVECTOR3* cameraPosition,
                 const D3DXMATRIX* view);

 private:
  cGUIManager() = default;
  void ApplyFade();

  std::vector<cMenu*> menus_;  // borrowed; the last one is the top
  cTimer fadeTimer_;
  float fadeDuration_ = 0.25f;
  int caller_ = 0;
};
