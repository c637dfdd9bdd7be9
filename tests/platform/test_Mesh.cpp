#include <gtest/gtest.h>

#include <cstring>

#include "HeadlessDevice.h"
#include "ImageFiles.h"
#include "SpyBackend.h"
#include "platform/d3dx/Mesh.h"

using platform::d3dx::MeshVertex;

namespace {

const wchar_t* kTwoFrames = L"" TEST_DATA_DIR "/meshes/two_frames.x";

class MeshTest : public platform::testing::HeadlessDevice {
 protected:
  HRESULT Load(const std::wstring& path, DWORD options = D3DXMESH_MANAGED) {
    if (materials_) materials_->Release();
    materials_ = nullptr;
    return D3DXLoadMeshFromXW(path.c_str(), options, device, nullptr, &materials_, nullptr, &materialCount_, &mesh_);
  }
  void TearDown() override {
    if (mesh_) mesh_->Release();
    if (materials_) materials_->Release();
    HeadlessDevice::TearDown();
  }
  std::wstring Wide(const std::string& path) { return std::wstring(path.begin(), path.end()); }

  ID3DXMesh* mesh_ = nullptr;
  ID3DXBuffer* materials_ = nullptr;
  DWORD materialCount_ = 0;
  test_images::TempDir dir_{"mesh-test"};
};

}  // namespace

TEST_F(MeshTest, LoadsFramesMaterialsAndTextureNames) {
  ASSERT_EQ(Load(kTwoFrames), D3D_OK);
  EXPECT_EQ(mesh_->GetFVF(), D3DFVF_XYZ | D3DFVF_NORMAL | D3DFVF_TEX1);
  EXPECT_EQ(mesh_->GetNumBytesPerVertex(), 32u);
  EXPECT_EQ(mesh_->GetNumVertices(), 7u);
  EXPECT_EQ(mesh_->GetNumFaces(), 4u);
  EXPECT_EQ(mesh_->GetOptions() & D3DXMESH_32BIT, 0u);
  ASSERT_EQ(materialCount_, 3u);
  ASSERT_GE(materials_->GetBufferSize(), 3 * sizeof(D3DXMATERIAL));
  const auto* materials = static_cast<const D3DXMATERIAL*>(materials_->GetBufferPointer());
  EXPECT_EQ(materials[0].pTextureFilename, nullptr);
  ASSERT_NE(materials[1].pTextureFilename, nullptr);
  EXPECT_STREQ(materials[1].pTextureFilename, "sand.tga");
  const auto* begin = static_cast<const char*>(materials_->GetBufferPointer());
  EXPECT_GE(materials[1].pTextureFilename, begin);  // the name lives in the buffer
  EXPECT_LT(materials[1].pTextureFilename, begin + materials_->GetBufferSize());
  EXPECT_FLOAT_EQ(materials[1].MatD3D.Diffuse.r, 0.8f);
  EXPECT_FLOAT_EQ(materials[2].MatD3D.Power, 4.0f);

  void* data = nullptr;
  ASSERT_EQ(mesh_->LockVertexBuffer(D3DLOCK_READONLY, &data), D3D_OK);
  const auto* vertices = static_cast<const MeshVertex*>(data);
  EXPECT_FLOAT_EQ(vertices[5].position[0], 12.0f);  // both frame transforms applied
  EXPECT_FLOAT_EQ(vertices[5].position[1], 3.0f);
  ASSERT_EQ(mesh_->UnlockVertexBuffer(), D3D_OK);
}

TEST_F(MeshTest, FacesAreSortedSoEachSubsetIsOneDraw) {
  ASSERT_EQ(Load(kTwoFrames), D3D_OK);
  DWORD* attributes = nullptr;
  ASSERT_EQ(mesh_->LockAttributeBuffer(D3DLOCK_READONLY, &attributes), D3D_OK);
  EXPECT_EQ(std::vector<DWORD>(attributes, attributes + 4), (std::vector<DWORD>{0, 1, 2, 2}));
  ASSERT_EQ(mesh_->UnlockAttributeBuffer(), D3D_OK);
  void* data = nullptr;
  ASSERT_EQ(mesh_->LockIndexBuffer(D3DLOCK_READONLY, &data), D3D_OK);
  const auto* indices = static_cast<const uint16_t*>(data);
  EXPECT_EQ(std::vector<uint16_t>(indices, indices + 12), (std::vector<uint16_t>{0, 2, 1, 3, 5, 4, 3, 4, 5, 3, 5, 6}));
  ASSERT_EQ(mesh_->UnlockIndexBuffer(), D3D_OK);

  platform::testing::SpyBackend* spy = platform::testing::InstallSpy();
  ASSERT_EQ(device->BeginScene(), D3D_OK);
  for (DWORD i = 0; i < materialCount_; ++i) ASSERT_EQ(mesh_->DrawSubset(i), D3D_OK);
  ASSERT_EQ(mesh_->DrawSubset(7), D3D_OK);  // no faces: nothing drawn
  ASSERT_EQ(device->EndScene(), D3D_OK);
  ASSERT_EQ(spy->calls.size(), 3u);
  const platform::DrawCall& quad = spy->calls[2];
  EXPECT_TRUE(quad.indexed);
  EXPECT_EQ(quad.start, 6u);
  EXPECT_EQ(quad.primitiveCount, 2u);
  EXPECT_EQ(quad.minIndex, 3u);
  EXPECT_EQ(quad.vertexCount, 4u);
  EXPECT_EQ(spy->states[2].indices->indexFormat, D3DFMT_INDEX16);
  EXPECT_EQ(spy->states[2].streams[0].stride, 32u);
  EXPECT_EQ(platform::Recorded().draws[0].fvf, D3DFVF_XYZ | D3DFVF_NORMAL | D3DFVF_TEX1);
}

