// Building the editor's menus once each, and the lists and images that depend
// on the engine, the display modes and the save folder.
#include <cstring>
#include <cwchar>
#include <string>

#include "base/AppPaths.h"
#include "editor/cEditor.h"
#include "settings/TypeIds.h"
#include "editor/EditorIds.h"
#include "editor/MenuTables.h"
#include "editor/MenuValues.h"
#include "editor/cMenuBuilder.h"
#include "gui/cGUIManager.h"
#include "gui/cWindow.h"
#include "platform/Utf8.h"
#include "platform/win32.h"

void EditorGUIEvent(int eventId, iGUIComponent* source);

namespace {

using namespace EditorId;

constexpr size_t kExtensionLength = 4;  // ".txt"

struct EngineMenuSlot {
  int engineType;
  int menuId;
  cMenu* cEditor::Menus::*field;
  const wchar_t* icon;
};
constexpr EngineMenuSlot kEngineMenus[] = {
    {ENGINE_FFP, kMenuFFPEngine, &cEditor::Menus::ffpEngine, L"data/gui/ffp_idle.tga"},
    {ENGINE_SM1, kMenuSM1Engine, &cEditor::Menus::sm1Engine, L"data/gui/Sm1_idle.tga"},
    {ENGINE_SM2, kMenuSM2Engine, &cEditor::Menus::sm2Engine, L"data/gui/sm2_idle.tga"},
    {ENGINE_SM3, kMenuSM3Engine, &cEditor::Menus::sm3Engine, L"data/gui/Sm3_idle.tga"},
};

const EngineMenuSlot* EngineSlot(int engineType) {
  for (const EngineMenuSlot& slot : kEngineMenus) {
    if (slot.engineType == engineType) return &slot;
  }
  return nullptr;
}

// The geometry kinds by item number: 1 simple, 2 geomipmap, 3 radial. The
// shader model 3 engine only draws the radial grid.
std::vector<const wchar_t*> GeometryItems(int engineType) {
  if (engineType == ENGINE_SM3) return {L"n/a", L"n/a", L"Radial grid"};
  return {L"Simple N*N grid", L"Geomipmap grid", L"Radial grid"};
}

// The load-list text of a save file's name: without ".txt"; false for names
// that are not ".txt" files or not valid UTF-8 (they could not be opened again).
bool SaveNameOf(const WIN32_FIND_DATAA& data, std::wstring* name) {
  if (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) return false;
  const size_t length = std::strlen(data.cFileName);
  if (length <= kExtensionLength || std::strcmp(data.cFileName + length - kExtensionLength, ".txt") != 0) return false;
  if (!platform::WideFromUtf8(data.cFileName, name)) return false;
  name->resize(name->size() - kExtensionLength);
  return true;
}

}  // namespace

cMenu* cEditor::EngineMenu() const {
  const EngineMenuSlot* slot = EngineSlot(engineType);
  return slot ? menus.*(slot->field) : nullptr;
}

bool cEditor::BuildMenu(cMenu*& menu, int menuId, const std::vector<MenuRow>& rows) {
  if (menu != nullptr) return false;
  menu = new cMenu(menuId, EditorGUIEvent);
  cMenuBuilder(resourceCache, smallFont).AddRows(menu, rows);
  for (int group : GroupsHiddenAfterBuild(menuId)) menu->SetGroupVisible(group, false);
  return true;
}

void cEditor::BuildMenus() {
  BuildMenu(menus.newState, kMenuNewState, NewStateRows());
  if (BuildMenu(menus.load, kMenuLoad, LoadRows())) FillLoadList();
  if (BuildMenu(menus.save, kMenuSave, SaveRows())) {
    if (cEditbox* name = FindEditbox(menus.save, kSaveName)) name->SetEditable(true);
  }
  BuildMenu(menus.info, kMenuInfo, InfoRows());
  BuildMenu(menus.exit, kMenuExit, ExitRows());
  BuildMenu(menus.toolbar, kMenuToolbar, ToolbarRows());
  if (BuildMenu(menus.settings, kMenuSettings, SettingsRows())) FillResolutionList();
  if (const EngineMenuSlot* slot = EngineSlot(engineType)) {
    BuildMenu(menus.*(slot->field), slot->menuId, EngineRows(engineType));
  }
  BuildMenu(menus.geometry, kMenuGeometry, GeometryRows());
  BuildMenu(menus.normalmap, kMenuNormalmap, NormalmapRows());
  BuildMenu(menus.heightmap, kMenuHeightmap, HeightmapRows());
  RefreshEngineItems();
  cGUIManager::Instance()->PushMenu(menus.toolbar, true);
}

void cEditor::RefreshEngineItems() {
  if (cCombobox* list = FindCombobox(menus.geometry, kGeometryTypeList)) {
    list->ClearItems();
    for (const wchar_t* item : GeometryItems(engineType)) list->AddItem(item);
  }
  const EngineMenuSlot* slot = EngineSlot(engineType);
  cWindow* icon = menus.toolbar ? menus.toolbar->FindKind<cWindow>(kToolbarEngineIcon) : nullptr;
  if (icon && slot) icon->SetImage(cMenuBuilder(resourceCache, smallFont).Image(slot->icon));
}

void cEditor::FillLoadList() {
  cCombobox* list = FindCombobox(menus.load, kLoadList);
  if (list == nullptr) return;
  list->Reset();
  list->ClearItems();
  WIN32_FIND_DATAA data{};
  HANDLE search = FindFirstFileA(SaveFilePattern().c_str(), &data);
  if (search == INVALID_HANDLE_VALUE) return;
  do {
    std::wstring name;
    if (SaveNameOf(data, &name)) list->AddItem(name.c_str());
  } while (FindNextFileA(search, &data));
  FindClose(search);
}

void cEditor::FillResolutionList() {
  cCombobox* list = FindCombobox(menus.settings, kResolutionList);
  if (list == nullptr) return;
  for (const D3DDISPLAYMODE& mode : displayModes) {
    wchar_t item[64];
    std::swprintf(item, std::size(item), L"%ix%ix%i hz", static_cast<int>(mode.Width), static_cast<int>(mode.Height),
                  static_cast<int>(mode.RefreshRate));
    list->AddItem(item);
  }
}
