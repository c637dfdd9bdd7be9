// Building the water components from the menu values, and deleting them so that
// no component keeps a pointer to one that is gone.
#include "editor/cEditor.h"
#include "settings/TypeIds.h"
#include "editor/EditorIds.h"
#include "editor/MenuValues.h"
#include "engine/cPerPixelWaterEngine.h"
#include "engine/cWaterEngineFFP.h"
#include "engine/cWaterEngineSM1.h"
#include "engine/cWaterEngineSM2.h"
#include "engine/cWaterEngineSM3.h"
#include "geometry/cGeomipmapGrid.h"
#include "geometry/cRadialGrid.h"
#include "geometry/cSimpleGrid.h"
#include "heightmap/cFFTHeightmap.h"
#include "heightmap/cPerlinNoiseHeightmap.h"
#include "normalmap/cNormalmapFDRaw.h"
#include "normalmap/cNormalmapFDTex.h"
#include "normalmap/cNormalmapFFT.h"

using namespace EditorId;

namespace {

D3DXVECTOR2 Vector2(const cMenu* menu, int x, int y) { return D3DXVECTOR2(EditboxValue(menu, x), EditboxValue(menu, y)); }

D3DXVECTOR3 Vector3(const cMenu* menu, int x, int y, int z) {
  return D3DXVECTOR3(EditboxValue(menu, x), EditboxValue(menu, y), EditboxValue(menu, z));
}

iHeightmap* BuildPerlinHeightmap(const cMenu* menu, int resolution) {
  auto* heightmap = new cPerlinNoiseHeightmap;
  heightmap->Initialize(resolution, EditboxValue(menu, kPersistence), EditboxInt(menu, kOctaveCount),
                        EditboxInt(menu, kPerlinGridSize), IsChecked(menu, kSquaredHeight));
  return heightmap;
}

iHeightmap* BuildFFTHeightmap(const cMenu* menu, int resolution) {
  auto* heightmap = new cFFTHeightmap;
  heightmap->SetSmoothness(EditboxValue(menu, kSmoothness));
  const D3DXVECTOR2 wind = Vector2(menu, kWindX, kWindZ);
  heightmap->Initialize(resolution, EditboxInt(menu, kFFTGridSize), &wind, EditboxValue(menu, kAmplitude));
  if (IsChecked(menu, kFixedNormalization)) heightmap->SetNormalization(EditboxValue(menu, kNormalization));
  return heightmap;
}

// The filtering list's first item is the forward difference, every other one the centred.
int FilteringMethod(const cMenu* menu) { return SelectedItem(menu, kFilteringList) == 1 ? 0 : 1; }

iWaterGeometry* BuildSimpleGrid(const cMenu* menu, IDirect3DDevice9* device) {
  auto* grid = new cSimpleGrid;
  grid->Create(EditboxValue(menu, kSimpleWidthX), EditboxValue(menu, kSimpleWidthZ),
               EditboxInt(menu, kSimpleTesselationX), EditboxInt(menu, kSimpleTesselationZ),
               Vector2(menu, kSimpleUVScaleX, kSimpleUVScaleY),
               Vector3(menu, kSimpleCenterX, kSimpleCenterY, kSimpleCenterZ), device);
  return grid;
}

iWaterGeometry* BuildGeomipmapGrid(const cMenu* menu, IDirect3DDevice9* device) {
  auto* grid = new cGeomipmapGrid;
  grid->Create(EditboxValue(menu, kGeomipmapWidthX), EditboxValue(menu, kGeomipmapWidthZ),
               EditboxInt(menu, kGeomipmapPatchesX), EditboxInt(menu, kGeomipmapPatchesZ),
               EditboxInt(menu, kGeomipmapMaxTesselation), Vector2(menu, kGeomipmapUVScaleX, kGeomipmapUVScaleY),
               Vector3(menu, kGeomipmapCenterX, kGeomipmapCenterY, kGeomipmapCenterZ), device);
  grid->SetLastLevelFalloffDistance(EditboxValue(menu, kGeomipmapLodFalloff));
  grid->SetHeightFalloffDistance(EditboxValue(menu, kGeomipmapHeightFalloff));
  return grid;
}

iWaterGeometry* BuildRadialGrid(const cMenu* menu, IDirect3DDevice9* device) {
  auto* grid = new cRadialGrid;
  grid->Create(EditboxValue(menu, kRadialMaxRadius), EditboxInt(menu, kRadialCircleResolution),
               EditboxValue(menu, kRadialFirstRadius), EditboxValue(menu, kRadialLevelScale),
               EditboxValue(menu, kRadialFirstLevelScale), Vector2(menu, kRadialUVScaleX, kRadialUVScaleY),
               Vector3(menu, kRadialCenterX, kRadialCenterY, kRadialCenterZ), device);
  grid->SetHeightFalloffDistance(EditboxValue(menu, kRadialHeightFalloff));
  return grid;
}

iWaterEngine* NewEngine(int type) {
  switch (type) {
    case ENGINE_FFP: return new cWaterEngineFFP;
    case ENGINE_SM1: return new cWaterEngineSM1;
    case ENGINE_SM2: return new cWaterEngineSM2;
    case ENGINE_SM3: return new cWaterEngineSM3;
    default: return nullptr;
  }
}

D3DCOLOR MenuColor(const cMenu* menu, int r, int g, int b) {
  return D3DCOLOR_ARGB(255, EditboxByte(menu, r), EditboxByte(menu, g), EditboxByte(menu, b));
}

}  // namespace

