// A dialog or panel: an ordered list of owned widgets whose events go to one
// callback. Insertion order is the order of dispatch and of drawing.
#pragma once

#include <memory>
#include <vector>

#include "gui/iGUIComponent.h"

// Receives every dispatch result, -1 (no event) included.
using GUIEventCallback = void (*)(int eventId, iGUIComponent* source);

class cMenu {
 public:
  cMenu(int id, GUIEventCallback callback) : id_(id), callback_(callback) {}

  // Takes ownership; returns the component for further set-up.
  template <class T>
  T* Add(T* component) {
    if (component) components_.emplace_back(component);
    return component;
  }
  iGUIComponent* Find(int id) const;
  // The first component with this id that is a T, or null: ids repeat, and a
  // component of another kind with the same id is skipped.
  template <class T>
  T* FindKind(int id) const {
    for (const auto& component : components_) {
      if (component->GetId() != id) continue;
      if (T* found = dynamic_cast<T*>(component.get())) return found;
    }
    return nullptr;
  }
  const std::vector<std::unique_ptr<iGUIComponent>>& Components() const { return components_; }
  void SetGroupVisible(int group, bool visible);
  void ResetAll();
  void SetAlpha(BYTE alpha);
  int GetId() const { return id_; }
  bool IsEnabled() const { return enabled_; }
  void SetEnabled(bool enabled) { enabled_ = enabled; }
  bool IsVisible() const { return visible_; }
  void SetVisible(bool visible) { visible_ = visible; }

  void OnPress(float x, float y);
  void OnClick(float x, float y);
  void OnHover(float x, float y);
  void OnKey(unsigned code);
  void OnChar(char character);

  void DrawSprites(int layer, cSpriteContainer* container);
  void DrawText(int layer);

 private:
  bool TakesInput() const { return enabled_ && visible_ && !components_.empty(); }
  bool Draws() const { return visible_ && !components_.empty(); }
  // All: every component; Hit: those under the point; Click: Hit, after
  // OnClickAnywhere to all.
  enum class Target { All, Hit, Click };
  template <class Deliver>
  void Dispatch(Target target, float x, float y, Deliver deliver);
  void Notify(int eventId, iGUIComponent* source) const;

  std::vector<std::unique_ptr<iGUIComponent>> components_;
  int id_;
  bool enabled_ = true;
  bool visible_ = true;
  GUIEventCallback callback_;
};
