// Textures and meshes loaded once by file name and looked up by that name.
#pragma once

#include <vector>

#include "scene/iResource.h"

enum ResourceKind { RESOURCE_TEXTURE = 1, RESOURCE_MESH = 2 };

class cResourceCache {
 public:
  // Creates a D3DTexture (kind 1) or D3DMesh (kind 2), registered with the
  // resource manager, and loads it. A file that fails to load still gets its
  // entry (with a null texture or mesh). False for a null name or device or an
  // unknown kind.
  bool Load(const wchar_t* fileName, IDirect3DDevice9* device, int kind);
  // The first entry named exactly `fileName`, or null.
  iResource* Find(const wchar_t* fileName) const;
  // Loads `newName` into the texture entry named `oldName`; the entry keeps its
  // place and object and takes the new name. Only for textures (kind 1).
  bool Reload(IDirect3DDevice9* device, const wchar_t* oldName, const wchar_t* newName, int kind);

 private:
  std::vector<iResource*> entries;  // owned by the resource manager
};
