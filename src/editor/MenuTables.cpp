#include "editor/MenuTables.h"

#include <algorithm>

#include "editor/EditorIds.h"

using namespace EditorId;

namespace {

constexpr const wchar_t* kWindow1 = L"data/gui/custom_window1.tga";
constexpr const wchar_t* kWarning = L"data/gui/warning.tga";
constexpr const wchar_t* kAreYouSure = L"All current work will be lost. Are you sure ?";

// The frame every dialog shares: background window, OK and cancel buttons.
constexpr float kDialogX = -0.15f, kDialogTop = 0.15f, kDialogWidth = 0.3f, kDialogHeight = 0.2f;
constexpr float kDialogOkX = -0.13f, kDialogButtonTop = 0.0f;
MenuRow DialogWindow(int escape = 0) {
  return WindowRow(0, 0, kDialogX, kDialogTop, kDialogWidth, kDialogHeight, kWindow1, escape);
}
MenuRow DialogOk(int click) { return ButtonRow(0, 0, kDialogOkX, kDialogButtonTop, 0.08f, 0.04f, L"ok", click); }
MenuRow DialogCancel(int id, int click, int escape = 0) {
  return ButtonRow(id, 0, 0.05f, kDialogButtonTop, 0.08f, 0.04f, L"cancel", click, 0, escape);
}
constexpr float kInfoTextTop = 0.1f;
constexpr float kInfoTextGap = 0.02f;  // at least, between the text and the OK button

// The panel at the left with the close button that every component menu has.
MenuRow MenuWindow() { return WindowRow(0, 0, -0.75f, 0.55f, 0.3f, 0.3f, kWindow1); }
MenuRow CloseButton() {
  return ButtonRow(kCloseButton, 0, -0.5f, 0.535f, 0.0375f, 0.0375f, L"close1", kEventClose, 0, kEventClose);
}

MenuRow ToolbarButton(int id, float x, const wchar_t* image, int click) {
  return ButtonRow(id, 0, x, -0.46f, 0.075f, 0.075f, image, click, click + 1);
}
MenuRow WarningMark(int id, float x) { return WindowRow(id, 0, x, -0.44f, 0.03f, 0.03f, kWarning); }
MenuRow CreateButton(int id, int group, int click) {
  return ButtonRow(id, group, 0.12f, 0.24f, 0.075f, 0.0375f, L"create", click);
}

}  // namespace

std::vector<MenuRow> NewStateRows() {
  return {DialogWindow(), DialogOk(kEventNewStateOk),
          DialogCancel(kNewStateCancel, kEventNewStateCancel, kEventClose),
          TextRow(0, 0, 0, -0.1f, 0.1f, 0.2f, kAreYouSure)};
}

std::vector<MenuRow> ExitRows() {
  return {DialogWindow(kEventClose), DialogOk(kEventExitOk), DialogCancel(0, kEventExitCancel),
          TextRow(0, 0, 0, -0.1f, 0.1f, 0.2f, kAreYouSure)};
}

std::vector<MenuRow> SaveRows() {
  return {DialogWindow(kEventClose), DialogOk(kEventSaveOk), DialogCancel(0, kEventClose),
          EditboxRow(kSaveName, 0, -0.11f, 0.07f, 0.22f, 0.03f, L"MyEngine", 2),
          TextRow(0, 0, 0, -0.09f, 0.1f, 0.3f, L"Enter filename")};
}

std::vector<MenuRow> LoadRows() {
  return {DialogWindow(kEventClose), DialogOk(kEventLoadOk), DialogCancel(0, kEventClose),
          ComboboxRow(kLoadList, 0, 0, -0.13f, 0.1f, 0, {}),
          TextRow(0, 0, 0, -0.13f, 0.12f, 0.3f, L"Select file to load")};
}

std::vector<MenuRow> InfoRows() {
  return {DialogWindow(kEventClose), DialogOk(kEventClose),
          TextRow(kInfoText, 0, 0, -0.1f, kInfoTextTop, 0.2f, L"Info text")};
}

