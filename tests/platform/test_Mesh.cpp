#include <gtest/gtest.h>

#include <cmath>

#include "PlatformFixture.h"
#include "platform/d3dx/FileBytes.h"
#include "platform/d3dx/Mesh.h"
#include "platform/d3dx/XFileParser.h"

using platform::d3dx::MeshData;
using platform::d3dx::MeshVertex;
using platform::d3dx::XFileParser;
using platform::testing::GoldenCases;
using platform::testing::WriteFile;

namespace {

// Two meshes in nested frames: the outer frame moves by (10, 0, 0), the inner one scales by 2 first. The second mesh is
// a quad and reuses a named material.
const wchar_t* kTwoFrames = L"" TEST_DATA_DIR "/meshes/two_frames.x";

std::string TwoFrames() {
  std::string bytes;
  EXPECT_EQ(platform::d3dx::ReadFileBytes(TEST_DATA_DIR "/meshes/two_frames.x", 1 << 20, bytes), D3D_OK);
  return bytes;
}

MeshData ParseOk(const std::string& text) {
  MeshData mesh;
  std::string error;
  EXPECT_EQ(XFileParser::Parse(text, mesh, error), D3D_OK) << error;
  return mesh;
}

std::string ParseError(const std::string& text) {
  MeshData mesh;
  std::string error;
  EXPECT_EQ(XFileParser::Parse(text, mesh, error), D3DXERR_INVALIDDATA);
  EXPECT_FALSE(error.empty());
  return error;
}

std::tuple<float, float, float> Position(const MeshData& mesh, size_t vertex) {
  const float* p = mesh.vertices.at(vertex).position;
  return {p[0], p[1], p[2]};
}

class MeshTest : public platform::testing::PlatformFixture {
 protected:
  HRESULT Load(const std::string& path) { return Load(std::wstring(path.begin(), path.end()).c_str()); }
  HRESULT Load(const wchar_t* path) {
    if (materials_) materials_->Release();
    materials_ = nullptr;
    return D3DXLoadMeshFromXW(path, D3DXMESH_MANAGED, device, nullptr, &materials_, nullptr, &materialCount_, &mesh_);
  }
  void TearDown() override {
    if (mesh_) mesh_->Release();
    if (materials_) materials_->Release();
    PlatformFixture::TearDown();
  }
  std::vector<MeshVertex> Vertices() {
    void* data = nullptr;
    EXPECT_EQ(mesh_->LockVertexBuffer(D3DLOCK_READONLY, &data), D3D_OK);
    const auto* vertices = static_cast<const MeshVertex*>(data);
    std::vector<MeshVertex> copy(vertices, vertices + (vertices ? mesh_->GetNumVertices() : 0));
    EXPECT_EQ(mesh_->UnlockVertexBuffer(), D3D_OK);
    return copy;
  }
  template <class Index>
  std::vector<Index> Indices() {
    void* data = nullptr;
    EXPECT_EQ(mesh_->LockIndexBuffer(D3DLOCK_READONLY, &data), D3D_OK);
    const auto* indices = static_cast<const Index*>(data);
    std::vector<Index> copy(indices, indices + (indices ? mesh_->GetNumFaces() * 3 : 0));
    EXPECT_EQ(mesh_->UnlockIndexBuffer(), D3D_OK);
    return copy;
  }
  ID3DXMesh* mesh_ = nullptr;
  ID3DXBuffer* materials_ = nullptr;
  DWORD materialCount_ = 0;
  ScratchFolder dir_;
};

}  // namespace

