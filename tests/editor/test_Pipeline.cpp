// The per-frame pipeline on a headless device: the values every frame hands
// the components and which textures it writes; then frames of the water scene:
// the passes each engine type draws and the values it is handed, what a frame
// draws without an engine or island, failing passes, saturated colours, the
// previews, and components replaced or a device lost between frames.
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cfloat>
#include <cmath>
#include <cwchar>
#include <optional>
#include <tuple>

#include "../ScratchFolder.h"
#include "Golden.h"
#include "PipelineTest.h"
#include "engine/cWaterEngineSM2.h"
#include "geometry/cGeomipmapGrid.h"
#include "geometry/cRadialGrid.h"
#include "gui/cWindow.h"
#include "heightmap/cFFTHeightmap.h"

namespace pipeline_test {
namespace {

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
    int engine; bool showHeightmap, showNormalmap, foam; int normalmapType; bool heightmapWritten, normalmapWritten;
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
  struct Case { bool fixed; const wchar_t* typed; float factor; };  // factor 0: automatic
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
    const wchar_t *red, *green, *blue, *strength, *distance, *transparency;
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

// The frame's clear and the screen's own, its sprites, and no scene or frame rate.
TEST_F(SceneFrameTest, WithTheSelectionScreenOnTopOnlyClearsToBlackAndDrawsTheGUI) {
  UseMenus(ENGINE_SM2);
  Frame();
  EXPECT_EQ(std::tuple(Clears(), Draws()), std::tuple(Lines{"back 3 ff000000", "back 3 ff000000"}, Lines{}));
  EXPECT_FALSE(platform::Recorded().draws.empty());
  for (const platform::TextRecord& text : platform::Recorded().texts) EXPECT_FALSE(text.text.starts_with(L"fps:"));
}

// The effect engines draw the sky and the island with the same techniques;
// the golden file holds each engine's draws (target, what, states differing
// from the main view's) and clears.
TEST_F(SceneFrameTest, EachEngineTypeDrawsTheSequenceOfItsPasses) {
  std::string text;
  for (int type : {ENGINE_SM3, ENGINE_SM2, ENGINE_SM1, ENGINE_FFP}) {
    SCOPED_TRACE(type);
    TearDown();
    SetUp();
    Build(type);
    ASSERT_TRUE(editor->waterScene.engine->IsInitialised());
    Frame();
    text += "engine " + std::to_string(type) + "\n";
    for (const std::string& line : Draws()) text += line + "\n";
    for (const std::string& line : Clears()) text += "clear " + line + "\n";
    const cWaterScene& scene = editor->waterScene;
    if (type != ENGINE_FFP) {
      EXPECT_EQ(Parameter("reflectionTexture"), scene.reflectionTarget.GetTexture());
      EXPECT_EQ(Parameter("refractionTexture"), scene.refractionTarget.GetTexture());
    }
    if (type == ENGINE_SM2 || type == ENGINE_SM3) {
      EXPECT_EQ(Parameter("depthTexture"), scene.depthTarget.GetTexture());
      EXPECT_EQ(Parameter("normalmapTexture"), scene.normalmap->GetTexture());
      EXPECT_TRUE(ParameterSet("sunlightColor"));
    }
    if (type == ENGINE_SM3) { EXPECT_EQ(Parameter("heightmapTexture"), scene.heightmap->GetTexture()); }
    EXPECT_EQ(scene.engine->GetRefractionColor(), D3DXVECTOR3(24 / 255.0f, 40 / 255.0f, 46 / 255.0f));
  }
  ExpectGolden("scene-passes.txt", text);
}

// Every live control of the scene, typed between two frames, reaches its
// target, engine or geometry in the next frame.
TEST_F(SceneFrameTest, LiveSceneValuesTakeEffectInTheNextFrame) {
  using Read = float (*)(const cWaterScene&);
  struct Case {
    int type;
    int id;  // in the engine menu; 220 in the geometry menu
    const wchar_t* text;
    float cEngineSettings::*field;  // of the engine's settings, or of the geometry's with `geometry`
    Read target = nullptr;          // or a value of the scene
    bool geometry = false;
  };
  using S = cEngineSettings;
  const Read reflectionPlane = [](const cWaterScene& w) { return w.reflectionTarget.GetPlaneHeight(); };
  const Read reflectionClip = [](const cWaterScene& w) { return w.reflectionTarget.GetClipHeight(); };
  const Read refractionClip = [](const cWaterScene& w) { return w.refractionTarget.GetClipHeight(); };
  const Read depthClip = [](const cWaterScene& w) { return w.depthTarget.GetClipHeight(); };
  const Read depthPlane = [](const cWaterScene& w) { return w.depthTarget.GetDepthPlaneHeight(); };
  const Read depthRange = [](const cWaterScene& w) { return w.depthTarget.GetDepthRange(); };
  const Case cases[] = {
      {ENGINE_SM2, kReflectionPlaneY, L"12", nullptr, reflectionPlane},
      {ENGINE_SM2, kReflectionClipY, L"3", nullptr, reflectionClip},
      {ENGINE_SM2, kShoreTransparency, L"2", &S::shoreTransparency},
      {ENGINE_SM2, kFoamScale, L"3", &S::shoreFoamScale},
      {ENGINE_SM2, kSunArea, L"150", &S::sunlightArea},
      {ENGINE_SM2, kSunPower, L"7", &S::sunlightPower},
      {ENGINE_SM2, kFoamTiling, L"8", &S::foamTiling},
      {ENGINE_SM2, kFoamDistortion, L"0.2", &S::foamDistortion},
      {ENGINE_SM2, kExtrusionStrength, L"9", &S::geometryExtrusionStrength, nullptr, true},
      {ENGINE_SM3, kDepthClipY, L"-2", nullptr, depthClip},
      {ENGINE_SM3, kDepthPlaneY, L"1.5", nullptr, depthPlane},
      {ENGINE_SM3, kDepthLimit, L"80", nullptr, depthRange},
      {ENGINE_SM3, kSunPositionX, L"-30", &S::sunlightPositionX},
      {ENGINE_SM3, kSunPositionY, L"40", &S::sunlightPositionY},
      {ENGINE_SM3, kSunPositionZ, L"50", &S::sunlightPositionZ},
      {ENGINE_SM3, kFoamVisibility, L"500", &S::maxFoamDistance},
      {ENGINE_SM3, kExtrusionStrength, L"9", &S::gpuExtrusionStrength},
      {ENGINE_SM3, kExtrusionUVScaleX, L"3", &S::gpuExtrusionUVScaleX},
      {ENGINE_SM3, kExtrusionUVScaleY, L"4", &S::gpuExtrusionUVScaleY},
      {ENGINE_SM3, kRadialHeightFalloff, L"900", &S::gpuHeightFalloffDistance},
      {ENGINE_SM1, kFoamStart, L"0.25", &S::foamStartHeight},
      {ENGINE_SM1, kFoamTransparency, L"1.5", &S::foamScale},
      {ENGINE_SM1, kExtrusionUVScaleX, L"3", &S::geometryExtrusionUVScaleX, nullptr, true},
      {ENGINE_FFP, kRefractionClipY, L"-4", nullptr, refractionClip},
      {ENGINE_FFP, kExtrusionUVScaleY, L"4", &S::geometryExtrusionUVScaleY, nullptr, true},
  };
  int built = 0;
  for (const Case& c : cases) {
    SCOPED_TRACE(c.id);
    if (built != c.type) {
      TearDown();
      SetUp();
      Build(c.type);
      built = c.type;
    }
    Write(c.id == kRadialHeightFalloff ? editor->menus.geometry : editor->EngineMenu(), c.id, c.text);
    Frame();
    const cWaterScene& scene = editor->waterScene;
    cEngineSettings settings{};
    if (c.field) c.geometry ? scene.geometry->FillSettings(&settings) : scene.engine->FillSettings(&settings);
    EXPECT_FLOAT_EQ(c.field ? settings.*c.field : c.target(scene), std::wcstof(c.text, nullptr));
  }
}

// Huge, negative, non-numeric and zero entries in every live control of every
// engine: the frames go on and nothing overflows (the sanitizer build checks
// every conversion and division).
TEST_F(SceneFrameTest, AnyTypedValueKeepsTheFramesGoing) {
  for (int type : {ENGINE_FFP, ENGINE_SM1, ENGINE_SM2, ENGINE_SM3}) {
    SCOPED_TRACE(type);
    TearDown();
    SetUp();
    Build(type);
    Check(editor->menus.heightmap, kShowHeightmap, true);
    Check(editor->menus.heightmap, kFixedNormalization, true);
    // Ends with sane values, under which the water must be drawn again.
    for (const wchar_t* text : {L"1e39", L"-1e39", L"abc", L"0", L"-0.5", L"1"}) {
      for (int id : kEngineBoxes) Write(editor->EngineMenu(), id, text);
      for (int id : {kRadialHeightFalloff, kGeomipmapHeightFalloff, kGeomipmapLodFalloff})
        Write(editor->menus.geometry, id, text);
      for (int id : {kSimulationSpeed, kNormalization}) Write(editor->menus.heightmap, id, text);
      Write(editor->menus.normalmap, kNormalsAmplitude, text);
      platform::headless::AdvanceClock(0.5);
      Frame();
      platform::Recorded().Clear();
      Frame();
    }
    EXPECT_EQ(Draws().back().rfind("back water", 0), 0u);
  }
}

// Without the island the targets are still cleared and the sky still mirrored;
// unticking a pass hands the engine null in the same frame and leaves its
// target alone.
TEST_F(SceneFrameTest, IslandOrPassSwitchedOffLeavesItsDrawsOutAtOnce) {
  Build(ENGINE_FFP);
  Check(editor->menus.settings, kShowIsland, false);
  Frame();
  EXPECT_EQ(Draws(), (Lines{"back sky", "reflection sky cw noz", "back water"}));
  EXPECT_EQ(Clears(), kClearsWithoutDepth);
  Check(editor->menus.settings, kShowIsland, true);
  EXPECT_TRUE(EngineSettings().enableReflection);
  Check(editor->EngineMenu(), kEnableReflection, false);
  platform::Recorded().Clear();
  Frame();
  EXPECT_EQ(std::tuple(EngineSettings().enableReflection, EngineSettings().enableRefraction), std::tuple(false, true));
  EXPECT_EQ(Draws(), (Lines{"back sky", "back island", "refraction island clip", "back water"}));
  Check(editor->EngineMenu(), kEnableRefraction, false);
  Frame();
  EXPECT_FALSE(EngineSettings().enableRefraction);
}

// The wireframe box, or the lack of an engine, draws the water as lines; the
// GUI drawn after it is solid again.
TEST_F(SceneFrameTest, WireframeWaterAndSolidAfterwards) {
  Build(ENGINE_SM1);
  Check(editor->EngineMenu(), kWireframe, true);
  Frame();
  EXPECT_EQ(Draws().back(), "back water/Foam_Default_technique wire");
  EXPECT_EQ(platform::Recorded().draws.back().fillMode, static_cast<DWORD>(D3DFILL_SOLID));
  Check(editor->EngineMenu(), kWireframe, false);
  editor->waterScene.engine = nullptr;
  platform::Recorded().Clear();
  Frame();
  EXPECT_EQ(Draws(), (Lines{"back sky/simple", "back island/vsLighting", "back water wire"}));
  EXPECT_EQ(Clears(), Lines{"back 3 ff000000"});
  const platform::DrawRecord* water = FirstDraw("water");
  ASSERT_NE(water, nullptr);
  auto* wire = dynamic_cast<D3DTexture*>(editor->resourceCache->Find(L"data/gui/wirecolor.tga"));
  ASSERT_NE(wire, nullptr);
  EXPECT_EQ(water->textures[0], wire->texture);
  EXPECT_EQ(platform::Recorded().draws.back().fillMode, static_cast<DWORD>(D3DFILL_SOLID));
}

// Without pixel shaders 1.4 the depth effect cannot begin: the target is
// cleared and ended, nothing is drawn into it and depth is switched off.
TEST_F(SceneFrameTest, AFailedDepthPassDrawsNothingAndSwitchesDepthOff) {
  profile = platform::HeadlessProfile::FixedFunction();
  TearDown();
  SetUp();
  Build(ENGINE_SM2);
  auto* engine = dynamic_cast<cWaterEngineSM2*>(editor->waterScene.engine);
  ASSERT_NE(engine, nullptr);
  engine->SetDepth(editor->waterScene.depthTarget.GetTexture(), 1.0f, 1.0f);
  Frame();
  EXPECT_EQ(Clears(), kClearsWithDepth);
  for (const std::string& line : Draws()) EXPECT_EQ(line.find("depth "), std::string::npos) << line;
  EXPECT_FALSE(EngineSettings().enableDepthEffects);
  EXPECT_EQ(editor->waterScene.depthTarget.GetDepthEffect(), nullptr);
}

// Out-of-range channels are clamped one by one, so none bleeds into its
// neighbour. Without a heightmap texture foam is switched off every frame, so
// the engine never keeps a texture that may have been freed.
TEST_F(SceneFrameTest, ColoursSaturatePerChannelAndFoamGoesOffWithoutAHeightmap) {
  Build(ENGINE_SM2);
  cMenu* menu = editor->EngineMenu();
  for (auto [id, text] : {std::pair{kRefractionFillR, L"-10"}, {kRefractionFillG, L"300"}, {kRefractionFillB, L"46.9"},
                          {kSunColorR, L"1e39"}, {kSunColorG, L"-1e39"}, {kSunColorB, L"128.5"}})
    Write(menu, id, text);
  Frame();
  EXPECT_EQ(Clears()[2], "refraction 3 ff00ff2e");
  EXPECT_EQ(editor->waterScene.engine->GetRefractionColor(), D3DXVECTOR3(0.0f, 1.0f, 46 / 255.0f));
  const cEngineSettings settings = EngineSettings();
  EXPECT_TRUE(settings.enableSunlight && settings.enableFoam);
  EXPECT_EQ(D3DXVECTOR3(settings.sunlightColorR, settings.sunlightColorG, settings.sunlightColorB),
            D3DXVECTOR3(1.0f, 0.0f, 128 / 255.0f));
  editor->waterScene.heightmap = nullptr;
  Frame();
  EXPECT_FALSE(EngineSettings().enableFoam);
}

// The toolbar's two preview windows show the component textures while their
// boxes are ticked, through wrappers that never release them.
TEST_F(SceneFrameTest, PreviewsShowTheComponentTexturesWithoutOwningThem) {
  Build(ENGINE_FFP);
  auto* toolbar = new cMenu(kMenuToolbar, nullptr);
  toolbar->Add(new cWindow(kHeightmapPreview, nullptr, D3DXVECTOR2(0.46f, 0.54f), 0.27f, 0.25f));
  toolbar->Add(new cWindow(kNormalmapPreview, nullptr, D3DXVECTOR2(0.46f, 0.18f), 0.27f, 0.25f));
  delete editor->menus.toolbar;
  editor->menus.toolbar = toolbar;
  cGUIManager::Instance()->PushMenu(toolbar, false);
  Check(editor->menus.heightmap, kShowHeightmap, true);
  Check(editor->menus.normalmap, kShowNormalmap, true);
  Frame();
  IDirect3DTexture9* heights = editor->waterScene.heightmap->GetTexture();
  IDirect3DTexture9* normals = editor->waterScene.normalmap->GetTexture();
  ASSERT_NE(heights, nullptr);
  ASSERT_NE(normals, nullptr);
  const auto shown = [](IDirect3DTexture9* texture) {
    const auto& draws = platform::Recorded().draws;
    return std::any_of(draws.begin(), draws.end(), [&](const auto& draw) { return draw.textures[0] == texture; });
  };
  EXPECT_TRUE(shown(heights));
  EXPECT_TRUE(shown(normals));
  // The automatic normalization factor in use, since the fixed one is not chosen.
  wchar_t peak[32];
  std::swprintf(peak, 32, L"%.2f", double{dynamic_cast<cFFTHeightmap*>(editor->waterScene.heightmap)->GetPeak()});
  EXPECT_STREQ(FindEditbox(editor->menus.heightmap, kNormalization)->GetText(), peak);
  Check(editor->menus.heightmap, kShowHeightmap, false);
  platform::Recorded().Clear();
  Frame();
  EXPECT_FALSE(shown(heights));
  EXPECT_TRUE(shown(normals));
  // A deleted normal map leaves its window empty.
  Delete(editor->waterScene.normalmap);
  editor->waterScene.normalmap = nullptr;
  platform::Recorded().Clear();
  Frame();
  EXPECT_EQ(editor->previews.normalmap.texture, nullptr);
  // Only the heightmap holds its texture, also after the editor is gone.
  ShutdownEditor();
  heights->AddRef();
  EXPECT_EQ(heights->Release(), 1u);
}

// A target that cannot be begun gets no clear and no draws, and its texture
// is not handed on; nothing is drawn with the mirrored view. Components
// rebuilt between frames and a lost device: the engine is handed the current
// geometry and the recreated targets, never a freed object.
TEST_F(SceneFrameTest, ARefusedTargetReplacedComponentsAndALostDeviceLeaveNothingStale) {
  Build(ENGINE_FFP);
  cWaterScene& scene = editor->waterScene;
  const D3DXMATRIX view = *editor->camera->GetView();
  // Begun already, so the frame's Begin is refused; the mirrored view and cull go again.
  ASSERT_TRUE(scene.reflectionTarget.Begin(editor->device, &view));
  editor->device->SetRenderState(D3DRS_CULLMODE, D3DCULL_CCW);
  Frame();
  ASSERT_TRUE(scene.reflectionTarget.End(editor->device));
  EXPECT_FALSE(EngineSettings().enableReflection);
  for (const platform::DrawRecord& draw : platform::Recorded().draws)
    EXPECT_NE(draw.cullMode, static_cast<DWORD>(D3DCULL_CW)) << What(draw);
  for (const platform::ClearRecord& clear : platform::Recorded().clearCalls)
    EXPECT_NE(clear.flags, static_cast<DWORD>(D3DCLEAR_ZBUFFER));
  platform::Recorded().Clear();
  Delete(scene.geometry);
  scene.geometry = MakeSimpleGrid();
  auto* heightmap = Own(std::make_unique<cFFTHeightmap>());
  const D3DXVECTOR2 wind(2.0f, 1.0f);
  ASSERT_TRUE(heightmap->Initialize(32, 4, &wind, 1.0f, 9u));
  ASSERT_TRUE(dynamic_cast<cNormalmapFFT*>(scene.normalmap)->SetSource(heightmap));
  Delete(scene.heightmap);
  scene.heightmap = heightmap;
  Frame();
  EXPECT_EQ(Draws().back(), "back water");
  EXPECT_EQ(FirstDraw("water")->vertexCount, static_cast<UINT>(scene.geometry->GetVertexCount()));
  platform::headless::LoseDevice();
  Frame();  // lost: nothing drawn
  Frame();  // reset
  EXPECT_FALSE(editor->deviceLost);
  ASSERT_NE(scene.reflectionTarget.GetTexture(), nullptr);
  platform::Recorded().Clear();
  Frame();
  EXPECT_EQ(Draws(), (Lines{"back sky", "back island", "reflection sky cw noz", "reflection island cw clip",
                            "refraction island clip", "back water"}));
  EXPECT_TRUE(EngineSettings().enableReflection);
}

// Started where no data file exists (no island, sky, foam or wirecolor image,
// no effects): the fixed-function frames and the bare grid still run.
TEST_F(SceneFrameTest, MissingDataFilesLeaveTheirDrawsOut) {
  std::optional<EmptyWorkingDirectory> empty(std::in_place);
  TearDown();
  SetUp();
  Build(ENGINE_FFP);
  Frame();
  const Lines withEngine = Draws();
  editor->waterScene.engine = nullptr;
  platform::Recorded().Clear();
  Frame();
  const Lines withoutEngine = Draws();
  TearDown();
  empty.reset();
  EXPECT_EQ(std::tuple(withEngine, withoutEngine), std::tuple(Lines{"back water"}, Lines{"back water wire"}));
}

}  // namespace
}  // namespace pipeline_test
