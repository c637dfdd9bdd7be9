// The per-frame status pass: which create buttons may be pressed, the warning
// in the info line, the toolbar markers and the statistics texts.
#include <array>
#include <cwchar>
#include <span>

#include "editor/cEditor.h"
#include "waterscene/ComponentRules.h"
#include "settings/TypeIds.h"
#include "editor/EditorIds.h"
#include "editor/MenuValues.h"
#include "engine/iWaterEngine.h"
#include "geometry/cGeomipmapGrid.h"
#include "geometry/cRadialGrid.h"
#include "geometry/cSimpleGrid.h"
#include "gui/cButton.h"
#include "gui/cGUIManager.h"
#include "gui/cWindow.h"

using namespace EditorId;

namespace {

constexpr const wchar_t* kHeightmapWarning = L"Not all heightmap options are valid. Please check the constrainsts.";
constexpr const wchar_t* kGeometryWarning = L"Not all geometry options are valid. Please check the constraints.";
constexpr const wchar_t* kNormalmapWarning =
    L"Not all normalmap options are valid or the heightmap is not created. Please check the constraints.";
constexpr const wchar_t* kEngineWarning =
    L"Not all engine options are valid or one of the following components is not initalized:heightmap, normalmap, "
    L"geometry. Please check the constraints.";

// A value's bound, read from the edit box that holds it.
struct FieldRule {
  int control;
  Bound bound;
  bool live = false;
};

constexpr FieldRule LiveField(int control, Bound bound) { return FieldRule{control, bound, true}; }

// A component's rules on the boxes of its menu; `controls` holds one box per
// rule, in the rules' order.
template <size_t N>
constexpr std::array<FieldRule, N> OnControls(const ComponentRule (&rules)[N], const int (&controls)[N]) {
  std::array<FieldRule, N> fields{};
  for (size_t i = 0; i < N; ++i) fields[i] = FieldRule{controls[i], rules[i].bound, rules[i].live};
  return fields;
}

namespace rules = ComponentRules;
constexpr auto kHeightmapSpeedFields = OnControls(rules::kHeightmapSpeed, {kSimulationSpeed});
constexpr auto kPerlinFields = OnControls(rules::kPerlin, {kPersistence, kOctaveCount, kPerlinGridSize});
constexpr auto kFFTFields = OnControls(rules::kFFT, {kAmplitude, kFFTGridSize});
constexpr auto kNormalizationFields = OnControls(rules::kMenuNormalization, {kNormalization});
constexpr auto kNormalsAmplitudeFields = OnControls(rules::kNormalsAmplitude, {kNormalsAmplitude});
constexpr auto kSimpleGridFields =
    OnControls(rules::kSimpleGrid, {kSimpleWidthX, kSimpleWidthZ, kSimpleTesselationX, kSimpleTesselationZ,
                                    kSimpleUVScaleX, kSimpleUVScaleY});
constexpr auto kGeomipmapFields =
    OnControls(rules::kGeomipmap, {kGeomipmapWidthX, kGeomipmapWidthZ, kGeomipmapMaxTesselation, kGeomipmapPatchesX,
                                   kGeomipmapPatchesZ, kGeomipmapLodFalloff, kGeomipmapHeightFalloff,
                                   kGeomipmapUVScaleX, kGeomipmapUVScaleY});
constexpr auto kRadialFields =
    OnControls(rules::kRadial, {kRadialMaxRadius, kRadialCircleResolution, kRadialFirstRadius, kRadialLevelScale,
                                kRadialFirstLevelScale, kRadialHeightFalloff, kRadialUVScaleX, kRadialUVScaleY});

// A field missing from its menu fails: every rule names a box the menu has.
bool FieldsPass(const cMenu* menu, std::span<const FieldRule> fields, ValueCheck check) {
  for (const FieldRule& field : fields) {
    if (!Applies(field.live, check)) continue;
    const cEditbox* box = FindEditbox(menu, field.control);
    if (!box || !Within(box->GetValue(), field.bound)) return false;
  }
  return true;
}

// Every engine field reaches the engine each frame; only the pass resolutions
// are fixed when it is made.
constexpr FieldRule kEngineCommonRules[] = {
    LiveField(kReflectionStrength, Bound::NonNegative), LiveField(kFullReflectionDistance, Bound::Positive),
    LiveField(kGlobalTransparency, Bound::NonNegative), LiveField(kReflectionColorR, Bound::Byte),
    LiveField(kReflectionColorG, Bound::Byte),          LiveField(kReflectionColorB, Bound::Byte)};
constexpr FieldRule kRefractionRules[] = {
    LiveField(kRefractionFillR, Bound::Byte), LiveField(kRefractionFillG, Bound::Byte), LiveField(kRefractionFillB, Bound::Byte)};
constexpr FieldRule kExtrusionRules[] = {LiveField(kExtrusionStrength, Bound::NonNegative),
                                             LiveField(kExtrusionUVScaleX, Bound::Positive),
                                             LiveField(kExtrusionUVScaleY, Bound::Positive)};
constexpr FieldRule kFoamRules[] = {LiveField(kFoamStart, Bound::Unit), LiveField(kFoamTransparency, Bound::NonNegative),
                                        LiveField(kFoamTiling, Bound::Positive), LiveField(kFoamDistortion, Bound::NonNegative),
                                        LiveField(kFoamVisibility, Bound::NonNegative)};
constexpr FieldRule kSunlightRules[] = {LiveField(kSunColorR, Bound::Byte), LiveField(kSunColorG, Bound::Byte),
                                            LiveField(kSunColorB, Bound::Byte), LiveField(kSunArea, Bound::Positive),
                                            LiveField(kSunPower, Bound::Positive)};
constexpr FieldRule kDepthRules[] = {LiveField(kShoreTransparency, Bound::NonNegative),
                                         LiveField(kDepthLimit, Bound::NonNegative)};

// The fields of an engine option, checked only while its checkbox is ticked;
// `resolution` (0 for none) is a render-target size.
struct OptionRules {
  int checkbox;
  std::span<const FieldRule> rules;
  int resolution;
};

constexpr OptionRules kCommonOptions[] = {{kEnableReflection, {}, kReflectionResolution},
                                          {kEnableRefraction, kRefractionRules, kRefractionResolution},
                                          {kEnableExtrusion, kExtrusionRules, 0}};
constexpr OptionRules kFoamOption[] = {{kEnableFoam, kFoamRules, 0}};
constexpr OptionRules kShaderModel2Options[] = {{kEnableSunlight, kSunlightRules, 0},
                                                {kEnableDepth, kDepthRules, kDepthResolution}};

// A texture edge the device can make: a power of two no larger than its maximum.
bool IsTextureSize(float value, int maxSize) {
  const int size = SaturatingInt(value);
  return IsPowerOfTwo(size) && size <= maxSize;
}

bool OptionsPass(const cMenu* menu, std::span<const OptionRules> options, int maxTextureSize, ValueCheck check) {
  for (const OptionRules& option : options) {
    if (!IsChecked(menu, option.checkbox)) continue;
    if (!FieldsPass(menu, option.rules, check)) return false;
    if (option.resolution != 0 && !IsTextureSize(EditboxValue(menu, option.resolution), maxTextureSize)) {
      return false;
    }
  }
  return true;
}

bool HasSelection(const cMenu* menu, int id) { return SelectedItem(menu, id) >= 1; }

// Items that read "n/a" stand for a component this engine or heightmap cannot have.
bool IsNotApplicable(const cMenu* menu, int listId) {
  const cCombobox* list = FindCombobox(menu, listId);
  const wchar_t* text = list ? list->GetSelectedText() : nullptr;
  return text != nullptr && std::wcscmp(text, L"n/a") == 0;
}

bool GeometryWithinLimits(const cMenu* menu, int item) {
  const auto count = [menu](int id) { return EditboxInt(menu, id); };
  switch (item) {
    case 1: return cSimpleGrid::WithinLimits(count(kSimpleTesselationX), count(kSimpleTesselationZ));
    case 2:
      return cGeomipmapGrid::WithinLimits(count(kGeomipmapPatchesX), count(kGeomipmapPatchesZ),
                                          count(kGeomipmapMaxTesselation));
    case 3:
      return cRadialGrid::WithinLimits(cRadialGrid::Shape{
          EditboxValue(menu, kRadialMaxRadius), count(kRadialCircleResolution), EditboxValue(menu, kRadialFirstRadius),
          EditboxValue(menu, kRadialLevelScale), EditboxValue(menu, kRadialFirstLevelScale)});
    default: return true;
  }
}

std::span<const FieldRule> GeometryRules(int item) {
  switch (item) {
    case 1: return kSimpleGridFields;
    case 2: return kGeomipmapFields;
    case 3: return kRadialFields;
    default: return {};
  }
}

bool IsTopMenu(const cMenu* menu) { return menu != nullptr && cGUIManager::Instance()->GetTopMenu() == menu; }

void SetText(cMenu* menu, int id, const wchar_t* text) {
  if (cTextarea* area = menu ? menu->FindKind<cTextarea>(id) : nullptr) area->SetText(text);
}

template <class... Args>
void SetTextf(cMenu* menu, int id, const wchar_t* format, Args... args) {
  wchar_t text[64];
  std::swprintf(text, 64, format, args...);
  SetText(menu, id, text);
}

void SetWindowVisible(cMenu* menu, int id, bool visible) {
  if (cWindow* window = menu ? menu->FindKind<cWindow>(id) : nullptr) window->SetVisible(visible);
}

}  // namespace