TEST_F(MeshTest, LoadsFramesMaterialsAndTextureNames) {
  ASSERT_EQ(Load(kTwoFrames), D3D_OK);
  EXPECT_EQ(std::tuple(mesh_->GetFVF(), mesh_->GetNumBytesPerVertex(), mesh_->GetNumVertices(), mesh_->GetNumFaces(),
                       mesh_->GetOptions() & D3DXMESH_32BIT),
            std::tuple(DWORD{D3DFVF_XYZ | D3DFVF_NORMAL | D3DFVF_TEX1}, 32u, 7u, 4u, 0u));
  ASSERT_EQ(materialCount_, 3u);
  ASSERT_GE(materials_->GetBufferSize(), 3 * sizeof(D3DXMATERIAL));
  const auto* materials = static_cast<const D3DXMATERIAL*>(materials_->GetBufferPointer());
  EXPECT_EQ(materials[0].pTextureFilename, nullptr);
  ASSERT_NE(materials[1].pTextureFilename, nullptr);
  EXPECT_STREQ(materials[1].pTextureFilename, "sand.tga");
  const auto* begin = static_cast<const char*>(materials_->GetBufferPointer());
  EXPECT_GE(materials[1].pTextureFilename, begin);  // the name lives in the buffer
  EXPECT_LT(materials[1].pTextureFilename, begin + materials_->GetBufferSize());
  EXPECT_EQ(std::tuple(materials[1].MatD3D.Diffuse.r, materials[2].MatD3D.Power), std::tuple(0.8f, 4.0f));
}

TEST_F(MeshTest, FacesAreSortedSoEachSubsetIsOneDraw) {
  ASSERT_EQ(Load(kTwoFrames), D3D_OK);
  DWORD* attributes = nullptr;
  ASSERT_EQ(mesh_->LockAttributeBuffer(D3DLOCK_READONLY, &attributes), D3D_OK);
  EXPECT_EQ(std::vector<DWORD>(attributes, attributes + 4), (std::vector<DWORD>{0, 1, 2, 2}));
  ASSERT_EQ(mesh_->UnlockAttributeBuffer(), D3D_OK);
  EXPECT_EQ(Indices<uint16_t>(), (std::vector<uint16_t>{0, 2, 1, 3, 5, 4, 3, 4, 5, 3, 5, 6}));
  const auto* spy = SpyOn([&] {
    for (DWORD i = 0; i < materialCount_; ++i) ASSERT_EQ(mesh_->DrawSubset(i), D3D_OK);
    ASSERT_EQ(mesh_->DrawSubset(7), D3D_OK);  // no faces: nothing drawn
  });
  ASSERT_EQ(spy->calls.size(), 3u);
  const platform::DrawCall& quad = spy->calls[2];
  EXPECT_EQ(std::tuple(quad.indexed, quad.start, quad.primitiveCount, quad.minIndex, quad.vertexCount),
            std::tuple(true, 6u, 2u, 3u, 4u));
  EXPECT_EQ(std::tuple(spy->states[2].indices->indexFormat, spy->states[2].streams[0].stride),
            std::tuple(D3DFMT_INDEX16, 32u));
  EXPECT_EQ(platform::Recorded().draws[0].fvf, DWORD{D3DFVF_XYZ | D3DFVF_NORMAL | D3DFVF_TEX1});
}

TEST_F(MeshTest, AdjacencyLinksFacesSharingAnEdge) {
  ID3DXBuffer* adjacency = nullptr;
  ASSERT_EQ(D3DXLoadMeshFromXW(kTwoFrames, D3DXMESH_MANAGED, device, &adjacency, nullptr, nullptr, nullptr, &mesh_),
            D3D_OK);
  ASSERT_EQ(Keep(adjacency)->GetBufferSize(), 4 * 3 * sizeof(DWORD));
  const auto* neighbours = static_cast<const DWORD*>(adjacency->GetBufferPointer());
  constexpr DWORD kNone = 0xFFFFFFFFu;
  // The ground has none; the quad's two halves, (3, 4, 5) and (3, 5, 6), meet along 3-5, and the first face with edge
  // 3-5 reversed is the triangle (3, 5, 4).
  EXPECT_EQ(std::vector<DWORD>(neighbours, neighbours + 3), std::vector<DWORD>(3, kNone));
  EXPECT_EQ(std::tuple(neighbours[3 * 3 + 0], neighbours[3 * 3 + 1], neighbours[2 * 3 + 2]), std::tuple(2u, kNone, 1u));
}

TEST_F(MeshTest, BrokenFilesFailCleanly) {
  EXPECT_EQ(Load(dir_.File("missing.x")), D3DERR_NOTFOUND);
  EXPECT_EQ(mesh_, nullptr);
  // What the parser refuses, and why, is checked with the parser.
  for (const std::string& bytes : {std::string("xof 0303bin 0032\x0a\x00\x01", 19), std::string()}) {
    EXPECT_EQ(Load(WriteFile(dir_, "broken.x", bytes)), D3DXERR_INVALIDDATA) << bytes;
  }
  EXPECT_EQ(mesh_, nullptr);
  EXPECT_EQ(D3DXLoadMeshFromXW(kTwoFrames, 0, nullptr, nullptr, nullptr, nullptr, nullptr, &mesh_), D3DERR_INVALIDCALL);
}

