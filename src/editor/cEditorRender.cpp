// The water scene of each frame (sky, island, the three passes, the engine's
// per-frame settings and the water), the sky's creation and the GUI previews.
#include <cmath>
#include <cwchar>

#include "editor/cEditor.h"
#include "settings/TypeIds.h"
#include "editor/EditorIds.h"
#include "editor/MenuValues.h"
#include "engine/cWaterEngineSM3.h"
#include "geometry/cGeomipmapGrid.h"
#include "gui/cWindow.h"
#include "heightmap/cFFTHeightmap.h"
#include "normalmap/iNormalmap.h"
#include "scene/D3DMesh.h"
#include "scene/cResourceManager.h"
#include "platform/PassTiming.h"

namespace {

using namespace EditorId;

constexpr float kSkyHalfSize = 2000.0f;
// The sky set's files in face order: the top face shows file 6, the bottom file 5.
constexpr const wchar_t* kSkyFaceFiles[cSkybox::FaceCount] = {
    L"data/sky/1/1.tga", L"data/sky/1/2.tga", L"data/sky/1/3.tga",
    L"data/sky/1/4.tga", L"data/sky/1/6.tga", L"data/sky/1/5.tga",
};
constexpr const wchar_t* kIslandFile = L"data/meshes/island.x";
constexpr const wchar_t* kFoamFile = L"data/misc/foam.tga";
constexpr const wchar_t* kWireColorFile = L"data/gui/wirecolor.tga";

// How the island is lit in every pass, and how its submerged part fades in the refraction.
const D3DXVECTOR3 kIslandSun(100.0f, 100.0f, 100.0f);
const D3DXVECTOR3 kIslandAmbient(0.1f, 0.1f, 0.1f);
constexpr float kIslandDepthPlane = 0.0f;
constexpr float kIslandDepthRange = 70.0f;
constexpr float kFoamTranslation = 0.0f;

D3DXMATRIX Identity() {
  D3DXMATRIX identity;
  D3DXMatrixIdentity(&identity);
  return identity;
}

IDirect3DTexture9* CachedTexture(const cResourceCache* cache, const wchar_t* name) {
  const auto* entry = cache ? dynamic_cast<const D3DTexture*>(cache->Find(name)) : nullptr;
  return entry ? entry->texture : nullptr;
}

// The island, or null when its file did not load.
D3DMesh* CachedMesh(const cResourceCache* cache, const wchar_t* name) {
  auto* entry = cache ? dynamic_cast<D3DMesh*>(cache->Find(name)) : nullptr;
  return entry && entry->mesh ? entry : nullptr;
}

// A colour from three edit boxes, each channel clamped to 0..255 before it is
// shifted so that none bleeds into the next.
D3DCOLOR MenuColor(const cMenu* menu, int redId, int greenId, int blueId) {
  return D3DCOLOR_ARGB(255, EditboxByte(menu, redId), EditboxByte(menu, greenId), EditboxByte(menu, blueId));
}

// One frame of the water scene for the current engine type. The four engine
// types share one sequence; they differ in the sky and island techniques, the
// clip-plane space, the extrusion and the features they are given.
class SceneFrame {
 public:
  SceneFrame(cEditor& editor, bool showIsland)
      : editor_(editor),
        device_(editor.device),
        type_(editor.engineType),
        menu_(editor.EngineMenu()),
        showIsland_(showIsland),
        island_(CachedMesh(editor.resourceCache, kIslandFile)),
        view_(*editor.camera->GetView()),
        projection_(editor.projection),
        viewProjection_(*editor.GetViewProjection()) {}

  void Render() {
    platform::BeginPass("sky");
    DrawSky(view_, nullptr);
    platform::BeginPass("island");
    if (showIsland_) DrawIsland(viewProjection_, false);
    if (iWaterEngine* engine = editor_.waterScene.engine) {
      RenderWater(engine);
    } else if (editor_.waterScene.geometry) {
      RenderWireGrid(editor_.waterScene.geometry);
    }
    if (IsChecked(menu_, kWireframe)) device_->SetRenderState(D3DRS_FILLMODE, D3DFILL_SOLID);
  }

 private:
  bool FixedFunction() const { return type_ == ENGINE_FFP; }
  bool PerPixel() const { return type_ == ENGINE_SM2 || type_ == ENGINE_SM3; }