int cEditor::MaxTextureSize() const {
  D3DCAPS9 caps{};
  if (device == nullptr || FAILED(device->GetDeviceCaps(&caps))) return 0;
  return static_cast<int>(std::min(caps.MaxTextureWidth, caps.MaxTextureHeight));
}

bool cEditor::HeightmapValuesValid(ValueCheck check) const {
  const cMenu* menu = menus.heightmap;
  if (!HasSelection(menu, kHeightmapResolutionList) || !HasSelection(menu, kHeightmapModelList)) return false;
  const cCombobox* resolutions = FindCombobox(menu, kHeightmapResolutionList);
  if (SaturatingInt(resolutions->GetSelectedValue()) > MaxTextureSize()) return false;
  const bool perlin = SelectedItem(menu, kHeightmapModelList) == 1;
  if (!FieldsPass(menu, kHeightmapSpeedFields, check)) return false;
  if (perlin) return FieldsPass(menu, kPerlinFields, check);
  return FieldsPass(menu, kFFTFields, check) && FieldsPass(menu, kNormalizationFields, check);
}

bool cEditor::NormalmapValuesValid(ValueCheck check) const {
  const cMenu* menu = menus.normalmap;
  const int item = SelectedItem(menu, kNormalmapMethodList);
  if (waterScene.heightmap == nullptr || item < 1 || IsNotApplicable(menu, kNormalmapMethodList)) return false;
  if (item > 2) return true;
  return HasSelection(menu, kFilteringList) && FieldsPass(menu, kNormalsAmplitudeFields, check);
}

