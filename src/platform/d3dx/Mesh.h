// ID3DXMesh on device vertex and index buffers: position, normal and one
// texture coordinate per vertex, faces sorted by attribute so a subset is one
// indexed draw.
#pragma once

#include <vector>

#include "platform/d3dx/XFileParser.h"

namespace platform::d3dx {

class Mesh : public ID3DXMesh {
 public:
  static constexpr DWORD kFVF = D3DFVF_XYZ | D3DFVF_NORMAL | D3DFVF_TEX1;

  // `data` must have its faces sorted by attribute already (SortByAttribute).
  static HRESULT Create(IDirect3DDevice9* device, const MeshData& data, DWORD options, ID3DXMesh** mesh);
  // Stable: faces of one material keep their order.
  static void SortByAttribute(MeshData& data);

  HRESULT DrawSubset(DWORD attribute) override;
  DWORD GetNumFaces() override { return static_cast<DWORD>(attributes_.size()); }
  DWORD GetNumVertices() override { return vertexCount_; }
  DWORD GetFVF() override { return kFVF; }
  DWORD GetNumBytesPerVertex() override { return sizeof(MeshVertex); }
  DWORD GetOptions() override { return options_; }
  HRESULT LockVertexBuffer(DWORD flags, void** data) override;
  HRESULT UnlockVertexBuffer() override;
  HRESULT LockIndexBuffer(DWORD flags, void** data) override;
  HRESULT UnlockIndexBuffer() override;
  HRESULT LockAttributeBuffer(DWORD flags, DWORD** data) override;
  HRESULT UnlockAttributeBuffer() override;

 private:
  // A run of faces with one attribute and the vertices they use.
  struct Run {
    DWORD attribute;
    UINT firstFace, faceCount;
    UINT minVertex, vertexCount;
  };

  Mesh(IDirect3DDevice9* device, DWORD options, UINT vertexCount, std::vector<DWORD> attributes);
  ~Mesh() override;
  HRESULT Fill(const MeshData& data);
  HRESULT FindRuns();
  bool Wide() const { return (options_ & D3DXMESH_32BIT) != 0; }

  IDirect3DDevice9* device_;
  DWORD options_;
  UINT vertexCount_;
  std::vector<DWORD> attributes_;
  std::vector<Run> runs_;
  IDirect3DVertexBuffer9* vertices_ = nullptr;
  IDirect3DIndexBuffer9* indices_ = nullptr;
};

}  // namespace platform::d3dx
