#include "gui/cCombobox.h"

#include <algorithm>

#include "gui/GUIKey.h"
#include "gui/GUIText.h"
#include "scene/cFont.h"

cCombobox::cCombobox(int id, int eventId, D3DXVECTOR2 position, float size, cFont* font, D3DTexture* dropDownIdle,
                     D3DTexture* dropDownOver, D3DTexture* dropDownPressed, D3DTexture* upIdle, D3DTexture* upOver,
                     D3DTexture* upPressed, D3DTexture* downIdle, D3DTexture* downOver, D3DTexture* downPressed,
                     D3DTexture* listBackground, D3DTexture* panel, D3DTexture* highlight)
    : iGUIComponent(id), position_(position), size_(size), eventId_(eventId), font_(font) {
  const float x = position.x, y = position.y, s = size;
  panel_ = std::make_unique<cWindow>(0, panel, D3DXVECTOR2(x, y), 7 * s / 8, s / 8);
  list_ = std::make_unique<cWindow>(0, listBackground, D3DXVECTOR2(x, y - s / 8), 7 * s / 8, 7 * s / 8);
  highlight_ = std::make_unique<cWindow>(0, highlight, D3DXVECTOR2(x, y), s / 2, s / 12);
  dropDown_ = std::make_unique<cButton>(0, 0, 0, dropDownIdle, dropDownOver, dropDownPressed,
                                        D3DXVECTOR2(x + 7 * s / 8, y), s / 7, s / 7);
  up_ = std::make_unique<cButton>(0, 0, 0, upIdle, upOver, upPressed, D3DXVECTOR2(x + 11 * s / 16, y - 3 * s / 16),
                                  s / 8, s / 8);
  down_ = std::make_unique<cButton>(0, 0, 0, downIdle, downOver, downPressed,
                                    D3DXVECTOR2(x + 11 * s / 16, y - 0.8125f * s), s / 8, s / 8);
  highlight_->SetColor(255, 0, 0);
  highlight_->SetVisible(false);
  CloseList();
}

cCombobox::cCombobox(int group, int id, int eventId, D3DXVECTOR2 position, float size, cFont* font,
                     D3DTexture* dropDownIdle, D3DTexture* dropDownOver, D3DTexture* dropDownPressed,
                     D3DTexture* upIdle, D3DTexture* upOver, D3DTexture* upPressed, D3DTexture* downIdle,
                     D3DTexture* downOver, D3DTexture* downPressed, D3DTexture* listBackground, D3DTexture* panel,
                     D3DTexture* highlight)
    : cCombobox(id, eventId, position, size, font, dropDownIdle, dropDownOver, dropDownPressed, upIdle, upOver,
                upPressed, downIdle, downOver, downPressed, listBackground, panel, highlight) {
  SetGroup(group);
}

GUIRect cCombobox::RowRect(int k) const {
  const float s = size_;
  return GUIRect{position_.x + s / 16, position_.y - s / 8 - k * s / 12, 5 * s / 8, s / 8};
}

// Only rows that show an item count: a click below the last item picks nothing.
int cCombobox::ItemAt(float x, float y) const {
  if (!list_->IsVisible()) return -1;
  for (int k = 1; k <= kMaxRows && scroll_ + k <= ItemCount(); ++k)
    if (RowRect(k).Contains(x, y)) return scroll_ + k;
  return -1;
}

// The children's areas count whether they are shown or not.
bool cCombobox::HitTest(float x, float y) {
  return dropDown_->HitTest(x, y) || list_->HitTest(x, y) || panel_->HitTest(x, y) || highlight_->HitTest(x, y);
}

void cCombobox::CloseList() {
  list_->SetVisible(false);
  up_->SetVisible(false);
  down_->SetVisible(false);
}

void cCombobox::ScrollDown() {
  if (ItemCount() - scroll_ > kMaxRows) ++scroll_;
  if (scroll_ >= ItemCount()) scroll_ = ItemCount();
}

void cCombobox::ScrollUp() { scroll_ = std::max(scroll_ - 1, 0); }

void cCombobox::ToggleList() {
  list_->SetVisible(!list_->IsVisible());
  up_->SetVisible(!up_->IsVisible());
  down_->SetVisible(!down_->IsVisible());
  if (list_->IsVisible()) listTimer_.Reset();
}

// Picking an item closes the list; picking the selected one again reports
// the event again without restarting the selection fade.
int cCombobox::OnClick(float x, float y) {
  const int item = ItemAt(x, y);
  if (item >= 0) {
    if (item != selected_) selectionTimer_.Reset();
    selected_ = item;
    CloseList();
  }
  if (down_->HitTest(x, y)) {
    down_->OnClick(x, y);
    ScrollDown();
  }
  if (up_->HitTest(x, y)) {
    up_->OnClick(x, y);
    ScrollUp();
  }
  if (dropDown_->HitTest(x, y)) {
    dropDown_->OnClick(x, y);
    ToggleList();
  }
  return item >= 0 ? eventId_ : -1;
}

