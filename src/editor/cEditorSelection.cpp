// The engine selection screen and the start-up that prepares every later menu.
#include <cstdio>
#include <string>

#include "base/AppPaths.h"
#include "editor/Process.h"
#include "editor/cEditor.h"
#include "settings/TypeIds.h"
#include "editor/EditorIds.h"
#include "editor/cMenuBuilder.h"
#include "gui/cGUIManager.h"
#include "gui/cSpriteContainer.h"
#include "scene/cResourceManager.h"

void EditorGUIEvent(int eventId, iGUIComponent* source);

namespace {

using namespace EditorId;

constexpr UINT kSpriteCapacity = 128;
constexpr float kMenuFade = 0.25f;
constexpr const char* kDescriptionFile = "data/engineDescription.txt";
// BUY opens the project's own documentation.
constexpr const char* kBuyAddress = "README.md";

constexpr const wchar_t* kBuyNotice = L"The BUY button opens the Brinora editor's documentation.";
constexpr const wchar_t* kBanner =
    L"Brinora Engine Editor v1.01 - a real-time water engine editor. Pick a water renderer to begin.";
constexpr const wchar_t* kSupportLine = L"Questions and notes: see the documentation that comes with the editor.";

// One engine button of the selection screen and the text beside it.
struct EngineChoice {
  int buttonId;
  int textId;
  float y;
  const wchar_t* image;
  int event;
  size_t line;  // description line when supported; the next one when not
};
constexpr EngineChoice kEngineChoices[] = {
    {kSelectFFPButton, kSelectFFPText, 0.4f, L"ffp", kEventChooseFFP, 0},
    {kSelectSM1Button, kSelectSM1Text, 0.2f, L"sm1", kEventChooseSM1, 2},
    {kSelectSM2Button, kSelectSM2Text, 0.0f, L"sm2", kEventChooseSM2, 4},
    {kSelectSM3Button, kSelectSM3Text, -0.2f, L"sm3", kEventChooseSM3, 6},
};

}  // namespace

void cEditor::SetUpSelectionScreen() {
  // No trace when its folder is unknown or unwritable; the frames run without it.
  const std::string trace = CurrentAppPaths().traceFile.string();
  gTraceFile = trace.empty() ? nullptr : std::fopen(trace.c_str(), "w");
  engineDescriptions = ReadEngineDescriptions(kDescriptionFile);
  CheckCapabilities();
  SetProjection();
  cResourceManager* manager = cResourceManager::Instance();
  const UINT width = presentParameters.BackBufferWidth;
  smallFont = new cFont(device, SmallFontHeight(width), L"arial", manager);
  largeFont = new cFont(device, LargeFontHeight(width), L"Tahoma", manager);
  CreateSkybox();
  camera = new cCamera;
  resourceCache = new cResourceCache;
  PreloadTextures({L"data/gui/select_engine.tga"});
  PreloadButtons({L"select_engine_quit", L"ffp", L"sm1", L"sm2", L"sm3", L"buy"});
  spriteContainer = new cSpriteContainer(device, manager, kSpriteCapacity);
  BuildSelectionMenu();
  cGUIManager::Instance()->SetFadeDuration(kMenuFade);
  cGUIManager::Instance()->PushMenu(menus.selection, true);
  infoLine.Set(kInfoLine, D3DXVECTOR2(-0.71f, -0.54f), 1.8f, L" ", smallFont);
  infoLine.SetVisible(false);
  PreloadButtons({L"new", L"heightmap_menu", L"normalmap_menu", L"geometry_menu", L"waterrendering_menu", L"close1",
                  L"dropDownButton", L"upButton", L"downButton", L"create", L"ok", L"cancel", L"exit1", L"settings",
                  L"apply", L"save", L"load"});
  // The greyed looks the labelled buttons show while disabled.
  PreloadTextures({L"data/gui/ok_disabled.tga", L"data/gui/cancel_disabled.tga", L"data/gui/apply_disabled.tga",
                   L"data/gui/create_disabled.tga"});
  // Engine icons of the toolbar; two are spelt with a capital letter.
  PreloadTextures({L"data/gui/ffp_idle.tga", L"data/gui/Sm1_idle.tga", L"data/gui/sm2_idle.tga",
                   L"data/gui/Sm3_idle.tga"});
  PreloadTextures({L"data/gui/dropDownList.tga", L"data/gui/selectionPanel.tga", L"data/gui/select1.tga",
                   L"data/gui/custom_window1.tga", L"data/gui/custom_editbox1.tga", L"data/gui/custom_editbox2.tga",
                   L"data/gui/checkbox_checked.tga", L"data/gui/checkbox_unchecked.tga", L"data/sky/1/1.tga",
                   L"data/sky/1/2.tga", L"data/sky/1/3.tga", L"data/sky/1/4.tga", L"data/sky/1/5.tga",
                   L"data/sky/1/6.tga", L"data/gui/warning.tga", L"data/misc/foam.tga",
                   L"data/gui/custom_color1.tga", L"data/gui/custom_color2.tga", L"data/gui/wirecolor.tga"});
  resourceCache->Load(L"data/meshes/island.x", device, RESOURCE_MESH);
  FindSkyFaces();
}

