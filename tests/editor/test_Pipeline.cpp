#include <gtest/gtest.h>

#include <array>
#include <cfloat>
#include <cmath>

#include "PipelineTest.h"
#include "engine/cWaterEngineSM2.h"
#include "geometry/cGeomipmapGrid.h"
#include "geometry/cRadialGrid.h"
#include "heightmap/cFFTHeightmap.h"

namespace pipeline_test {
namespace {

using namespace EditorId;

class UpdatePipelineTest : public PipelineTest {};

using Bytes = std::array<long, 4>;
Bytes ColorBytes(const iWaterEngine& engine) {
  const D3DXVECTOR4& c = engine.GetReflectionColor();
  return {std::lround(c.x * 255.0f), std::lround(c.y * 255.0f), std::lround(c.z * 255.0f), std::lround(c.w * 255.0f)};
}

// Which textures are written in a frame, by engine type, preview boxes, foam
// and normal map type; the step times show exactly the calls that ran, and
// read zero once the components are gone.
TEST_F(UpdatePipelineTest, WritesTexturesOnlyWhenSomethingSamplesThem) {
  struct Case {
    int engine;
    bool showHeightmap, showNormalmap, foam;
    int normalmapType;
    bool heightmapWritten, normalmapWritten;
  };
  const Case cases[] = {
      {ENGINE_FFP, false, false, false, NORMALMAP_FD_RAW, false, false},
      {ENGINE_FFP, true, false, false, NORMALMAP_FD_RAW, true, false},
      {ENGINE_FFP, false, true, false, NORMALMAP_FD_RAW, false, true},
      {ENGINE_FFP, false, false, true, NORMALMAP_FD_RAW, false, false},  // no foam in fixed function
      {ENGINE_FFP, false, false, false, NORMALMAP_FD_TEX, true, false},  // the GPU normal map reads it
      {ENGINE_SM1, false, false, false, NORMALMAP_FFT, false, false},
      {ENGINE_SM1, false, false, true, NORMALMAP_FFT, true, false},
      {ENGINE_SM2, false, false, false, NORMALMAP_FD_RAW, false, true},
      {ENGINE_SM2, false, false, true, NORMALMAP_FD_RAW, true, true},
      {ENGINE_SM3, false, false, false, NORMALMAP_FFT, true, true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << "engine " << c.engine << " preview " << c.showHeightmap << c.showNormalmap
                                    << " foam " << c.foam << " normal map " << c.normalmapType);
    TearDown();
    SetUp();
    UseMenus(c.engine);
    Check(editor->menus.heightmap, kShowHeightmap, c.showHeightmap);
    Check(editor->menus.normalmap, kShowNormalmap, c.showNormalmap);
    Check(editor->EngineMenu(), kEnableFoam, c.foam);
    log.clear();
    editor->waterScene.heightmap = Own(std::make_unique<LoggingHeightmap>(&log));
    editor->waterScene.normalmap = Own(std::make_unique<LoggingNormalmap>(&log, c.normalmapType));
    Frame();

    CallLog expected = {"normalmap compute"};
    if (c.normalmapWritten) expected.push_back("normalmap write");
    expected.push_back("heightmap update");
    if (c.heightmapWritten) expected.push_back("heightmap write");
    EXPECT_EQ(log, expected);
    EXPECT_FLOAT_EQ(editor->timings.normalmapCompute, kComputeSeconds);
    EXPECT_FLOAT_EQ(editor->timings.normalmapWrite, c.normalmapWritten ? kNormalWriteSeconds : 0.0);
    EXPECT_FLOAT_EQ(editor->timings.heightmapUpdate, kUpdateSeconds);
    EXPECT_FLOAT_EQ(editor->timings.heightmapWrite, c.heightmapWritten ? kHeightWriteSeconds : 0.0);

    // The step times of missing components read zero.
    editor->waterScene.heightmap = nullptr;
    editor->waterScene.normalmap = nullptr;
    Frame();
    EXPECT_EQ(editor->timings.heightmapUpdate + editor->timings.heightmapWrite, 0.0f);
    EXPECT_EQ(editor->timings.normalmapCompute + editor->timings.normalmapWrite, 0.0f);
  }
}

// The heightmap gets speed x the simulation time since start, so a new speed
// rescales the time already elapsed; without its menu it does not advance.
TEST_F(UpdatePipelineTest, SimulationSpeedScalesTheWholeElapsedTime) {
  auto* heightmap = Own(std::make_unique<LoggingHeightmap>(&log));
  editor->waterScene.heightmap = heightmap;
  platform::headless::AdvanceClock(2.0);
  Frame();
  EXPECT_TRUE(heightmap->times.empty());

  UseMenus(ENGINE_FFP);
  Write(editor->menus.heightmap, kSimulationSpeed, L"1.0");
  Frame();  // 2 s, then the update's own 0.5 s
  Write(editor->menus.heightmap, kSimulationSpeed, L"-3");
  platform::headless::AdvanceClock(1.5);
  Frame();
  EXPECT_FLOAT_EQ(editor->waterScene.settings.heightmapUpdateCoef, -3.0f);
  Write(editor->menus.heightmap, kSimulationSpeed, L"-1e39");  // saturates, never infinite
  Frame();
  EXPECT_EQ(heightmap->times, (std::vector<float>{2.0f, -3.0f * 4.0f, -FLT_MAX}));
}

TEST_F(UpdatePipelineTest, AmplitudeReachesOnlyNormalMapsOutsideTheFFT) {
  UseMenus(ENGINE_FFP);
  Write(editor->menus.normalmap, kNormalsAmplitude, L"-2.5");
  auto* cpu = Own(std::make_unique<LoggingNormalmap>(&log, NORMALMAP_FD_RAW));
  editor->waterScene.normalmap = cpu;
  Frame();
  Write(editor->menus.normalmap, kNormalsAmplitude, L"4");
  Frame();
  EXPECT_EQ(cpu->amplitudes, (std::vector<float>{2.5f, 4.0f}));

  auto* fft = Own(std::make_unique<LoggingNormalmap>(&log, NORMALMAP_FFT));
  editor->waterScene.normalmap = fft;
  Frame();
  EXPECT_TRUE(fft->amplitudes.empty());
}

TEST_F(UpdatePipelineTest, FixedNormalizationOnlyWhileItsBoxIsChecked) {
  UseMenus(ENGINE_FFP);
  auto* heightmap = Own(std::make_unique<cFFTHeightmap>());
  const D3DXVECTOR2 wind(1.0f, 1.0f);
  ASSERT_TRUE(heightmap->Initialize(16, 4, &wind, 1.0f, 7u));
  editor->waterScene.heightmap = heightmap;
  struct Case {
    bool fixed;
    const wchar_t* typed;
    float factor;  // 0 = automatic
  };
  const Case cases[] = {{false, L"6", 0.0f}, {true, L"6", 6.0f}, {true, L"-2", 2.0f}, {true, L"0", 0.0f}};
  for (const Case& c : cases) {
    Check(editor->menus.heightmap, kFixedNormalization, c.fixed);
    Write(editor->menus.heightmap, kNormalization, c.typed);
    Frame();
    cEngineSettings settings{};
    heightmap->FillSettings(&settings);
    EXPECT_EQ(settings.fftNormalizationFactor, c.factor) << c.fixed << " " << testing::PrintToString(c.typed);
  }
}

TEST_F(UpdatePipelineTest, GeometryFalloffsFollowTheMenuAsAbsoluteValues) {
  UseMenus(ENGINE_FFP);
  Write(editor->menus.geometry, kRadialHeightFalloff, L"-2500");
  Write(editor->menus.geometry, kGeomipmapHeightFalloff, L"700");
  Write(editor->menus.geometry, kGeomipmapLodFalloff, L"-300");
  auto* radial = Own(std::make_unique<cRadialGrid>());
  ASSERT_TRUE(radial->Create(100.0f, 8, 1.0f, 1.1f, 10.0f, D3DXVECTOR2(1.0f, 1.0f), D3DXVECTOR3(0, 0, 0),
                             editor->device));
  editor->waterScene.geometry = radial;
  Frame();
  cEngineSettings settings{};
  radial->FillSettings(&settings);
  EXPECT_FLOAT_EQ(settings.radialHeightFalloffDistance, 2500.0f);

  auto* field = Own(std::make_unique<cGeomipmapGrid>());
  ASSERT_TRUE(field->Create(100.0f, 100.0f, 2, 2, 4, D3DXVECTOR2(1.0f, 1.0f), D3DXVECTOR3(0, 0, 0), editor->device));
  editor->waterScene.geometry = field;
  Frame();
  field->FillSettings(&settings);
  EXPECT_FLOAT_EQ(settings.geomipmapHeightFalloffDistance, 700.0f);
  EXPECT_FLOAT_EQ(settings.geomipmapLastLevelFalloffDistance, 300.0f);
}

// Typed values, sensible or not, reach the engine as absolute values with the
// colour channels clamped in float before truncation; missing controls change nothing.
TEST_F(UpdatePipelineTest, EngineValuesAreAbsoluteColoursSaturateAndMissingControlsChangeNothing) {
  struct Case {
    const wchar_t* red;
    const wchar_t* green;
    const wchar_t* blue;
    const wchar_t* strength;
    const wchar_t* distance;
    const wchar_t* transparency;
    Bytes color;  // r, g, b, a
    float expectedStrength, distanceSquared, expectedTransparency;
  };
  const Case cases[] = {
      {L"41", L"75", L"62", L"0.05", L"1000", L"0.1", {41, 75, 62, 255}, 0.05f, 1.0e6f, 0.1f},
      {L"300", L"12.9", L"-10", L"-0.5", L"-20", L"3", {255, 12, 10, 255}, 0.5f, 400.0f, 1.0f},
      {L"1e39", L"-1e39", L"abc", L"1e39", L"1e39", L"-1e39", {255, 255, 0, 255}, FLT_MAX, FLT_MAX, 1.0f},
      {L"255.99", L"0.5", L"256", L"0", L"0", L"0", {255, 0, 255, 255}, 0.0f, 0.0f, 0.0f},
  };
  UseMenus(ENGINE_SM2);
  auto* engine = Own(std::make_unique<cWaterEngineSM2>());
  editor->waterScene.engine = engine;
  cMenu* menu = editor->EngineMenu();
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::PrintToString(c.red));
    Write(menu, kReflectionColorR, c.red);
    Write(menu, kReflectionColorG, c.green);
    Write(menu, kReflectionColorB, c.blue);
    Write(menu, kReflectionStrength, c.strength);
    Write(menu, kFullReflectionDistance, c.distance);
    Write(menu, kGlobalTransparency, c.transparency);
    Frame();
    EXPECT_EQ(ColorBytes(*engine), c.color);
    EXPECT_FLOAT_EQ(engine->GetReflectionStrength(), c.expectedStrength);
    EXPECT_FLOAT_EQ(engine->GetFullReflectionDistanceSquared(), c.distanceSquared);
    EXPECT_FLOAT_EQ(engine->GetGlobalTransparency(), c.expectedTransparency);
  }

  // A control the menu lacks leaves the engine's value as it was.
  engine->SetReflectionColor(0xFF010203);
  engine->SetReflectionStrength(0.25f);
  delete editor->menus.sm2Engine;
  editor->menus.sm2Engine =
      MakeMenu(kMenuSM2Engine, {kReflectionColorR, kReflectionColorG, kFullReflectionDistance}, {});
  Write(editor->menus.sm2Engine, kFullReflectionDistance, L"30");
  Frame();
  EXPECT_EQ(ColorBytes(*engine), (Bytes{1, 2, 3, 255}));
  EXPECT_FLOAT_EQ(engine->GetReflectionStrength(), 0.25f);
  EXPECT_FLOAT_EQ(engine->GetFullReflectionDistanceSquared(), 900.0f);
  // The menu of another engine type is not read.
  editor->engineType = ENGINE_SM3;
  Write(editor->menus.sm2Engine, kFullReflectionDistance, L"40");
  Frame();
  EXPECT_FLOAT_EQ(engine->GetFullReflectionDistanceSquared(), 900.0f);
}

}  // namespace
}  // namespace pipeline_test
