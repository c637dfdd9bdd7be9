// The editor on a headless device with menus holding just the live controls a
// test types into, and components the fixture owns (it detaches them from the
// water scene before shutdown). Fakes log what the pipeline asks of them. The
// scene frame fixture on top builds a small scene with every pass and feature
// on and summarises the record as lines (target, what was drawn, the states
// that differ from the main view's).
#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <string>
#include <vector>

#include "EditorTest.h"
#include "geometry/cRadialGrid.h"
#include "geometry/cSimpleGrid.h"
#include "heightmap/cFFTHeightmap.h"
#include "normalmap/cNormalmapFFT.h"
#include "scene/D3DMesh.h"
#include "scene/cSkybox.h"
#include "support/DefaultScene.h"

namespace pipeline_test {

using CallLog = std::vector<std::string>;

// Each timed call advances the clock by its own amount, so a step time shows
// which call it measured.
constexpr double kComputeSeconds = 0.125, kNormalWriteSeconds = 0.25;
constexpr double kUpdateSeconds = 0.5, kHeightWriteSeconds = 1.0;

inline bool Logged(CallLog* log, const char* call, double seconds) {
  log->push_back(call);
  platform::headless::AdvanceClock(seconds);
  return true;
}

class LoggingHeightmap : public iHeightmap {
 public:
  LoggingHeightmap(CallLog* log, int typeId = HEIGHTMAP_PERLIN) : log_(log), typeId_(typeId) {}
  bool OnLostDevice() override { return true; }
  bool OnResetDevice() override { return true; }
  bool OnDeviceEvent() override { return true; }
  IDirect3DTexture9* GetTexture() const override { return nullptr; }
  const float* GetHeights() const override { return nullptr; }
  int GetResolution() const override { return -1; }
  bool WriteTexture(IDirect3DDevice9*) override { return Logged(log_, "heightmap write", kHeightWriteSeconds); }
  bool Update(float time) override {
    times.push_back(time);
    return Logged(log_, "heightmap update", kUpdateSeconds);
  }
  int GetTypeId() const override { return typeId_; }
  bool UseIntegerFormat(IDirect3D9*, IDirect3DDevice9*) override { return true; }
  bool UseFloatFormat(IDirect3D9*, IDirect3DDevice9*) override { return true; }
  D3DFORMAT GetTextureFormat() const override { return D3DFMT_A8R8G8B8; }
  cEngineSettings* FillSettings(cEngineSettings* settings) override { return settings; }
  std::vector<float> times;  // every Update's argument
 private:
  CallLog* log_;
  int typeId_;
};

class LoggingNormalmap : public iNormalmap {
 public:
  LoggingNormalmap(CallLog* log, int typeId) : log_(log), typeId_(typeId) {}
  IDirect3DTexture9* GetTexture() const override { return nullptr; }
  bool OnLostDevice(IDirect3DDevice9*) override { return true; }
  bool OnResetDevice(IDirect3DDevice9*) override { return true; }
  bool OnDeviceEvent(IDirect3DDevice9*) override { return true; }
  bool Compute() override { return Logged(log_, "normalmap compute", kComputeSeconds); }
  bool WriteTexture(IDirect3D9*, IDirect3DDevice9*) override {
    return Logged(log_, "normalmap write", kNormalWriteSeconds);
  }
  const D3DXVECTOR3* GetNormals() const override { return nullptr; }
  int GetResolution() const override { return -1; }
  void SetAmplitude(float value) override { amplitudes.push_back(value); }
  bool IsSupported(IDirect3D9*, IDirect3DDevice9*) override { return true; }
  int GetTypeId() const override { return typeId_; }
  cEngineSettings* FillSettings(cEngineSettings* settings) override { return settings; }
  std::vector<float> amplitudes;  // every SetAmplitude's argument
 private:
  CallLog* log_;
  int typeId_;
};

// Every live edit box and check box of the engine menus.
inline const std::vector<int> kEngineBoxes = {229, 230, 231, 232, 233, 234, 238, 239, 242, 245, 246, 247, 248,
                                              250, 251, 261, 262, 263, 265, 266, 271, 272, 273, 274, 275, 276,
                                              277, 278, 279, 280, 282, 283, 307};
inline const std::vector<int> kEngineChecks = {235, 236, 244, 249, 259, 269, 270};

class PipelineTest : public EditorTest {
 protected:
  void SetUp() override { Start(); }
  void TearDown() override { ShutdownEditor(); }
  // Detaches the fixture's components, so the editor never frees them, and shuts down.
  void ShutdownEditor() {
    if (editor) {
      cWaterScene& scene = editor->waterScene;
      scene.heightmap = nullptr;
      scene.normalmap = nullptr;
      scene.geometry = nullptr;
      scene.engine = nullptr;
    }
    EditorTest::TearDown();
    editor = nullptr;
  }
  // A menu with edit boxes (text "0") and unchecked check boxes of these ids.
  static cMenu* MakeMenu(int menuId, const std::vector<int>& boxes, const std::vector<int>& checks) {
    auto* menu = new cMenu(menuId, nullptr);
    for (int id : boxes)
      menu->Add(new cEditbox(id, D3DXVECTOR2(0.0f, 0.0f), D3DXVECTOR2(0.1f, 0.03f), D3DXVECTOR2(0.01f, 0.005f), L"0",
                             nullptr, nullptr));
    for (int id : checks) menu->Add(new cCheckbox(id, 0, nullptr, nullptr, D3DXVECTOR2(0.0f, 0.0f), 0.03f, 0.03f));
    return menu;
  }
  // The editor's menus for `engineType`, holding the live controls (the editor deletes them).
  void UseMenus(int engineType) {
    cEditor::Menus& m = editor->menus;
    cMenu** engines[] = {&m.sm1Engine, &m.sm2Engine, &m.sm3Engine, &m.ffpEngine};  // by type from ENGINE_SM1
    for (cMenu** menu : {&m.heightmap, &m.normalmap, &m.geometry, &m.settings, engines[0], engines[1], engines[2],
                         engines[3]}) {
      delete *menu;
      *menu = nullptr;
    }
    editor->engineType = engineType;
    m.heightmap = MakeMenu(EditorId::kMenuHeightmap, {138, 155}, {139, 157});
    m.normalmap = MakeMenu(EditorId::kMenuNormalmap, {172}, {173});
    m.geometry = MakeMenu(EditorId::kMenuGeometry, {206, 207, 220}, {});
    m.settings = MakeMenu(EditorId::kMenuSettings, {}, {295});
    const int menuIds[] = {EditorId::kMenuSM1Engine, EditorId::kMenuSM2Engine, EditorId::kMenuSM3Engine,
                           EditorId::kMenuFFPEngine};
    *engines[engineType - ENGINE_SM1] = MakeMenu(menuIds[engineType - ENGINE_SM1], kEngineBoxes, kEngineChecks);
  }
  // Hands the component to the water scene; the fixture keeps it alive.
  template <class T>
  T* Own(std::unique_ptr<T> component) {
    T* raw = component.get();
    owned_.push_back(std::shared_ptr<void>(std::move(component)));
    return raw;
  }
  // Deletes a component handed out by Own.
  void Delete(const void* component) {
    std::erase_if(owned_, [&](const std::shared_ptr<void>& owned) { return owned.get() == component; });
  }
  CallLog log;
 private:
  std::vector<std::shared_ptr<void>> owned_;
};

using namespace EditorId;
using Lines = std::vector<std::string>;

inline constexpr int kTargetSize = 64;

class SceneFrameTest : public PipelineTest {
 protected:
  // Menus for `type` with every pass and feature on, a menu other than the
  // selection screen on top, and a small scene: FFT heightmap and normal map,
  // a grid (radial for shader model 3), the engine and its three targets.
  void Build(int type) {
    UseMenus(type);
    cMenu* menu = editor->EngineMenu();
    for (int id : {kEnableReflection, kEnableRefraction, kEnableExtrusion, kEnableFoam, kEnableSunlight, kEnableDepth})
      Check(menu, id, true);
    Check(editor->menus.settings, kShowIsland, true);
    for (auto [id, text] : {std::pair{kRefractionFillR, L"24"}, {kRefractionFillG, L"40"}, {kRefractionFillB, L"46"},
                            {kExtrusionStrength, L"5"}, {kExtrusionUVScaleX, L"5"}, {kExtrusionUVScaleY, L"5"},
                            {kDepthLimit, L"50"}, {kSunArea, L"200"}, {kSunPower, L"10"}, {kFoamStart, L"0.5"}})
      Write(menu, id, text);
    cGUIManager::Instance()->PopMenu();
    cGUIManager::Instance()->PushMenu(editor->menus.settings, false);
    cWaterScene& scene = editor->waterScene;
    auto* heightmap = Own(std::make_unique<cFFTHeightmap>());
    const D3DXVECTOR2 wind(1.0f, 1.0f);
    ASSERT_TRUE(heightmap->Initialize(16, 4, &wind, 1.0f, 7u));
    auto* normalmap = Own(std::make_unique<cNormalmapFFT>());
    ASSERT_TRUE(normalmap->SetSource(heightmap));
    scene.heightmap = heightmap;
    scene.normalmap = normalmap;
    scene.geometry = type == ENGINE_SM3 ? MakeRadialGrid() : MakeSimpleGrid();
    ASSERT_TRUE(scene.reflectionTarget.Init(kTargetSize, 0.0f, editor->d3d, editor->device));
    ASSERT_TRUE(scene.refractionTarget.Init(kTargetSize, editor->d3d, editor->device));
    ASSERT_TRUE(scene.depthTarget.Init(kTargetSize, editor->d3d, editor->device));
    scene.engine = Own(scene_support::MakeEngine(type));
    scene.engine->SetGeometry(scene.geometry);
    scene.engine->SetNormalmap(normalmap);
    scene.engine->Init(editor->d3d, editor->device, 0.05f, 1000.0f, 0.1f);  // refused without the shaders
    // Textures are made by the first frame's writes.
    Frame();
    platform::Recorded().Clear();
  }
  iWaterGeometry* MakeSimpleGrid() {
    auto* grid = Own(std::make_unique<cSimpleGrid>());
    EXPECT_TRUE(grid->Create(2000.0f, 2000.0f, 8, 8, D3DXVECTOR2(1, 1), D3DXVECTOR3(0, 0, 0), editor->device));
    return grid;
  }
  iWaterGeometry* MakeRadialGrid() {
    auto* grid = Own(std::make_unique<cRadialGrid>());
    EXPECT_TRUE(grid->Create(2000.0f, 16, 1.0f, 1.5f, 10.0f, D3DXVECTOR2(5, 5), D3DXVECTOR3(0, 0, 0), editor->device));
    return grid;
  }
  std::string TargetName(const IDirect3DBaseTexture9* target) const {
    const cWaterScene& scene = editor->waterScene;
    if (target == nullptr) return "back";
    if (target == scene.reflectionTarget.GetTexture()) return "reflection";
    if (target == scene.refractionTarget.GetTexture()) return "refraction";
    if (target == scene.depthTarget.GetTexture()) return "depth";
    return "other";
  }
  // Sky, island or water, by effect file or, for fixed function, by vertex format.
  std::string What(const platform::DrawRecord& draw) const {
    const auto is = [&](const char* file) { return draw.effect.find(file) != std::string::npos; };
    if (is("skybox.fx")) return "sky/" + draw.technique;
    if (is("d3dmesh.fx") || is("depthRendering.fx")) return "island/" + draw.technique;
    if (is("shaders/sm")) return "water/" + draw.technique;
    if (!draw.effect.empty()) return "";
    if (draw.fvf == SKYBOX_FVF) return "sky";
    if (draw.fvf == IslandFVF()) return "island";
    if (draw.fvf == 0) return "water";  // the water geometry draws through a declaration
    return "";                          // the GUI
  }
  DWORD IslandFVF() const {
    auto* island = dynamic_cast<D3DMesh*>(editor->resourceCache->Find(L"data/meshes/island.x"));
    return island && island->mesh ? island->mesh->GetFVF() : ~0u;
  }
  // One line per run of equal draws of the scene: target, what, and the states
  // that differ from the main view's.
  Lines Draws() const {
    Lines lines;
    for (const platform::DrawRecord& draw : platform::Recorded().draws) {
      const std::string what = What(draw);
      if (what.empty()) continue;
      std::string line = TargetName(draw.target) + " " + what;
      if (draw.cullMode == D3DCULL_CW) line += " cw";
      if (draw.clipPlaneEnable) line += " clip";
      if (draw.fillMode == D3DFILL_WIREFRAME) line += " wire";
      if (!draw.zEnable) line += " noz";
      if (lines.empty() || lines.back() != line) lines.push_back(line);
    }
    return lines;
  }
  Lines Clears() const {
    Lines lines;
    for (const platform::ClearRecord& clear : platform::Recorded().clearCalls) {
      char text[64];
      std::snprintf(text, sizeof text, "%s %lx %08lx", TargetName(clear.target).c_str(),
                    static_cast<unsigned long>(clear.flags), static_cast<unsigned long>(clear.color));
      lines.push_back(text);
    }
    return lines;
  }
  // The last value of a texture parameter set on the engine's effect.
  const IDirect3DBaseTexture9* Parameter(const std::string& name) const {
    const IDirect3DBaseTexture9* texture = nullptr;
    for (const platform::ParameterRecord& p : platform::Recorded().parameters)
      if (p.name == name && p.effect.find("shaders/sm") != std::string::npos) texture = p.texture;
    return texture;
  }
  cEngineSettings EngineSettings() const {
    cEngineSettings settings{};
    editor->waterScene.engine->FillSettings(&settings);
    return settings;
  }
  const platform::DrawRecord* FirstDraw(const std::string& what) const {
    for (const platform::DrawRecord& draw : platform::Recorded().draws)
      if (What(draw).rfind(what, 0) == 0) return &draw;
    return nullptr;
  }
  bool ParameterSet(const std::string& name) const {
    const auto& parameters = platform::Recorded().parameters;
    return std::any_of(parameters.begin(), parameters.end(), [&](const auto& p) { return p.name == name; });
  }
};

inline const Lines kClearsWithDepth = {"back 3 ff000000", "reflection 2 ffffffff", "refraction 3 ff18282e",
                                "depth 3 00000000"};
inline const Lines kClearsWithoutDepth = {"back 3 ff000000", "reflection 2 ffffffff", "refraction 3 ff18282e"};

}  // namespace pipeline_test
