// Drives the real editor as a user does, on either backend: the cursor is put
// on a control's pixel, button and key messages are posted to the window, and
// frames run with the message queue drained first, as the main loop does. The
// script on top of it is the user session every end-to-end test shares.
#pragma once

#include <gtest/gtest.h>

#include <cwchar>
#include <string>

#include "editor/EditorIds.h"
#include "editor/MenuValues.h"
#include "editor/cEditor.h"
#include "engine/iWaterEngine.h"
#include "gui/cButton.h"
#include "gui/cCombobox.h"
#include "gui/cEditbox.h"
#include "gui/cGUIManager.h"
#include "gui/cTextarea.h"
#include "platform/Platform.h"
#include "platform/win32.h"
#include "settings/TypeIds.h"

// The ids that belong to each engine type.
struct EngineIds {
  int type, selectButton, chooseEvent, createButton, createEvent;
};
inline const EngineIds& IdsOf(int type) {
  using namespace EditorId;
  static const EngineIds ids[] = {
      {ENGINE_FFP, kSelectFFPButton, kEventChooseFFP, kCreateFFPEngineButton, kEventCreateFFPEngine},
      {ENGINE_SM1, kSelectSM1Button, kEventChooseSM1, kCreateSM1EngineButton, kEventCreateSM1Engine},
      {ENGINE_SM2, kSelectSM2Button, kEventChooseSM2, kCreateSM2EngineButton, kEventCreateSM2Engine},
      {ENGINE_SM3, kSelectSM3Button, kEventChooseSM3, kCreateSM3EngineButton, kEventCreateSM3Engine}};
  for (const EngineIds& engine : ids) if (engine.type == type) return engine;
  return ids[0];
}

inline int TopMenuId() {
  const cMenu* top = cGUIManager::Instance()->GetTopMenu();
  return top ? top->GetId() : 0;
}

inline std::wstring TextOf(const cMenu* menu, int id) {
  const cTextarea* area = menu ? menu->FindKind<cTextarea>(id) : nullptr;
  return area && area->GetText() ? area->GetText() : L"";
}

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
  // Press, one frame, release, one frame.
  void ClickAt(float x, float y) {
    const POINT pixel = Pixel(x, y);
    SetCursorPos(pixel.x, pixel.y);
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
  static WPARAM KeyFor(char c) {
    if (c == '\b') return VK_BACK;
    if (c == '\x1b') return VK_ESCAPE;
    if (c == '.') return VK_OEM_PERIOD;
    if (c == '-') return VK_OEM_MINUS;
    if (c >= 'a' && c <= 'z') return static_cast<WPARAM>(c - 'a' + 'A');
    return static_cast<WPARAM>(c);
  }
 private:
  static constexpr float kInset = 0.006f;
  static constexpr float kComboboxSize = 0.25f;
  cEditor* editor_;
  HWND window_;
  bool headless_;
  double frameSeconds_;
  int frames_ = 0;
};

