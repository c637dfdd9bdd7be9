// What the editor does for each event its menus report (the selection screen's
// own events are handled beside it).
#include <filesystem>
#include <string>
#include <system_error>

#include "base/AppPaths.h"
#include "editor/cEditor.h"
#include "settings/TypeIds.h"
#include "editor/EditorIds.h"
#include "editor/MenuTables.h"
#include "editor/MenuValues.h"
#include "gui/cGUIManager.h"
#include "gui/cWindow.h"
#include "heightmap/iHeightmap.h"
#include "platform/Utf8.h"
#include "scene/cResourceCache.h"

using namespace EditorId;

namespace {

constexpr const wchar_t* kSaved = L"The engine has been succesifully saved.";
constexpr const wchar_t* kSaveFailed = L"An error appeared durign engine saving.";
constexpr const wchar_t* kLoaded = L"The engine has been succesifully loaded.";
constexpr const wchar_t* kOtherEngine = L"The current selected engine differs from file engine.";
constexpr const wchar_t* kLoadFailed = L"The file format is not valid or the file does not exist.";
constexpr const wchar_t* kSkyFailed = L"The selected skybox could not be loaded; the current one stays.";
constexpr float kNoticeSeconds = 5.0f;

// Menu id 0 stands for the menu of the current engine type.
constexpr int kEngineMenu = 0;

struct ToolbarCommand {
  int click;
  int hover;
  int menu;
  const wchar_t* tooltip;
};
constexpr ToolbarCommand kToolbarCommands[] = {
    {kEventNewClick, kEventNewHover, kMenuNewState, L"Select a new water rendering engine."},
    {kEventHeightmapMenuClick, kEventHeightmapMenuHover, kMenuHeightmap, L"Open the heightmap generation menu"},
    {kEventNormalmapMenuClick, kEventNormalmapMenuHover, kMenuNormalmap, L"Open the normalmap generation menu"},
    {kEventGeometryMenuClick, kEventGeometryMenuHover, kMenuGeometry, L"Open the geometry generation menu"},
    {kEventEngineMenuClick, kEventEngineMenuHover, kEngineMenu, L"Open the water rendering setting menu"},
    {kEventExitClick, kEventExitHover, kMenuExit, L"Exit the editor and return to OS"},
    {kEventSettingsClick, kEventSettingsHover, kMenuSettings, L"Open the settings menu."},
    {kEventSaveClick, kEventSaveHover, kMenuSave, L"Export current engine state to file"},
    {kEventLoadClick, kEventLoadHover, kMenuLoad, L"Import engine state from file"},
};

// A checkbox that shows a panel while it is ticked.
struct PanelSwitch {
  int event;
  int checkboxMenu;
  int checkbox;
  int panelMenu;
  int group;
};
constexpr PanelSwitch kPanelSwitches[] = {
    {kEventShowHeightmap, kMenuHeightmap, kShowHeightmap, kMenuToolbar, kGroupHeightmapStats},
    {kEventShowNormalmap, kMenuNormalmap, kShowNormalmap, kMenuToolbar, kGroupNormalmapStats},
    {kEventShowGeometryInfo, kMenuGeometry, kShowGeometryInfo, kMenuToolbar, kGroupGeometryStats},
    {kEventShowEngineInfo, kEngineMenu, kShowEngineInfo, kMenuToolbar, kGroupEngineStats},
    {kEventReflection, kEngineMenu, kEnableReflection, kEngineMenu, kGroupReflection},
    {kEventRefraction, kEngineMenu, kEnableRefraction, kEngineMenu, kGroupRefraction},
    {kEventExtrusion, kEngineMenu, kEnableExtrusion, kEngineMenu, kGroupExtrusion},
    {kEventFoam, kEngineMenu, kEnableFoam, kEngineMenu, kGroupFoam},
    {kEventSunlight, kEngineMenu, kEnableSunlight, kEngineMenu, kGroupSunlight},
    {kEventDepthEffects, kEngineMenu, kEnableDepth, kEngineMenu, kGroupDepth},
};

// Where the create buttons of the shader model 2 and 3 menus stand. The depth
// panel takes that place when it shows; the button then moves up into the
// corner of the options panel above it, drawn before the button: every panel
// to its left is drawn after it and would hide it.
constexpr float kCreateButtonX = 0.12f;
constexpr float kCreateButtonY = 0.24f;
constexpr float kDepthPanelRaise = 0.06f;

// A name typed into the save dialog stays a file inside "save".
bool IsSafeSaveName(const std::wstring& name) {
  return !name.empty() && name != L".." && name.find_first_of(L"/\\") == std::wstring::npos;
}

std::string SavePath(const wchar_t* name) { return SaveFilePath(platform::Utf8FromWide(name)); }

}  // namespace

