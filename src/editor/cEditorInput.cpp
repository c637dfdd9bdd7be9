// The input step, the camera's part of the frame and the hint line.
#include <algorithm>
#include <cstdio>
#include <vector>

#include "gui/GUIKey.h"
#include "editor/Process.h"
#include "editor/cEditor.h"
#include "editor/EditorIds.h"
#include "gui/cGUIManager.h"

namespace {

constexpr float kMovementSpeed = 100.0f;  // units per second
constexpr float kFlySensitivity = 0.1f;   // degrees per pixel

constexpr const wchar_t* kFlyHint =
    L"FLY MODE engaged. Use mouse to rotate and W/A/S/D to move. Press 'TAB' to return to standard mode.";
constexpr const wchar_t* kStandardHint = L"To enter FLY MODE press TAB";

bool HasEditorMenuOnTop() {
  const cMenu* top = cGUIManager::Instance()->GetTopMenu();
  return top != nullptr && top->GetId() != EditorId::kMenuEngineSelection;
}

}  // namespace

void cEditor::Update() {
  ProcessInput();
  if (flyMode && camera) camera->MouseLook(kFlySensitivity);
  if (camera) camera->Apply(device);
  timers.frameRate.Tick();
  timers.movement.Tick();
  timers.simulation.Tick();
  UpdateComponentStatus();
  UpdatePipeline();
}

const D3DXMATRIX* cEditor::GetViewProjection() {
  if (camera) {
    viewProjection = *camera->GetView() * projection;
  } else {
    viewProjection = projection;
  }
  return &viewProjection;
}

D3DXVECTOR2 cEditor::CursorToGUI(POINT pixel) const {
  // A zero-sized mode or an unset projection maps everything to the centre.
  if (displayMode.Width == 0 || displayMode.Height == 0 || projection._11 == 0.0f || projection._22 == 0.0f) {
    return D3DXVECTOR2(0.0f, 0.0f);
  }
  const float width = static_cast<float>(displayMode.Width);
  const float height = static_cast<float>(displayMode.Height);
  const float x = (2.0f * static_cast<float>(pixel.x) / width - 1.0f) / projection._11;
  const float y = (2.0f * static_cast<float>(pixel.y) / height - 1.0f) * (-1.0f / projection._22);
  return D3DXVECTOR2(x, y);
}

bool cEditor::HasKey(unsigned code) const {
  return std::find(keyEvents.begin(), keyEvents.end(), code) != keyEvents.end();
}

bool cEditor::TakeKey(unsigned code) {
  const bool present = HasKey(code);
  RemoveKey(code);
  return present;
}

// Movement uses the previous frame's delta: the timers tick after the input step.
void cEditor::MoveCamera() {
  const float distance = timers.movement.delta * kMovementSpeed;
  if (HasKey(GUIKEY_FORWARD)) camera->MoveForward(distance);
  if (HasKey(GUIKEY_BACKWARD)) camera->MoveForward(-distance);
  if (HasKey(GUIKEY_RIGHT)) camera->MoveRight(distance);
  if (HasKey(GUIKEY_LEFT)) camera->MoveRight(-distance);
}

void cEditor::ProcessInput() {
  POINT cursor{0, 0};
  GetCursorPos(&cursor);
  // The full-screen window's client area starts at the screen origin.
  const D3DXVECTOR2 gui = CursorToGUI(cursor);
  // A full disk or a missing trace file must never stall the frame: errors are ignored.
  if (gTraceFile) {
    std::fprintf(gTraceFile, "screen:x:%f y:%f, camera:x:%f y:%f\n", static_cast<double>(cursor.x),
                 static_cast<double>(cursor.y), static_cast<double>(gui.x), static_cast<double>(gui.y));
  }
  cGUIManager* manager = cGUIManager::Instance();
  std::vector<TypedKey> typed;
  typed.swap(typedKeys);
  for (const TypedKey& key : typed) {
    if (key.code != 0) {
      manager->OnKey(key.code);
    } else {
      manager->OnChar(key.character);
    }
  }
  if (camera) MoveCamera();
  if (TakeKey(GUIKEY_TAB) && HasEditorMenuOnTop()) {
    flyMode = !flyMode;
    if (flyMode && camera) camera->BeginMouseLook();
  }
  if (TakeKey(GUIKEY_CLICK)) {
    if (!flyMode) manager->OnClick(gui.x, gui.y);
  } else if (HasKey(GUIKEY_PRESS)) {
    if (!flyMode) manager->OnPress(gui.x, gui.y);
  } else if (!flyMode) {
    manager->OnHover(gui.x, gui.y);
  }
}

void cEditor::UpdateHintText() {
  infoLine.DrawText();
  infoLine.SetVisible(false);
  infoLine.SetText(L" ");
  if (HasEditorMenuOnTop()) infoLine.SetText(flyMode ? kFlyHint : kStandardHint);
}