TEST_F(MeshTest, LargeMeshesUseWideIndices) {
  MeshData data;
  data.vertices.resize(70000, MeshVertex{});
  data.indices = {0, 1, 69999};
  data.attributes = {0};
  data.materials.resize(1);
  ASSERT_EQ(platform::d3dx::Mesh::Create(device, data, D3DXMESH_MANAGED, &mesh_), D3D_OK);
  EXPECT_NE(mesh_->GetOptions() & D3DXMESH_32BIT, 0u);
  EXPECT_EQ(Indices<uint32_t>().at(2), 69999u);
  const auto* spy = SpyOn([&] { ASSERT_EQ(mesh_->DrawSubset(0), D3D_OK); });
  ASSERT_EQ(spy->calls.size(), 1u);
  EXPECT_EQ(std::tuple(spy->calls[0].vertexCount, spy->states[0].indices->indexFormat),
            std::tuple(70000u, D3DFMT_INDEX32));
}

TEST_F(MeshTest, ComputeNormalsSumsAreaWeightedFaceNormals) {
  // Face 0 (area 1/2) faces +y, face 1 (area 1) faces +z, face 2 is degenerate, vertex 5 is used by no face.
  MeshData data;
  const float corners[6][3] = {{0, 0, 0}, {1, 0, 0}, {0, 0, 1}, {0, 2, 0}, {2, 0, 0}, {5, 5, 5}};
  for (const auto& p : corners) data.vertices.push_back(MeshVertex{{p[0], p[1], p[2]}, {9, 9, 9}, {0, 0}});
  data.indices = {0, 2, 1, 0, 1, 3, 0, 1, 4};
  data.attributes = {0, 0, 0};
  data.materials.resize(1);
  ASSERT_EQ(platform::d3dx::Mesh::Create(device, data, D3DXMESH_MANAGED, &mesh_), D3D_OK);
  ASSERT_EQ(D3DXComputeNormals(mesh_, nullptr), D3D_OK);
  Indices<uint16_t>();  // locks again: both buffers were unlocked
  const std::vector<MeshVertex> vertices = Vertices();
  ASSERT_EQ(vertices.size(), 6u);
  const float s = 1.0f / std::sqrt(5.0f);
  // Vertex 4 is only in the degenerate face.
  const float expected[6][3] = {{0, s, 2 * s}, {0, s, 2 * s}, {0, 1, 0}, {0, 0, 1}, {0, 0, 0}, {0, 0, 0}};
  for (size_t v = 0; v < 6; ++v) {
    for (int c = 0; c < 3; ++c) EXPECT_NEAR(vertices[v].normal[c], expected[v][c], 1e-6f) << v << "," << c;
  }
  EXPECT_FLOAT_EQ(vertices[3].position[1], 2.0f);
}

TEST(XFileParser, FramesAreFlattenedPolygonsFannedAndMaterialsMerged) {
  const MeshData mesh = ParseOk(TwoFrames());
  ASSERT_EQ(mesh.vertices.size(), 7u);
  EXPECT_EQ(Position(mesh, 1), std::tuple(11.0f, 0.0f, 0.0f));  // outer frame only
  EXPECT_EQ(Position(mesh, 2), std::tuple(10.0f, 0.0f, 1.0f));
  EXPECT_EQ(Position(mesh, 3), std::tuple(10.0f, 1.0f, 0.0f));  // (0,0,0) * scale 2 + (0,1,0), then + (10,0,0)
  EXPECT_EQ(Position(mesh, 5), std::tuple(12.0f, 3.0f, 0.0f));  // (1,1,0)
  // The normal is normalised again after the scale.
  EXPECT_EQ(std::tuple(mesh.vertices[2].uv[1], mesh.vertices[4].normal[2]), std::tuple(1.0f, -1.0f));
  // Polygons are fanned and materials merged.
  EXPECT_EQ(mesh.indices, (std::vector<uint32_t>{0, 2, 1, 3, 4, 5, 3, 5, 6, 3, 5, 4}));
  EXPECT_EQ(mesh.attributes, (std::vector<DWORD>{0, 2, 2, 1}));
  ASSERT_EQ(mesh.materials.size(), 3u);
  const D3DMATERIAL9 &none = mesh.materials[0].material, &sand = mesh.materials[1].material;
  EXPECT_EQ(std::tuple(mesh.materials[0].texture, mesh.materials[1].texture), std::tuple("", "sand.tga"));
  EXPECT_EQ(std::tuple(none.Emissive.r, sand.Diffuse.g, sand.Power, sand.Specular.b),
            std::tuple(0.1f, 0.7f, 8.0f, 0.3f));
  EXPECT_FLOAT_EQ(mesh.materials[2].material.Diffuse.r, 0.5f);  // Rock, declared inside the first mesh
}

