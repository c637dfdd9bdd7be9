// Drives the real editor as a user does: the cursor is put on a control's pixel,
// button and key messages are posted to the window, and frames run in between
// with the message queue drained first, as the main loop does.
#pragma once

#include <cwchar>
#include <string>

#include "editor/cEditor.h"
#include "gui/cCombobox.h"
#include "gui/cEditbox.h"
#include "gui/cMenu.h"
#include "platform/Platform.h"
#include "platform/win32.h"

class EditorDriver {
 public:
  // On the headless backend the clock moves by `frameSeconds` each frame; on
  // the OpenGL one it runs by itself.
  EditorDriver(cEditor* editor, HWND window, bool headless, double frameSeconds = 1.0 / 30.0)
      : editor_(editor), window_(window), headless_(headless), frameSeconds_(frameSeconds) {}

  void Frames(int count = 1) {
    for (int i = 0; i < count; ++i) {
      MSG msg{};
      while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
      }
      editor_->Frame();
      ++frames_;
      if (headless_) platform::headless::AdvanceClock(frameSeconds_);
    }
  }
  int FrameCount() const { return frames_; }

  // The pixel of a GUI point, by the inverse of the cursor mapping.
  POINT Pixel(float x, float y) const {
    const float width = static_cast<float>(editor_->displayMode.Width);
    const float height = static_cast<float>(editor_->displayMode.Height);
    const float px = (x * editor_->projection._11 + 1.0f) * width / 2.0f;
    const float py = height / 2.0f - height * editor_->projection._22 * y / 2.0f;
    return POINT{static_cast<LONG>(px + 0.5f), static_cast<LONG>(py + 0.5f)};
  }

  void MoveTo(float x, float y) {
    const POINT pixel = Pixel(x, y);
    SetCursorPos(pixel.x, pixel.y);
  }

  // Press, one frame, release, one frame.
  void ClickAt(float x, float y) {
    MoveTo(x, y);
    PostMessageA(window_, WM_LBUTTONDOWN, 0, 0);
    Frames(1);
    PostMessageA(window_, WM_LBUTTONUP, 0, 0);
    Frames(1);
  }

  // A click just inside the top-left corner of the control.
  void Click(const cMenu* menu, int id) {
    iGUIComponent* control = menu ? menu->Find(id) : nullptr;
    if (!control) return;
    const float* position = control->GetPosition();
    ClickAt(position[0] + kInset, position[1] - kInset);
  }

  // Opens a combobox with its drop-down button and clicks row `item` (1 to 8).
  void Pick(const cMenu* menu, int listId, int item) {
    cCombobox* list = menu ? menu->FindKind<cCombobox>(listId) : nullptr;
    if (!list) return;
    const float* position = list->GetPosition();
    const float size = kComboboxSize;
    ClickAt(position[0] + 7.0f * size / 8.0f + size / 14.0f, position[1] - size / 14.0f);
    const GUIRect row = list->RowRect(item - list->GetScrollOffset());
    ClickAt(row.x + row.width / 2.0f, row.y - row.height / 2.0f);
  }

  void Key(WPARAM key) {
    PostMessageA(window_, WM_KEYDOWN, key, 0);
    PostMessageA(window_, WM_KEYUP, key, 0);
    Frames(1);
  }

  // Focuses the box, empties it with Backspace and types `text` key by key.
  void Type(const cMenu* menu, int boxId, const std::string& text) {
    cEditbox* box = menu ? menu->FindKind<cEditbox>(boxId) : nullptr;
    if (!box) return;
    Click(menu, boxId);
    for (size_t n = box->GetText() ? std::wcslen(box->GetText()) : 0; n > 0; --n) Key(VK_BACK);
    for (char c : text) Key(KeyFor(c));
  }

 private:
  static constexpr float kInset = 0.006f;
  static constexpr float kComboboxSize = 0.25f;

  static WPARAM KeyFor(char c) {
    if (c == '.') return VK_OEM_PERIOD;
    if (c == '-') return VK_OEM_MINUS;
    if (c >= 'a' && c <= 'z') return static_cast<WPARAM>(c - 'a' + 'A');
    return static_cast<WPARAM>(c);
  }

  cEditor* editor_;
  HWND window_;
  bool headless_;
  double frameSeconds_;
  int frames_ = 0;
};
