#include "platform/device/VertexDeclaration.h"

namespace platform {

VertexDeclaration::VertexDeclaration(Device& device, std::vector<D3DVERTEXELEMENT9> elements)
    : DeviceChild(device, D3DPOOL_MANAGED, false), elements_(std::move(elements)) {}

HRESULT VertexDeclaration::GetDeclaration(D3DVERTEXELEMENT9* elements, UINT* count) {
  if (!count) return D3DERR_INVALIDCALL;
  *count = static_cast<UINT>(elements_.size() + 1);
  if (!elements) return D3D_OK;
  for (size_t i = 0; i < elements_.size(); ++i) elements[i] = elements_[i];
  elements[elements_.size()] = D3DDECL_END();
  return D3D_OK;
}

}  // namespace platform
