// Returning the menus to their built state, checking a loaded state before
// anything is touched, and writing it into the menus while rebuilding its
// components as the user would by hand. A state loads whole or not at all: a
// component whose values fixed at creation break the create rules (they could
// exhaust memory or wrap indices) refuses the load; values the editor hands
// over every frame are taken as they are, since the state ran with them.
#include <algorithm>
#include <climits>
#include <cmath>
#include <cstring>
#include <cwchar>
#include <initializer_list>
#include <optional>
#include <string>

#include "editor/cEditor.h"
#include "settings/TypeIds.h"
#include "editor/EditorIds.h"
#include "editor/MenuTables.h"
#include "editor/MenuValues.h"
#include "gui/GUIText.h"
#include "gui/cWindow.h"
#include "waterscene/SettingsValidation.h"

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

// The record as the menus hold it once it is written into them: reals with
// three decimals, read back as an edit box reads them. The checks before a
// load judge exactly the values the create commands will read.
cEngineSettings AsWrittenIntoMenus(cEngineSettings settings) {
  char* record = reinterpret_cast<char*>(&settings);
  for (const SettingKey& key : EngineSettingKeys()) {
    if (key.kind != SettingKind::Float) continue;
    float value;
    std::memcpy(&value, record + key.offset, sizeof value);
    wchar_t text[64];
    std::swprintf(text, 64, L"%.3f", static_cast<double>(value));
    value = TextToNumber(text);
    std::memcpy(record + key.offset, &value, sizeof value);
  }
  return settings;
}

using Problem = std::optional<SettingsProblem>;

Problem Refuse(const char* key, const std::string& reason) { return SettingsProblem{key, reason}; }

bool IsTextureEdge(int size, int maxTextureSize) { return IsPowerOfTwo(size) && size <= maxTextureSize; }

Problem HeightmapProblem(const cEngineSettings& s, int maxTextureSize) {
  if (auto problem = CheckHeightmapSettings(s, ValueCheck::FixedAtCreation)) return problem;
  if (s.heightmapType != 0 && s.heightmapResolution > maxTextureSize) {
    return Refuse("heightmap resolution", std::to_string(s.heightmapResolution) +
                                              " is above the card's largest texture, " + std::to_string(maxTextureSize));
  }
  return std::nullopt;
}

// The menus offer the GPU method only where the GPU normal map runs.
Problem NormalmapProblem(const cEngineSettings& s, int engineType) {
  if (auto problem = CheckNormalmapSettings(s, ValueCheck::FixedAtCreation)) return problem;
  if (s.normalmapType == NORMALMAP_FD_TEX && engineType != ENGINE_SM2 && engineType != ENGINE_SM3) {
    return Refuse("normalmap type", "the GPU method needs shader model 2 or 3");
  }
  return std::nullopt;
}

Problem GeometryProblem(const cEngineSettings& s, int engineType) {
  if (auto problem = CheckGeometrySettings(s, ValueCheck::FixedAtCreation)) return problem;
  if (engineType == ENGINE_SM3 && s.geometryType != 0 && s.geometryType != GEOMETRY_RADIAL) {
    return Refuse("geometry type", "this engine draws only the radial grid");
  }
  return std::nullopt;
}

// Of an engine only its pass resolutions are fixed at creation.
Problem EngineProblem(const cEngineSettings& s, int engineType, int maxTextureSize) {
  if (s.engineType == 0) return std::nullopt;
  if (s.heightmapType == 0 || s.normalmapType == 0 || s.geometryType == 0) {
    return Refuse("engine type", "an engine needs a heightmap, a normalmap and a geometry");
  }
  struct Pass {
    bool on;
    int size;
    const char* key;
  };
  const bool depth = engineType == ENGINE_SM2 || engineType == ENGINE_SM3;
  for (const Pass& pass : {Pass{s.enableReflection, s.reflectionResolution, "reflection resolution"},
                           Pass{s.enableRefraction, s.refractionResolution, "refraction resolution"},
                           Pass{depth && s.enableDepthEffects, s.depthTextureResolution, "depth texture resolution"}}) {
    if (pass.on && !IsTextureEdge(pass.size, maxTextureSize)) {
      return Refuse(pass.key,
                    std::to_string(pass.size) + " is not a power of two up to " + std::to_string(maxTextureSize));
    }
  }
  return std::nullopt;
}

std::wstring Wide(const std::string& ascii) { return std::wstring(ascii.begin(), ascii.end()); }

}  // namespace

std::wstring cEditor::LoadRefusal(const cEngineSettings& loaded) const {
  const cEngineSettings s = AsWrittenIntoMenus(loaded);
  const int maxTextureSize = MaxTextureSize();
  const std::pair<const wchar_t*, Problem> checks[] = {{L"heightmap", HeightmapProblem(s, maxTextureSize)},
                                                       {L"normalmap", NormalmapProblem(s, engineType)},
                                                       {L"geometry", GeometryProblem(s, engineType)},
                                                       {L"engine", EngineProblem(s, engineType, maxTextureSize)}};
  for (const auto& [component, problem] : checks) {
    if (problem) return L"Cannot make the " + std::wstring(component) + L" (" + Wide(problem->key) + L": " +
                        Wide(problem->reason) + L").";
  }
  return {};
}

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

void cEditor::LoadIntoMenus(const cEngineSettings& settings) {
  ResetMenus();
  RefreshEngineItems();
  LoadHeightmapIntoMenu(settings);
  LoadNormalmapIntoMenu(settings);
  LoadGeometryIntoMenu(settings);
  LoadEngineIntoMenu(settings);
}

void cEditor::LoadHeightmapIntoMenu(const cEngineSettings& s) {
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
  OnEditorCommand(s.heightmapType == HEIGHTMAP_PERLIN ? kEventCreatePerlin : kEventCreateFFT);
}

void cEditor::LoadNormalmapIntoMenu(const cEngineSettings& s) {
  cMenu* menu = menus.normalmap;
  const int item = ItemOf(s.normalmapType, {NORMALMAP_FD_RAW, NORMALMAP_FD_TEX, NORMALMAP_FFT});
  if (item < 1) {
    return;
  }
  Select(menu, kNormalmapMethodList, item);
  OnEditorCommand(kEventNormalmapMethodPicked);
  if (item != 3) {
    WriteFields(menu, {Real(kNormalsAmplitude, s.fdNormalmapAmplitude)});
    Select(menu, kFilteringList, std::min(s.fdNormalmapMethod, INT_MAX - 1) + 1);  // the file may hold any int
    OnEditorCommand(kEventFilteringPicked);
  }
  SetCheckbox(menu, kShowNormalmap, IsChecked(menu, kShowNormalmap), kEventShowNormalmap);
  OnEditorCommand(kEventCreateNormalmap);
}

void cEditor::LoadGeometryIntoMenu(const cEngineSettings& s) {
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
  OnEditorCommand(kEventCreateGeometry);
}

void cEditor::LoadEngineIntoMenu(const cEngineSettings& s) {
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
  CreateEngine();
}
