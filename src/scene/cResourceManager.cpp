#include "scene/cResourceManager.h"

#include "scene/iResource.h"

cResourceManager* cResourceManager::Instance() {
  static cResourceManager* instance = new cResourceManager;
  return instance;
}

void cResourceManager::Register(iResource* resource) { resources.push_back(resource); }

void cResourceManager::SetDevice(IDirect3DDevice9* newDevice, D3DPRESENT_PARAMETERS* parameters) {
  device = newDevice;
  presentParameters = parameters;
}

HRESULT cResourceManager::TestCooperativeLevel() {
  return device ? device->TestCooperativeLevel() : S_OK;
}

HRESULT cResourceManager::Reset() {
  if (device == nullptr || presentParameters == nullptr) return D3DERR_INVALIDCALL;
  return device->Reset(presentParameters);
}

void cResourceManager::OnLostDeviceAll() {
  for (iResource* resource : resources) {
    if (resource) resource->OnLostDevice();
  }
}

void cResourceManager::DestroyAll() {
  for (iResource* resource : resources) {
    if (resource) resource->Destroy();
  }
}

void cResourceManager::OnResetDeviceAll() {
  for (iResource* resource : resources) {
    if (resource) resource->OnResetDevice(device);
  }
}

void cResourceManager::DeleteAll() {
  for (iResource* resource : resources) delete resource;
  resources.clear();
}