void cEditor::PreloadTextures(std::initializer_list<const wchar_t*> names) {
  for (const wchar_t* name : names) {
    if (resourceCache->Find(name) == nullptr) resourceCache->Load(name, device, RESOURCE_TEXTURE);
  }
}

void cEditor::PreloadButtons(std::initializer_list<const wchar_t*> names) {
  for (const wchar_t* name : names) {
    for (const wchar_t* state : {L"idle", L"over", L"click"}) {
      const std::wstring file = cMenuBuilder::ButtonImage(name, state);
      PreloadTextures({file.c_str()});
    }
  }
}

void cEditor::BuildSelectionMenu() {
  menus.selection = new cMenu(kMenuEngineSelection, EditorGUIEvent);
  const cMenuBuilder builder(resourceCache, smallFont);
  const auto notice = [&](int id, float x, float y, float size, const wchar_t* text, BYTE green, BYTE blue) {
    auto* area = menus.selection->Add(new cTextarea(id, D3DXVECTOR2(x, y), size, text, largeFont));
    area->SetColor(255, green, blue);
  };
  notice(kSelectBuyNotice, -0.6f, -0.4f, 1.2f, kBuyNotice, 255, 255);
  notice(kSelectBanner, -0.75f, -0.5f, 2.0f, kBanner, 228, 0);
  notice(kSelectSupportLine, -0.75f, -0.53f, 2.0f, kSupportLine, 228, 0);
  builder.AddRows(menus.selection,
                  {WindowRow(kSelectWindow, 0, 0.31f, 0.57f, 0.4f, 0.2f, L"data/gui/select_engine.tga"),
                   ButtonRow(kSelectQuitButton, 0, 0.65f, -0.5f, 0.1f, 0.075f, L"select_engine_quit", kEventQuit),
                   ButtonRow(kSelectBuyButton, 0, -0.72f, -0.41f, 0.1f, 0.05f, L"buy", kEventBuy)});
  auto* line = menus.selection->Add(
      new cTextarea(kSelectNoticeLine, D3DXVECTOR2(-0.4f, -0.45f), 0.8f, engineDescriptions[8].c_str(), smallFont));
  line->SetColor(255, 0, 0);
  const bool runs[] = {supported.ffp, supported.sm1, supported.sm2, supported.sm3};
  for (size_t i = 0; i < std::size(kEngineChoices); ++i) {
    const EngineChoice& choice = kEngineChoices[i];
    const MenuRow row = ButtonRow(choice.buttonId, 0, -0.62f, choice.y, 0.15f, 0.15f, choice.image, choice.event);
    menus.selection->Add(runs[i] ? builder.MakeButton(row, row.image) : builder.MakeDisabledButton(row));
    const std::wstring& text = engineDescriptions[choice.line + (runs[i] ? 0 : 1)];
    menus.selection->Add(
        new cTextarea(choice.textId, D3DXVECTOR2(-0.4f, choice.y - 0.02f), 1.0f, text.c_str(), smallFont));
  }
}

bool cEditor::OnSelectionEvent(int eventId) {
  switch (eventId) {
    case kEventQuit: quitRequested = true; return true;
    case kEventChooseSM1: ChooseEngine(ENGINE_SM1); return true;
    case kEventChooseSM2: ChooseEngine(ENGINE_SM2); return true;
    case kEventChooseSM3: ChooseEngine(ENGINE_SM3); return true;
    case kEventChooseFFP: ChooseEngine(ENGINE_FFP); return true;
    case kEventBuy: ShellExecuteA(nullptr, "open", kBuyAddress, nullptr, nullptr, SW_SHOWNORMAL); return true;
    default: return false;
  }
}

void cEditor::ChooseEngine(int type) {
  engineType = type;
  waterScene.settings.engineType = type;
  cGUIManager::Instance()->PopMenu();
  BuildMenus();
}
