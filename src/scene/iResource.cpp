#include "scene/iResource.h"

#include "scene/cResourceManager.h"

iResource::iResource(cResourceManager* manager) {
  if (manager != nullptr) manager->Register(this);
}

HRESULT iResource::Load(const wchar_t*, IDirect3DDevice9*) { return S_OK; }

void iResource::SetFileName(const wchar_t* name) {
  if (name == nullptr) {
    fileName.reset();
  } else {
    fileName = name;
  }
}
