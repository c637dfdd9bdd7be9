// The scripted user session that runs on both backends: every step is a click
// on a control or keys typed into a box, as a user makes them.
#pragma once

#include <gtest/gtest.h>

#include <string>

#include "EditorDriver.h"
#include "settings/TypeIds.h"
#include "editor/EditorIds.h"
#include "editor/MenuValues.h"
#include "engine/iWaterEngine.h"
#include "gui/cGUIManager.h"
#include "gui/cTextarea.h"

class EditorScript {
 public:
  EditorScript(cEditor* editor, EditorDriver& driver) : editor_(editor), driver_(driver) {}

  int TopId() const {
    const cMenu* top = cGUIManager::Instance()->GetTopMenu();
    return top ? top->GetId() : 0;
  }

  void ChooseEngine(int type) {
    using namespace EditorId;
    const int button = type == ENGINE_FFP   ? kSelectFFPButton
                       : type == ENGINE_SM1 ? kSelectSM1Button
                       : type == ENGINE_SM2 ? kSelectSM2Button
                                            : kSelectSM3Button;
    ASSERT_EQ(TopId(), kMenuEngineSelection);
    driver_.Click(editor_->menus.selection, button);
    driver_.Frames(10);  // the toolbar fades in
    ASSERT_EQ(TopId(), kMenuToolbar);
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
      ASSERT_TRUE(menu->FindKind<cButton>(CreateButton(type))->IsEnabled());
      driver_.Click(menu, CreateButton(type));
      ASSERT_NE(editor_->waterScene.engine, nullptr);
      EXPECT_TRUE(editor_->waterScene.engine->IsInitialised());
    });
  }

  // A live value: typed into the open engine menu, taken by the next frame.
  void ChangeTransparency(const char* text, float expected) {
    InMenu(EditorId::kToolbarEngineButton, editor_->EngineMenu(), [&](cMenu* menu) {
      driver_.Type(menu, EditorId::kGlobalTransparency, text);
      driver_.Frames(1);
      EXPECT_FLOAT_EQ(editor_->waterScene.engine->GetGlobalTransparency(), expected);
    });
  }

  std::wstring InformationText() const {
    const cTextarea* text = editor_->menus.info->FindKind<cTextarea>(EditorId::kInfoText);
    return text && text->GetText() ? text->GetText() : L"";
  }

  // The dialogs' buttons have no id: OK and cancel sit at fixed places.
  void ClickDialogOk() { driver_.ClickAt(-0.12f, -0.01f); }

  void Save(const std::string& name) {
    driver_.Click(editor_->menus.toolbar, EditorId::kToolbarSaveButton);
    driver_.Frames(8);
    ASSERT_EQ(TopId(), EditorId::kMenuSave);
    for (int i = 0; i < 12; ++i) driver_.Key(VK_BACK);  // the name box has the focus
    for (char c : name) driver_.Key(static_cast<WPARAM>(c >= 'a' ? c - 'a' + 'A' : c));
    ClickDialogOk();
    ASSERT_EQ(TopId(), EditorId::kMenuInfo);
  }

  void Load(const std::string& name) {
    driver_.Click(editor_->menus.toolbar, EditorId::kToolbarLoadButton);
    driver_.Frames(8);
    ASSERT_EQ(TopId(), EditorId::kMenuLoad);
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
    driver_.Click(editor_->menus.toolbar, EditorId::kToolbarNewButton);
    driver_.Frames(8);
    ClickDialogOk();
    ASSERT_EQ(TopId(), EditorId::kMenuEngineSelection);
  }

  void Exit() {
    driver_.Click(editor_->menus.toolbar, EditorId::kToolbarExitButton);
    driver_.Frames(8);
    ClickDialogOk();
    EXPECT_TRUE(editor_->IsQuitRequested());
  }

  static int CreateButton(int type) {
    using namespace EditorId;
    switch (type) {
      case ENGINE_FFP: return kCreateFFPEngineButton;
      case ENGINE_SM1: return kCreateSM1EngineButton;
      case ENGINE_SM2: return kCreateSM2EngineButton;
      default: return kCreateSM3EngineButton;
    }
  }

 private:
  cEditor* editor_;
  EditorDriver& driver_;
};