InfoBoxLayout InfoBoxLayoutFor(float textHeight) {
  const float okTop = std::min(kDialogButtonTop, kInfoTextTop - textHeight - kInfoTextGap);
  return {kDialogOkX, okTop, kDialogWidth, kDialogHeight + (kDialogButtonTop - okTop)};
}

std::vector<MenuRow> ToolbarRows() {
  return {
      WindowRow(kToolbarEngineIcon, 0, -0.76f, 0.57f, 0.07f, 0.07f, kWarning),
      ToolbarButton(kToolbarNewButton, -0.72f, L"new", kEventNewClick),
      ToolbarButton(kToolbarHeightmapButton, -0.62f, L"heightmap_menu", kEventHeightmapMenuClick),
      WarningMark(kWarningHeightmap, -0.56f),
      ToolbarButton(kToolbarNormalmapButton, -0.52f, L"normalmap_menu", kEventNormalmapMenuClick),
      WarningMark(kWarningNormalmap, -0.46f),
      ToolbarButton(kToolbarGeometryButton, -0.42f, L"geometry_menu", kEventGeometryMenuClick),
      WarningMark(kWarningGeometry, -0.36f),
      ToolbarButton(kToolbarEngineButton, -0.32f, L"waterrendering_menu", kEventEngineMenuClick),
      ToolbarButton(kToolbarExitButton, 0.6f, L"exit1", kEventExitClick),
      ToolbarButton(kToolbarSettingsButton, 0.5f, L"settings", kEventSettingsClick),
      ToolbarButton(kToolbarSaveButton, 0.4f, L"save", kEventSaveClick),
      ToolbarButton(kToolbarLoadButton, 0.3f, L"load", kEventLoadClick),
      WarningMark(kWarningEngine, -0.26f),
      WindowRow(kHeightmapStatsWindow, kGroupHeightmapStats, 0.45f, 0.56f, 0.3f, 0.35f, kWindow1),
      WindowRow(kHeightmapPreview, kGroupHeightmapStats, 0.465f, 0.545f, 0.27f, 0.25f, nullptr),
      TextRow(kHeightmapGenerationTime, kGroupHeightmapStats, 0, 0.47f, 0.28f, 0.3f, L"Generation time(s):"),
      TextRow(kHeightmapWriteTime, kGroupHeightmapStats, 0, 0.47f, 0.26f, 0.3f, L"Texture Write Time(s):"),
      WindowRow(kNormalmapStatsWindow, kGroupNormalmapStats, 0.45f, 0.2f, 0.3f, 0.35f, kWindow1),
      WindowRow(kNormalmapPreview, kGroupNormalmapStats, 0.465f, 0.185f, 0.27f, 0.25f, nullptr),
      TextRow(kNormalmapGenerationTime, kGroupNormalmapStats, 0, 0.47f, -0.08f, 0.3f, L"Generation time(s):"),
      TextRow(kNormalmapWriteTime, kGroupNormalmapStats, 0, 0.47f, -0.1f, 0.3f, L"Texture Write Time(s):"),
      WindowRow(kGeometryStatsWindow, kGroupGeometryStats, 0.45f, -0.16f, 0.3f, 0.15f, kWindow1),
      TextRow(kVertexCount, kGroupGeometryStats, 0, 0.47f, -0.18f, 0.3f, L"Vertex count:"),
      TextRow(kTriangleCount, kGroupGeometryStats, 0, 0.47f, -0.2f, 0.3f, L"Triangle count:"),
      TextRow(kExtrusionTime, kGroupGeometryStats, 0, 0.47f, -0.22f, 0.3f, L"Extrusion time(s):"),
      TextRow(kDrawCallCount, kGroupGeometryStats, 0, 0.47f, -0.24f, 0.3f, L"DIP calls:"),
      WindowRow(0, kGroupEngineStats, 0.45f, -0.32f, 0.3f, 0.12f, kWindow1),
      TextRow(kRenderTime, kGroupEngineStats, 0, 0.47f, -0.34f, 0.3f, L"Render time:"),
      WindowRow(0, kGroupLegend, -0.71f, -0.38f, 0.02f, 0.02f, L"data/gui/custom_color1.tga"),
      TextRow(0, kGroupLegend, 0, -0.68f, -0.38f, 0.6f, L"Parameters are updated in real-time after component creation"),
      WindowRow(0, kGroupLegend, -0.71f, -0.41f, 0.02f, 0.02f, L"data/gui/custom_color2.tga"),
      TextRow(0, kGroupLegend, 0, -0.68f, -0.41f, 0.6f, L"Parameters are updated at component create time"),
  };
}