int cCombobox::OnPress(float x, float y) {
  for (cButton* button : {down_.get(), up_.get(), dropDown_.get()})
    if (button->HitTest(x, y)) button->OnPress(x, y);
  return -1;
}

void cCombobox::UpdateHighlight(float x, float y) {
  highlight_->SetVisible(false);
  const int item = ItemAt(x, y);
  if (item < 0) return;
  const GUIRect row = RowRect(item - scroll_);
  highlight_->SetVisible(true);
  highlight_->SetPosition(row.x - size_ / 64, row.y);
  if (item != hovered_) highlightTimer_.Reset();
  hovered_ = item;
}

int cCombobox::OnHover(float x, float y) {
  for (cButton* button : {down_.get(), up_.get(), dropDown_.get()})
    if (button->HitTest(x, y)) button->OnHover(x, y);
  if (list_->IsVisible()) UpdateHighlight(x, y);
  return -1;
}

// A click elsewhere closes the list.
void cCombobox::OnClickAnywhere(float x, float y) {
  if (!HitTest(x, y)) CloseList();
}

// Escape closes the list; hotkeys do not apply to a combobox.
int cCombobox::OnKey(unsigned code) {
  if (code == GUIKEY_ESCAPE) {
    CloseList();
    highlight_->SetVisible(false);
  }
  return -1;
}

float cCombobox::ListFade() const { return std::min(listTimer_.total, kListFade) / kListFade; }

void cCombobox::DrawChild(iGUIComponent* child, unsigned alpha, cSpriteContainer* container) {
  child->SetAlpha(static_cast<BYTE>(alpha));
  child->DrawSprites(container);
}

void cCombobox::DrawSprites(cSpriteContainer* container) {
  if (highlight_->IsVisible()) {
    highlightTimer_.Tick();
  } else {
    highlightTimer_.Reset();
  }
  if (!IsVisible() || !IsEnabled()) return;
  listTimer_.Tick();
  const float listFade = ListFade();
  const unsigned listAlpha = static_cast<unsigned>(listFade * GetAlpha());
  DrawChild(panel_.get(), GetAlpha(), container);
  DrawChild(list_.get(), listAlpha, container);
  DrawChild(dropDown_.get(), GetAlpha(), container);
  DrawChild(up_.get(), listAlpha, container);
  DrawChild(down_.get(), listAlpha, container);
  if (!list_->IsVisible()) return;
  const float highlightFade = std::min(highlightTimer_.total, kHighlightFade) / kHighlightFade;
  DrawChild(highlight_.get(), static_cast<unsigned>(highlightFade * listFade * GetAlpha()), container);
}

void cCombobox::DrawText() {
  if (!IsVisible() || !IsEnabled() || !font_) return;
  const float s = size_, x = position_.x, y = position_.y;
  if (const wchar_t* text = GetSelectedText()) {
    selectionTimer_.Tick();
    const float fade = std::min(selectionTimer_.total, kSelectionFade) / kSelectionFade;
    const D3DCOLOR alpha = static_cast<D3DCOLOR>(fade * GetAlpha());
    font_->DrawTextGUI(text, y - s / 64, x + s / 16, y - s / 8, x + 3 * s / 4, 0, alpha << 24 | selectedTextColor_);
  }
  if (!list_->IsVisible() || !list_->IsEnabled()) return;
  const D3DCOLOR alpha = static_cast<D3DCOLOR>(ListFade() * GetAlpha());
  for (int k = 1; k <= kMaxRows && scroll_ + k <= ItemCount(); ++k) {
    const GUIRect row = RowRect(k);
    font_->DrawTextGUI(items_[scroll_ + k - 1].c_str(), row.y, row.x, row.y - row.height, row.x + row.width, 0,
                       alpha << 24 | listTextColor_);
  }
}

void cCombobox::AddItem(const wchar_t* text) {
  if (text) items_.emplace_back(text);
}

// The scroll offset is kept: rows past the end are simply left empty.
void cCombobox::ClearItems() {
  selected_ = -1;
  items_.clear();
}

void cCombobox::Select(int index) {
  if (ItemCount() > 0 && index <= ItemCount() && (index >= 1 || index == -1)) selected_ = index;
}

void cCombobox::SelectByText(const wchar_t* text) {
  if (!text) return;
  const auto found = std::find(items_.begin(), items_.end(), text);
  if (found != items_.end()) selected_ = static_cast<int>(found - items_.begin()) + 1;
}

const wchar_t* cCombobox::GetSelectedText() const {
  if (selected_ < 1 || selected_ > ItemCount()) return nullptr;
  return items_[selected_ - 1].c_str();
}

float cCombobox::GetSelectedValue() const {
  const wchar_t* text = GetSelectedText();
  return text ? TextToNumber(text) : 1.0f;
}