cMenu* cEditor::MenuOrEngineMenu(int menuId) const {
  return menuId == kEngineMenu ? EngineMenu() : FindMenu(menuId);
}

void cEditor::OnEditorCommand(int eventId) {
  if (OnToolbarCommand(eventId) || OnPanelSwitch(eventId)) return;
  switch (eventId) {
    case kEventClose:
    case kEventNewStateCancel:
    case kEventExitCancel: cGUIManager::Instance()->PopMenu(); break;
    case kEventNewStateOk: StartNewState(); break;
    case kEventExitOk:
      if (cGUIManager::Instance()->GetCaller() == kToolbarExitButton) quitRequested = true;
      break;
    case kEventSaveOk: SaveState(); break;
    case kEventLoadOk: LoadState(); break;
    case kEventApplySettings: ApplySettings(); break;
    case kEventHeightmapModelPicked: ShowHeightmapModel(); break;
    case kEventNormalmapMethodPicked: ShowNormalmapMethod(); break;
    case kEventFilteringPicked:
      if (menus.normalmap) {
        menus.normalmap->SetGroupVisible(kGroupNormalmapCommon, true);
        menus.normalmap->SetGroupVisible(kGroupNormalsAmplitude, true);
      }
      break;
    case kEventGeometryTypePicked: ShowGeometryType(); break;
    case kEventCreatePerlin: CreateHeightmapCommand(HEIGHTMAP_PERLIN); break;
    case kEventCreateFFT: CreateHeightmapCommand(HEIGHTMAP_FFT); break;
    case kEventCreateNormalmap: CreateNormalmap(); break;
    case kEventCreateGeometry: CreateGeometry(); break;
    case kEventCreateFFPEngine:
    case kEventCreateSM1Engine:
    case kEventCreateSM2Engine:
    case kEventCreateSM3Engine: CreateEngine(); break;
    default: break;  // 1016, 1017, 1020, 1024, 1036, 1053: read where they are used
  }
}

bool cEditor::OnToolbarCommand(int eventId) {
  cGUIManager* gui = cGUIManager::Instance();
  for (const ToolbarCommand& command : kToolbarCommands) {
    if (eventId == command.hover) {
      infoLine.SetVisible(true);
      infoLine.SetText(command.tooltip);
      return true;
    }
    if (eventId != command.click) continue;
    cMenu* menu = MenuOrEngineMenu(command.menu);
    if (command.menu == kMenuExit) {
      gui->PushMenu(menu, kToolbarExitButton, true);
    } else {
      gui->PushMenu(menu, true);
    }
    if (command.menu == kMenuSave) {
      if (cEditbox* name = FindEditbox(menus.save, kSaveName)) name->Focus();
    }
    // Files may have come or gone outside the editor since the list was filled.
    if (command.menu == kMenuLoad) FillLoadList();
    return true;
  }
  return false;
}

bool cEditor::OnPanelSwitch(int eventId) {
  for (const PanelSwitch& panel : kPanelSwitches) {
    if (eventId != panel.event) continue;
    const bool checked = IsChecked(MenuOrEngineMenu(panel.checkboxMenu), panel.checkbox);
    if (cMenu* menu = MenuOrEngineMenu(panel.panelMenu)) menu->SetGroupVisible(panel.group, checked);
    if (eventId == kEventReflection && !checked) {
      // Refraction cannot stay on without reflection.
      if (cCheckbox* refraction = FindCheckbox(EngineMenu(), kEnableRefraction)) refraction->SetChecked(0);
      OnEditorCommand(kEventRefraction);
    }
    if (eventId == kEventDepthEffects) PlaceEngineCreateButton();
    return true;
  }
  return false;
}

// The shader model 2 and 3 create buttons stand above the depth panel while it
// shows. Placed from the checkbox, not moved by steps, so repeated events and
// menu resets cannot make the button drift.
void cEditor::PlaceEngineCreateButton() {
  if (engineType != ENGINE_SM2 && engineType != ENGINE_SM3) return;
  cMenu* menu = EngineMenu();
  iGUIComponent* button = menu ? menu->FindKind<cButton>(EngineCreateButton()) : nullptr;
  if (!button) return;
  const float raise = IsChecked(menu, kEnableDepth) ? kDepthPanelRaise : 0.0f;
  button->SetPosition(kCreateButtonX, kCreateButtonY + raise);
}

