// The editor started on a headless device with an engine chosen, its menus
// built and the toolbar on top; commands are given as the menus give them.
#pragma once

#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "EditorTest.h"
#include "EditorDriver.h"
#include "settings/TypeIds.h"
#include "editor/EditorIds.h"
#include "editor/MenuValues.h"
#include "gui/cButton.h"
#include "gui/cGUIManager.h"
#include "gui/cTextarea.h"

class EditorSession : public EditorTest {
 protected:
  void StartWith(int type) {
    Start();
    driver = std::make_unique<EditorDriver>(editor, window, true);
    driver->Frames(1);
    Command(ChooseEvent(type));
    driver->Frames(1);
  }

  static int ChooseEvent(int type) {
    switch (type) {
      case ENGINE_SM1: return EditorId::kEventChooseSM1;
      case ENGINE_SM2: return EditorId::kEventChooseSM2;
      case ENGINE_SM3: return EditorId::kEventChooseSM3;
      default: return EditorId::kEventChooseFFP;
    }
  }

  void Command(int eventId) { editor->OnGUIEvent(eventId, nullptr); }

  void Open(cMenu* menu) { cGUIManager::Instance()->PushMenu(menu, false); }
  const cMenu* Top() const { return cGUIManager::Instance()->GetTopMenu(); }
  int TopId() const { return Top() ? Top()->GetId() : 0; }

  // Sets a value as a typed one would end up, without the keys.
  static void Write(cMenu* menu, int id, const wchar_t* text) {
    if (cEditbox* box = FindEditbox(menu, id)) box->SetText(text);
  }
  static void Check(cMenu* menu, int id, bool checked) {
    if (cCheckbox* box = FindCheckbox(menu, id)) box->SetChecked(checked ? 1 : 0);
  }
  // Selects a list item and reports the pick, as a click on the row does.
  void Pick(cMenu* menu, int listId, int item, int eventId) {
    if (cCombobox* list = FindCombobox(menu, listId)) list->Select(item);
    if (eventId != 0) Command(eventId);
  }

  static bool ButtonEnabled(const cMenu* menu, int id) {
    const cButton* button = menu ? menu->FindKind<cButton>(id) : nullptr;
    return button != nullptr && button->IsEnabled();
  }
  static bool Shown(const cMenu* menu, int id) {
    const iGUIComponent* control = menu ? menu->Find(id) : nullptr;
    return control != nullptr && control->IsVisible();
  }
  // Whether the group's components show (all of them share the flag).
  static bool GroupShown(const cMenu* menu, int group) {
    if (!menu) return false;
    for (const auto& component : menu->Components()) {
      if (component->GetGroup() == group) return component->IsVisible();
    }
    return false;
  }
  static std::wstring Text(const cMenu* menu, int id) {
    const cTextarea* area = menu ? menu->FindKind<cTextarea>(id) : nullptr;
    return area && area->GetText() ? area->GetText() : L"";
  }
  static std::wstring BoxText(const cMenu* menu, int id) {
    const cEditbox* box = FindEditbox(menu, id);
    return box && box->GetText() ? box->GetText() : L"";
  }
  std::wstring InfoLine() const { return editor->infoLine.GetText() ? editor->infoLine.GetText() : L""; }

  // The heightmap, normal map and geometry an engine needs, from the menus' defaults.
  void CreatePerlinHeightmap() {
    Pick(editor->menus.heightmap, EditorId::kHeightmapResolutionList, 4, 0);
    Pick(editor->menus.heightmap, EditorId::kHeightmapModelList, 1, EditorId::kEventHeightmapModelPicked);
    Command(EditorId::kEventCreatePerlin);
  }
  void CreateFFTHeightmap() {
    Pick(editor->menus.heightmap, EditorId::kHeightmapResolutionList, 4, 0);
    Pick(editor->menus.heightmap, EditorId::kHeightmapModelList, 2, EditorId::kEventHeightmapModelPicked);
    Command(EditorId::kEventCreateFFT);
  }
  void CreateNormalmap(int item) {
    Pick(editor->menus.normalmap, EditorId::kNormalmapMethodList, item, EditorId::kEventNormalmapMethodPicked);
    Pick(editor->menus.normalmap, EditorId::kFilteringList, 1, EditorId::kEventFilteringPicked);
    Command(EditorId::kEventCreateNormalmap);
  }
  void CreateGeometry(int item) {
    Pick(editor->menus.geometry, EditorId::kGeometryTypeList, item, EditorId::kEventGeometryTypePicked);
    Command(EditorId::kEventCreateGeometry);
  }

  std::unique_ptr<EditorDriver> driver;
};