std::vector<MenuRow> SettingsRows() {
  return {
      MenuWindow(),
      CloseButton(),
      TextRow(kMenuTitle, 0, 0, -0.73f, 0.535f, 0.3f, L"Settings menu"),
      ButtonRow(kApplyButton, 0, -0.53f, 0.24f, 0.075f, 0.0375f, L"apply", kEventApplySettings),
      ComboboxRow(kSkyList, 0, 56, -0.725f, 0.36f, 0, {L"1", L"2", L"3"}),
      TextRow(kSkyLabel, 0, 56, -0.72f, 0.38f, 0.3f, L"Select new skybox"),
      ComboboxRow(kResolutionList, 0, 57, -0.725f, 0.46f, 0, {}),
      TextRow(kResolutionLabel, 0, 57, -0.72f, 0.48f, 0.3f, L"Screen resolution"),
      CheckboxRow(kShowIsland, 0, -0.72f, 0.42f, kEventShowIsland),
      TextRow(0, 0, 0, -0.675f, 0.415f, 0.3f, L"Show Island"),
  };
}

std::vector<MenuRow> HeightmapRows() {
  return {
      WindowRow(kHeightmapCommonWindow, kGroupHeightmapCommon, -0.09f, 0.55f, 0.3f, 0.3f, kWindow1),
      EditboxRow(kSimulationSpeed, kGroupHeightmapCommon, -0.07f, 0.51f, 0.18f, 0.03f, L"1.0", 2),
      CheckboxRow(kShowHeightmap, kGroupHeightmapCommon, -0.07f, 0.46f, kEventShowHeightmap),
      TextRow(kSimulationSpeedLabel, kGroupHeightmapCommon, 0, -0.07f, 0.53f, 0.3f, L"Simulation speed"),
      TextRow(kShowHeightmapLabel, kGroupHeightmapCommon, 0, -0.03f, 0.45f, 0.3f, L"Show heightmap"),
      CreateButton(kCreatePerlinButton, kGroupPerlin, kEventCreatePerlin),
      WindowRow(kPerlinWindow, kGroupPerlin, -0.42f, 0.55f, 0.3f, 0.3f, kWindow1),
      WindowRow(kFFTWindow, kGroupFFT, -0.42f, 0.55f, 0.3f, 0.3f, kWindow1),
      EditboxRow(kPersistence, kGroupPerlin, -0.4f, 0.51f, 0.18f, 0.03f, L"1.0", 1),
      EditboxRow(kOctaveCount, kGroupPerlin, -0.4f, 0.44f, 0.18f, 0.03f, L"4", 1),
      EditboxRow(kPerlinGridSize, kGroupPerlin, -0.4f, 0.37f, 0.18f, 0.03f, L"4", 1),
      CheckboxRow(kSquaredHeight, kGroupPerlin, -0.4f, 0.32f, kEventSquaredHeight),
      TextRow(kPersistenceLabel, kGroupPerlin, 0, -0.4f, 0.53f, 0.3f, L"Persistence"),
      TextRow(kOctaveCountLabel, kGroupPerlin, 0, -0.4f, 0.46f, 0.3f, L"Octave count"),
      TextRow(kPerlinGridSizeLabel, kGroupPerlin, 0, -0.4f, 0.39f, 0.3f, L"Grid size"),
      TextRow(kSquaredHeightLabel, kGroupPerlin, 0, -0.36f, 0.31f, 0.3f, L"Squared height"),
      CreateButton(kCreateFFTButton, kGroupFFT, kEventCreateFFT),
      EditboxRow(kWindX, kGroupFFT, -0.4f, 0.51f, 0.12f, 0.03f, L"1.0", 1),
      EditboxRow(kWindZ, kGroupFFT, -0.26f, 0.51f, 0.12f, 0.03f, L"1.0", 1),
      EditboxRow(kAmplitude, kGroupFFT, -0.4f, 0.44f, 0.12f, 0.03f, L"4", 1),
      EditboxRow(kSmoothness, kGroupFFT, -0.27f, 0.44f, 0.12f, 0.03f, L"6.0", 1),
      EditboxRow(kFFTGridSize, kGroupFFT, -0.4f, 0.37f, 0.18f, 0.03f, L"4", 1),
      EditboxRow(kNormalization, kGroupFFT, -0.4f, 0.3f, 0.18f, 0.03f, L"4", 2),
      CheckboxRow(kFixedNormalization, kGroupFFT, -0.2f, 0.3f),
      TextRow(kWindXLabel, kGroupFFT, 0, -0.4f, 0.53f, 0.3f, L"Wind(.X)"),
      TextRow(kWindZLabel, kGroupFFT, 0, -0.26f, 0.53f, 0.3f, L"Wind(.Z)"),
      TextRow(kAmplitudeLabel, kGroupFFT, 0, -0.4f, 0.46f, 0.3f, L"Amplitude"),
      TextRow(kAmplitudeLabel, kGroupFFT, 0, -0.27f, 0.46f, 0.3f, L"Smoothnes"),
      TextRow(kFFTGridSizeLabel, kGroupFFT, 0, -0.4f, 0.39f, 0.3f, L"Grid size"),
      TextRow(kNormalizationLabel, kGroupFFT, 0, -0.4f, 0.32f, 0.3f, L"Normalization"),
      MenuWindow(),
      TextRow(kHeightmapTitle, 0, 56, -0.73f, 0.535f, 0.3f, L"Heightmap menu"),
      TextRow(kHeightmapModelLabel, 0, 56, -0.72f, 0.46f, 0.3f, L"Generation model"),
      TextRow(kHeightmapResolutionLabel, 0, 56, -0.72f, 0.39f, 0.3f, L"Heightmap resolution"),
      CloseButton(),
      ComboboxRow(kHeightmapResolutionList, 0, 56, -0.725f, 0.37f, 0,
                  {L"8", L"16", L"32", L"64", L"128", L"256", L"512", L"1024", L"2048", L"4096"}),
      ComboboxRow(kHeightmapModelList, 0, 57, -0.725f, 0.438f, kEventHeightmapModelPicked,
                  {L"Perlin noise", L"Statistical(FFT)"}),
  };
}