  // With fixed function the reflected sky is drawn with the depth test off;
  // the effect has a technique for that.
  void DrawSky(const D3DXMATRIX& view, const char* technique) {
    cSkybox* skybox = editor_.skybox;
    if (skybox == nullptr) return;
    if (!FixedFunction()) {
      skybox->RenderEffect(editor_.skyFaces, device_, view, projection_, technique);
      return;
    }
    if (technique) device_->SetRenderState(D3DRS_ZENABLE, FALSE);
    skybox->RenderFixed(editor_.skyFaces, device_, view, projection_);
    if (technique) device_->SetRenderState(D3DRS_ZENABLE, TRUE);
  }

  // Fixed function draws with the device's view, which a pass may have mirrored.
  void DrawIsland(const D3DXMATRIX& viewProjection, bool fadeBelowWater) {
    if (island_ == nullptr) return;
    if (FixedFunction()) {
      island_->RenderFixed(device_, Identity());
    } else if (fadeBelowWater) {
      island_->RenderLitDepth(kIslandSun, viewProjection, false, kIslandAmbient, kIslandDepthPlane,
                              kIslandDepthRange);
    } else {
      island_->RenderLit(kIslandSun, viewProjection, false, kIslandAmbient);
    }
  }

  void RenderWater(iWaterEngine* engine) {
    // Components may have been rebuilt since the engine was made.
    engine->SetGeometry(editor_.waterScene.geometry);
    engine->SetNormalmap(editor_.waterScene.normalmap);
    platform::BeginPass("reflection");
    engine->SetReflectionTexture(RenderReflection());
    SetRefractionColor(engine);
    platform::BeginPass("refraction");
    engine->SetRefractionTexture(RenderRefraction());
    platform::BeginPass("extrusion (CPU)");
    if (editor_.waterScene.geometry) Extrude(engine);
    if (auto* perPixel = PerPixel() ? dynamic_cast<cPerPixelWaterEngine*>(engine) : nullptr) {
      platform::BeginPass("depth");
      SetDepth(perPixel);
      SetSunlight(perPixel);
    }
    SetHeightmapTextures(engine);
    if (auto* perPixel = PerPixel() ? dynamic_cast<cPerPixelWaterEngine*>(engine) : nullptr) {
      iNormalmap* normalmap = editor_.waterScene.normalmap;
      perPixel->SetNormalmapTexture(normalmap ? normalmap->GetTexture() : nullptr);
    }
    if (IsChecked(menu_, kWireframe)) device_->SetRenderState(D3DRS_FILLMODE, D3DFILL_WIREFRAME);
    platform::BeginPass("water");
    editor_.Timed(editor_.timings.engineRender,
                  [&] { engine->Render(device_, &view_, &projection_, &editor_.camera->position); });
  }

  // The mirrored sky and island above the clip height; null when the pass is
  // off or its target could not be begun.
  IDirect3DTexture9* RenderReflection() {
    cReflectionTarget& target = editor_.waterScene.reflectionTarget;
    if (target.GetTexture() == nullptr || !IsChecked(menu_, kEnableReflection)) return nullptr;
    target.SetPlaneHeight(EditboxValue(menu_, kReflectionPlaneY, target.GetPlaneHeight()));
    if (!target.Begin(device_, &view_)) return nullptr;
    const D3DXMATRIX reflectedView = target.GetReflectedView();
    const D3DXMATRIX reflectedViewProjection = reflectedView * projection_;
    device_->Clear(0, nullptr, D3DCLEAR_ZBUFFER, 0xFFFFFFFF, 1.0f, 0);
    DrawSky(reflectedView, "simple_zenable_false");
    const float clipHeight = EditboxValue(menu_, kReflectionClipY, target.GetClipHeight());
    if (FixedFunction()) {
      target.SetClipPlaneWorld(clipHeight, device_);
    } else {
      target.SetClipPlaneProjected(clipHeight, projection_, device_);
    }
    if (showIsland_) DrawIsland(reflectedViewProjection, false);
    DisableClipPlane(device_);
    return target.End(device_) ? target.GetTexture() : nullptr;
  }

  // Every frame, also while the pass is off: the save file takes it from the engine.
  void SetRefractionColor(iWaterEngine* engine) const {
    const D3DCOLOR color = FillColor();
    engine->SetRefractionColor(((color >> 16) & 0xFF) / 255.0f, ((color >> 8) & 0xFF) / 255.0f,
                               (color & 0xFF) / 255.0f);
  }
  D3DCOLOR FillColor() const { return MenuColor(menu_, kRefractionFillR, kRefractionFillG, kRefractionFillB); }

