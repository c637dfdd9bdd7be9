// IDirect3DVertexDeclaration9: the elements, without the closing D3DDECL_END.
#pragma once

#include <vector>

#include "platform/device/DeviceChild.h"

namespace platform {

class VertexDeclaration final : public DeviceChild<IDirect3DVertexDeclaration9> {
 public:
  VertexDeclaration(Device& device, std::vector<D3DVERTEXELEMENT9> elements);

  // Writes the elements and D3DDECL_END; `count` includes the end marker.
  // With `elements` null only the count is returned.
  HRESULT GetDeclaration(D3DVERTEXELEMENT9* elements, UINT* count) override;

  const std::vector<D3DVERTEXELEMENT9>& Elements() const { return elements_; }

 private:
  ~VertexDeclaration() override = default;

  std::vector<D3DVERTEXELEMENT9> elements_;
};

}  // namespace platform