std::vector<MenuRow> NormalmapRows() {
  return {
      WindowRow(kNormalmapCommonWindow, kGroupNormalmapCommon, -0.09f, 0.55f, 0.3f, 0.3f, kWindow1),
      CheckboxRow(kShowNormalmap, kGroupNormalmapCommon, -0.07f, 0.51f, kEventShowNormalmap),
      TextRow(0, kGroupNormalmapCommon, 0, -0.03f, 0.505f, 0.3f, L"Show normalmap"),
      CreateButton(kCreateNormalmapButton, kGroupNormalmapCommon, kEventCreateNormalmap),
      WindowRow(kNormalmapAmplitudeWindow, kGroupNormalsAmplitude, -0.42f, 0.55f, 0.3f, 0.3f, kWindow1),
      EditboxRow(kNormalsAmplitude, kGroupNormalsAmplitude, -0.4f, 0.51f, 0.18f, 0.03f, L"1.0", 2),
      TextRow(0, kGroupNormalsAmplitude, 0, -0.4f, 0.53f, 0.3f, L"Normals amplitude"),
      WindowRow(0, kGroupFFTNormalsNote, -0.42f, 0.55f, 0.3f, 0.3f, kWindow1),
      TextRow(0, kGroupFFTNormalsNote, 0, -0.4f, 0.53f, 0.26f,
              L"The amplitude of normals in case of FFT based heightmap are determined by FFT heightmap generation "
              L"options. Check the 'amplitude' options in heightmap menu."),
      MenuWindow(),
      CloseButton(),
      TextRow(kNormalmapTitle, 0, 56, -0.73f, 0.535f, 0.3f, L"Normalmap menu"),
      TextRow(kNormalmapMethodLabel, 0, 56, -0.72f, 0.46f, 0.3f, L"Generation method"),
      TextRow(kFilteringLabel, kGroupFiltering, 56, -0.72f, 0.39f, 0.3f, L"Filtering type"),
      ComboboxRow(kFilteringList, kGroupFiltering, 56, -0.725f, 0.37f, kEventFilteringPicked,
                  {L"Simple Differencing", L"Centered Differencing"}),
      ComboboxRow(kNormalmapMethodList, 0, 57, -0.725f, 0.438f, kEventNormalmapMethodPicked, {}),
  };
}

