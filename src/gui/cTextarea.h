// A static text word-wrapped in a square box of side s; longer texts run past
// the bottom edge.
#pragma once

#include "gui/GUIRect.h"
#include "gui/GUIText.h"
#include "gui/iGUIComponent.h"

class cFont;

class cTextarea : public iGUIComponent {
 public:
  // An empty text area, set up later with Set.
  cTextarea() : iGUIComponent(0) {}
  cTextarea(int id, D3DXVECTOR2 position, float size, const wchar_t* text, cFont* font);
  cTextarea(int group, int id, D3DXVECTOR2 position, float size, const wchar_t* text, cFont* font);

  bool HitTest(float x, float y) override { return rect_.Contains(x, y); }
  int OnClick(float, float) override { return -1; }
  int OnHover(float, float) override { return -1; }
  int OnPress(float, float) override { return -1; }
  void DrawSprites(cSpriteContainer*) override {}
  void DrawText() override;
  void SetPosition(float x, float y) override { rect_.MoveTo(x, y); }
  const float* GetPosition() override { return rect_.Position(); }

  void SetText(const wchar_t* text) { text_ = CopyText(text); }
  // Null while the area has no text.
  const wchar_t* GetText() const { return TextOf(text_); }
  void Set(int id, D3DXVECTOR2 position, float size, const wchar_t* text, cFont* font);
  // The height the wrapped text covers when drawn, in GUI units; 0 without a
  // text or font.
  float TextHeight() const;

 private:
  GUIRect rect_;
  GUIText text_;
  cFont* font_ = nullptr;
};
