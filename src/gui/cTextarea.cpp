#include "gui/cTextarea.h"

#include "scene/cFont.h"

cTextarea::cTextarea(int id, D3DXVECTOR2 position, float size, const wchar_t* text, cFont* font) : iGUIComponent(id) {
  Set(id, position, size, text, font);
}

cTextarea::cTextarea(int group, int id, D3DXVECTOR2 position, float size, const wchar_t* text, cFont* font)
    : cTextarea(id, position, size, text, font) {
  SetGroup(group);
}

void cTextarea::Set(int id, D3DXVECTOR2 position, float size, const wchar_t* text, cFont* font) {
  SetId(id);
  rect_ = GUIRect{position.x, position.y, size, size};
  SetText(text);
  font_ = font;
}

void cTextarea::DrawText() {
  if (!font_ || !text_ || !IsVisible()) return;
  font_->DrawTextGUI(text_->c_str(), rect_.y, rect_.x, rect_.y - rect_.height, rect_.x + rect_.width, DT_WORDBREAK,
                     Tinted());
}

float cTextarea::TextHeight() const {
  if (!font_ || !text_) return 0.0f;
  return font_->TextHeightGUI(text_->c_str(), rect_.y, rect_.x, rect_.y - rect_.height, rect_.x + rect_.width,
                              DT_WORDBREAK);
}