void cEditor::ShowHeightmapModel() {
  cMenu* menu = menus.heightmap;
  if (!menu) return;
  const bool perlin = SelectedItem(menu, kHeightmapModelList) == 1;
  menu->SetGroupVisible(kGroupPerlin, perlin);
  menu->SetGroupVisible(kGroupFFT, !perlin);
  menu->SetGroupVisible(kGroupHeightmapCommon, true);
}

void cEditor::HideNormalmapPanels() {
  cMenu* menu = menus.normalmap;
  if (!menu) return;
  for (int group : {kGroupNormalmapCommon, kGroupFiltering, kGroupNormalsAmplitude, kGroupFFTNormalsNote}) {
    menu->SetGroupVisible(group, false);
  }
}

void cEditor::ShowNormalmapMethod() {
  cMenu* menu = menus.normalmap;
  if (!menu) return;
  HideNormalmapPanels();
  const int item = SelectedItem(menu, kNormalmapMethodList);
  const bool gpuOffered = engineType == ENGINE_SM2 || engineType == ENGINE_SM3;
  if (item == 1 || (item == 2 && gpuOffered)) {
    if (cCombobox* filtering = FindCombobox(menu, kFilteringList)) filtering->Reset();
    menu->SetGroupVisible(kGroupFiltering, true);
  }
  if (item == 3 && SelectedItem(menus.heightmap, kHeightmapModelList) == 2) {
    menu->SetGroupVisible(kGroupNormalmapCommon, true);
    menu->SetGroupVisible(kGroupFFTNormalsNote, true);
  }
}

void cEditor::ShowGeometryType() {
  cMenu* menu = menus.geometry;
  if (!menu) return;
  for (int group : {kGroupSimpleGrid, kGroupGeomipmap, kGroupRadialGrid, kGroupGeometryCommon}) {
    menu->SetGroupVisible(group, false);
  }
  const int item = SelectedItem(menu, kGeometryTypeList);
  if (engineType != ENGINE_SM3 && (item == 1 || item == 2)) {
    menu->SetGroupVisible(item == 1 ? kGroupSimpleGrid : kGroupGeomipmap, true);
    menu->SetGroupVisible(kGroupGeometryCommon, true);
  }
  if (item == 3) {
    menu->SetGroupVisible(kGroupRadialGrid, true);
    menu->SetGroupVisible(kGroupGeometryCommon, true);
  }
}

// A heightmap of another kind takes its dependants with it, and the normal map
// methods offered depend on the kind.
void cEditor::CreateHeightmapCommand(int type) {
  const iHeightmap* old = waterScene.heightmap;
  const bool kindChanges = old == nullptr || old->GetTypeId() != type;
  if (old && kindChanges) {
    DeleteNormalmap();
    DeleteEngine();
    DeleteGeometry();
  }
  if (kindChanges) FillNormalmapMethods(type);
  CreateHeightmap(type);
}

void cEditor::FillNormalmapMethods(int heightmapType) {
  cMenu* menu = menus.normalmap;
  if (!menu) return;
  if (cCombobox* filtering = FindCombobox(menu, kFilteringList)) filtering->Reset();
  HideNormalmapPanels();
  cCombobox* methods = FindCombobox(menu, kNormalmapMethodList);
  if (!methods) return;
  methods->ClearItems();
  methods->AddItem(L"CPU Finite Diferencing");
  methods->AddItem(engineType == ENGINE_SM2 || engineType == ENGINE_SM3 ? L"GPU Finite differencing" : L"n/a");
  methods->AddItem(heightmapType == HEIGHTMAP_FFT ? L"FFT based" : L"n/a");
}

void cEditor::StartNewState() {
  cGUIManager* gui = cGUIManager::Instance();
  gui->ClearMenus();
  gui->PushMenu(menus.selection, true);
  DeleteComponents();
  ResetMenus();
}

// The box is laid out for the text at the current display mode, as it is drawn.
void cEditor::ShowInformation(const wchar_t* text) {
  cMenu* box = menus.info;
  if (cTextarea* info = box ? box->FindKind<cTextarea>(kInfoText) : nullptr) {
    info->SetText(text);
    const InfoBoxLayout layout = InfoBoxLayoutFor(info->TextHeight());
    if (cButton* ok = box->FindKind<cButton>(0)) ok->SetPosition(layout.okX, layout.okTop);
    if (cWindow* window = box->FindKind<cWindow>(0)) window->SetSize(layout.windowWidth, layout.windowHeight);
  }
  cGUIManager* gui = cGUIManager::Instance();
  gui->PopMenu();
  gui->PushMenu(menus.info, true);
}

void cEditor::SaveState() {
  const cEditbox* box = FindEditbox(menus.save, kSaveName);
  const wchar_t* name = box ? box->GetText() : nullptr;
  if (name == nullptr || *name == L'\0') return;
  const bool saved = IsSafeSaveName(name) && WriteSaveFile(SavePath(name));
  ShowInformation(saved ? kSaved : kSaveFailed);
  if (saved) FillLoadList();
}

