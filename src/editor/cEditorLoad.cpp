// Returning the menus to their built state, and writing a loaded state into
// them while rebuilding its components as the user would by hand. A component
// whose values fixed at creation break the create rules is left out (they
// could exhaust memory or wrap indices); values the editor hands over every
// frame are taken as they are, since the state ran with them.
#include <cmath>
#include <cwchar>
#include <initializer_list>
#include <string>

#include "editor/cEditor.h"
#include "settings/TypeIds.h"
#include "editor/EditorIds.h"
#include "editor/MenuTables.h"
#include "editor/MenuValues.h"
#include "gui/cWindow.h"

using namespace EditorId;

namespace {

enum class Format { Int, Real, Color };

// A value for an edit box: integers with "%i", reals with "%.3f", colours
// (0..1 in the record) as the nearest whole 0..255 step.
struct MenuField {
  int id;
  double value;
  Format format;
};

MenuField Int(int id, int value) { return {id, static_cast<double>(value), Format::Int}; }
MenuField Real(int id, float value) { return {id, value, Format::Real}; }
MenuField Color(int id, float value) { return {id, value, Format::Color}; }

void WriteFields(cMenu* menu, std::initializer_list<MenuField> fields) {
  for (const MenuField& field : fields) {
    cEditbox* box = FindEditbox(menu, field.id);
    if (!box) continue;
    wchar_t text[64];
    switch (field.format) {
      case Format::Int: std::swprintf(text, 64, L"%i", static_cast<int>(field.value)); break;
      case Format::Real: std::swprintf(text, 64, L"%.3f", field.value); break;
      case Format::Color:
        std::swprintf(text, 64, L"%i", SaturatingInt(std::nearbyint(static_cast<float>(field.value) * 255.0f)));
        break;
    }
    box->SetText(text);
  }
}

void Select(cMenu* menu, int id, int item) {
  if (cCombobox* list = FindCombobox(menu, id)) list->Select(item);
}

// Items of the type lists in list order.
int ItemOf(int type, std::initializer_list<int> typesInListOrder) {
  int item = 1;
  for (int listed : typesInListOrder) {
    if (listed == type) return item;
    ++item;
  }
  return -1;
}

void AppendReason(std::wstring* skipped, const wchar_t* reason) {
  if (!skipped->empty()) *skipped += L", ";
  *skipped += reason;
}

}  // namespace

void cEditor::ResetMenus() {
  for (cMenu* menu : AllMenus()) {
    menu->ResetAll();
    for (int group : GroupsHiddenAfterBuild(menu->GetId())) menu->SetGroupVisible(group, false);
  }
  for (int preview : {kHeightmapPreview, kNormalmapPreview}) {
    if (cWindow* window = menus.toolbar ? menus.toolbar->FindKind<cWindow>(preview) : nullptr)
      window->SetImage(nullptr);
  }
  PlaceEngineCreateButton();
}

// Ticks a checkbox as the user would, its event included.
void cEditor::SetCheckbox(cMenu* menu, int id, bool checked, int eventId) {
  if (cCheckbox* box = FindCheckbox(menu, id)) box->SetChecked(checked ? 1 : 0);
  OnEditorCommand(eventId);
}

std::wstring cEditor::LoadIntoMenus(const cEngineSettings& settings) {
  ResetMenus();
  RefreshEngineItems();
  std::wstring skipped;
  LoadHeightmapIntoMenu(settings, &skipped);
  LoadNormalmapIntoMenu(settings, &skipped);
  LoadGeometryIntoMenu(settings, &skipped);
  LoadEngineIntoMenu(settings, &skipped);
  return skipped;
}

void cEditor::LoadHeightmapIntoMenu(const cEngineSettings& s, std::wstring* skipped) {
  cMenu* menu = menus.heightmap;
  const int item = ItemOf(s.heightmapType, {HEIGHTMAP_PERLIN, HEIGHTMAP_FFT});
  if (item < 1) {
    return;
  }
  WriteFields(menu, {Real(kSimulationSpeed, s.heightmapUpdateCoef)});
  Select(menu, kHeightmapModelList, item);
  if (cCombobox* resolutions = FindCombobox(menu, kHeightmapResolutionList)) {
    resolutions->SelectByText(std::to_wstring(s.heightmapResolution).c_str());
  }
  if (s.heightmapType == HEIGHTMAP_PERLIN) {
    WriteFields(menu, {Int(kPerlinGridSize, s.heightmapGridSize), Int(kOctaveCount, s.perlinOctaveCount),
                       Real(kPersistence, s.perlinPersistence)});
    SetCheckbox(menu, kSquaredHeight, s.perlinSquaredHeight, kEventSquaredHeight);
  } else {
    WriteFields(menu, {Int(kFFTGridSize, s.heightmapGridSize), Real(kAmplitude, s.fftAmplitude),
                       Real(kSmoothness, s.fftSmoothness), Real(kWindX, s.windX), Real(kWindZ, s.windZ)});
    // 0 means automatic: the box keeps its value, which a fixed factor of 0 would not pass.
    const bool fixed = s.fftNormalizationFactor != 0.0f;
    if (fixed) WriteFields(menu, {Real(kNormalization, s.fftNormalizationFactor)});
    SetCheckbox(menu, kFixedNormalization, fixed, kEventFixedNormalization);
  }
  SetCheckbox(menu, kShowHeightmap, IsChecked(menu, kShowHeightmap), kEventShowHeightmap);
  OnEditorCommand(kEventHeightmapModelPicked);
  if (!HeightmapValuesValid(ValueCheck::FixedAtCreation)) {
    AppendReason(skipped, L"heightmap (invalid values)");
    return;
  }
  OnEditorCommand(s.heightmapType == HEIGHTMAP_PERLIN ? kEventCreatePerlin : kEventCreateFFT);
}