  // What lies below the clip height on the fill colour; null when the pass is
  // off or its target could not be begun.
  IDirect3DTexture9* RenderRefraction() {
    cRefractionTarget& target = editor_.waterScene.refractionTarget;
    if (target.GetTexture() == nullptr || !IsChecked(menu_, kEnableRefraction)) return nullptr;
    if (!target.Begin(device_)) return nullptr;
    const float clipHeight = EditboxValue(menu_, kRefractionClipY, target.GetClipHeight());
    if (FixedFunction()) {
      target.SetClipPlaneWorld(clipHeight, device_);
    } else {
      target.SetClipPlaneProjected(clipHeight, view_, projection_, device_);
    }
    device_->Clear(0, nullptr, D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER, FillColor(), 1.0f, 0);
    if (showIsland_) DrawIsland(viewProjection_, true);
    DisableClipPlane(device_);
    return target.End(device_) ? target.GetTexture() : nullptr;
  }

  // Shader model 3 displaces the vertices on the GPU; the others extrude the
  // geometry on the CPU. Only the call made with 244 checked is timed.
  void Extrude(iWaterEngine* engine) {
    editor_.timings.geometryExtrusion = 0.0f;
    iWaterGeometry* geometry = editor_.waterScene.geometry;
    const bool enabled = IsChecked(menu_, kEnableExtrusion);
    const float strength = EditboxValue(menu_, kExtrusionStrength);
    const float uvX = EditboxValue(menu_, kExtrusionUVScaleX), uvY = EditboxValue(menu_, kExtrusionUVScaleY);
    if (type_ == ENGINE_SM3) {
      auto* sm3 = dynamic_cast<cWaterEngineSM3*>(engine);
      if (sm3 == nullptr) return;
      if (!enabled) {
        sm3->DisableGPUExtrusion();
        return;
      }
      const float falloff = EditboxValue(editor_.menus.geometry, kRadialHeightFalloff);
      editor_.Timed(editor_.timings.geometryExtrusion,
                    [&] { sm3->SetGPUExtrusion(strength, D3DXVECTOR2(uvX, uvY), falloff); });
      return;
    }
    auto* field = dynamic_cast<cGeomipmapGrid*>(geometry);
    if (field) field->SetLodCenter(editor_.camera->position);
    if (enabled) {
      editor_.Timed(editor_.timings.geometryExtrusion,
                    [&] { geometry->Extrude(editor_.waterScene.heightmap, strength, uvX, uvY); });
    } else if (type_ == ENGINE_SM2 && field) {
      field->Extrude(nullptr, 0.0f, 0.0f, 0.0f);  // flat
    }
  }

  // The submerged island's depth below a plane; switched off when the pass is
  // off or any of its steps fails.
  void SetDepth(cPerPixelWaterEngine* engine) {
    cRefractionTarget& target = editor_.waterScene.depthTarget;
    if (target.GetTexture() == nullptr || !IsChecked(menu_, kEnableDepth) || !target.Begin(device_)) {
      engine->DisableDepth();
      return;
    }
    target.SetClipPlaneProjected(EditboxValue(menu_, kDepthClipY, target.GetClipHeight()), view_, projection_,
                                 device_);
    device_->Clear(0, nullptr, D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER, 0x00000000, 1.0f, 0);
    const bool drawn = target.BeginDepth(Identity(), projection_, view_, EditboxValue(menu_, kDepthPlaneY),
                                         EditboxValue(menu_, kDepthLimit), device_);
    if (drawn) {
      if (showIsland_ && island_) island_->DrawSubsets();
      target.EndDepth();
    }
    DisableClipPlane(device_);
    const bool ended = target.End(device_);
    if (drawn && ended) {
      engine->SetDepth(target.GetTexture(), EditboxValue(menu_, kShoreTransparency), EditboxValue(menu_, kFoamScale));
    } else {
      engine->DisableDepth();
    }
  }

  void SetSunlight(cPerPixelWaterEngine* engine) {
    if (!IsChecked(menu_, kEnableSunlight)) {
      engine->DisableSunlight();
      return;
    }
    const D3DXVECTOR3 position(EditboxValue(menu_, kSunPositionX), EditboxValue(menu_, kSunPositionY),
                               EditboxValue(menu_, kSunPositionZ));
    engine->SetSunlight(MenuColor(menu_, kSunColorR, kSunColorG, kSunColorB), EditboxValue(menu_, kSunArea),
                        EditboxValue(menu_, kSunPower), position);
  }

