#include "gui/cMenu.h"

iGUIComponent* cMenu::Find(int id) const {
  for (const auto& component : components_)
    if (component->GetId() == id) return component.get();
  return nullptr;
}

void cMenu::SetGroupVisible(int group, bool visible) {
  for (const auto& component : components_)
    if (component->GetGroup() == group) component->SetVisible(visible);
}

void cMenu::ResetAll() {
  for (const auto& component : components_) component->Reset();
}

void cMenu::SetAlpha(BYTE alpha) {
  for (const auto& component : components_) component->SetAlpha(alpha);
}

void cMenu::Notify(int eventId, iGUIComponent* source) const {
  if (callback_) callback_(eventId, source);
}

// Callbacks may push, pop or build menus meanwhile; indices stay valid even if
// this list grew. A click is first announced to every component, whatever its
// state, so that widgets can drop focus or close when clicked elsewhere.
template <class Deliver>
void cMenu::Dispatch(Target target, float x, float y, Deliver deliver) {
  if (!TakesInput()) return;
  for (size_t i = 0; i < components_.size(); ++i) {
    iGUIComponent* component = components_[i].get();
    if (target == Target::Click) component->OnClickAnywhere(x, y);
    if (!component->IsVisible() || !component->IsEnabled()) continue;
    if (target != Target::All && !component->HitTest(x, y)) continue;
    Notify(deliver(component), component);
  }
}

void cMenu::OnPress(float x, float y) {
  Dispatch(Target::Hit, x, y, [&](iGUIComponent* c) { return c->OnPress(x, y); });
}

void cMenu::OnClick(float x, float y) {
  Dispatch(Target::Click, x, y, [&](iGUIComponent* c) { return c->OnClick(x, y); });
}

void cMenu::OnHover(float x, float y) {
  Dispatch(Target::Hit, x, y, [&](iGUIComponent* c) { return c->OnHover(x, y); });
}

void cMenu::OnKey(unsigned code) {
  Dispatch(Target::All, 0.0f, 0.0f, [&](iGUIComponent* c) { return c->OnKey(code); });
}

void cMenu::OnChar(char character) {
  Dispatch(Target::All, 0.0f, 0.0f, [&](iGUIComponent* c) { return c->OnChar(character); });
}

void cMenu::DrawSprites(int layer, cSpriteContainer* container) {
  if (!Draws()) return;
  for (const auto& component : components_)
    if (component->GetLayer() == layer) component->DrawSprites(container);
}

void cMenu::DrawText(int layer) {
  if (!Draws()) return;
  for (const auto& component : components_)
    if (component->GetLayer() == layer) component->DrawText();
}