bool cEditor::GeometryValuesValid(ValueCheck check) const {
  const cMenu* menu = menus.geometry;
  const int item = SelectedItem(menu, kGeometryTypeList);
  if (item < 1 || IsNotApplicable(menu, kGeometryTypeList)) return false;
  return FieldsPass(menu, GeometryRules(item), check) && GeometryWithinLimits(menu, item);
}

bool cEditor::EngineValuesValid(ValueCheck check) const {
  const cMenu* menu = EngineMenu();
  const cWaterScene& scene = waterScene;
  if (!menu || !scene.heightmap || !scene.normalmap || !scene.geometry) return false;
  // The shader model 3 engine moves a radial grid with the camera and draws nothing else.
  if (engineType == ENGINE_SM3 && scene.geometry->GetTypeId() != GEOMETRY_RADIAL) return false;
  const int maxTexture = MaxTextureSize();
  if (!FieldsPass(menu, kEngineCommonRules, check) || !OptionsPass(menu, kCommonOptions, maxTexture, check)) {
    return false;
  }
  if (engineType != ENGINE_FFP && !OptionsPass(menu, kFoamOption, maxTexture, check)) return false;
  return engineType == ENGINE_FFP || engineType == ENGINE_SM1 ||
         OptionsPass(menu, kShaderModel2Options, maxTexture, check);
}

bool cEditor::ValidateHeightmapMenu() { return IsTopMenu(menus.heightmap) && HeightmapValuesValid(); }
bool cEditor::ValidateNormalmapMenu() { return IsTopMenu(menus.normalmap) && NormalmapValuesValid(); }
bool cEditor::ValidateGeometryMenu() { return IsTopMenu(menus.geometry) && GeometryValuesValid(); }

bool cEditor::ValidateEngineMenu(int type) {
  return engineType == type && IsTopMenu(EngineMenu()) && EngineValuesValid();
}
bool cEditor::ValidateFFPEngineMenu() { return ValidateEngineMenu(ENGINE_FFP); }
bool cEditor::ValidateSM1EngineMenu() { return ValidateEngineMenu(ENGINE_SM1); }
bool cEditor::ValidateSM2EngineMenu() { return ValidateEngineMenu(ENGINE_SM2); }
bool cEditor::ValidateSM3EngineMenu() { return ValidateEngineMenu(ENGINE_SM3); }

// Enables the visible create buttons of a menu on top by its validator; a
// refusal puts the warning into the info line.
void cEditor::UpdateCreateButtons(cMenu* menu, std::initializer_list<int> buttons, bool (cEditor::*validate)(),
                                  const wchar_t* warning) {
  if (!menu || !IsTopMenu(menu) || !menu->IsVisible()) return;
  for (int id : buttons) {
    cButton* button = menu->FindKind<cButton>(id);
    if (!button || !button->IsVisible()) continue;
    const bool valid = (this->*validate)();
    button->SetEnabled(valid);
    if (!valid) infoLine.SetText(warning);
  }
}

