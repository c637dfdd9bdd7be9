#include <gtest/gtest.h>

#include <string>

#include "SceneTest.h"
#include "scene/D3DMesh.h"

namespace {

using D3DMeshTest = SceneTest;

// quad.x names one texture by a path from its own folder up to data/meshes, and one that does not exist.
TEST_F(D3DMeshTest, JoinsTextureNamesToTheMeshFolderSkipsMissingOnesAndDrawsNothingWithoutAFile) {
  auto* mesh = new D3DMesh(manager);
  EXPECT_EQ(mesh->Load(L"" TEST_DATA_DIR "/scene/quad.x", device), S_OK);
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
  auto* island = new D3DMesh(manager);  // both textures load from the mesh's folder
  ASSERT_EQ(island->Load(L"data/meshes/island.x", device), S_OK);
  ASSERT_EQ(island->materialCount, 2u);
  ASSERT_EQ(device->BeginScene(), S_OK);
  D3DXMATRIX wvp;
  D3DXMatrixTranslation(&wvp, 1.0f, 2.0f, 3.0f);
  ASSERT_TRUE(island->RenderLit(D3DXVECTOR3(100, 200, 300), wvp, false, D3DXVECTOR3(0.1f, 0.2f, 0.3f)));
  const auto& record = platform::Recorded();
  EXPECT_EQ(record.techniques, std::vector<std::string>{"vsLighting"});
  EXPECT_EQ(ParameterValues("gSunLightPos"), (std::vector<float>{1.0f, 100.0f, 200.0f, 300.0f}));
  EXPECT_EQ(ParameterValues("ambientLight"), (std::vector<float>{0.1f, 0.2f, 0.3f}));
  EXPECT_EQ(ParameterValues("matWorldViewProject").at(12), 1.0f);
  const auto textures = ParameterRecords("defaultTexture");
  ASSERT_EQ(textures.size(), 2u);
  EXPECT_EQ(std::tuple(textures[0]->texture, textures[1]->texture),
            std::tuple(island->textures[0], island->textures[1]));
  EXPECT_NE(island->textures[1], nullptr);
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
  ASSERT_TRUE(island->RenderFixed(device, *D3DXMatrixTranslation(&world, 5.0f, 0.0f, 0.0f)));
  const auto& draws = platform::Recorded().draws;
  ASSERT_EQ(draws.size(), 2u);
  EXPECT_EQ(std::tuple(draws[0].effect, draws[0].textures[0], draws[1].textures[0]),
            std::tuple(std::string(), island->textures[0], island->textures[1]));
  DWORD u = 0, v = 0;
  device->GetSamplerState(0, D3DSAMP_ADDRESSU, &u);
  device->GetSamplerState(0, D3DSAMP_ADDRESSV, &v);
  D3DMATRIX set;
  device->GetTransform(D3DTS_WORLD, &set);
  EXPECT_EQ(std::tuple(u, v, set._41), std::tuple(DWORD{D3DTADDRESS_CLAMP}, DWORD{D3DTADDRESS_CLAMP}, 5.0f));
}

}  // namespace
