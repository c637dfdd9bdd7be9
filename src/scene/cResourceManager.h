// The registry of every resource, in registration order. It drives device loss,
// reset and final destruction for all of them and owns them until DeleteAll.
#pragma once

#include <vector>

#include "platform/d3d9.h"

class iResource;

class cResourceManager {
 public:
  // The single manager, created on first use and kept for the whole process.
  static cResourceManager* Instance();

  void Register(iResource* resource);
  // `parameters` stay owned by the caller and are used by Reset.
  void SetDevice(IDirect3DDevice9* device, D3DPRESENT_PARAMETERS* parameters);
  IDirect3DDevice9* GetDevice() const { return device; }

  // The device's cooperative level; S_OK while no device is set.
  HRESULT TestCooperativeLevel();
  HRESULT Reset();

  void OnLostDeviceAll();
  void DestroyAll();
  void OnResetDeviceAll();
  // Deletes every resource and empties the registry.
  void DeleteAll();

  const std::vector<iResource*>& GetResources() const { return resources; }

 private:
  std::vector<iResource*> resources;
  IDirect3DDevice9* device = nullptr;
  D3DPRESENT_PARAMETERS* presentParameters = nullptr;
};