void cEditor::LoadNormalmapIntoMenu(const cEngineSettings& s, std::wstring* skipped) {
  cMenu* menu = menus.normalmap;
  const int item = ItemOf(s.normalmapType, {NORMALMAP_FD_RAW, NORMALMAP_FD_TEX, NORMALMAP_FFT});
  if (item < 1) {
    return;
  }
  Select(menu, kNormalmapMethodList, item);
  OnEditorCommand(kEventNormalmapMethodPicked);
  if (item != 3) {
    WriteFields(menu, {Real(kNormalsAmplitude, s.fdNormalmapAmplitude)});
    // A method other than 0 or 1 leaves no filter chosen (and its item number could overflow).
    const bool knownMethod = s.fdNormalmapMethod == 0 || s.fdNormalmapMethod == 1;
    Select(menu, kFilteringList, knownMethod ? s.fdNormalmapMethod + 1 : -1);
    OnEditorCommand(kEventFilteringPicked);
  }
  SetCheckbox(menu, kShowNormalmap, IsChecked(menu, kShowNormalmap), kEventShowNormalmap);
  if (!NormalmapValuesValid(ValueCheck::FixedAtCreation)) {
    AppendReason(skipped, waterScene.heightmap ? L"normalmap (invalid values)" : L"normalmap (no heightmap)");
    return;
  }
  OnEditorCommand(kEventCreateNormalmap);
}

void cEditor::LoadGeometryIntoMenu(const cEngineSettings& s, std::wstring* skipped) {
  cMenu* menu = menus.geometry;
  const int item = ItemOf(s.geometryType, {GEOMETRY_SIMPLE, GEOMETRY_GEOMIPMAP, GEOMETRY_RADIAL});
  if (item < 1) {
    return;
  }
  Select(menu, kGeometryTypeList, item);
  OnEditorCommand(kEventGeometryTypePicked);
  SetCheckbox(menu, kShowGeometryInfo, IsChecked(menu, kShowGeometryInfo), kEventShowGeometryInfo);
  switch (s.geometryType) {
    case GEOMETRY_GEOMIPMAP:
      WriteFields(menu, {Real(kGeomipmapWidthX, s.geomipmapSizeX), Real(kGeomipmapWidthZ, s.geomipmapSizeZ),
                         Int(kGeomipmapMaxTesselation, s.geomipmapLevel0Tessellation),
                         Real(kGeomipmapCenterX, s.geometryOriginX), Real(kGeomipmapCenterY, s.geometryOriginY),
                         Real(kGeomipmapCenterZ, s.geometryOriginZ),
                         Real(kGeomipmapUVScaleX, s.geometryDefaultUVScaleX),
                         Real(kGeomipmapUVScaleY, s.geometryDefaultUVScaleY),
                         Int(kGeomipmapPatchesX, s.geomipmapPatchCountX), Int(kGeomipmapPatchesZ, s.geomipmapPatchCountZ),
                         Real(kGeomipmapLodFalloff, s.geomipmapLastLevelFalloffDistance),
                         Real(kGeomipmapHeightFalloff, s.geomipmapHeightFalloffDistance)});
      break;
    case GEOMETRY_RADIAL:
      WriteFields(menu, {Real(kRadialMaxRadius, s.radialMaxRadius), Int(kRadialCircleResolution, s.radialResolution),
                         Real(kRadialFirstRadius, s.radialFirstRadius), Real(kRadialLevelScale, s.radialRadiusOffsetScale),
                         Real(kRadialFirstLevelScale, s.radialFirstLevelOffset),
                         Real(kRadialUVScaleX, s.geometryDefaultUVScaleX), Real(kRadialUVScaleY, s.geometryDefaultUVScaleY),
                         Real(kRadialCenterX, s.geometryOriginX), Real(kRadialCenterY, s.geometryOriginY),
                         Real(kRadialCenterZ, s.geometryOriginZ),
                         Real(kRadialHeightFalloff, s.radialHeightFalloffDistance)});
      break;
    default:
      WriteFields(menu, {Real(kSimpleWidthX, s.simpleGridSizeX), Real(kSimpleWidthZ, s.simpleGridSizeZ),
                         Int(kSimpleTesselationX, s.simpleGridTessellationX),
                         Int(kSimpleTesselationZ, s.simpleGridTessellationZ), Real(kSimpleCenterX, s.geometryOriginX),
                         Real(kSimpleCenterY, s.geometryOriginY), Real(kSimpleCenterZ, s.geometryOriginZ),
                         Real(kSimpleUVScaleX, s.geometryDefaultUVScaleX),
                         Real(kSimpleUVScaleY, s.geometryDefaultUVScaleY)});
      break;
  }
  if (!GeometryValuesValid(ValueCheck::FixedAtCreation)) {
    AppendReason(skipped, L"geometry (invalid values or not offered for this engine)");
    return;
  }
  OnEditorCommand(kEventCreateGeometry);
}