TEST(XFileParser, DefaultMaterialStrayBraceAndShortMaterialListAreAccepted) {
  const MeshData bare = ParseOk("xof 0303txt 0064\nMesh { 3; 0;0;0;, 1;0;0;, 0;1;0;; 1; 3;0,1,2;; }\n");
  ASSERT_EQ(bare.materials.size(), 1u);  // a default one
  EXPECT_FLOAT_EQ(bare.materials[0].material.Diffuse.a, 1.0f);
  EXPECT_EQ(bare.attributes, (std::vector<DWORD>{0}));
  // A stray brace after the last object is ignored.
  const MeshData stray = ParseOk("xof 0303txt 0032\nMesh { 3; 0;0;0;, +1;0;0;, 0;1;0;; 1; 3;0,1,2;; }\n}\n");
  EXPECT_EQ(stray.indices.size(), 3u);
  EXPECT_EQ(Position(stray, 1), std::tuple(1.0f, 0.0f, 0.0f));
  // A short material index list repeats the last.
  const MeshData shortList = ParseOk(
      "xof 0302txt 0032\nMesh { 4; 0;0;0;, 1;0;0;, 0;1;0;, 1;1;0;; 3; 3;0,1,2;, 3;1,3,2;, 3;0,1,3;;\n"
      " MeshMaterialList { 2; 2; 0, 1;; Material { 1;1;1;1;; 0; 0;0;0;; 0;0;0;; } Material { 0;0;0;1;; 0; 0;0;0;; "
      "0;0;0;; } } }");
  EXPECT_EQ(shortList.attributes, (std::vector<DWORD>{0, 1, 1}));
}

TEST(XFileParser, ForeignBinaryAndDamagedFilesFailWithAReason) {
  const std::pair<std::string, std::string> cases[] = {
      {"xof 0303bin 0032\x01\x02\x03", "only text .x files are read, this one is 'bin 0032'"},
      {"xof 0303tzip0032xxxx", "only text .x files are read, this one is 'tzip0032'"},
      {"xof 0303bzip0032xxxx", "only text .x files are read, this one is 'bzip0032'"},
      {"xof 0303txt 0016", "only text .x files are read, this one is 'txt 0016'"},
      {"xof 0999txt 0032\nMesh { 3; 0;0;0;, 1;0;0;, 0;1;0;; 1; 3;0,1,2;; }", "unknown .x format version '0999'"},
      {"PK\x03\x04 not a mesh at all", "not a .x file"},
      {"", "not a .x file"}};
  for (const auto& [text, reason] : cases) EXPECT_EQ(ParseError(text), reason);
  for (const auto& [text, reason] : GoldenCases("x-errors.txt")) {
    const std::string error = ParseError(text);
    EXPECT_EQ(error.rfind(reason, 0), 0u) << text << "  gave: " << error;
  }
}

TEST(XFileParser, EveryTruncationFailsCleanlyOrParsesWhatIsThere) {
  const std::string file = TwoFrames();
  for (size_t length = 0; length < file.size(); ++length) {
    MeshData mesh;
    std::string error;
    const HRESULT hr = XFileParser::Parse(file.substr(0, length), mesh, error);
    if (FAILED(hr)) {
      EXPECT_EQ(hr, D3DXERR_INVALIDDATA);
      EXPECT_FALSE(error.empty());
    } else {
      EXPECT_EQ(mesh.indices.size(), mesh.attributes.size() * 3);
    }
  }
}
