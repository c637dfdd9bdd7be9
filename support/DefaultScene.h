// The editor on the selected backend, past the selection screen with the
// menus of one engine type, and a scene at the menus' default values with
// every pass and feature of that engine switched on: FFT heightmap, FFT normal
// map, a simple grid (the radial grid for shader model 3), the engine and its
// three targets. Shared by the whole-frame benchmarks and the GL screenshots.
#pragma once

#include <memory>
#include <string>

#include "app/WinMain.h"
#include "editor/Process.h"
#include "editor/cEditor.h"
#include "settings/TypeIds.h"
#include "editor/EditorIds.h"
#include "editor/MenuValues.h"
#include "engine/cWaterEngineFFP.h"
#include "engine/cWaterEngineSM1.h"
#include "engine/cWaterEngineSM2.h"
#include "engine/cWaterEngineSM3.h"
#include "geometry/cRadialGrid.h"
#include "geometry/cSimpleGrid.h"
#include "heightmap/cFFTHeightmap.h"
#include "normalmap/cNormalmapFFT.h"

namespace scene_support {

inline std::unique_ptr<iWaterEngine> MakeEngine(int engineType) {
  switch (engineType) {
    case ENGINE_FFP: return std::make_unique<cWaterEngineFFP>();
    case ENGINE_SM1: return std::make_unique<cWaterEngineSM1>();
    case ENGINE_SM2: return std::make_unique<cWaterEngineSM2>();
    default: return std::make_unique<cWaterEngineSM3>();
  }
}

struct SceneSizes {
  int heightmap = 512;
  int gridTessellation = 255;  // 256 x 256 vertices, the most 16-bit indices reach
  int targets = 512;
};

class DefaultScene {
 public:
  DefaultScene() = default;
  DefaultScene(const DefaultScene&) = delete;
  DefaultScene& operator=(const DefaultScene&) = delete;
  ~DefaultScene() { Stop(); }

  // Starts the editor on the backend chosen before; the empty string, or what failed.
  std::string Start(int engineType, const SceneSizes& sizes = SceneSizes()) {
    window_ = CreateMainWindow(GetModuleHandleA(nullptr), SW_SHOW);
    if (window_ == nullptr) return "no window";
    editor = cEditor::Instance();
    if (editor->Init(window_) != S_OK) return "Init failed";
    editor->OnGUIEvent(ChooseEvent(engineType), nullptr);
    cMenu* menu = editor->EngineMenu();
    if (menu == nullptr || editor->settingsMenu == nullptr) return "no engine menu";
    using namespace EditorId;
    for (int id : {kEnableReflection, kEnableRefraction, kEnableExtrusion, kEnableFoam, kEnableSunlight,
                   kEnableDepth}) {
      if (cCheckbox* box = FindCheckbox(menu, id)) box->SetChecked(1);
    }
    if (cCheckbox* island = FindCheckbox(editor->settingsMenu, kShowIsland)) island->SetChecked(1);
    return Build(engineType, sizes);
  }

  // Detaches the components before the editor goes, so each is freed once.
  void Stop() {
    if (editor == nullptr) return;
    cWaterScene& scene = editor->waterScene;
    scene.heightmap = nullptr;
    scene.normalmap = nullptr;
    scene.geometry = nullptr;
    scene.engine = nullptr;
    Shutdown();
    editor = nullptr;
  }

  cEditor* editor = nullptr;

 private:
  static int ChooseEvent(int engineType) {
    switch (engineType) {
      case ENGINE_FFP: return EditorId::kEventChooseFFP;
      case ENGINE_SM1: return EditorId::kEventChooseSM1;
      case ENGINE_SM2: return EditorId::kEventChooseSM2;
      default: return EditorId::kEventChooseSM3;
    }
  }

  std::string Build(int engineType, const SceneSizes& sizes) {
    IDirect3D9* d3d = editor->d3d;
    IDirect3DDevice9* device = editor->device;
    const D3DXVECTOR2 wind(1.0f, 1.0f);
    heightmap_ = std::make_unique<cFFTHeightmap>();
    if (!heightmap_->Initialize(sizes.heightmap, 4, &wind, 4.0f, 1u)) return "heightmap";
    normalmap_ = std::make_unique<cNormalmapFFT>();
    if (!normalmap_->SetSource(heightmap_.get())) return "normal map";
    if (engineType == ENGINE_SM3) {
      auto grid = std::make_unique<cRadialGrid>();
      if (!grid->Create(2000.0f, 192, 1.0f, 1.01f, 300.0f, D3DXVECTOR2(5, 5), D3DXVECTOR3(0, 0, 0), device))
        return "radial grid";
      geometry_ = std::move(grid);
    } else {
      auto grid = std::make_unique<cSimpleGrid>();
      const int n = sizes.gridTessellation;
      if (!grid->Create(2000.0f, 2000.0f, n, n, D3DXVECTOR2(5, 5), D3DXVECTOR3(0, 0, 0), device)) return "grid";
      geometry_ = std::move(grid);
    }
    engine_ = MakeEngine(engineType);
    engine_->SetGeometry(geometry_.get());
    engine_->SetNormalmap(normalmap_.get());
    if (!engine_->CheckCaps(d3d, device) || !engine_->Init(d3d, device, 0.05f, 1000.0f, 0.1f)) return "engine";
    engine_->SetReflectionColor(0xFF294B3E);
    cWaterScene& scene = editor->waterScene;
    if (!scene.reflectionTarget.Init(sizes.targets, 0.0f, d3d, device) ||
        !scene.refractionTarget.Init(sizes.targets, d3d, device) || !scene.depthTarget.Init(sizes.targets, d3d, device))
      return "targets";
    scene.heightmap = heightmap_.get();
    scene.normalmap = normalmap_.get();
    scene.geometry = geometry_.get();
    scene.engine = engine_.get();
    return "";
  }

  HWND window_ = nullptr;
  std::unique_ptr<cFFTHeightmap> heightmap_;
  std::unique_ptr<cNormalmapFFT> normalmap_;
  std::unique_ptr<iWaterGeometry> geometry_;
  std::unique_ptr<iWaterEngine> engine_;
};

}  // namespace scene_support
