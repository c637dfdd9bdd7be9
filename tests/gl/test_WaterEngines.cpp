// The four water engines on the OpenGL backend over an FFT ocean with reflection and refraction images of known
// colours, then each in a whole editor frame with the sky, the island and every pass.
#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdlib>
#include <functional>
#include <memory>
#include <string>
#include <thread>

#include "GLTest.h"
#include "normalmap/cNormalmapFDRaw.h"
#include "support/DefaultScene.h"

namespace gltest {
namespace {

constexpr UINT kWidth = 320, kHeight = 240;
constexpr D3DCOLOR kSky = 0xFFB4CDE6;
constexpr D3DCOLOR kBackground = 0xFFFF00FF;  // behind the water: shows where it is transparent

class WaterEngineGL : public GLDeviceTest {
 protected:
  WaterEngineGL() { backWidth_ = kWidth, backHeight_ = kHeight; }
  void SetUp() override {
    GLDeviceTest::SetUp();
    if (NotStarted()) return;
    ASSERT_EQ(device_->SetRenderState(D3DRS_CULLMODE, D3DCULL_CCW), D3D_OK);
    const D3DXVECTOR2 wind(8.0f, 3.0f);
    ASSERT_TRUE(heightmap_.Initialize(128, 64, &wind, 4.0f, 17));
    ASSERT_TRUE(heightmap_.Update(3.0f));
    ASSERT_TRUE(heightmap_.WriteTexture(device_));
    ASSERT_TRUE(normalmap_.SetSource(&heightmap_));
    normalmap_.SetAmplitude(6.0f);
    ASSERT_TRUE(normalmap_.Compute());
    ASSERT_TRUE(normalmap_.WriteTexture(d3d_, device_));
    ASSERT_EQ(D3DXCreateTextureFromFileA(device_, "data/misc/foam.tga", &foam_), D3D_OK);
    Own(foam_);
    const D3DXVECTOR3 at(0.0f, 0.0f, 80.0f), up(0.0f, 1.0f, 0.0f);
    D3DXMatrixLookAtLH(&view_, &eye_, &at, &up);
    D3DXMatrixPerspectiveFovLH(&projection_, D3DX_PI / 3.0f, static_cast<float>(kWidth) / kHeight, 1.0f, 5000.0f);
  }
  // A sky seen in the water: pale at the horizon (top rows), deeper blue below, with a few clouds.
  IDirect3DTexture9* SkyReflection() {
    std::vector<D3DCOLOR> texels;
    for (int y = 0; y < 64; ++y)
      for (int x = 0; x < 64; ++x) {
        const float t = y / 63.0f;
        const float cloud = std::max(0.0f, std::sin(x * 0.3f + y * 0.11f) * std::sin(y * 0.45f) - 0.55f) * 2.0f;
        const auto mix = [&](float a, float b) {
          return static_cast<DWORD>(std::min(255.0f, a + (b - a) * t + cloud * 120.0f));
        };
        texels.push_back(D3DCOLOR_XRGB(mix(210, 40), mix(225, 95), mix(235, 160)));
      }
    return MakeTexture(64, 64, texels);
  }
  std::unique_ptr<iWaterEngine> MakeEngine(int typeId) {
    std::unique_ptr<iWaterEngine> engine = scene_support::MakeEngine(typeId);
    if (typeId == ENGINE_SM3) {
      // The editor's default disc, its texture coordinates scaled so the waves have the simple grid's size.
      EXPECT_TRUE(
          radial_.Create(2000.0f, 192, 1.0f, 1.01f, 300.0f, D3DXVECTOR2(26.0f, 26.0f), D3DXVECTOR3(0, 0, 0), device_));
      engine->SetGeometry(&radial_);
    } else {
      EXPECT_TRUE(
          grid_.Create(600.0f, 600.0f, 160, 160, D3DXVECTOR2(4.0f, 4.0f), D3DXVECTOR3(0.0f, 0.0f, 240.0f), device_));
      engine->SetGeometry(&grid_);
    }
    engine->SetNormalmap(&normalmap_);
    EXPECT_TRUE(engine->CheckCaps(d3d_, device_));
    EXPECT_TRUE(engine->Init(d3d_, device_, 0.08f, 400.0f, 0.0f));
    if (auto* perPixel = dynamic_cast<cPerPixelWaterEngine*>(engine.get()))
      perPixel->SetNormalmapTexture(normalmap_.GetTexture());
    if (auto* sm3 = dynamic_cast<cWaterEngineSM3*>(engine.get())) sm3->SetHeightmapTexture(heightmap_.GetTexture());
    return engine;
  }
  void Waves(bool on) { ASSERT_TRUE(grid_.Extrude(&heightmap_, on ? 3.0f : 0.0f, 4.0f, 4.0f)); }
  // Clears to `background` and draws the water once; keeps the pixels.
  void Draw(iWaterEngine& engine, D3DCOLOR background = kSky) {
    Clear(background);
    ASSERT_EQ(device_->SetTransform(D3DTS_VIEW, &view_), D3D_OK);
    ASSERT_EQ(device_->SetTransform(D3DTS_PROJECTION, &projection_), D3D_OK);
    ASSERT_TRUE(engine.Render(device_, &view_, &projection_, &eye_));
    ReadBack();
  }
  // Pixels of the lower half (all water) for which `test` holds.
  int CountWater(const std::function<bool(Rgb)>& test) const {
    return frame_.Count(0, kHeight / 2, kWidth, kHeight, test);
  }
  cFFTHeightmap heightmap_;
  cNormalmapFDRaw normalmap_;
  cSimpleGrid grid_;
  cRadialGrid radial_;
  IDirect3DTexture9* foam_ = nullptr;
  D3DXMATRIX view_, projection_;
  D3DXVECTOR3 eye_{0.0f, 14.0f, -60.0f};
};

// Each engine over the same ocean: how it blends its images, and what foam, sun glint, shallow water and extrusion add
// where the engine has them; one screenshot each.
class EachWaterEngine : public WaterEngineGL, public ::testing::WithParamInterface<int> {};

TEST_P(EachWaterEngine, BlendsTowardReflectionAtGrazingAnglesAndShowsFoamGlintAndShallows) {
  const int typeId = GetParam();
  auto engine = MakeEngine(typeId);
  auto* shader = dynamic_cast<cShaderWaterEngine*>(engine.get());
  auto* lit = dynamic_cast<cPerPixelWaterEngine*>(engine.get());
  auto* sm3 = dynamic_cast<cWaterEngineSM3*>(engine.get());
  const D3DCOLOR bright = 0xFFF0F0F0, dark = 0xFF102838;
  engine->SetReflectionTexture(Solid(bright));
  engine->SetRefractionTexture(Solid(dark));
  for (bool waves : {false, true}) {
    if (!sm3) Waves(waves);
    Draw(*engine);
    // Close below the camera the water is mostly refraction; near the horizon mostly reflection.
    const Rgb near = frame_.Mean(kHeight - 20, kHeight), far = frame_.Mean(kHeight / 2 + 10, kHeight / 2 + 30);
    EXPECT_LT(near.Sum(), far.Sum()) << "waves " << waves;
    EXPECT_GT(near.Sum(), 0x10 + 0x28 + 0x38 - 6);
    EXPECT_LT(far.Sum(), 3 * 0xF0 + 6);
    EXPECT_EQ(CountWater([](const Rgb& c) { return c.Sum() < 0x10 + 0x28 + 0x38 - 12; }), 0) << "black pixels";
  }
  if (!sm3) Waves(false);
  // Muted images over a background that shows where the water is transparent.
  engine->SetReflectionTexture(Solid(0xFF405060));
  engine->SetRefractionTexture(Solid(0xFF203040));
  const auto whitish = [](const Rgb& c) { return c.Sum() > 500; };
  const auto glint = [](const Rgb& c) { return c.Sum() > 600; };
  const auto background = [](const Rgb& c) { return c.r > 120 && c.b > 120 && c.g < 60; };
  Draw(*engine, kBackground);
  EXPECT_EQ(CountWater(whitish), 0);
  EXPECT_EQ(CountWater(background), 0);
  if (shader) {
    shader->SetFoam(foam_, heightmap_.GetTexture(), 0.5f, 3.0f, 6.0f, 0.1f, 0.0f, 2000.0f);
    Draw(*engine);
    EXPECT_GT(CountWater(whitish), 50) << "foam whitens the crests";
    shader->DisableFoam();
  }
  if (lit) {
    // Low in front of the camera: its reflection lies on the water ahead.
    lit->SetSunlight(0xFFFFF0D0, 200.0f, 10.0f, D3DXVECTOR3(0.0f, 300.0f, 3000.0f));
    Draw(*engine);
    EXPECT_GT(CountWater(glint), 20) << "the sun glints";
    lit->DisableSunlight();
    // Every channel saturate(1 - depth below the plane / range): 0.6 is fairly shallow.
    lit->SetDepth(Solid(0xFF999999), 1.0f, 0.0f);
    Draw(*engine, kBackground);
    const Rgb mean = frame_.Mean(kHeight / 2, kHeight);
    EXPECT_GT(mean.r, mean.g + 40) << "the background shows through the shallows";
    lit->SetDepth(Solid(0x00000000), 1.0f, 1.0f);
    Draw(*engine, kBackground);
    EXPECT_EQ(CountWater(background), 0) << "deep water stays opaque";
    lit->DisableDepth();
  }
  if (sm3) {  // the extrusion moves at least 5% of the pixels, from byte heights and from float ones
    engine->SetReflectionTexture(SkyReflection());
    engine->SetRefractionTexture(Solid(0xFF183C46));
    Draw(*engine);
    const std::vector<uint8_t> flat = frame_.bgra;
    sm3->SetGPUExtrusion(12.0f, D3DXVECTOR2(26.0f, 26.0f), 3000.0f);
    for (bool floatFormat : {false, true}) {
      if (floatFormat) {
        ASSERT_TRUE(heightmap_.UseFloatFormat(d3d_, device_));
        ASSERT_TRUE(heightmap_.WriteTexture(device_));
        sm3->SetHeightmapTexture(heightmap_.GetTexture());
      }
      Draw(*engine);
      size_t moved = 0;
      for (size_t k = 0; k < flat.size(); k += 4) moved += std::abs(flat[k] - frame_.bgra[k]) > 8 ? 1 : 0;
      EXPECT_GT(moved, flat.size() / 4 / 20) << "float heightmap " << floatFormat;
    }
  }
  // No NaN or black pixels when distances are zero.
  engine->SetReflectionTexture(Solid(0xFF808080));
  engine->SetRefractionTexture(Solid(0xFF404040));
  engine->SetFullReflectionDistance(0.0f);
  if (sm3) sm3->SetGPUExtrusion(5.0f, D3DXVECTOR2(7, 7), 0.0f);
  if (shader) shader->SetFoam(foam_, heightmap_.GetTexture(), 0.5f, 1.0f, 6.0f, 0.1f, 0.0f, 0.0f);
  Draw(*engine);
  EXPECT_EQ(CountWater([](const Rgb& c) { return c.Sum() < 3 * 0x40 - 12; }), 0);
  engine->SetReflectionTexture(SkyReflection());
  engine->SetRefractionTexture(Solid(0xFF183C46));
  engine->SetFullReflectionDistance(300.0f);
  if (!sm3) Waves(true);
  if (shader) shader->SetFoam(foam_, heightmap_.GetTexture(), 0.55f, 1.5f, 6.0f, 0.1f, 0.0f, 400.0f);
  if (lit) lit->SetSunlight(0xFFFFF0D0, 200.0f, 4.0f, D3DXVECTOR3(600.0f, 250.0f, 3000.0f));
  if (sm3) sm3->SetGPUExtrusion(3.0f, D3DXVECTOR2(26.0f, 26.0f), 3000.0f);
  Draw(*engine);
  frame_.Save((std::string("engine-") + EngineName(typeId) + ".png").c_str());  // copied to docs/screenshots by hand
}

INSTANTIATE_TEST_SUITE_P(Engines, EachWaterEngine, ::testing::Values(ENGINE_FFP, ENGINE_SM1, ENGINE_SM2, ENGINE_SM3),
                         [](const auto& info) { return std::string(EngineName(info.param)); });

// Whole editor frames at 1024 x 768, one per engine type, with the sky, the island and every pass on: checked where the
// picture must show sky, water and the island, and saved as screenshots (build/artifacts/water-*.png).
bool Dark(Rgb c) { return c.r < 10 && c.g < 10 && c.b < 10; }
// Sky: blue above red, or the bright haze near the horizon.
bool SkyLike(Rgb c) { return c.b > c.r || c.Sum() > 500; }
// Sand and grass: more green than blue, which neither sky nor fill colour has.
bool IslandLike(Rgb c) { return c.g > c.b + 10 && c.g > 40; }
bool FillColour(Rgb c) { return std::abs(c.r - 24) <= 2 && std::abs(c.g - 40) <= 2 && std::abs(c.b - 46) <= 2; }

class WaterSceneTest : public GLTest, public ::testing::WithParamInterface<int> {
 protected:
  void SetUp() override {
    GLTest::SetUp();
    if (NotStarted()) return;
    scene_support::SceneSizes sizes;
    sizes.heightmap = 256;
    ASSERT_EQ(scene.Start(GetParam(), sizes), "");
    D3DDISPLAYMODE mode = scene.editor->displayMode;
    mode.Width = 1024;
    mode.Height = 768;
    ASSERT_TRUE(scene.editor->ChangeDisplayMode(mode));
  }
  void TearDown() override {
    scene.Stop();
    GLTest::TearDown();
  }
  scene_support::DefaultScene scene;
};

TEST_P(WaterSceneTest, SkyIslandAndWaterWithEveryPass) {
  for (int i = 0; i < 4; ++i) {  // until the toolbar has faded in
    EXPECT_EQ(scene.editor->Frame(), S_OK);
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
  }
  Picture frame, reflection, refraction;
  ASSERT_TRUE(frame.Read(scene.editor->device));
  frame.Save(std::string("water-") + EngineName(GetParam()) + ".png");  // copied by hand into docs/screenshots
  // The camera looks level from 100 units up: sky above the middle row, the island ahead just below it, water below.
  EXPECT_GT(frame.Share(0.3, 0.05, 0.7, 0.4, SkyLike), 0.95);
  EXPECT_GT(frame.Share(0.45, 0.6, 0.55, 0.68, IslandLike), 0.25);
  EXPECT_EQ(frame.Share(0.3, 0.8, 0.7, 0.88, Dark), 0.0);
  // The reflection holds the mirrored island; the refraction the submerged island on the fill colour.
  const cWaterScene& water = scene.editor->waterScene;
  ASSERT_TRUE(reflection.Read(water.reflectionTarget.GetTexture()));
  ASSERT_TRUE(refraction.Read(water.refractionTarget.GetTexture()));
  EXPECT_GT(reflection.Share(0, 0, 1, 1, IslandLike), 0.002);
  EXPECT_GT(refraction.Share(0, 0, 1, 1, FillColour), 0.2);
  EXPECT_GT(refraction.Share(0, 0, 1, 1, IslandLike), 0.01);
}

INSTANTIATE_TEST_SUITE_P(Engines, WaterSceneTest, ::testing::Values(ENGINE_FFP, ENGINE_SM1, ENGINE_SM2, ENGINE_SM3),
                         [](const auto& info) { return std::string(EngineName(info.param)); });

}  // namespace
}  // namespace gltest