bool cEditor::WriteSaveFile(const std::string& path) {
  std::error_code error;
  // Installed without a home, there is no save folder: never a file elsewhere.
  if (path.empty()) return false;
  std::filesystem::create_directories(CurrentAppPaths().saveFolder, error);
  if (error) return false;
  // No component holds the refraction fill colour: it lives in the engine menu.
  const cMenu* menu = EngineMenu();
  cEngineSettings& settings = waterScene.settings;
  settings.engineRefractionColorR = EditboxByte(menu, kRefractionFillR) / 255.0f;
  settings.engineRefractionColorG = EditboxByte(menu, kRefractionFillG) / 255.0f;
  settings.engineRefractionColorB = EditboxByte(menu, kRefractionFillB) / 255.0f;
  waterScene.workingEnvironment = engineType;
  return waterScene.Save(path.c_str());
}

// A file is taken only when it was made for this engine family (its working
// environment, the current one when it names none, and its engine type if any
// are the current engine type), holds a component (every file the editor
// writes does) and every component it holds can be made. Anything refused
// changes nothing.
void cEditor::LoadState() {
  const cCombobox* list = FindCombobox(menus.load, kLoadList);
  const wchar_t* name = list ? list->GetSelectedText() : nullptr;
  if (name == nullptr) return;
  cWaterScene::Header header = waterScene.GetHeader();
  header.workingEnvironment = engineType;
  cEngineSettings settings{};
  if (!cWaterScene::ReadSettings(SavePath(name).c_str(), &header, &settings)) {
    ShowInformation(kLoadFailed);
    return;
  }
  const bool sameEngine =
      header.workingEnvironment == engineType && (settings.engineType == 0 || settings.engineType == engineType);
  if (!sameEngine) {
    ShowInformation(kOtherEngine);
    return;
  }
  const bool holdsComponent = settings.heightmapType != 0 || settings.normalmapType != 0 ||
                              settings.geometryType != 0 || settings.engineType != 0;
  const std::wstring refusal = holdsComponent ? LoadRefusal(settings) : L"";
  if (!holdsComponent || !refusal.empty()) {
    ShowInformation(refusal.empty() ? kLoadFailed : (std::wstring(kLoadFailed) + L" " + refusal).c_str());
    return;
  }
  waterScene.SetHeader(header);
  waterScene.settings = settings;
  DeleteComponents();
  LoadIntoMenus(settings);
  ShowInformation(kLoaded);
}

void cEditor::ApplySettings() {
  const int sky = SelectedItem(menus.settings, kSkyList);
  if (sky > 0 && sky != currentSkySet + 1) ChangeSky(sky);
  const int mode = SelectedItem(menus.settings, kResolutionList);
  if (mode < 1 || mode > static_cast<int>(displayModes.size())) return;
  const D3DDISPLAYMODE& chosen = displayModes[mode - 1];
  if (chosen.Width == displayMode.Width && chosen.Height == displayMode.Height &&
      chosen.RefreshRate == displayMode.RefreshRate) {
    return;
  }
  pendingMode = chosen;
  modeChangePending = true;
}

// Replaces the six faces of the cached sky images by those of set `sky`
// (1-based). When one fails, the faces already replaced go back, so the sky
// never mixes two sets or loses a face.
void cEditor::ChangeSky(int sky) {
  const auto face = [](int set, int k) { return L"data/sky/" + std::to_wstring(set) + L"/" + std::to_wstring(k) + L".tga"; };
  const int current = currentSkySet + 1;
  for (int k = 1; k <= 6; ++k) {
    if (resourceCache && resourceCache->Reload(device, face(current, k).c_str(), face(sky, k).c_str(), RESOURCE_TEXTURE)) {
      continue;
    }
    for (int back = 1; back <= k; ++back) {
      if (resourceCache) resourceCache->Reload(device, face(sky, back).c_str(), face(current, back).c_str(), RESOURCE_TEXTURE);
    }
    ShowNotice(kSkyFailed);
    return;
  }
  currentSkySet = sky - 1;
}

void cEditor::ShowNotice(const wchar_t* text) {
  notice = text;
  noticeUntil = timers.simulation.total + kNoticeSeconds;
}

// A notice stays in the info line for a few seconds; the hint comes back after it.
void cEditor::DisplayNotice() {
  if (notice.empty()) return;
  if (timers.simulation.total > noticeUntil) {
    notice.clear();
    return;
  }
  infoLine.SetText(notice.c_str());
}
