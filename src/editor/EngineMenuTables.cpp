// The four engine menus. The shader model 3 menu has every panel; the others
// leave panels out and differ in a few ids, images, defaults and labels.
#include <cstddef>

#include "settings/TypeIds.h"
#include "editor/EditorIds.h"
#include "editor/MenuTables.h"

using namespace EditorId;

namespace {

constexpr const wchar_t* kWindow1 = L"data/gui/custom_window1.tga";

void Append(std::vector<MenuRow>& rows, std::initializer_list<MenuRow> more) { rows.insert(rows.end(), more); }

// A 0.3-size label and the edit box under it.
void LabelledBox(std::vector<MenuRow>& rows, int id, int group, float x, float y, float width, const wchar_t* value,
                 int image, const wchar_t* label) {
  Append(rows, {EditboxRow(id, group, x, y, width, 0.03f, value, image), TextRow(0, group, 0, x, y + 0.02f, 0.3f, label)});
}

void DepthPanel(std::vector<MenuRow>& rows) {
  constexpr int g = kGroupDepth;
  Append(rows, {WindowRow(0, g, -0.09f, 0.25f, 0.3f, 0.35f, kWindow1),
                TextRow(kMenuTitle, g, 0, -0.07f, 0.235f, 0.3f, L"Depth effect options")});
  LabelledBox(rows, kShoreTransparency, g, -0.07f, 0.19f, 0.24f, L"1.0", 2, L"Shore transparency scale[1..]");
  LabelledBox(rows, kDepthClipY, g, -0.07f, 0.13f, 0.24f, L"0.0", 2, L"Clip plane .y coordinate");
  LabelledBox(rows, kDepthResolution, g, -0.07f, 0.07f, 0.24f, L"512", 1, L"Depth texture resolution");
  LabelledBox(rows, kDepthPlaneY, g, -0.07f, 0.01f, 0.24f, L"0.0", 2, L"Plane .y coord");
  LabelledBox(rows, kDepthLimit, g, -0.07f, -0.05f, 0.12f, L"50.0", 2, L"Depth limit");
  LabelledBox(rows, kFoamScale, g, 0.06f, -0.05f, 0.12f, L"1.0", 2, L"Foam scale");
}

void SunlightPanel(std::vector<MenuRow>& rows) {
  constexpr int g = kGroupSunlight;
  Append(rows, {WindowRow(0, g, -0.75f, -0.05f, 0.3f, 0.3f, kWindow1),
                TextRow(kMenuTitle, g, 0, -0.73f, -0.065f, 0.3f, L"Sunlight reflection options")});
  LabelledBox(rows, kSunColorR, g, -0.73f, -0.11f, 0.08f, L"200", 2, L"Sunlight color(RGB)");
  Append(rows, {EditboxRow(kSunColorG, g, -0.64f, -0.11f, 0.08f, 0.03f, L"200", 2),
                EditboxRow(kSunColorB, g, -0.55f, -0.11f, 0.08f, 0.03f, L"200", 2)});
  LabelledBox(rows, kSunArea, g, -0.73f, -0.17f, 0.24f, L"200", 2, L"Sunlight area");
  LabelledBox(rows, kSunPower, g, -0.73f, -0.23f, 0.24f, L"10", 2, L"Sunlight power");
  LabelledBox(rows, kSunPositionX, g, -0.73f, -0.29f, 0.08f, L"1000", 2, L"Sunlight position(XYZ))");
  Append(rows, {EditboxRow(kSunPositionY, g, -0.64f, -0.29f, 0.08f, 0.03f, L"100", 2),
                EditboxRow(kSunPositionZ, g, -0.55f, -0.29f, 0.08f, 0.03f, L"1000", 2)});
}

void FoamPanel(std::vector<MenuRow>& rows) {
  constexpr int g = kGroupFoam;
  Append(rows, {WindowRow(0, g, -0.75f, 0.25f, 0.3f, 0.3f, kWindow1),
                TextRow(kMenuTitle, g, 0, -0.73f, 0.235f, 0.3f, L"Foam rendering options")});
  LabelledBox(rows, kFoamStart, g, -0.73f, 0.19f, 0.24f, L"0.5", 2, L"Foam begins at height [0..1]");
  LabelledBox(rows, kFoamTransparency, g, -0.73f, 0.13f, 0.24f, L"1.0", 2, L"Foam transparency scale:");
  LabelledBox(rows, kFoamTiling, g, -0.73f, 0.07f, 0.24f, L"6.0", 2, L"Foam tiling");
  LabelledBox(rows, kFoamDistortion, g, -0.73f, 0.01f, 0.12f, L"0.1", 2, L"Foam distort.");
  LabelledBox(rows, kFoamVisibility, g, -0.6f, 0.01f, 0.12f, L"2000", 2, L"Visibility dist.");
}

void OptionsPanel(std::vector<MenuRow>& rows) {
  constexpr int g = kGroupEngineOptions;
  Append(rows, {WindowRow(0, g, -0.09f, 0.55f, 0.3f, 0.3f, kWindow1),
                CheckboxRow(kWireframe, g, -0.07f, 0.52f, kEventWireframe),
                TextRow(0, g, 0, -0.03f, 0.515f, 0.3f, L"Render water in wireframe"),
                CheckboxRow(kShowEngineInfo, g, -0.07f, 0.47f, kEventShowEngineInfo),
                TextRow(0, g, 0, -0.03f, 0.465f, 0.3f, L"Show engine info")});
}

// Shader model 3 extrudes with its own defaults; the others share theirs.
void ExtrusionPanel(std::vector<MenuRow>& rows, bool sm3) {
  constexpr int g = kGroupExtrusion;
  const int image = sm3 ? 1 : 2;
  const wchar_t* uvScale = sm3 ? L"7.0f" : L"5.0f";
  Append(rows, {WindowRow(0, g, -0.42f, -0.15f, 0.3f, 0.2f, kWindow1)});
  LabelledBox(rows, kExtrusionStrength, g, -0.4f, -0.19f, 0.24f, L"5.0", image, L"Vertex extrusion strength");
  Append(rows, {EditboxRow(kExtrusionUVScaleX, g, -0.4f, -0.25f, 0.12f, 0.03f, uvScale, image),
                EditboxRow(kExtrusionUVScaleY, g, -0.26f, -0.25f, 0.12f, 0.03f, uvScale, image),
                TextRow(0, g, 0, -0.4f, -0.23f, 0.3f, L".x UV scale"),
                TextRow(0, g, 0, -0.26f, -0.23f, 0.3f, L".y UV scale")});
}

void ReflectionPanels(std::vector<MenuRow>& rows) {
  Append(rows, {WindowRow(0, kGroupReflection, -0.42f, 0.25f, 0.3f, 0.2f, kWindow1)});
  LabelledBox(rows, kReflectionPlaneY, kGroupReflection, -0.4f, 0.21f, 0.24f, L"0.0", 2,
              L"Reflection plane .y coordinate");
  LabelledBox(rows, kReflectionClipY, kGroupReflection, -0.4f, 0.15f, 0.24f, L"0.0", 2, L"Clip plane .y coordinate");
  LabelledBox(rows, kReflectionResolution, kGroupReflection, -0.4f, 0.09f, 0.24f, L"512", 1,
              L"Reflection texture resolution");
  Append(rows, {WindowRow(0, kGroupRefraction, -0.42f, 0.05f, 0.3f, 0.2f, kWindow1)});
  LabelledBox(rows, kRefractionClipY, kGroupRefraction, -0.4f, 0.01f, 0.24f, L"0.0", 2, L"Clip plane .y coordinate");
  LabelledBox(rows, kRefractionResolution, kGroupRefraction, -0.4f, -0.05f, 0.24f, L"512", 1,
              L"Refraction texture resolution");
  LabelledBox(rows, kRefractionFillR, kGroupRefraction, -0.4f, -0.11f, 0.08f, L"24", 2, L"Refraction fill color (RGB)");
  Append(rows, {EditboxRow(kRefractionFillG, kGroupRefraction, -0.31f, -0.11f, 0.08f, 0.03f, L"40", 2),
                EditboxRow(kRefractionFillB, kGroupRefraction, -0.22f, -0.11f, 0.08f, 0.03f, L"46", 2)});
}

struct PanelSwitch {
  int id;
  int event;
  float labelSize;
  const wchar_t* label;
};

// The switches of the engine's passes and effects, one below the other.
void SwitchPanel(std::vector<MenuRow>& rows, int engineType) {
  const bool shaders = engineType != ENGINE_FFP;
  const bool sm2Up = engineType == ENGINE_SM2 || engineType == ENGINE_SM3;
  const wchar_t* extrusion = engineType == ENGINE_SM3 ? L"Enable GPU vertex extrusion" : L"Enable CPU vertex extrusion";
  std::vector<PanelSwitch> switches{{kEnableReflection, kEventReflection, 0.3f, L"Enable reflection"},
                                    {kEnableRefraction, kEventRefraction, 0.3f, L"Enable refraction"},
                                    {kEnableExtrusion, kEventExtrusion, 0.2f, extrusion}};
  if (shaders) switches.push_back({kEnableFoam, kEventFoam, 0.2f, L"Enable foam rendering"});
  if (sm2Up) {
    switches.push_back({kEnableSunlight, kEventSunlight, 0.2f, L"Enable sunlight reflection"});
    switches.push_back({kEnableDepth, kEventDepthEffects, 0.2f, L"Enable depth effects"});
  }
  // The six-switch panel is a little taller and starts higher.
  const float top = sm2Up ? 0.565f : 0.55f;
  const float first = sm2Up ? 0.545f : 0.52f;
  rows.push_back(WindowRow(0, 0, -0.42f, top, 0.3f, sm2Up ? 0.315f : 0.3f, kWindow1));
  for (size_t i = 0; i < switches.size(); ++i) {
    const float y = first - 0.05f * static_cast<float>(i);
    Append(rows, {CheckboxRow(switches[i].id, 0, -0.4f, y, switches[i].event),
                  TextRow(0, 0, 0, -0.36f, y - 0.005f, switches[i].labelSize, switches[i].label)});
  }
}

void MainPanel(std::vector<MenuRow>& rows, int engineType) {
  const wchar_t* title = engineType == ENGINE_SM3   ? L"SM3 Engine menu"
                         : engineType == ENGINE_SM2 ? L"SM2 Engine menu"
                         : engineType == ENGINE_SM1 ? L"SM1 Engine menu"
                                                    : L"FFP Engine menu";
  const wchar_t* colour = engineType == ENGINE_FFP ? L"Vertex diffuse color(RGB)" : L"Reflection color(No texture)";
  Append(rows, {WindowRow(0, 0, -0.75f, 0.55f, 0.3f, 0.3f, kWindow1),
                ButtonRow(kCloseButton, 0, -0.5f, 0.535f, 0.0375f, 0.0375f, L"close1", kEventClose, 0, kEventClose),
                TextRow(kMenuTitle, 0, 0, -0.73f, 0.535f, 0.3f, title)});
  LabelledBox(rows, kReflectionStrength, 0, -0.73f, 0.49f, 0.24f, L"0.05", 2, L"Reflection strength");
  LabelledBox(rows, kFullReflectionDistance, 0, -0.73f, 0.43f, 0.24f, L"1000", 2, L"Full reflection distance");
  LabelledBox(rows, kGlobalTransparency, 0, -0.73f, 0.37f, 0.24f, L"0.1", 2, L"Global transparency [0..1]");
  LabelledBox(rows, kReflectionColorR, 0, -0.73f, 0.31f, 0.08f, L"41", 2, colour);
  Append(rows, {EditboxRow(kReflectionColorG, 0, -0.64f, 0.31f, 0.08f, 0.03f, L"75", 2),
                EditboxRow(kReflectionColorB, 0, -0.55f, 0.31f, 0.08f, 0.03f, L"62", 2)});
}

MenuRow EngineCreateButton(int engineType) {
  struct Create {
    int type, id, event;
  };
  constexpr Create kCreates[] = {{ENGINE_SM3, kCreateSM3EngineButton, kEventCreateSM3Engine},
                                 {ENGINE_SM2, kCreateSM2EngineButton, kEventCreateSM2Engine},
                                 {ENGINE_SM1, kCreateSM1EngineButton, kEventCreateSM1Engine},
                                 {ENGINE_FFP, kCreateFFPEngineButton, kEventCreateFFPEngine}};
  for (const Create& create : kCreates) {
    if (create.type == engineType) {
      return ButtonRow(create.id, 0, 0.12f, 0.24f, 0.075f, 0.0375f, L"create", create.event);
    }
  }
  return ButtonRow(0, 0, 0.12f, 0.24f, 0.075f, 0.0375f, L"create", 0);
}

}  // namespace

std::vector<MenuRow> EngineRows(int engineType) {
  if (engineType < ENGINE_SM1 || engineType > ENGINE_FFP) return {};
  const bool sm2Up = engineType == ENGINE_SM2 || engineType == ENGINE_SM3;
  std::vector<MenuRow> rows;
  if (sm2Up) {
    DepthPanel(rows);
    SunlightPanel(rows);
  }
  if (engineType != ENGINE_FFP) FoamPanel(rows);
  OptionsPanel(rows);
  rows.push_back(EngineCreateButton(engineType));
  ExtrusionPanel(rows, engineType == ENGINE_SM3);
  ReflectionPanels(rows);
  SwitchPanel(rows, engineType);
  MainPanel(rows, engineType);
  return rows;
}