void cEditor::UpdateComponentStatus() {
  UpdateToolbarMarkers();
  infoLine.SetVisible(true);
  DisplayNotice();
  cMenu* toolbar = menus.toolbar;

  if (menus.heightmap) {
    UpdateCreateButtons(menus.heightmap, {kCreatePerlinButton, kCreateFFTButton}, &cEditor::ValidateHeightmapMenu,
                        kHeightmapWarning);
    if (IsChecked(menus.heightmap, kShowHeightmap)) {
      SetTextf(toolbar, kHeightmapGenerationTime, L"Generation Time(s):%.3f", timings.heightmapUpdate);
      SetTextf(toolbar, kHeightmapWriteTime, L"Texture Write Time(s):%.3f", timings.heightmapWrite);
    }
  }
  if (menus.geometry) {
    UpdateCreateButtons(menus.geometry, {kCreateGeometryButton}, &cEditor::ValidateGeometryMenu, kGeometryWarning);
    if (IsChecked(menus.geometry, kShowGeometryInfo)) UpdateGeometryStatistics();
  }
  if (menus.normalmap) {
    UpdateCreateButtons(menus.normalmap, {kCreateNormalmapButton}, &cEditor::ValidateNormalmapMenu, kNormalmapWarning);
    if (IsChecked(menus.normalmap, kShowNormalmap)) {
      SetTextf(toolbar, kNormalmapGenerationTime, L"Generation Time(s):%.3f", timings.normalmapCompute);
      SetTextf(toolbar, kNormalmapWriteTime, L"Texture Write Time(s):%.3f", timings.normalmapWrite);
    }
  }
  if (cMenu* engineMenu = EngineMenu()) {
    UpdateCreateButtons(engineMenu, {EngineCreateButton()}, &cEditor::ValidateCurrentEngineMenu, kEngineWarning);
    if (IsChecked(engineMenu, kShowEngineInfo)) {
      if (waterScene.engine) {
        SetTextf(toolbar, kRenderTime, L"Render time(s):%.3f", timings.engineRender);
      } else {
        SetText(toolbar, kRenderTime, L"Render time(s):");
      }
    }
  }
}

bool cEditor::ValidateCurrentEngineMenu() { return ValidateEngineMenu(engineType); }

void cEditor::UpdateGeometryStatistics() {
  cMenu* toolbar = menus.toolbar;
  const iWaterGeometry* geometry = waterScene.geometry;
  if (!geometry) {
    SetText(toolbar, kTriangleCount, L"Triangle count:");
    SetText(toolbar, kVertexCount, L"Vertex count:");
    SetText(toolbar, kExtrusionTime, L"Extrusion time(s):");
    SetText(toolbar, kDrawCallCount, L"DIP calls:");
    return;
  }
  SetTextf(toolbar, kTriangleCount, L"Triangle count:%i", geometry->GetTriangleCount());
  SetTextf(toolbar, kVertexCount, L"Vertex count:%i", geometry->GetVertexCount());
  SetTextf(toolbar, kExtrusionTime, L"Extrusion time(s):%.4f", timings.geometryExtrusion);
  SetTextf(toolbar, kDrawCallCount, L"DIP calls:%i", geometry->GetDrawCallCount());
}

// The legend while a component menu is on top; a marker beside each toolbar
// button whose component is missing.
void cEditor::UpdateToolbarMarkers() {
  cMenu* toolbar = menus.toolbar;
  if (!toolbar) return;
  const cMenu* top = cGUIManager::Instance()->GetTopMenu();
  const int topId = top ? top->GetId() : 0;
  bool componentMenu = false;
  for (int id : {kMenuHeightmap, kMenuNormalmap, kMenuGeometry, kMenuFFPEngine, kMenuSM1Engine, kMenuSM2Engine,
                 kMenuSM3Engine}) {
    componentMenu = componentMenu || topId == id;
  }
  toolbar->SetGroupVisible(kGroupLegend, componentMenu);
  SetWindowVisible(toolbar, kWarningHeightmap, waterScene.heightmap == nullptr);
  SetWindowVisible(toolbar, kWarningNormalmap, waterScene.normalmap == nullptr);
  SetWindowVisible(toolbar, kWarningGeometry, waterScene.geometry == nullptr);
  SetWindowVisible(toolbar, kWarningEngine, waterScene.engine == nullptr);
}

int cEditor::EngineCreateButton() const {
  switch (engineType) {
    case ENGINE_FFP: return kCreateFFPEngineButton;
    case ENGINE_SM1: return kCreateSM1EngineButton;
    case ENGINE_SM2: return kCreateSM2EngineButton;
    case ENGINE_SM3: return kCreateSM3EngineButton;
    default: return 0;
  }
}
