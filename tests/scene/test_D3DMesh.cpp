#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <string>

#include "SceneTest.h"
#include "scene/D3DMesh.h"

namespace {

namespace fs = std::filesystem;

// Two triangles, one material with a texture beside the mesh, one whose texture is missing.
constexpr const char* kTwoMaterialMesh = R"(xof 0303txt 0032
Material Found { 1.0;0.5;0.25;1.0;; 0.0; 0.0;0.0;0.0;; 0.0;0.0;0.0;; TextureFilename { "found.tga"; } }
Material Lost { 0.2;0.4;0.6;1.0;; 0.0; 0.0;0.0;0.0;; 0.0;0.0;0.0;; TextureFilename { "lost.tga"; } }
Mesh Quad {
 4;
 0.0;0.0;0.0;, 0.0;0.0;1.0;, 1.0;0.0;0.0;, 1.0;0.0;1.0;;
 2;
 3;0,1,2;, 3;2,1,3;;
 MeshTextureCoords { 4; 0.0;0.0;, 0.0;1.0;, 1.0;0.0;, 1.0;1.0;; }
 MeshMaterialList { 2; 2; 0, 1; {Found} {Lost} }
}
)";

class D3DMeshTest : public SceneTest {
 protected:
  // The island with both of its textures, loaded from the mesh's folder, inside a scene.
  D3DMesh* LoadIsland() {
    auto* mesh = new D3DMesh(manager);
    EXPECT_EQ(mesh->Load(L"data/meshes/island.x", device), S_OK);
    EXPECT_NE(mesh->effect, nullptr);
    EXPECT_EQ(mesh->materialCount, 2u);
    for (DWORD i = 0; i < mesh->materialCount; ++i) EXPECT_NE(mesh->textures[i], nullptr) << "material " << i;
    EXPECT_EQ(device->BeginScene(), S_OK);
    platform::Recorded().Clear();
    return mesh;
  }
};

TEST_F(D3DMeshTest, JoinsTextureNamesToTheMeshFolderSkipsMissingOnesAndDrawsNothingWithoutAFile) {
  const fs::path folder = fs::temp_directory_path() / ("d3dmesh_test_" + std::to_string(::getpid()));
  fs::create_directories(folder);
  fs::copy_file("data/meshes/sand.tga", folder / "found.tga", fs::copy_options::overwrite_existing);
  std::ofstream(folder / "quad.x") << kTwoMaterialMesh;
  auto* mesh = new D3DMesh(manager);
  EXPECT_EQ(mesh->Load((folder / "quad.x").wstring().c_str(), device), S_OK);
  fs::remove_all(folder);

  ASSERT_EQ(mesh->materialCount, 2u);
  EXPECT_NE(mesh->textures[0], nullptr);
  EXPECT_EQ(mesh->textures[1], nullptr);
  // The ambient colour follows the diffuse one.
  EXPECT_EQ(std::tuple(mesh->materials[0].Ambient.g, mesh->materials[1].Ambient.b), std::tuple(0.5f, 0.6f));

  auto* missing = new D3DMesh(manager);  // a missing file leaves nothing to draw
  EXPECT_TRUE(FAILED(missing->Load(L"data/meshes/none.x", device)));
  EXPECT_EQ(missing->mesh, nullptr);
  EXPECT_FALSE(missing->DrawSubsets());
  EXPECT_FALSE(missing->RenderFixed(device, D3DXMATRIX()));
  EXPECT_FALSE(missing->RenderLit(D3DXVECTOR3(1, 1, 1), D3DXMATRIX(), false, D3DXVECTOR3(0, 0, 0)));
  EXPECT_TRUE(platform::Recorded().draws.empty());
}

TEST_F(D3DMeshTest, RenderLitSetsTheLightingContractAndRenderFixedClampsAfterDrawing) {
  D3DMesh* island = LoadIsland();
  D3DXMATRIX wvp;
  D3DXMatrixTranslation(&wvp, 1.0f, 2.0f, 3.0f);
  ASSERT_TRUE(island->RenderLit(D3DXVECTOR3(100, 200, 300), wvp, false, D3DXVECTOR3(0.1f, 0.2f, 0.3f)));
  const auto& record = platform::Recorded();
  EXPECT_EQ(record.techniques, std::vector<std::string>{"vsLighting"});
  EXPECT_EQ(ParameterValues("gSunLightPos"), (std::vector<float>{1.0f, 100.0f, 200.0f, 300.0f}));
  EXPECT_EQ(ParameterValues("ambientLight"), (std::vector<float>{0.1f, 0.2f, 0.3f}));
  ASSERT_EQ(ParameterValues("matWorldViewProject").size(), 16u);
  EXPECT_EQ(ParameterValues("matWorldViewProject")[12], 1.0f);
  const auto textures = ParameterRecords("defaultTexture");
  ASSERT_EQ(textures.size(), 2u);
  EXPECT_EQ(std::tuple(textures[0]->texture, textures[1]->texture),
            std::tuple(island->textures[0], island->textures[1]));
  ASSERT_EQ(record.draws.size(), 2u);
  EXPECT_EQ(std::tuple(record.draws[0].effect, record.draws[1].technique),
            std::tuple(std::string("shaders/d3dmesh.fx"), std::string("vsLighting")));

  platform::Recorded().Clear();
  ASSERT_TRUE(island->RenderLitDepth(D3DXVECTOR3(100, 100, 100), D3DXMATRIX(), true, D3DXVECTOR3(0.1f, 0.1f, 0.1f),
                                     -2.0f, 70.0f));
  EXPECT_EQ(record.techniques, std::vector<std::string>{"psLighting_withDepthTransparency"});
  EXPECT_EQ(ParameterValues("planeYPos"), std::vector<float>{-2.0f});
  EXPECT_EQ(ParameterValues("depthLimit"), std::vector<float>{1.0f / 70.0f});
  EXPECT_EQ(record.draws.size(), 2u);
  ASSERT_TRUE(island->RenderLitDepth(D3DXVECTOR3(1, 1, 1), D3DXMATRIX(), false, D3DXVECTOR3(0, 0, 0), 0, 1));
  EXPECT_EQ(record.techniques.back(), "vsLighting_withDepthTransparency");

  platform::Recorded().Clear();  // the fixed path wraps while drawing, then clamps
  D3DXMATRIX world;
  D3DXMatrixTranslation(&world, 5.0f, 0.0f, 0.0f);
  ASSERT_TRUE(island->RenderFixed(device, world));
  const auto& draws = platform::Recorded().draws;
  ASSERT_EQ(draws.size(), 2u);
  EXPECT_EQ(draws[0].effect, "");
  EXPECT_EQ(std::tuple(draws[0].textures[0], draws[1].textures[0]),
            std::tuple(island->textures[0], island->textures[1]));
  DWORD u = 0, v = 0;
  device->GetSamplerState(0, D3DSAMP_ADDRESSU, &u);
  device->GetSamplerState(0, D3DSAMP_ADDRESSV, &v);
  D3DMATRIX set;
  device->GetTransform(D3DTS_WORLD, &set);
  EXPECT_EQ(std::tuple(u, v, set._41), std::tuple(DWORD{D3DTADDRESS_CLAMP}, DWORD{D3DTADDRESS_CLAMP}, 5.0f));
}

}  // namespace
