#include "editor/Process.h"

#include "editor/cEditor.h"
#include "gui/cGUIManager.h"
#include "scene/cResourceManager.h"

HINSTANCE gInstance = nullptr;
HWND gWindow = nullptr;
FILE* gTraceFile = nullptr;

void Shutdown() {
  cGUIManager::Shutdown();
  cResourceManager* manager = cResourceManager::Instance();
  manager->DestroyAll();
  manager->DeleteAll();
  manager->SetDevice(nullptr, nullptr);
  cEditor::DeleteInstance();
  CloseTraceFile();
}

void CloseTraceFile() {
  if (gTraceFile) std::fclose(gTraceFile);
  gTraceFile = nullptr;
}