// Every step is a click on a control or keys typed into a box.
class EditorScript {
 public:
  EditorScript(cEditor* editor, EditorDriver& driver) : editor_(editor), driver_(driver) {}
  int TopId() const { return TopMenuId(); }
  void ChooseEngine(int type) {
    ASSERT_EQ(TopId(), EditorId::kMenuEngineSelection);
    driver_.Click(editor_->menus.selection, IdsOf(type).selectButton);
    driver_.Frames(10);  // the toolbar fades in
    ASSERT_EQ(TopId(), EditorId::kMenuToolbar);
    ASSERT_EQ(editor_->engineType, type);
  }
  // Opens a component menu from the toolbar, runs `steps` in it and closes it.
  template <class Steps>
  void InMenu(int toolbarButton, cMenu* menu, Steps steps) {
    driver_.Click(editor_->menus.toolbar, toolbarButton);
    driver_.Frames(8);
    ASSERT_EQ(cGUIManager::Instance()->GetTopMenu(), menu);
    steps(menu);
    driver_.Click(menu, EditorId::kCloseButton);
    ASSERT_EQ(TopId(), EditorId::kMenuToolbar);
  }
  // A 64x64 FFT heightmap, a normal map (on the GPU where the engine offers
  // it), the geometry the engine draws best and the engine with reflection and
  // refraction.
  void BuildWater() {
    using namespace EditorId;
    const int type = editor_->engineType;
    const bool shaderModel2 = type == ENGINE_SM2 || type == ENGINE_SM3;
    InMenu(kToolbarHeightmapButton, editor_->menus.heightmap, [&](cMenu* menu) {
      driver_.Pick(menu, kHeightmapModelList, 2);
      driver_.Pick(menu, kHeightmapResolutionList, 4);
      driver_.Type(menu, kAmplitude, "2");
      driver_.Click(menu, kCreateFFTButton);
      ASSERT_NE(editor_->waterScene.heightmap, nullptr);
    });
    InMenu(kToolbarNormalmapButton, editor_->menus.normalmap, [&](cMenu* menu) {
      driver_.Pick(menu, kNormalmapMethodList, shaderModel2 ? 2 : 1);
      driver_.Pick(menu, kFilteringList, 2);
      driver_.Click(menu, kCreateNormalmapButton);
      ASSERT_NE(editor_->waterScene.normalmap, nullptr);
    });
    InMenu(kToolbarGeometryButton, editor_->menus.geometry, [&](cMenu* menu) {
      driver_.Pick(menu, kGeometryTypeList, type == ENGINE_SM3 ? 3 : 1);
      if (type != ENGINE_SM3) {
        driver_.Type(menu, kSimpleWidthX, "6000");
        driver_.Type(menu, kSimpleWidthZ, "6000");
        driver_.Type(menu, kSimpleTesselationZ, "192");
      }
      driver_.Click(menu, kCreateGeometryButton);
      ASSERT_NE(editor_->waterScene.geometry, nullptr);
    });
    InMenu(kToolbarEngineButton, editor_->EngineMenu(), [&](cMenu* menu) {
      driver_.Click(menu, kEnableReflection);
      driver_.Click(menu, kEnableRefraction);
      driver_.Click(menu, kEnableExtrusion);
      driver_.Type(menu, kReflectionResolution, "256");
      driver_.Frames(1);
      ASSERT_TRUE(menu->FindKind<cButton>(IdsOf(type).createButton)->IsEnabled());
      driver_.Click(menu, IdsOf(type).createButton);
      ASSERT_NE(editor_->waterScene.engine, nullptr);
      EXPECT_TRUE(editor_->waterScene.engine->IsInitialised());
    });
  }
  // The dialogs' buttons have no id: OK and cancel sit at fixed places.
  void ClickDialogOk() { driver_.ClickAt(-0.12f, -0.01f); }
  void Save(const std::string& name) {
    OpenFromToolbar(EditorId::kToolbarSaveButton, EditorId::kMenuSave);
    for (int i = 0; i < 12; ++i) driver_.Key(VK_BACK);  // the name box has the focus
    for (char c : name) driver_.Key(EditorDriver::KeyFor(c));
    ClickDialogOk();
    ASSERT_EQ(TopId(), EditorId::kMenuInfo);
  }
  void Load(const std::string& name) {
    OpenFromToolbar(EditorId::kToolbarLoadButton, EditorId::kMenuLoad);
    cCombobox* list = FindCombobox(editor_->menus.load, EditorId::kLoadList);
    const std::wstring item(name.begin(), name.end());
    list->SelectByText(item.c_str());
    const int index = list->GetSelected();
    ASSERT_GE(index, 1);
    list->Reset();
    if (index <= cCombobox::kMaxRows) {
      driver_.Pick(editor_->menus.load, EditorId::kLoadList, index);
    } else {
      list->Select(index);  // further down than the list shows without scrolling
    }
    ClickDialogOk();
    ASSERT_EQ(TopId(), EditorId::kMenuInfo);
  }
  void CloseInformation() {
    ClickDialogOk();
    ASSERT_EQ(TopId(), EditorId::kMenuToolbar);
  }
  void NewState() {
    OpenFromToolbar(EditorId::kToolbarNewButton, EditorId::kMenuNewState);
    ClickDialogOk();
    ASSERT_EQ(TopId(), EditorId::kMenuEngineSelection);
  }
  void Exit() {
    OpenFromToolbar(EditorId::kToolbarExitButton, EditorId::kMenuExit);
    ClickDialogOk();
    EXPECT_TRUE(editor_->IsQuitRequested());
  }
 private:
  void OpenFromToolbar(int button, int menuId) {
    driver_.Click(editor_->menus.toolbar, button);
    driver_.Frames(8);
    ASSERT_EQ(TopId(), menuId);
  }
  cEditor* editor_;
  EditorDriver& driver_;
};
