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

cMenu* cEditor::Menus::*const kMenuFields[] = {
    &cEditor::Menus::selection, &cEditor::Menus::toolbar,   &cEditor::Menus::heightmap, &cEditor::Menus::normalmap,
    &cEditor::Menus::geometry,  &cEditor::Menus::ffpEngine, &cEditor::Menus::sm1Engine, &cEditor::Menus::sm2Engine,
    &cEditor::Menus::sm3Engine, &cEditor::Menus::newState,  &cEditor::Menus::exit,      &cEditor::Menus::settings,
    &cEditor::Menus::save,      &cEditor::Menus::load,      &cEditor::Menus::info,
};

}  // namespace

cMenu* cEditor::FindMenu(int menuId) const {
  for (cMenu* menu : AllMenus()) {
    if (menu->GetId() == menuId) return menu;
  }
  return nullptr;
}

std::vector<cMenu*> cEditor::AllMenus() const {
  std::vector<cMenu*> built;
  for (cMenu* Menus::*field : kMenuFields) {
    if (menus.*field) built.push_back(menus.*field);
  }
  return built;
}

void cEditor::DeleteMenus() {
  for (cMenu* Menus::*field : kMenuFields) {
    delete (menus.*field);
    menus.*field = nullptr;
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