std::vector<MenuRow> GeometryRows() {
  constexpr int radial = kGroupRadialGrid;
  constexpr int mip = kGroupGeomipmap;
  constexpr int simple = kGroupSimpleGrid;
  return {
      WindowRow(kGeometryCommonWindow, kGroupGeometryCommon, -0.09f, 0.55f, 0.3f, 0.3f, kWindow1),
      CheckboxRow(kShowGeometryInfo, kGroupGeometryCommon, -0.07f, 0.51f, kEventShowGeometryInfo),
      TextRow(0, kGroupGeometryCommon, 0, -0.03f, 0.505f, 0.3f, L"Show geometry info"),
      CreateButton(kCreateGeometryButton, kGroupGeometryCommon, kEventCreateGeometry),
      WindowRow(kRadialWindow, radial, -0.42f, 0.55f, 0.3f, 0.3f, kWindow1),
      EditboxRow(kRadialMaxRadius, radial, -0.4f, 0.51f, 0.24f, 0.03f, L"2000", 1),
      TextRow(0, radial, 0, -0.4f, 0.53f, 0.3f, L"Maximum grid radius"),
      EditboxRow(kRadialCircleResolution, radial, -0.4f, 0.45f, 0.24f, 0.03f, L"192", 1),
      TextRow(0, radial, 0, -0.4f, 0.47f, 0.3f, L"Circle resolution"),
      EditboxRow(kRadialFirstRadius, radial, -0.4f, 0.39f, 0.24f, 0.03f, L"1.0", 1),
      TextRow(0, radial, 0, -0.4f, 0.41f, 0.3f, L"First circle radius"),
      EditboxRow(kRadialLevelScale, radial, -0.4f, 0.33f, 0.24f, 0.03f, L"1.01", 1),
      TextRow(0, radial, 0, -0.4f, 0.35f, 0.3f, L"Levels scale coefficient"),
      WindowRow(kRadialWindow2, radial, -0.42f, 0.25f, 0.3f, 0.3f, kWindow1),
      EditboxRow(kRadialFirstLevelScale, radial, -0.4f, 0.21f, 0.24f, 0.03f, L"300.0", 1),
      TextRow(0, radial, 0, -0.4f, 0.23f, 0.3f, L"First level scale coefficient"),
      EditboxRow(kRadialUVScaleX, radial, -0.4f, 0.15f, 0.12f, 0.03f, L"5.0f", 1),
      EditboxRow(kRadialUVScaleY, radial, -0.26f, 0.15f, 0.12f, 0.03f, L"5.0f", 1),
      TextRow(0, radial, 0, -0.4f, 0.17f, 0.3f, L".x UV scale"),
      TextRow(0, radial, 0, -0.26f, 0.17f, 0.3f, L".y UV scale"),
      EditboxRow(kRadialCenterX, radial, -0.4f, 0.085f, 0.08f, 0.03f, L"0.0", 1),
      TextRow(0, radial, 0, -0.4f, 0.11f, 0.3f, L"Center(X)"),
      EditboxRow(kRadialCenterY, radial, -0.31f, 0.085f, 0.08f, 0.03f, L"0.0", 1),
      TextRow(0, radial, 0, -0.31f, 0.11f, 0.3f, L"Center(Y)"),
      EditboxRow(kRadialCenterZ, radial, -0.22f, 0.085f, 0.08f, 0.03f, L"0.0", 1),
      TextRow(0, radial, 0, -0.22f, 0.11f, 0.3f, L"Center(Z)"),
      EditboxRow(kRadialHeightFalloff, radial, -0.4f, 0.01f, 0.24f, 0.03f, L"3000.0", 2),
      TextRow(0, radial, 0, -0.4f, 0.035f, 0.3f, L"Vertex height falloff distance"),
      WindowRow(kGeomipmapWindow, mip, -0.42f, 0.55f, 0.3f, 0.3f, kWindow1),
      EditboxRow(kGeomipmapWidthX, mip, -0.4f, 0.51f, 0.12f, 0.03f, L"2000.0", 1),
      EditboxRow(kGeomipmapWidthZ, mip, -0.26f, 0.51f, 0.12f, 0.03f, L"2000.0", 1),
      TextRow(0, mip, 0, -0.4f, 0.53f, 0.3f, L"X Width"),
      TextRow(0, mip, 0, -0.26f, 0.53f, 0.3f, L"Z Width"),
      EditboxRow(kGeomipmapMaxTesselation, mip, -0.4f, 0.45f, 0.24f, 0.03f, L"32", 1),
      TextRow(0, mip, 0, -0.4f, 0.47f, 0.3f, L"Maximum tesselation"),
      EditboxRow(kGeomipmapCenterX, mip, -0.4f, 0.385f, 0.08f, 0.03f, L"0.0", 1),
      TextRow(0, mip, 0, -0.4f, 0.41f, 0.3f, L"Center(X)"),
      EditboxRow(kGeomipmapCenterY, mip, -0.31f, 0.385f, 0.08f, 0.03f, L"0.0", 1),
      TextRow(0, mip, 0, -0.31f, 0.41f, 0.3f, L"Center(Y)"),
      EditboxRow(kGeomipmapCenterZ, mip, -0.22f, 0.385f, 0.08f, 0.03f, L"0.0", 1),
      TextRow(0, mip, 0, -0.22f, 0.41f, 0.3f, L"Center(Z)"),
      EditboxRow(kGeomipmapUVScaleX, mip, -0.4f, 0.32f, 0.12f, 0.03f, L"5.0f", 1),
      EditboxRow(kGeomipmapUVScaleY, mip, -0.26f, 0.32f, 0.12f, 0.03f, L"5.0f", 1),
      TextRow(0, mip, 0, -0.4f, 0.34f, 0.3f, L".x UV scale"),
      TextRow(0, mip, 0, -0.26f, 0.34f, 0.3f, L".y UV scale"),
      WindowRow(kGeomipmapWindow2, mip, -0.42f, 0.25f, 0.3f, 0.3f, kWindow1),
      EditboxRow(kGeomipmapPatchesX, mip, -0.4f, 0.21f, 0.12f, 0.03f, L"16", 1),
      EditboxRow(kGeomipmapPatchesZ, mip, -0.26f, 0.21f, 0.12f, 0.03f, L"16", 1),
      TextRow(0, mip, 0, -0.4f, 0.23f, 0.3f, L"X patch count"),
      TextRow(0, mip, 0, -0.26f, 0.23f, 0.3f, L"Z patch count"),
      EditboxRow(kGeomipmapLodFalloff, mip, -0.4f, 0.15f, 0.24f, 0.03f, L"1000.0", 2),
      TextRow(0, mip, 0, -0.4f, 0.17f, 0.3f, L"LOD falloff distance"),
      EditboxRow(kGeomipmapHeightFalloff, mip, -0.4f, 0.09f, 0.24f, 0.03f, L"1000.0", 2),
      TextRow(0, mip, 0, -0.4f, 0.11f, 0.3f, L"Vertex height falloff distance"),
      WindowRow(kSimpleWindow, simple, -0.42f, 0.55f, 0.3f, 0.3f, kWindow1),
      EditboxRow(kSimpleWidthX, simple, -0.4f, 0.51f, 0.12f, 0.03f, L"1000.0", 1),
      EditboxRow(kSimpleWidthZ, simple, -0.26f, 0.51f, 0.12f, 0.03f, L"1000.0", 1),
      TextRow(0, simple, 0, -0.4f, 0.53f, 0.3f, L"X Width"),
      TextRow(0, simple, 0, -0.26f, 0.53f, 0.3f, L"Z Width"),
      EditboxRow(kSimpleTesselationX, simple, -0.4f, 0.45f, 0.12f, 0.03f, L"128", 1),
      EditboxRow(kSimpleTesselationZ, simple, -0.26f, 0.45f, 0.12f, 0.03f, L"128", 1),
      TextRow(0, simple, 0, -0.4f, 0.47f, 0.3f, L"X Tesselation"),
      TextRow(0, simple, 0, -0.26f, 0.47f, 0.3f, L"Z Tesselation"),
      EditboxRow(kSimpleCenterX, simple, -0.4f, 0.385f, 0.08f, 0.03f, L"0.0", 1),
      TextRow(0, simple, 0, -0.4f, 0.41f, 0.3f, L"Center(X)"),
      EditboxRow(kSimpleCenterY, simple, -0.31f, 0.385f, 0.08f, 0.03f, L"0.0", 1),
      TextRow(0, simple, 0, -0.31f, 0.41f, 0.3f, L"Center(Y)"),
      EditboxRow(kSimpleCenterZ, simple, -0.22f, 0.385f, 0.08f, 0.03f, L"0.0", 1),
      TextRow(0, simple, 0, -0.22f, 0.41f, 0.3f, L"Center(Z)"),
      EditboxRow(kSimpleUVScaleX, simple, -0.4f, 0.32f, 0.12f, 0.03f, L"5.0f", 1),
      EditboxRow(kSimpleUVScaleY, simple, -0.26f, 0.32f, 0.12f, 0.03f, L"5.0f", 1),
      TextRow(0, simple, 0, -0.4f, 0.34f, 0.3f, L".x UV scale"),
      TextRow(0, simple, 0, -0.26f, 0.34f, 0.3f, L".y UV scale"),
      MenuWindow(),
      CloseButton(),
      TextRow(kMenuTitle, 0, 56, -0.73f, 0.535f, 0.3f, L"Geometry menu"),
      TextRow(kGeometryTypeLabel, 0, 56, -0.72f, 0.46f, 0.3f, L"Geometry type"),
      ComboboxRow(kGeometryTypeList, 0, 57, -0.725f, 0.438f, kEventGeometryTypePicked, {}),
  };
}

