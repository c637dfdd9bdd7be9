// The GUI side of the frame and the dispatch of GUI events.
#include "editor/cEditor.h"
#include "settings/TypeIds.h"
#include "editor/EditorIds.h"
#include "gui/cGUIManager.h"
#include "gui/cSpriteContainer.h"
#include "platform/PassTiming.h"

void EditorGUIEvent(int eventId, iGUIComponent* source) { cEditor::Instance()->OnGUIEvent(eventId, source); }

void cEditor::OnGUIEvent(int eventId, iGUIComponent* /*source*/) {
  if (eventId < EditorId::kFirstEvent || eventId > EditorId::kLastEvent) return;
  if (!OnSelectionEvent(eventId)) OnEditorCommand(eventId);
}

namespace {

cMenu* cEditor::*const kMenuFields[] = {
    &cEditor::selectionMenu, &cEditor::toolbarMenu,   &cEditor::heightmapMenu, &cEditor::normalmapMenu,
    &cEditor::geometryMenu,  &cEditor::ffpEngineMenu, &cEditor::sm1EngineMenu, &cEditor::sm2EngineMenu,
    &cEditor::sm3EngineMenu, &cEditor::newStateMenu,  &cEditor::exitMenu,      &cEditor::settingsMenu,
    &cEditor::saveMenu,      &cEditor::loadMenu,      &cEditor::infoMenu,
};

}  // namespace

cMenu* cEditor::FindMenu(int menuId) const {
  for (cMenu* menu : AllMenus()) {
    if (menu->GetId() == menuId) return menu;
  }
  return nullptr;
}

std::vector<cMenu*> cEditor::AllMenus() const {
  std::vector<cMenu*> menus;
  for (cMenu* cEditor::*field : kMenuFields) {
    if (this->*field) menus.push_back(this->*field);
  }
  return menus;
}

void cEditor::DeleteMenus() {
  for (cMenu* cEditor::*field : kMenuFields) {
    delete (this->*field);
    this->*field = nullptr;
  }
}

void cEditor::RenderScene() {
  const cMenu* top = cGUIManager::Instance()->GetTopMenu();
  if (top) {
    if (top->GetId() == EditorId::kMenuEngineSelection) {
      device->Clear(0, nullptr, D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER, 0xFF000000, 1.0f, 0);
    } else {
      RenderWaterScene();
    }
    SetDeviceStates();
  }
  platform::BeginPass("gui");
  UpdatePreviews();
  DrawGUI();
  UpdateHintText();
}

void cEditor::DrawGUI() {
  if (spriteContainer == nullptr || camera == nullptr) return;
  const D3DXMATRIX* view = camera->GetView();
  cGUIManager::Instance()->Render(device, spriteContainer, &camera->position, view);
}
