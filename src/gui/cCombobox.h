// A drop-down list: a panel showing the selected item, a drop-down button that
// opens a list of up to 8 visible rows with up and down scroll buttons, and a
// hover highlight. Its whole geometry follows from its size s; the six child
// widgets are its own and belong to no menu.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "base/cTimer.h"
#include "gui/GUIRect.h"
#include "gui/cButton.h"
#include "gui/cWindow.h"
#include "gui/iGUIComponent.h"

class cFont;

class cCombobox : public iGUIComponent {
 public:
  static constexpr int kMaxRows = 8;
  static constexpr float kHighlightFade = 0.25f;
  static constexpr float kSelectionFade = 0.3f;
  static constexpr float kListFade = 0.5f;

  cCombobox(int id, int eventId, D3DXVECTOR2 position, float size, cFont* font, D3DTexture* dropDownIdle,
            D3DTexture* dropDownOver, D3DTexture* dropDownPressed, D3DTexture* upIdle, D3DTexture* upOver,
            D3DTexture* upPressed, D3DTexture* downIdle, D3DTexture* downOver, D3DTexture* downPressed,
            D3DTexture* listBackground, D3DTexture* panel, D3DTexture* highlight);
  cCombobox(int group, int id, int eventId, D3DXVECTOR2 position, float size, cFont* font, D3DTexture* dropDownIdle,
            D3DTexture* dropDownOver, D3DTexture* dropDownPressed, D3DTexture* upIdle, D3DTexture* upOver,
            D3DTexture* upPressed, D3DTexture* downIdle, D3DTexture* downOver, D3DTexture* downPressed,
            D3DTexture* listBackground, D3DTexture* panel, D3DTexture* highlight);

  bool HitTest(float x, float y) override;
  int OnClick(float x, float y) override;
  int OnHover(float x, float y) override;
  int OnPress(float x, float y) override;
  int OnKey(unsigned code) override;
  void OnClickAnywhere(float x, float y) override;
  void DrawSprites(cSpriteContainer* container) override;
  void DrawText() override;
  // Moves the rows and texts; the children stay where they were built.
  void SetPosition(float x, float y) override { position_ = D3DXVECTOR2(x, y); }
  const float* GetPosition() override { return &position_.x; }
  void Reset() override { selected_ = -1; }

  void AddItem(const wchar_t* text);
  void ClearItems();
  int GetSelected() const { return selected_; }
  void Select(int index);
  void SelectByText(const wchar_t* text);
  const wchar_t* GetSelectedText() const;
  float GetSelectedValue() const;
  void SetSelectedTextColor(BYTE red, BYTE green, BYTE blue) {
    selectedTextColor_ = D3DCOLOR_ARGB(0, red, green, blue);
  }
  void SetListTextColor(BYTE red, BYTE green, BYTE blue) { listTextColor_ = D3DCOLOR_ARGB(0, red, green, blue); }

  // Visible row k (1 to kMaxRows) shows item scroll offset + k. Rows are s/12
  // apart but s/8 high, so neighbours overlap.
  GUIRect RowRect(int k) const;
  bool IsOpen() const { return list_->IsVisible(); }
  int GetScrollOffset() const { return scroll_; }

 private:
  int ItemCount() const { return static_cast<int>(items_.size()); }
  // The item under the point in the open list, 1-based; -1 for none. In the
  // overlap of two rows the upper one wins.
  int ItemAt(float x, float y) const;
  void CloseList();
  void ScrollDown();
  void ScrollUp();
  void ToggleList();
  void UpdateHighlight(float x, float y);
  void DrawChild(iGUIComponent* child, unsigned alpha, cSpriteContainer* container);
  float ListFade() const;

  D3DXVECTOR2 position_;
  float size_;
  int eventId_;
  std::unique_ptr<cButton> dropDown_;
  std::unique_ptr<cButton> up_;
  std::unique_ptr<cButton> down_;
  std::unique_ptr<cWindow> list_;
  std::unique_ptr<cWindow> panel_;
  std::unique_ptr<cWindow> highlight_;
  cFont* font_;
  std::vector<std::wstring> items_;
  int scroll_ = 0;
  int selected_ = -1;
  int hovered_ = -1;
  cTimer highlightTimer_;
  cTimer selectionTimer_;
  cTimer listTimer_;
  D3DCOLOR selectedTextColor_ = D3DCOLOR_ARGB(0, 255, 255, 255);
  D3DCOLOR listTextColor_ = D3DCOLOR_ARGB(0, 255, 255, 255);
};
