// Anything that holds Direct3D objects outside the water components. A resource
// registers with a resource manager when constructed; the manager runs device
// loss, reset, destruction and deletion for all of them.
#pragma once

#include <optional>
#include <string>

#include "platform/d3d9.h"

class cResourceManager;

class iResource {
 public:
  // Registers with `manager` (if not null), which then owns the resource.
  explicit iResource(cResourceManager* manager);
  virtual ~iResource() = default;
  iResource(const iResource&) = delete;
  iResource& operator=(const iResource&) = delete;

  virtual HRESULT Load(const wchar_t* fileName, IDirect3DDevice9* device);
  virtual void OnLostDevice() = 0;
  // Releases every device object.
  virtual void Destroy() = 0;
  virtual void OnResetDevice(IDirect3DDevice9* device) = 0;

  // Null until a file was loaded.
  const wchar_t* GetFileName() const { return fileName ? fileName->c_str() : nullptr; }

 protected:
  void SetFileName(const wchar_t* name);

 private:
  std::optional<std::wstring> fileName;
};