void cEditor::LoadEngineIntoMenu(const cEngineSettings& s, std::wstring* skipped) {
  cMenu* menu = EngineMenu();
  if (s.engineType == 0 || !menu) {
    return;
  }
  // A pass that was off has no target to take its values from: its boxes keep theirs.
  SetCheckbox(menu, kEnableReflection, s.enableReflection, kEventReflection);
  if (s.enableReflection) {
    WriteFields(menu, {Int(kReflectionResolution, s.reflectionResolution),
                       Real(kReflectionPlaneY, s.reflectionPlaneHeight),
                       Real(kReflectionClipY, s.reflectionClipPlaneHeight)});
  }
  SetCheckbox(menu, kEnableRefraction, s.enableRefraction, kEventRefraction);
  if (s.enableRefraction) {
    WriteFields(menu, {Int(kRefractionResolution, s.refractionResolution),
                       Real(kRefractionClipY, s.refractionClipPlaneHeight)});
  }
  WriteFields(menu, {Real(kReflectionStrength, s.engineReflectionStrength),
                     Real(kFullReflectionDistance, s.engineFullReflectionDistance),
                     Real(kGlobalTransparency, s.engineGlobalTransparency), Color(kReflectionColorR, s.engineReflectionColorR),
                     Color(kReflectionColorG, s.engineReflectionColorG), Color(kReflectionColorB, s.engineReflectionColorB),
                     Color(kRefractionFillR, s.engineRefractionColorR), Color(kRefractionFillG, s.engineRefractionColorG),
                     Color(kRefractionFillB, s.engineRefractionColorB)});
  // The shader model 3 engine extrudes on the GPU, the others extrude the geometry.
  const bool gpu = engineType == ENGINE_SM3;
  SetCheckbox(menu, kEnableExtrusion, gpu ? s.enableGPUExtrusion : s.extrudeGeometry, kEventExtrusion);
  WriteFields(menu, {Real(kExtrusionStrength, gpu ? s.gpuExtrusionStrength : s.geometryExtrusionStrength),
                     Real(kExtrusionUVScaleX, gpu ? s.gpuExtrusionUVScaleX : s.geometryExtrusionUVScaleX),
                     Real(kExtrusionUVScaleY, gpu ? s.gpuExtrusionUVScaleY : s.geometryExtrusionUVScaleY)});
  if (engineType != ENGINE_FFP) {
    SetCheckbox(menu, kEnableFoam, s.enableFoam, kEventFoam);
    WriteFields(menu, {Real(kFoamDistortion, s.foamDistortion), Real(kFoamStart, s.foamStartHeight),
                       Real(kFoamTransparency, s.foamScale), Real(kFoamTiling, s.foamTiling),
                       Real(kFoamVisibility, s.maxFoamDistance)});
  }
  if (engineType == ENGINE_SM2 || engineType == ENGINE_SM3) {
    SetCheckbox(menu, kEnableSunlight, s.enableSunlight, kEventSunlight);
    WriteFields(menu, {Color(kSunColorR, s.sunlightColorR), Color(kSunColorG, s.sunlightColorG),
                       Color(kSunColorB, s.sunlightColorB), Real(kSunArea, s.sunlightArea),
                       Real(kSunPower, s.sunlightPower), Real(kSunPositionX, s.sunlightPositionX),
                       Real(kSunPositionY, s.sunlightPositionY), Real(kSunPositionZ, s.sunlightPositionZ)});
    SetCheckbox(menu, kEnableDepth, s.enableDepthEffects, kEventDepthEffects);
    WriteFields(menu, {Real(kShoreTransparency, s.shoreTransparency), Real(kFoamScale, s.shoreFoamScale)});
    if (s.enableDepthEffects) {
      WriteFields(menu, {Real(kDepthPlaneY, s.depthPlaneHeight), Real(kDepthClipY, s.depthClipPlaneHeight),
                         Real(kDepthLimit, s.depthLimit), Int(kDepthResolution, s.depthTextureResolution)});
    }
  }
  SetCheckbox(menu, kShowEngineInfo, IsChecked(menu, kShowEngineInfo), kEventShowEngineInfo);
  if (!waterScene.heightmap || !waterScene.normalmap || !waterScene.geometry) {
    AppendReason(skipped, L"engine (needs heightmap, normalmap and geometry)");
  } else if (!EngineValuesValid(ValueCheck::FixedAtCreation)) {
    AppendReason(skipped, L"engine (invalid values or a geometry it cannot draw)");
  } else {
    CreateEngine();
  }
}