const std::vector<int>& GroupsHiddenAfterBuild(int menuId) {
  static const std::vector<int> kNone;
  static const std::vector<int> kToolbar{kGroupHeightmapStats, kGroupNormalmapStats, kGroupGeometryStats,
                                         kGroupEngineStats, kGroupLegend};
  static const std::vector<int> kHeightmap{kGroupPerlin, kGroupHeightmapCommon, kGroupFFT};
  static const std::vector<int> kNormalmap{kGroupNormalmapCommon, kGroupNormalsAmplitude, kGroupFFTNormalsNote,
                                           kGroupFiltering};
  static const std::vector<int> kGeometry{kGroupGeometryCommon, kGroupRadialGrid, kGroupGeomipmap, kGroupSimpleGrid};
  static const std::vector<int> kSM3{kGroupDepth,     kGroupSunlight,  kGroupFoam,
                                     kGroupExtrusion, kGroupReflection, kGroupRefraction};
  static const std::vector<int> kSM1{kGroupFoam, kGroupExtrusion, kGroupReflection, kGroupRefraction};
  static const std::vector<int> kFFP{kGroupExtrusion, kGroupReflection, kGroupRefraction};
  switch (menuId) {
    case kMenuToolbar: return kToolbar;
    case kMenuHeightmap: return kHeightmap;
    case kMenuNormalmap: return kNormalmap;
    case kMenuGeometry: return kGeometry;
    case kMenuSM3Engine:
    case kMenuSM2Engine: return kSM3;
    case kMenuSM1Engine: return kSM1;
    case kMenuFFPEngine: return kFFP;
    default: return kNone;
  }
}
