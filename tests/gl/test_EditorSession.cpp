// The end-to-end session on the OpenGL backend: each engine builds its water by
// clicks and keys, the frame is read back and kept as a screenshot, and the
// frame rate of the running water is reported.
#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <cstdio>
#include <string>
#include <vector>

#include "../editor/EditorScript.h"
#include "GLTest.h"
#include "app/WinMain.h"
#include "editor/Process.h"
#include "platform/Platform.h"

namespace {

struct Shot {
  std::vector<uint8_t> bgra;
  UINT width = 0;
  UINT height = 0;

  // Every 2x2 block averaged: a screenshot small enough to keep in the repository.
  Shot Half() const {
    Shot half;
    half.width = width / 2;
    half.height = height / 2;
    half.bgra.resize(static_cast<size_t>(half.width) * half.height * 4);
    for (UINT y = 0; y < half.height; ++y) {
      for (UINT x = 0; x < half.width; ++x) {
        for (int c = 0; c < 4; ++c) {
          int sum = 0;
          for (UINT dy = 0; dy < 2; ++dy) {
            for (UINT dx = 0; dx < 2; ++dx) sum += bgra[((2 * y + dy) * static_cast<size_t>(width) + 2 * x + dx) * 4 + c];
          }
          half.bgra[(static_cast<size_t>(y) * half.width + x) * 4 + c] = static_cast<uint8_t>(sum / 4);
        }
      }
    }
    return half;
  }

  // The mean difference per colour channel over rows top to bottom.
  double MeanDifference(const Shot& other, UINT top, UINT bottom) const {
    double sum = 0.0;
    for (size_t i = static_cast<size_t>(top) * width * 4; i < static_cast<size_t>(bottom) * width * 4; ++i) {
      sum += std::abs(bgra[i] - other.bgra[i]);
    }
    return sum / (static_cast<double>(bottom - top) * width * 4);
  }

  // How many distinct colours (in steps of 16) a region holds: a flat or empty
  // region has one or two.
  int Variety(UINT left, UINT top, UINT right, UINT bottom) const {
    std::vector<bool> seen(4096, false);
    int count = 0;
    for (UINT y = top; y < bottom; ++y) {
      for (UINT x = left; x < right; ++x) {
        const uint8_t* p = &bgra[(static_cast<size_t>(y) * width + x) * 4];
        const int key = (p[2] >> 4) << 8 | (p[1] >> 4) << 4 | p[0] >> 4;
        if (!seen[key]) ++count;
        seen[key] = true;
      }
    }
    return count;
  }
};

class EditorSessionGL : public gltest::GLTest {
 protected:
  void SetUp() override {
    GLTest::SetUp();
    if (NotStarted()) return;
    window = CreateMainWindow(GetModuleHandleA(nullptr), SW_SHOW);
    ASSERT_NE(window, nullptr);
    editor = cEditor::Instance();
    ASSERT_EQ(editor->Init(window), S_OK);
    driver = std::make_unique<EditorDriver>(editor, window, false);
    script = std::make_unique<EditorScript>(editor, *driver);
    driver->Frames(3);
  }
  void TearDown() override {
    script.reset();
    driver.reset();
    if (editor) Shutdown();
    GLTest::TearDown();
  }

  Shot Capture(const std::string& name) {
    Shot shot;
    EXPECT_TRUE(platform::ReadBackBuffer(editor->device, shot.bgra, shot.width, shot.height));
    const Shot half = shot.Half();
    gltest::SaveArtifact("screenshots/" + name + ".png", half.bgra, half.width, half.height);
    return shot;
  }

  HWND window = nullptr;
  cEditor* editor = nullptr;
  std::unique_ptr<EditorDriver> driver;
  std::unique_ptr<EditorScript> script;
};

TEST_F(EditorSessionGL, EveryEngineDrawsItsWaterAndTheMenusShow) {
  const struct {
    int type;
    const char* name;
  } engines[] = {{ENGINE_SM2, "sm2"}, {ENGINE_SM3, "sm3"}, {ENGINE_SM1, "sm1"}, {ENGINE_FFP, "ffp"}};
  for (const auto& engine : engines) {
    SCOPED_TRACE(engine.name);
    script->ChooseEngine(engine.type);
    script->BuildWater();
    driver->Frames(20);
    const Shot shot = Capture(std::string("water-") + engine.name);
    ASSERT_GT(shot.width, 0u);
    // The water fills the screen below the horizon down to the toolbar: it is
    // lit and reflects the waves, so it is never one flat colour.
    EXPECT_GT(shot.Variety(shot.width / 4, shot.height * 7 / 10, shot.width * 3 / 4, shot.height * 17 / 20), 8);

    if (engine.type == ENGINE_SM2) {
      const auto start = std::chrono::steady_clock::now();
      constexpr int kFrames = 120;
      driver->Frames(kFrames);
      const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
      std::printf("[ frame rate ] SM2 water, %ux%u: %.1f frames per second\n", shot.width, shot.height,
                  kFrames / seconds);
      driver->Click(editor->menus.toolbar, EditorId::kToolbarHeightmapButton);
      driver->Frames(15);
      Capture("menu-heightmap");
      driver->Click(editor->menus.heightmap, EditorId::kCloseButton);
      driver->Click(editor->menus.toolbar, EditorId::kToolbarEngineButton);
      driver->Frames(15);
      Capture("menu-engine-sm2");
      driver->Click(editor->EngineMenu(), EditorId::kCloseButton);
      // Tab with the cursor left on the close button: the sky above the water,
      // below the frame rate, must not move.
      driver->Frames(3);
      const Shot before = Capture("flymode-before");
      driver->Key(VK_TAB);
      driver->Frames(3);
      const Shot after = Capture("flymode-after");
      ASSERT_TRUE(editor->flyMode);
      EXPECT_LT(before.MeanDifference(after, 80, before.height * 2 / 5), 2.0);
      driver->Key(VK_TAB);
    }
    script->NewState();
  }
  driver->Frames(10);
  Capture("selection");
}

}  // namespace
