#include "scene/cResourceCache.h"

#include <cwchar>

#include "scene/D3DMesh.h"
#include "scene/D3DTexture.h"
#include "scene/cResourceManager.h"

bool cResourceCache::Load(const wchar_t* fileName, IDirect3DDevice9* device, int kind) {
  if (fileName == nullptr || device == nullptr) return false;
  iResource* resource = nullptr;
  if (kind == RESOURCE_TEXTURE) {
    resource = new D3DTexture(cResourceManager::Instance());
  } else if (kind == RESOURCE_MESH) {
    resource = new D3DMesh(cResourceManager::Instance());
  } else {
    return false;
  }
  // A missing file still gets an entry: its users draw without it.
  resource->Load(fileName, device);
  entries.push_back(resource);
  return true;
}

iResource* cResourceCache::Find(const wchar_t* fileName) const {
  if (fileName == nullptr) return nullptr;
  for (iResource* entry : entries) {
    const wchar_t* name = entry->GetFileName();
    if (name && std::wcscmp(name, fileName) == 0) return entry;
  }
  return nullptr;
}

bool cResourceCache::Reload(IDirect3DDevice9* device, const wchar_t* oldName, const wchar_t* newName, int kind) {
  if (kind != RESOURCE_TEXTURE || newName == nullptr) return false;
  auto* texture = dynamic_cast<D3DTexture*>(Find(oldName));
  return texture != nullptr && texture->Load(newName, device) == S_OK;
}