void cEditor::CreateHeightmap(int model) {
  const bool hadNormalmap = waterScene.normalmap != nullptr;
  cEngineSettings geometryState{};
  if (waterScene.geometry) waterScene.geometry->FillSettings(&geometryState);
  // The normal map reads the heightmap; it goes first and is rebuilt below.
  DeleteNormalmap();
  DeleteHeightmap();
  cMenu* menu = menus.heightmap;
  const cCombobox* resolutions = FindCombobox(menu, kHeightmapResolutionList);
  const int resolution = resolutions ? SaturatingInt(resolutions->GetSelectedValue()) : 0;
  waterScene.heightmap = model == HEIGHTMAP_PERLIN ? BuildPerlinHeightmap(menu, resolution)
                                                   : BuildFFTHeightmap(menu, resolution);
  if (engineType == ENGINE_SM3) waterScene.heightmap->UseFloatFormat(d3d, device);
  RepointGeometry(geometryState);
  if (hadNormalmap) CreateNormalmap();
}

void cEditor::CreateNormalmap() {
  DeleteNormalmap();
  iHeightmap* heightmap = waterScene.heightmap;
  const cMenu* menu = menus.normalmap;
  const float amplitude = EditboxValue(menu, kNormalsAmplitude);
  switch (heightmap ? SelectedItem(menu, kNormalmapMethodList) : -1) {
    case 1: {
      auto* normalmap = new cNormalmapFDRaw;
      normalmap->SetSource(heightmap);
      normalmap->SetMethod(FilteringMethod(menu));
      normalmap->SetAmplitude(amplitude);
      waterScene.normalmap = normalmap;
      break;
    }
    case 2: {
      heightmap->WriteTexture(device);
      auto* normalmap = new cNormalmapFDTex;
      normalmap->Initialize(heightmap->GetTexture(), d3d, device);
      normalmap->SetMethod(FilteringMethod(menu));
      normalmap->SetAmplitude(amplitude);
      waterScene.normalmap = normalmap;
      break;
    }
    case 3: {
      auto* normalmap = new cNormalmapFFT;
      normalmap->SetSource(heightmap);
      waterScene.normalmap = normalmap;
      break;
    }
    default: break;
  }
  if (iWaterEngine* engine = waterScene.engine) engine->SetNormalmap(waterScene.normalmap);
}

