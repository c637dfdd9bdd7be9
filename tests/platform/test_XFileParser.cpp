#include <gtest/gtest.h>

#include "platform/d3dx/FileBytes.h"
#include "platform/d3dx/XFileParser.h"

using platform::d3dx::MeshData;
using platform::d3dx::XFileParser;

namespace {

// Two meshes in nested frames: the outer frame moves by (10, 0, 0), the inner one
// scales by 2 first. The second mesh is a quad and reuses a named material.
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

}  // namespace

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

TEST(XFileParser, RefusesBinaryCompressedAndForeignFiles) {
  const std::pair<std::string, std::string> cases[] = {
      {"xof 0303bin 0032\x01\x02\x03", "only text .x files are read, this one is 'bin 0032'"},
      {"xof 0303tzip0032xxxx", "only text .x files are read, this one is 'tzip0032'"},
      {"xof 0303bzip0032xxxx", "only text .x files are read, this one is 'bzip0032'"},
      {"xof 0303txt 0016", "only text .x files are read, this one is 'txt 0016'"},
      {"xof 0999txt 0032\nMesh { 3; 0;0;0;, 1;0;0;, 0;1;0;; 1; 3;0,1,2;; }", "unknown .x format version '0999'"},
      {"PK\x03\x04 not a mesh at all", "not a .x file"},
      {"", "not a .x file"},
      {"xof 0303txt 0032\nHeader { 1; 0; 1; }\n", "the file holds no triangles"},
  };
  for (const auto& [bytes, error] : cases) EXPECT_EQ(ParseError(bytes), error);
}

TEST(XFileParser, DamagedContentFailsWithAReason) {
  const std::string header = "xof 0303txt 0032\n";
  const std::string triangle = "3; 0;0;0;, 1;0;0;, 0;1;0;; 1; 3;0,1,2;;";
  struct Case {
    std::string body;
    std::string reason;
  };
  const Case cases[] = {
      {"Mesh { 1000000000; 0;0;0;; }", "too many vertices"},
      {"Mesh { 3; 0;0;0;, 1;0;0;, 0;1;0;; 4000000000;", "too many faces"},
      {"Mesh { 3; 0;0;0;, 1;0;0;, 0;1;0;; 1; 3;0,1,7;; }", "face index 7 out of range"},
      {"Mesh { 3; 0;0;0;, 1;0;0;, 0;1;0;; 1; 2;0,1;; }", "a face needs at least three corners"},
      {"Mesh { 3; 0;0;zero;, 1;0;0;, 0;1;0;; 1; 3;0,1,2;; }", "expected a number"},
      {"Mesh { 3; 0;0;1e99;, 1;0;0;, 0;1;0;; 1; 3;0,1,2;; }", "bad number 1e99"},
      {"Mesh { " + triangle + " MeshTextureCoords { 2; 0;0;, 1;1;; } }", "MeshTextureCoords does not have"},
      {"Mesh { " + triangle + " MeshNormals { 1; 0;0;1;; 1; 3;0,0,5;; } }", "normal index 5 out of range"},
      {"Mesh { " + triangle + " MeshNormals { 1; 0;0;1;; 2; 3;0,0,0;, 3;0,0,0;; } }", "MeshNormals does not have"},
      {"Mesh { " + triangle + " MeshMaterialList { 1; 1; 3;; {Nothing} } }", "material index 3 out of range"},
      {"Mesh { " + triangle + " MeshMaterialList { 1; 1; 0;; {Nothing} } }", "unknown material Nothing"},
      {"Mesh { " + triangle + " MeshMaterialList { 2; 1; 0;; Material { 1;1;1;1;; 0; 0;0;0;; 0;0;0;; } } }",
       "the material list lacks materials"},
      {"Mesh { " + triangle + " MeshMaterialList { 1; 5; 0,0,0,0,0;; } }", "more material indexes than faces"},
      {"Mesh { " + triangle + " } } Mesh { " + triangle + " }", "unexpected '}'"},
      {"Mesh { 3; +-1;0;0;, 1;0;0;, 0;1;0;; 1; 3;0,1,2;; }", "bad number +-1"},
      {"Frame { FrameTransformMatrix { 1e30,0,0,0, 0,1,0,0, 0,0,1,0, 0,0,0,1;; } Mesh { 3; 1e10;0;0;, 1;0;0;, "
       "0;1;0;; 1; 3;0,1,2;; } }",
       "a vertex is not finite"},
      {"Mesh { " + triangle, "unexpected end of file"},
      {"Frame { Mesh { " + triangle +
           " MeshMaterialList { 1; 1; 0;; Material { 1;1;1;1;; 0; 0;0;0;; 0;0;0;; "
           "TextureFilename { \"never closed; } } } }",
       "unterminated string"},
      {[] {
         std::string frames;
         for (int i = 0; i < 200; ++i) frames += "Frame {";
         return frames;
       }(),
       "frames nested too deeply"},
  };
  for (const Case& c : cases) {
    const std::string error = ParseError(header + c.body);
    EXPECT_EQ(error.find(c.reason), 0u) << c.body << "\n  gave: " << error;
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
