#include "gui/cEditbox.h"

#include "gui/GUIKey.h"
#include "gui/cSpriteContainer.h"
#include "scene/cFont.h"

cEditbox::cEditbox(int id, D3DXVECTOR2 position, D3DXVECTOR2 size, D3DXVECTOR2 textOffset, const wchar_t* text,
                   D3DTexture* background, cFont* font)
    : iGUIComponent(id),
      text_(CopyText(text ? text : L"1.0")),
      initialText_(text_),
      background_(background),
      rect_{position.x, position.y, size.x, size.y},
      textOffset_(textOffset),
      font_(font) {}

cEditbox::cEditbox(int group, int id, D3DXVECTOR2 position, D3DXVECTOR2 size, D3DXVECTOR2 textOffset,
                   const wchar_t* text, D3DTexture* background, cFont* font)
    : cEditbox(id, position, size, textOffset, text, background, font) {
  SetGroup(group);
}

int cEditbox::OnClick(float, float) {
  focused_ = true;
  return 0;
}

// A click anywhere else in the menu takes the focus away.
void cEditbox::OnClickAnywhere(float x, float y) {
  if (!HitTest(x, y)) focused_ = false;
}

void cEditbox::Append(wchar_t character) {
  if (text_) {
    text_->push_back(character);
  } else {
    text_ = std::wstring(1, character);
  }
}

// Deleting the only character leaves the box empty (null); an empty but
// present text stays as it is.
void cEditbox::RemoveLast() {
  if (!text_ || text_->empty()) return;
  text_->pop_back();
  if (text_->empty()) text_.reset();
}

// The number's form is not checked: several points are accepted. A minus can
// only start an empty box.
int cEditbox::OnKey(unsigned code) {
  if (code == GUIKEY_ESCAPE) focused_ = false;
  if (!focused_) return -1;
  if (code == GUIKEY_BACKSPACE) {
    RemoveLast();
  } else if (code >= GUIKEY_DIGIT0 && code <= GUIKEY_DIGIT0 + 9) {
    Append(static_cast<wchar_t>(L'0' + (code - GUIKEY_DIGIT0)));
  } else if (code == GUIKEY_PERIOD) {
    Append(L'.');
  } else if (code == GUIKEY_MINUS && !text_) {
    Append(L'-');
  }
  return -1;
}

int cEditbox::OnChar(char character) {
  if (editable_ && focused_) Append(static_cast<wchar_t>(static_cast<unsigned char>(character)));
  return -1;
}

void cEditbox::DrawSprites(cSpriteContainer* container) {
  if (IsVisible()) container->AddSprite(rect_.Sprite(background_, White()));
}

// The caret cycle counts from construction or the last restart, not from the
// click that focused the box.
void cEditbox::DrawText() {
  caretTimer_.Tick();
  if (!font_ || !IsVisible()) return;
  if (focused_ && caretTimer_.total < kCaretOn) {
    DrawLine((text_.value_or(L"") + L'|').c_str());
    return;
  }
  if (focused_ && caretTimer_.total > kCaretCycle) caretTimer_.Reset();
  if (text_) DrawLine(text_->c_str());
}

void cEditbox::DrawLine(const wchar_t* text) {
  const float left = rect_.x + textOffset_.x;
  const float top = rect_.y - textOffset_.y;
  font_->DrawTextGUI(text, top, left, top - rect_.height, left + rect_.width, DT_WORDBREAK, Tinted());
}
