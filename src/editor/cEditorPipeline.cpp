// The per-frame component step: every live menu value reaches its component,
// the normal map and heightmap advance, and their textures are written only
// when something samples them this frame.
#include <algorithm>
#include <cfloat>
#include <cmath>
#include <optional>

#include "editor/cEditor.h"
#include "settings/TypeIds.h"
#include "editor/EditorIds.h"
#include "editor/MenuValues.h"
#include "engine/iWaterEngine.h"
#include "geometry/cGeomipmapGrid.h"
#include "geometry/cRadialGrid.h"
#include "heightmap/cFFTHeightmap.h"
#include "normalmap/iNormalmap.h"

namespace {

using namespace EditorId;

// The absolute value typed into an edit box; nothing when the menu has no edit
// box of that id, so the component keeps what it has.
std::optional<float> Magnitude(const cMenu* menu, int id) {
  if (!FindEditbox(menu, id)) return std::nullopt;
  return std::fabs(EditboxValue(menu, id));
}

}  // namespace

void cEditor::UpdatePipeline() {
  timings.heightmapUpdate = 0.0f;
  timings.heightmapWrite = 0.0f;
  timings.normalmapCompute = 0.0f;
  timings.normalmapWrite = 0.0f;
  // The normals of a frame come from the heights of the previous one.
  UpdateNormalmap();
  UpdateHeightmap();
  UpdateGeometryValues();
  UpdateEngineValues();
}

void cEditor::UpdateNormalmap() {
  iNormalmap* normalmap = waterScene.normalmap;
  if (normalmap == nullptr) return;
  if (normalmap->GetTypeId() != NORMALMAP_FFT) {
    if (const auto amplitude = Magnitude(menus.normalmap, kNormalsAmplitude)) normalmap->SetAmplitude(*amplitude);
  }
  Timed(timings.normalmapCompute, [&] { normalmap->Compute(); });
  // Shader models 2 and 3 sample the normal map on the GPU.
  if (IsChecked(menus.normalmap, kShowNormalmap) || engineType == ENGINE_SM2 || engineType == ENGINE_SM3) {
    Timed(timings.normalmapWrite, [&] { normalmap->WriteTexture(d3d, device); });
  }
}

void cEditor::UpdateHeightmap() {
  iHeightmap* heightmap = waterScene.heightmap;
  if (heightmap == nullptr) return;
  if (menus.heightmap) {
    float& coef = waterScene.settings.heightmapUpdateCoef;
    if (FindEditbox(menus.heightmap, kSimulationSpeed)) coef = EditboxValue(menus.heightmap, kSimulationSpeed);
    if (auto* fft = dynamic_cast<cFFTHeightmap*>(heightmap)) {
      // 0 asks for the automatic factor, as an unchecked box does.
      if (!IsChecked(menus.heightmap, kFixedNormalization)) {
        fft->SetNormalization(0.0f);
      } else if (const auto factor = Magnitude(menus.heightmap, kNormalization)) {
        fft->SetNormalization(*factor);
      }
    }
    // The whole elapsed time is scaled, so a new speed rescales the past too. A
    // huge speed saturates rather than handing the heightmap an infinite time.
    const float time = std::clamp(coef * timers.simulation.total, -FLT_MAX, FLT_MAX);
    Timed(timings.heightmapUpdate, [&] { heightmap->Update(time); });
  }
  if (HeightmapTextureNeeded()) Timed(timings.heightmapWrite, [&] { heightmap->WriteTexture(device); });
}

// A preview, the foam of shader models 1 and 2, shader model 3's vertex
// fetch and the GPU normal map read the heightmap's texture.
bool cEditor::HeightmapTextureNeeded() const {
  if (menus.heightmap && IsChecked(menus.heightmap, kShowHeightmap)) return true;
  if (engineType == ENGINE_SM1 && IsChecked(menus.sm1Engine, kEnableFoam)) return true;
  if (engineType == ENGINE_SM2 && IsChecked(menus.sm2Engine, kEnableFoam)) return true;
  if (engineType == ENGINE_SM3) return true;
  return waterScene.normalmap && waterScene.normalmap->GetTypeId() == NORMALMAP_FD_TEX;
}

void cEditor::UpdateGeometryValues() {
  iWaterGeometry* geometry = waterScene.geometry;
  if (geometry == nullptr || menus.geometry == nullptr) return;
  if (auto* radial = dynamic_cast<cRadialGrid*>(geometry)) {
    if (const auto falloff = Magnitude(menus.geometry, kRadialHeightFalloff))
      radial->SetHeightFalloffDistance(*falloff);
  } else if (auto* field = dynamic_cast<cGeomipmapGrid*>(geometry)) {
    if (const auto falloff = Magnitude(menus.geometry, kGeomipmapHeightFalloff)) {
      field->SetHeightFalloffDistance(*falloff);
    }
    if (const auto lod = Magnitude(menus.geometry, kGeomipmapLodFalloff)) field->SetLastLevelFalloffDistance(*lod);
  }
}

void cEditor::UpdateEngineValues() {
  iWaterEngine* engine = waterScene.engine;
  const cMenu* menu = EngineMenu();
  if (engine == nullptr || menu == nullptr) return;
  const auto red = Magnitude(menu, kReflectionColorR);
  const auto green = Magnitude(menu, kReflectionColorG);
  const auto blue = Magnitude(menu, kReflectionColorB);
  if (red && green && blue) {
    // Each channel is clamped before it is shifted, so none bleeds into the next.
    engine->SetReflectionColor(D3DCOLOR_ARGB(255, ClampByte(*red), ClampByte(*green), ClampByte(*blue)));
  }
  if (const auto strength = Magnitude(menu, kReflectionStrength)) engine->SetReflectionStrength(*strength);
  if (const auto distance = Magnitude(menu, kFullReflectionDistance)) engine->SetFullReflectionDistance(*distance);
  if (const auto transparency = Magnitude(menu, kGlobalTransparency)) engine->SetGlobalTransparency(*transparency);
}