// The simple and geomipmap grids cannot be drawn by the shader model 3 engine,
// whose list offers them as "n/a": nothing is made for them there.
void cEditor::CreateGeometry() {
  DeleteGeometry();
  const cMenu* menu = menus.geometry;
  const int item = SelectedItem(menu, kGeometryTypeList);
  if (item == 1 && engineType != ENGINE_SM3) waterScene.geometry = BuildSimpleGrid(menu, device);
  if (item == 2 && engineType != ENGINE_SM3) waterScene.geometry = BuildGeomipmapGrid(menu, device);
  if (item == 3) waterScene.geometry = BuildRadialGrid(menu, device);
  if (iWaterEngine* engine = waterScene.engine) engine->SetGeometry(waterScene.geometry);
}

void cEditor::CreateEngine() {
  DeleteEngine();
  const cMenu* menu = EngineMenu();
  iWaterEngine* engine = NewEngine(engineType);
  if (!engine || !menu) {
    delete engine;
    return;
  }
  waterScene.engine = engine;
  engine->CheckCaps(d3d, device);
  engine->SetGeometry(waterScene.geometry);
  engine->SetNormalmap(waterScene.normalmap);
  engine->Init(d3d, device, EditboxValue(menu, kReflectionStrength), EditboxValue(menu, kFullReflectionDistance),
               EditboxValue(menu, kGlobalTransparency));
  engine->SetReflectionColor(MenuColor(menu, kReflectionColorR, kReflectionColorG, kReflectionColorB));
  cWaterScene& scene = waterScene;
  if (IsChecked(menu, kEnableReflection)) {
    scene.reflectionTarget.Init(EditboxInt(menu, kReflectionResolution), EditboxValue(menu, kReflectionPlaneY), d3d,
                                device);
  }
  if (IsChecked(menu, kEnableRefraction)) scene.refractionTarget.Init(EditboxInt(menu, kRefractionResolution), d3d, device);
  const bool depthEngine = engineType == ENGINE_SM2 || engineType == ENGINE_SM3;
  if (depthEngine && IsChecked(menu, kEnableDepth)) scene.depthTarget.Init(EditboxInt(menu, kDepthResolution), d3d, device);
}

// The geometry follows the new heightmap as it followed the old one (`state`,
// taken before the old one went): extruded by it with the same strength and
// scale, or not at all.
void cEditor::RepointGeometry(const cEngineSettings& state) {
  iWaterGeometry* geometry = waterScene.geometry;
  if (!geometry || !state.extrudeGeometry) return;
  geometry->Extrude(waterScene.heightmap, state.geometryExtrusionStrength, state.geometryExtrusionUVScaleX,
                    state.geometryExtrusionUVScaleY);
}

void cEditor::DeleteHeightmap() {
  if (auto* engine = dynamic_cast<cShaderWaterEngine*>(waterScene.engine)) engine->DisableFoam();
  if (auto* engine = dynamic_cast<cWaterEngineSM3*>(waterScene.engine)) engine->SetHeightmapTexture(nullptr);
  delete waterScene.heightmap;
  waterScene.heightmap = nullptr;
  if (iWaterGeometry* geometry = waterScene.geometry) geometry->Extrude(nullptr, 0.0f, 0.0f, 0.0f);
}

void cEditor::DeleteNormalmap() {
  if (iWaterEngine* engine = waterScene.engine) engine->SetNormalmap(nullptr);
  if (auto* engine = dynamic_cast<cPerPixelWaterEngine*>(waterScene.engine)) engine->SetNormalmapTexture(nullptr);
  delete waterScene.normalmap;
  waterScene.normalmap = nullptr;
}

void cEditor::DeleteGeometry() {
  if (iWaterEngine* engine = waterScene.engine) engine->SetGeometry(nullptr);
  delete waterScene.geometry;
  waterScene.geometry = nullptr;
}

// The pass targets exist for the engine that asked for them.
void cEditor::DeleteEngine() {
  delete waterScene.engine;
  waterScene.engine = nullptr;
  waterScene.ReleaseTargets();
}

void cEditor::DeleteComponents() {
  DeleteEngine();
  DeleteGeometry();
  DeleteNormalmap();
  DeleteHeightmap();
}
