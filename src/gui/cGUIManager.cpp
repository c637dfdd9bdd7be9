#include "gui/cGUIManager.h"

#include <algorithm>
#include <memory>

#include "gui/cSpriteContainer.h"

namespace {
std::unique_ptr<cGUIManager>& TheManager() {
  static std::unique_ptr<cGUIManager> manager;
  return manager;
}
}  // namespace

cGUIManager* cGUIManager::Instance() {
  auto& manager = TheManager();
  if (!manager) manager.reset(new cGUIManager());
  return manager.get();
}

void cGUIManager::Shutdown() { TheManager().reset(); }

void cGUIManager::PushMenu(cMenu* menu, bool fade) {
  if (!menu) return;
  menus_.push_back(menu);
  caller_ = 0;
  if (fade) {
    fadeTimer_.Reset();
  } else {
    fadeTimer_.total = fadeDuration_;
  }
}

void cGUIManager::PushMenu(cMenu* menu, int callerId, bool fade) {
  if (!menu) return;
  PushMenu(menu, fade);
  caller_ = callerId;
}

void cGUIManager::PopMenu() {
  if (!menus_.empty()) menus_.pop_back();
}

void cGUIManager::ClearMenus() { menus_.clear(); }

void cGUIManager::OnPress(float x, float y) {
  if (cMenu* top = GetTopMenu()) top->OnPress(x, y);
}

void cGUIManager::OnClick(float x, float y) {
  if (cMenu* top = GetTopMenu()) top->OnClick(x, y);
}

void cGUIManager::OnHover(float x, float y) {
  if (cMenu* top = GetTopMenu()) top->OnHover(x, y);
}

void cGUIManager::OnKey(unsigned code) {
  if (cMenu* top = GetTopMenu()) top->OnKey(code);
}

void cGUIManager::OnChar(char character) {
  if (cMenu* top = GetTopMenu()) top->OnChar(character);
}

// The top menu's alpha follows the time since its push; a duration of 0 or
// less shows it at once.
void cGUIManager::ApplyFade() {
  cMenu* top = GetTopMenu();
  if (!top) return;
  if (fadeTimer_.total < fadeDuration_) fadeTimer_.Tick();
  float alpha = 255.0f;
  if (fadeDuration_ > 0.0f) alpha = std::clamp(fadeTimer_.total / fadeDuration_ * 255.0f, 0.0f, 255.0f);
  top->SetAlpha(static_cast<BYTE>(alpha));
}

void cGUIManager::DrawSprites(int layer, cSpriteContainer* container) {
  ApplyFade();
  for (cMenu* menu : menus_) menu->DrawSprites(layer, container);
}

void cGUIManager::DrawText(int layer) {
  ApplyFade();
  for (cMenu* menu : menus_) menu->DrawText(layer);
}

HRESULT cGUIManager::Render(IDirect3DDevice9* device, cSpriteContainer* container, const D3DXVECTOR3* cameraPosition,
                            const D3DXMATRIX* view) {
  for (int layer : kLayers) {
    container->Clear();
    DrawSprites(layer, container);
    HRESULT hr = container->Render(device, cameraPosition, view);
    if (FAILED(hr)) return hr;
    DrawText(layer);
  }
  return S_OK;
}
