// A frame of the water scene on a headless device: every pass and feature on,
// a small scene per engine type, and the record summarised as lines (target,
// what was drawn, the states that differ from the main view's).
#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "support/DefaultScene.h"
#include "PipelineTest.h"
#include "geometry/cRadialGrid.h"
#include "geometry/cSimpleGrid.h"
#include "gui/cGUIManager.h"
#include "gui/cWindow.h"
#include "heightmap/cFFTHeightmap.h"
#include "normalmap/cNormalmapFFT.h"
#include "scene/D3DMesh.h"
#include "scene/cSkybox.h"

namespace pipeline_test {

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
      Type(menu, id, text);
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
    for (const platform::ParameterRecord& parameter : platform::Recorded().parameters) {
      if (parameter.name == name && parameter.effect.find("shaders/sm") != std::string::npos)
        texture = parameter.texture;
    }
    return texture;
  }
  cEngineSettings EngineSettings() const {
    cEngineSettings settings{};
    editor->waterScene.engine->FillSettings(&settings);
    return settings;
  }
  const platform::DrawRecord* FirstDraw(const std::string& what) const {
    for (const platform::DrawRecord& draw : platform::Recorded().draws) {
      if (What(draw).rfind(what, 0) == 0) return &draw;
    }
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
