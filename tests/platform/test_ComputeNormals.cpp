#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "platform/d3dx/XFileParser.h"

using platform::d3dx::MeshVertex;

namespace {

// Just enough of a mesh for D3DXComputeNormals: CPU arrays behind the locks.
class FakeMesh : public ID3DXMesh {
 public:
  FakeMesh(std::vector<MeshVertex> vertices, std::vector<uint16_t> indices)
      : vertices_(std::move(vertices)), indices_(std::move(indices)) {}
  ~FakeMesh() override = default;
  HRESULT DrawSubset(DWORD) override { return D3D_OK; }
  DWORD GetNumFaces() override { return static_cast<DWORD>(indices_.size() / 3); }
  DWORD GetNumVertices() override { return static_cast<DWORD>(vertices_.size()); }
  DWORD GetFVF() override { return D3DFVF_XYZ | D3DFVF_NORMAL | D3DFVF_TEX1; }
  DWORD GetNumBytesPerVertex() override { return sizeof(MeshVertex); }
  DWORD GetOptions() override { return D3DXMESH_MANAGED; }
  HRESULT LockVertexBuffer(DWORD, void** data) override { return Lock(vertices_.data(), data); }
  HRESULT UnlockVertexBuffer() override { return Unlock(); }
  HRESULT LockIndexBuffer(DWORD, void** data) override { return Lock(indices_.data(), data); }
  HRESULT UnlockIndexBuffer() override { return Unlock(); }
  HRESULT LockAttributeBuffer(DWORD, DWORD**) override { return E_NOTIMPL; }
  HRESULT UnlockAttributeBuffer() override { return E_NOTIMPL; }

  const MeshVertex& Vertex(size_t i) const { return vertices_[i]; }
  int locks = 0;

 private:
  HRESULT Lock(void* memory, void** data) {
    ++locks;
    *data = memory;
    return D3D_OK;
  }
  HRESULT Unlock() { return locks-- > 0 ? D3D_OK : D3DERR_INVALIDCALL; }

  std::vector<MeshVertex> vertices_;
  std::vector<uint16_t> indices_;
};

MeshVertex At(float x, float y, float z) { return MeshVertex{{x, y, z}, {9, 9, 9}, {0, 0}}; }

void ExpectNormal(const MeshVertex& vertex, float x, float y, float z) {
  EXPECT_NEAR(vertex.normal[0], x, 1e-6f);
  EXPECT_NEAR(vertex.normal[1], y, 1e-6f);
  EXPECT_NEAR(vertex.normal[2], z, 1e-6f);
}

}  // namespace

TEST(ComputeNormals, SumsAreaWeightedFaceNormals) {
  // Face 0 (area 1/2) faces +y, face 1 (area 1) faces +z, face 2 is degenerate,
  // vertex 5 is used by no face.
  FakeMesh mesh({At(0, 0, 0), At(1, 0, 0), At(0, 0, 1), At(0, 2, 0), At(2, 0, 0), At(5, 5, 5)},
                {0, 2, 1, 0, 1, 3, 0, 1, 4});
  ASSERT_EQ(D3DXComputeNormals(&mesh, nullptr), D3D_OK);
  EXPECT_EQ(mesh.locks, 0);
  const float s = 1.0f / std::sqrt(5.0f);
  ExpectNormal(mesh.Vertex(0), 0, s, 2 * s);
  ExpectNormal(mesh.Vertex(1), 0, s, 2 * s);
  ExpectNormal(mesh.Vertex(2), 0, 1, 0);
  ExpectNormal(mesh.Vertex(3), 0, 0, 1);
  ExpectNormal(mesh.Vertex(4), 0, 0, 0);  // only in the degenerate face
  ExpectNormal(mesh.Vertex(5), 0, 0, 0);
  EXPECT_FLOAT_EQ(mesh.Vertex(3).position[1], 2.0f);
}