  // Every frame, so that a deleted heightmap never leaves its texture behind.
  void SetHeightmapTextures(iWaterEngine* engine) {
    iHeightmap* heightmap = editor_.waterScene.heightmap;
    IDirect3DTexture9* texture = heightmap ? heightmap->GetTexture() : nullptr;
    if (auto* sm3 = type_ == ENGINE_SM3 ? dynamic_cast<cWaterEngineSM3*>(engine) : nullptr) {
      sm3->SetHeightmapTexture(texture);
    }
    auto* shader = FixedFunction() ? nullptr : dynamic_cast<cShaderWaterEngine*>(engine);
    if (shader == nullptr) return;
    if (texture == nullptr || !IsChecked(menu_, kEnableFoam)) {
      shader->DisableFoam();
      return;
    }
    shader->SetFoam(CachedTexture(editor_.resourceCache, kFoamFile), texture, EditboxValue(menu_, kFoamStart),
                    EditboxValue(menu_, kFoamTransparency), EditboxValue(menu_, kFoamTiling),
                    EditboxValue(menu_, kFoamDistortion), kFoamTranslation, EditboxValue(menu_, kFoamVisibility));
  }

  // Without an engine the bare geometry is drawn as a wireframe.
  void RenderWireGrid(iWaterGeometry* geometry) {
    if (auto* field = dynamic_cast<cGeomipmapGrid*>(geometry)) field->SetLodCenter(editor_.camera->position);
    device_->SetTexture(0, CachedTexture(editor_.resourceCache, kWireColorFile));
    device_->SetRenderState(D3DRS_FILLMODE, D3DFILL_WIREFRAME);
    geometry->Render(device_, &viewProjection_);
    device_->SetRenderState(D3DRS_FILLMODE, D3DFILL_SOLID);
  }

  cEditor& editor_;
  IDirect3DDevice9* device_;
  int type_;
  const cMenu* menu_;
  bool showIsland_;
  D3DMesh* island_;
  D3DXMATRIX view_;
  D3DXMATRIX projection_;
  D3DXMATRIX viewProjection_;
};

// The preview image of a toolbar window: the texture while `shown`, else none.
void ShowPreview(const cMenu* toolbar, int windowId, cBorrowedTexture& preview, IDirect3DTexture9* texture,
                 bool shown) {
  preview.texture = shown ? texture : nullptr;
  if (cWindow* window = toolbar ? toolbar->FindKind<cWindow>(windowId) : nullptr) {
    window->SetImage(preview.texture ? &preview : nullptr);
  }
}

}  // namespace

void cEditor::CreateSkybox() {
  skybox = new cSkybox(cResourceManager::Instance(), device);
  skybox->Create(kSkyHalfSize, D3DXVECTOR3(0.0f, 0.0f, 0.0f), device);
}

void cEditor::FindSkyFaces() {
  for (int face = 0; face < cSkybox::FaceCount; ++face) {
    iResource* entry = resourceCache ? resourceCache->Find(kSkyFaceFiles[face]) : nullptr;
    skyFaces[face] = dynamic_cast<D3DTexture*>(entry);
  }
}

void cEditor::RenderWaterScene() {
  if (camera) SceneFrame(*this, IsChecked(menus.settings, kShowIsland)).Render();
  DrawFps();
}

void cEditor::UpdatePreviews() {
  if (menus.heightmap) UpdateHeightmapPreview();
  if (menus.normalmap) {
    iNormalmap* normalmap = waterScene.normalmap;
    ShowPreview(menus.toolbar, kNormalmapPreview, previews.normalmap, normalmap ? normalmap->GetTexture() : nullptr,
                IsChecked(menus.normalmap, kShowNormalmap));
  }
}

void cEditor::UpdateHeightmapPreview() {
  iHeightmap* heightmap = waterScene.heightmap;
  auto* fft = dynamic_cast<cFFTHeightmap*>(heightmap);
  cEditbox* normalization = FindEditbox(menus.heightmap, kNormalization);
  // Shows the automatic factor in use while the fixed one is not chosen.
  if (fft && normalization && menus.heightmap->IsVisible() && !IsChecked(menus.heightmap, kFixedNormalization)) {
    wchar_t text[64];
    std::swprintf(text, sizeof text / sizeof text[0], L"%.2f", static_cast<double>(fft->GetPeak()));
    normalization->SetText(text);
  }
  ShowPreview(menus.toolbar, kHeightmapPreview, previews.heightmap, heightmap ? heightmap->GetTexture() : nullptr,
              IsChecked(menus.heightmap, kShowHeightmap));
}
