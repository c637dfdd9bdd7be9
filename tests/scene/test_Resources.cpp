// The resource manager and cache, and the mesh and font as their resources.
#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <string>
#include <vector>

#include "RecordingResource.h"
#include "SceneTest.h"
#include "scene/D3DMesh.h"
#include "scene/D3DTexture.h"
#include "scene/cFont.h"
#include "scene/cResourceCache.h"

namespace {

using Log = std::vector<std::string>;
using ResourcesTest = SceneTest;

// Losing and resetting through the manager is walked by tests/editor (FrameTest); without a
// device nothing is lost and nothing resets.
TEST_F(ResourcesTest, RunsEveryOperationInRegistrationOrderAndNoneWithoutADevice) {
  Log log;
  auto* a = new RecordingResource("a", &log, manager);
  new RecordingResource("b", &log, manager);
  manager->Register(nullptr);  // skipped by every operation
  new RecordingResource("c", &log, manager);
  manager->OnLostDeviceAll();
  manager->OnResetDeviceAll();
  EXPECT_EQ(a->resetDevice, device);
  manager->DestroyAll();
  manager->DeleteAll();
  EXPECT_EQ(log, (Log{"a:lost", "b:lost", "c:lost", "a:reset", "b:reset", "c:reset", "a:destroy", "b:destroy",
                      "c:destroy", "a:delete", "b:delete", "c:delete"}));
  EXPECT_TRUE(manager->GetResources().empty());
  manager->SetDevice(nullptr, nullptr);
  EXPECT_EQ(manager->TestCooperativeLevel(), S_OK);
  EXPECT_TRUE(FAILED(manager->Reset()));
}

TEST_F(ResourcesTest, CacheRefusesBadArgumentsAndKeepsEntriesByExactNameEvenWhenLoadingFails) {
  cResourceCache cache;
  const wchar_t* sand = L"data/meshes/sand.tga";
  EXPECT_FALSE(cache.Load(nullptr, device, RESOURCE_TEXTURE));
  EXPECT_FALSE(cache.Load(sand, nullptr, RESOURCE_TEXTURE));
  for (int kind : {0, 3}) EXPECT_FALSE(cache.Load(sand, device, kind));
  EXPECT_TRUE(manager->GetResources().empty());
  EXPECT_EQ(cache.Find(nullptr), nullptr);
  ASSERT_TRUE(cache.Load(sand, device, RESOURCE_TEXTURE));
  ASSERT_TRUE(cache.Load(L"data/missing.tga", device, RESOURCE_TEXTURE));
  ASSERT_TRUE(cache.Load(L"data/meshes/island.x", device, RESOURCE_MESH));
  EXPECT_EQ(manager->GetResources().size(), 3u);
  for (auto [name, loaded] : {std::pair{sand, true}, {L"data/missing.tga", false}}) {
    auto* entry = dynamic_cast<D3DTexture*>(cache.Find(name));
    ASSERT_NE(entry, nullptr);
    EXPECT_EQ(entry->texture != nullptr, loaded);
  }
  EXPECT_NE(dynamic_cast<D3DMesh*>(cache.Find(L"data/meshes/island.x")), nullptr);
  EXPECT_EQ(cache.Find(L"data/meshes/SAND.tga"), nullptr);
}

TEST_F(ResourcesTest, CacheReloadKeepsATextureEntryUnderItsNewName) {
  cResourceCache cache;
  const wchar_t *sand = L"data/meshes/sand.tga", *grass = L"data/meshes/grass.tga";
  ASSERT_TRUE(cache.Load(sand, device, RESOURCE_TEXTURE));
  ASSERT_TRUE(cache.Load(L"data/meshes/island.x", device, RESOURCE_MESH));
  iResource* entry = cache.Find(sand);
  EXPECT_FALSE(cache.Reload(device, L"data/unknown.tga", grass, RESOURCE_TEXTURE));
  EXPECT_FALSE(cache.Reload(device, sand, grass, RESOURCE_MESH));
  EXPECT_FALSE(cache.Reload(device, L"data/meshes/island.x", grass, RESOURCE_TEXTURE));
  EXPECT_EQ(cache.Find(sand), entry);
  ASSERT_TRUE(cache.Reload(device, sand, grass, RESOURCE_TEXTURE));
  EXPECT_EQ(std::pair(cache.Find(sand), cache.Find(grass)), std::pair(static_cast<iResource*>(nullptr), entry));
  EXPECT_NE(static_cast<D3DTexture*>(entry)->texture, nullptr);
  EXPECT_EQ(manager->GetResources().size(), 2u);
}

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

class cFontTest : public SceneTest {
 protected:
  void SetProjection(float p11, float p22) {
    D3DMATRIX projection{};
    projection._11 = p11;
    projection._22 = p22;
    projection._33 = 1.0f;
    projection._34 = 1.0f;
    device->SetTransform(D3DTS_PROJECTION, &projection);
  }
  const platform::TextRecord& LastText() { return platform::Recorded().texts.back(); }
  // Left, top, right, bottom of the last text.
  std::array<LONG, 4> LastRect() {
    const RECT& r = LastText().rect;
    return {r.left, r.top, r.right, r.bottom};
  }
};

TEST_F(cFontTest, DrawsWithItsHeightAndFaceInThePixelRectangle) {
  auto* font = new cFont(device, 13, L"arial", manager);
  font->DrawText(L"fps:0.0", 60, 10, 200, 70, DT_WORDBREAK, 0xFFFFFFFF);
  ASSERT_EQ(platform::Recorded().texts.size(), 1u);
  EXPECT_EQ(std::tuple(LastText().text, LastText().fontHeight, LastText().face, LastText().format, LastText().color),
            std::tuple(std::wstring(L"fps:0.0"), 13, std::wstring(L"arial"), DWORD{DT_WORDBREAK}, 0xFFFFFFFFu));
  EXPECT_EQ(LastRect(), (std::array<LONG, 4>{10, 60, 70, 200}));
  ASSERT_TRUE(font->Create(device, 17, L"tahoma"));
  font->DrawText(L"x", 0, 0, 10, 10, 0, 0xFF000000);
  EXPECT_EQ(std::tuple(LastText().fontHeight, LastText().face), std::tuple(17, std::wstring(L"tahoma")));
  auto* missing = new cFont(nullptr, 13, L"arial", manager);  // no device: draws nothing
  missing->DrawText(L"x", 0, 0, 10, 10, 0, 0xFFFFFFFF);
  missing->DrawTextGUI(L"x", 0, 0, 1, 1, 0, 0xFFFFFFFF);
  EXPECT_EQ(platform::Recorded().texts.size(), 2u);
}

TEST_F(cFontTest, ConvertsGUICoordinatesWithTheCapturedProjectionAndDisplayModeAndSaturates) {
  SetProjection(0.5f, 0.75f);
  auto* font = new cFont(device, 16, L"arial", manager);
  font->DrawTextGUI(L"gui", 0.0f, -1.0f, -1.0f, 1.0f, 0, 0xFFFFFFFF);
  // Columns (x * P11 + 1) * 1024 / 2, rows 768 / 2 - 768 * P22 * y / 2.
  EXPECT_EQ(LastRect(), (std::array<LONG, 4>{256, 384, 768, 672}));
  SetProjection(0.3f, 1.9f);  // recaptured on reset; values truncate
  font->OnResetDevice(device);
  font->DrawTextGUI(L"gui", 0.0f, 0.1f, 0.2f, 0.0f, 0, 0xFFFFFFFF);
  EXPECT_EQ(std::tuple(LastText().rect.left, LastText().rect.bottom), std::tuple(527, 238));  // 527.36, 238.08
  parameters.BackBufferWidth = 800;
  parameters.BackBufferHeight = 600;
  manager->OnLostDeviceAll();
  ASSERT_EQ(manager->Reset(), S_OK);
  SetProjection(1.0f, 1.0f);
  manager->OnResetDeviceAll();
  font->DrawTextGUI(L"gui", 0.0f, 1.0f, 0.0f, 1.0f, 0, 0xFFFFFFFF);
  EXPECT_EQ(std::tuple(LastText().rect.top, LastText().rect.left), std::tuple(300, 800));
  // Beyond the int range the pixels saturate.
  font->DrawTextGUI(L"gui", 1e30f, -1e30f, -1e30f, 1e30f, DT_WORDBREAK | DT_CENTER | DT_VCENTER, 0xFFFFFFFF);
  EXPECT_EQ(LastRect(), (std::array<LONG, 4>{INT32_MIN, INT32_MIN, 2147483520, 2147483520}));
  font->DrawTextGUI(L"gui", NAN, NAN, NAN, NAN, 0, 0xFFFFFFFF);
  EXPECT_EQ(LastRect(), (std::array<LONG, 4>{0, 0, 0, 0}));
}

}  // namespace
