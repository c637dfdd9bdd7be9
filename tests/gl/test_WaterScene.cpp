// Whole editor frames on the OpenGL backend at 1024 x 768, one per engine type,
// with the sky, the island and every pass on: read back, checked where the
// picture must show sky, water and the island, and saved as screenshots
// (build/artifacts/water-*.png).
#include <chrono>
#include <string>
#include <thread>
#include <vector>

#include "GLTest.h"
#include "platform/Platform.h"
#include "support/DefaultScene.h"

namespace {

struct Rgb {
  int r, g, b;
};

class Image {
 public:
  bool Read(IDirect3DDevice9* device) { return platform::ReadBackBuffer(device, pixels_, width_, height_); }
  bool Read(IDirect3DTexture9* texture) {
    D3DSURFACE_DESC desc{};
    if (texture == nullptr || FAILED(texture->GetLevelDesc(0, &desc))) return false;
    width_ = desc.Width;
    height_ = desc.Height;
    return platform::ReadTexture(texture, 0, pixels_);
  }
  void Save(const std::string& name) const { gltest::SaveArtifact(name, pixels_, width_, height_); }

  Rgb At(UINT x, UINT y) const {
    const uint8_t* p = &pixels_[(static_cast<size_t>(y) * width_ + x) * 4];
    return {p[2], p[1], p[0]};
  }
  // Pixels of the rectangle (fractions of width and height) that pass `test`, as a fraction.
  template <class Test>
  double Share(double left, double top, double right, double bottom, Test test) const {
    int count = 0, total = 0;
    for (UINT y = static_cast<UINT>(top * height_); y < static_cast<UINT>(bottom * height_); ++y)
      for (UINT x = static_cast<UINT>(left * width_); x < static_cast<UINT>(right * width_); ++x, ++total)
        if (test(At(x, y))) ++count;
    return total ? static_cast<double>(count) / total : 0.0;
  }

 private:
  std::vector<uint8_t> pixels_;
  UINT width_ = 0, height_ = 0;
};

bool Dark(Rgb c) { return c.r < 10 && c.g < 10 && c.b < 10; }
// Sky: blue above red, or the bright haze near the horizon.
bool SkyLike(Rgb c) { return c.b > c.r || c.r + c.g + c.b > 500; }
// Sand and grass: more green than blue, which neither sky nor fill colour has.
bool IslandLike(Rgb c) { return c.g > c.b + 10 && c.g > 40; }
bool FillColour(Rgb c) { return std::abs(c.r - 24) <= 2 && std::abs(c.g - 40) <= 2 && std::abs(c.b - 46) <= 2; }

class WaterSceneTest : public gltest::GLTest, public ::testing::WithParamInterface<int> {
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
  Image frame;
  ASSERT_TRUE(frame.Read(scene.editor->device));
  frame.Save(std::string("water-") + gltest::EngineName(GetParam()) + ".png");  // copied by hand into docs/screenshots

  // The camera looks level from 100 units up: sky above the middle row, the
  // island ahead just below it, water in the lower part.
  EXPECT_GT(frame.Share(0.3, 0.05, 0.7, 0.4, SkyLike), 0.95);
  EXPECT_GT(frame.Share(0.45, 0.6, 0.55, 0.68, IslandLike), 0.25);
  EXPECT_EQ(frame.Share(0.3, 0.8, 0.7, 0.88, Dark), 0.0);

  // The reflection holds the mirrored island; the refraction the submerged
  // island on the fill colour.
  const cWaterScene& water = scene.editor->waterScene;
  Image reflection, refraction;
  ASSERT_TRUE(reflection.Read(water.reflectionTarget.GetTexture()));
  ASSERT_TRUE(refraction.Read(water.refractionTarget.GetTexture()));
  EXPECT_GT(reflection.Share(0, 0, 1, 1, IslandLike), 0.002);
  EXPECT_GT(refraction.Share(0, 0, 1, 1, FillColour), 0.2);
  EXPECT_GT(refraction.Share(0, 0, 1, 1, IslandLike), 0.01);
}

INSTANTIATE_TEST_SUITE_P(Engines, WaterSceneTest, ::testing::Values(ENGINE_FFP, ENGINE_SM1, ENGINE_SM2, ENGINE_SM3),
                         [](const auto& info) { return std::string(gltest::EngineName(info.param)); });

}  // namespace