TEST_F(MeshTest, ComputeNormalsOnALoadedMesh) {
  ASSERT_EQ(Load(kTwoFrames), D3D_OK);
  ASSERT_EQ(D3DXComputeNormals(mesh_, nullptr), D3D_OK);
  void* data = nullptr;
  ASSERT_EQ(mesh_->LockVertexBuffer(0, &data), D3D_OK);
  const auto* vertices = static_cast<const MeshVertex*>(data);
  // The ground triangle (0, 2, 1) lies in y = 0 and faces up.
  EXPECT_FLOAT_EQ(vertices[0].normal[1], 1.0f);
  EXPECT_FLOAT_EQ(vertices[1].normal[1], 1.0f);
  ASSERT_EQ(mesh_->UnlockVertexBuffer(), D3D_OK);
}

TEST_F(MeshTest, AdjacencyLinksFacesSharingAnEdge) {
  ID3DXBuffer* adjacency = nullptr;
  ASSERT_EQ(D3DXLoadMeshFromXW(kTwoFrames, D3DXMESH_MANAGED, device, &adjacency, nullptr, nullptr, nullptr, &mesh_),
            D3D_OK);
  ASSERT_EQ(adjacency->GetBufferSize(), 4 * 3 * sizeof(DWORD));
  const auto* neighbours = static_cast<const DWORD*>(adjacency->GetBufferPointer());
  EXPECT_EQ(std::vector<DWORD>(neighbours, neighbours + 3), std::vector<DWORD>(3, 0xFFFFFFFFu));  // the ground
  // The quad's two halves, (3, 4, 5) and (3, 5, 6), meet along 3-5.
  EXPECT_EQ(neighbours[3 * 3 + 0], 2u);
  EXPECT_EQ(neighbours[3 * 3 + 1], 0xFFFFFFFFu);
  EXPECT_EQ(neighbours[2 * 3 + 2], 1u);  // the first face with edge 3-5 reversed: the triangle (3, 5, 4)
  adjacency->Release();
}

TEST_F(MeshTest, BrokenFilesFailCleanly) {
  EXPECT_EQ(Load(Wide(dir_.Path("missing.x"))), D3DERR_NOTFOUND);
  EXPECT_EQ(mesh_, nullptr);
  EXPECT_EQ(Load(Wide(dir_.Write("binary.x", std::string("xof 0303bin 0032\x0a\x00\x01", 19)))), D3DXERR_INVALIDDATA);
  EXPECT_EQ(Load(Wide(dir_.Write("zip.x", "xof 0303tzip0032\x01\x02"))), D3DXERR_INVALIDDATA);
  EXPECT_EQ(Load(Wide(dir_.Write("cut.x", "xof 0303txt 0032\nMesh { 3; 0;0;0;, 1;0;"))), D3DXERR_INVALIDDATA);
  EXPECT_EQ(Load(Wide(dir_.Write("count.x", "xof 0303txt 0032\nMesh { 99999999; 0;0;0;; 1; 3;0,0,0;; }"))),
            D3DXERR_INVALIDDATA);
  EXPECT_EQ(Load(Wide(dir_.Write("empty.x", ""))), D3DXERR_INVALIDDATA);
  EXPECT_EQ(mesh_, nullptr);
  EXPECT_EQ(D3DXLoadMeshFromXW(kTwoFrames, 0, nullptr, nullptr, nullptr, nullptr, nullptr, &mesh_), D3DERR_INVALIDCALL);
}

TEST_F(MeshTest, LargeMeshesUseWideIndices) {
  platform::d3dx::MeshData data;
  data.vertices.resize(70000, MeshVertex{});
  data.indices = {0, 1, 69999};
  data.attributes = {0};
  data.materials.resize(1);
  ASSERT_EQ(platform::d3dx::Mesh::Create(device, data, D3DXMESH_MANAGED, &mesh_), D3D_OK);
  EXPECT_NE(mesh_->GetOptions() & D3DXMESH_32BIT, 0u);
  void* indices = nullptr;
  ASSERT_EQ(mesh_->LockIndexBuffer(D3DLOCK_READONLY, &indices), D3D_OK);
  EXPECT_EQ(static_cast<const uint32_t*>(indices)[2], 69999u);
  ASSERT_EQ(mesh_->UnlockIndexBuffer(), D3D_OK);
  platform::testing::SpyBackend* spy = platform::testing::InstallSpy();
  ASSERT_EQ(device->BeginScene(), D3D_OK);
  ASSERT_EQ(mesh_->DrawSubset(0), D3D_OK);
  ASSERT_EQ(device->EndScene(), D3D_OK);
  ASSERT_EQ(spy->calls.size(), 1u);
  EXPECT_EQ(spy->calls[0].vertexCount, 70000u);
  EXPECT_EQ(spy->states[0].indices->indexFormat, D3DFMT_INDEX32);
}
