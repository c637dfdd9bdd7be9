// A one-line entry field for numbers (digits, point and a leading minus from
// the keys) and, when editable, for lower-case names, with a blinking caret.
#pragma once

#include "base/cTimer.h"
#include "gui/GUIRect.h"
#include "gui/GUIText.h"
#include "gui/iGUIComponent.h"

class D3DTexture;
class cFont;

class cEditbox : public iGUIComponent {
 public:
  // The caret shows for the first half of each cycle.
  static constexpr float kCaretOn = 0.5f;
  static constexpr float kCaretCycle = 1.0f;

  // A null text starts the box with "1.0".
  cEditbox(int id, D3DXVECTOR2 position, D3DXVECTOR2 size, D3DXVECTOR2 textOffset, const wchar_t* text,
           D3DTexture* background, cFont* font);
  cEditbox(int group, int id, D3DXVECTOR2 position, D3DXVECTOR2 size, D3DXVECTOR2 textOffset, const wchar_t* text,
           D3DTexture* background, cFont* font);

  bool HitTest(float x, float y) override { return rect_.Contains(x, y); }
  int OnClick(float x, float y) override;
  int OnHover(float, float) override { return 0; }
  int OnPress(float, float) override { return 0; }
  int OnKey(unsigned code) override;
  int OnChar(char character) override;
  void OnClickAnywhere(float x, float y) override;
  void DrawSprites(cSpriteContainer* container) override;
  void DrawText() override;
  void SetPosition(float x, float y) override { rect_.MoveTo(x, y); }
  const float* GetPosition() override { return rect_.Position(); }
  void Reset() override { text_ = initialText_; }

  // 1.0 when the box is empty.
  float GetValue() const { return text_ ? TextToNumber(*text_) : 1.0f; }
  // Null when the box is empty.
  const wchar_t* GetText() const { return TextOf(text_); }
  void SetText(const wchar_t* text) { text_ = CopyText(text); }
  void SetEditable(bool editable) { editable_ = editable; }
  void Focus() { focused_ = true; }

 private:
  void Append(wchar_t character);
  void RemoveLast();
  void DrawLine(const wchar_t* text);

  GUIText text_;
  GUIText initialText_;
  D3DTexture* background_;
  GUIRect rect_;
  D3DXVECTOR2 textOffset_;
  cFont* font_;
  cTimer caretTimer_;
  bool focused_ = false;
  bool editable_ = false;
};
