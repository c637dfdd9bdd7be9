// The editor started on a headless device; Shutdown afterwards. StartWith
// also chooses an engine, so its menus are built and the toolbar is on top;
// commands are then given as the menus give them, and the helpers read the
// menus back as a user meets them.
#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "../waterscene/SaveFileTesting.h"
#include "EditorScript.h"
#include "app/WinMain.h"
#include "editor/Process.h"
#include "gui/cCheckbox.h"
#include "gui/cSpriteContainer.h"
#include "editor/cEditor.h"
#include "platform/Platform.h"
#include "scene/D3DTexture.h"
#include "scene/cResourceCache.h"

// What the information box and the info line say.
inline constexpr const wchar_t* kSaved = L"The engine has been succesifully saved.";
inline constexpr const wchar_t* kSaveFailed = L"An error appeared durign engine saving.";
inline constexpr const wchar_t* kLoaded = L"The engine has been succesifully loaded.";
inline constexpr const wchar_t* kOtherEngine = L"The current selected engine differs from file engine.";
inline constexpr const wchar_t* kLoadFailed = L"The file format is not valid or the file does not exist.";
inline constexpr const wchar_t* kEngineWarning =
    L"Not all engine options are valid or one of the following components is not initalized:heightmap, normalmap, "
    L"geometry. Please check the constraints.";
inline constexpr const wchar_t* kStandardHint = L"To enter FLY MODE press TAB";
inline constexpr const wchar_t* kFlyHint =
    L"FLY MODE engaged. Use mouse to rotate and W/A/S/D to move. Press 'TAB' to return to standard mode.";

class EditorTest : public ::testing::Test {
 protected:
  using FontList = std::vector<std::pair<int, std::wstring>>;  // height and face of each font
  void TearDown() override {
    script.reset();
    driver.reset();
    Shutdown();
  }
  // Installs the headless backend with `profile` and creates the window.
  void OpenWindow() {
    platform::UseHeadlessBackend(profile);
    window = CreateMainWindow(GetModuleHandleA(nullptr), SW_SHOW);
    ASSERT_NE(window, nullptr);
    editor = cEditor::Instance();
  }
  void Start() {
    OpenWindow();
    ASSERT_EQ(editor->Init(window), S_OK);
    platform::Recorded().Clear();
  }
  // The selection screen, driven as a user does.
  void StartDriven() {
    Start();
    driver = std::make_unique<EditorDriver>(editor, window, true);
    script = std::make_unique<EditorScript>(editor, *driver);
    driver->Frames(2);
  }
  void StartWith(int type) {
    Start();
    driver = std::make_unique<EditorDriver>(editor, window, true);
    driver->Frames(1);
    Command(IdsOf(type).chooseEvent);
    driver->Frames(1);
  }
  // The small and the large font, as drawn.
  FontList Fonts() {
    platform::Recorded().Clear();
    editor->smallFont->DrawText(L"small", 0, 0, 10, 10, 0, 0xFFFFFFFF);
    editor->largeFont->DrawText(L"large", 0, 0, 10, 10, 0, 0xFFFFFFFF);
    FontList fonts;
    for (const auto& text : platform::Recorded().texts) fonts.emplace_back(text.fontHeight, text.face);
    return fonts;
  }
  // What the main loop does: drain the queue, then run one frame.
  void Frame() {
    MSG msg{};
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
      TranslateMessage(&msg);
      DispatchMessageA(&msg);
    }
    ASSERT_EQ(editor->Frame(), S_OK);
  }
  void Post(UINT message, WPARAM key = 0) { PostMessageA(window, message, key, 0); }
  void Command(int eventId) { editor->OnGUIEvent(eventId, nullptr); }
  void Open(cMenu* menu) { cGUIManager::Instance()->PushMenu(menu, false); }
  static int TopId() { return TopMenuId(); }
  // Sets a value as a typed one would end up, without the keys.
  static void Write(cMenu* menu, int id, const wchar_t* text) {
    cEditbox* box = FindEditbox(menu, id);
    ASSERT_NE(box, nullptr) << "edit box " << id;
    box->SetText(text);
  }
  static void Check(cMenu* menu, int id, bool checked) {
    cCheckbox* box = FindCheckbox(menu, id);
    ASSERT_NE(box, nullptr) << "check box " << id;
    box->SetChecked(checked ? 1 : 0);
  }
  // Ticks or unticks a box and reports it, as a click on it does.
  void Tick(cMenu* menu, int id, int eventId, bool checked = true) {
    Check(menu, id, checked);
    Command(eventId);
  }
  // Selects a list item and reports the pick, as a click on the row does.
  void Pick(cMenu* menu, int listId, int item, int eventId) {
    if (cCombobox* list = FindCombobox(menu, listId)) list->Select(item);
    if (eventId != 0) Command(eventId);
  }
  static bool ButtonEnabled(const cMenu* menu, int id) {
    const cButton* button = menu ? menu->FindKind<cButton>(id) : nullptr;
    return button != nullptr && button->IsEnabled();
  }
  // Whether the button may be pressed after this frame's status pass.
  bool Enabled(const cMenu* menu, int id) {
    editor->UpdateComponentStatus();
    return ButtonEnabled(menu, id);
  }
  static bool Shown(const cMenu* menu, int id) {
    const iGUIComponent* control = menu ? menu->Find(id) : nullptr;
    return control != nullptr && control->IsVisible();
  }
  // Whether the group's components show (all of them share the flag).
  static bool GroupShown(const cMenu* menu, int group) {
    for (const auto& component : menu->Components()) if (component->GetGroup() == group) return component->IsVisible();
    return false;
  }
  static std::wstring Text(const cMenu* menu, int id) { return TextOf(menu, id); }
  static std::wstring BoxText(const cMenu* menu, int id) {
    const cEditbox* box = FindEditbox(menu, id);
    return box && box->GetText() ? box->GetText() : L"";
  }
  // The items of a list, read through selection and then unselected again.
  static std::vector<std::wstring> ItemsOf(cCombobox* list) {
    std::vector<std::wstring> items;
    for (int i = 1; list->Select(i), list->GetSelected() == i; ++i) items.push_back(list->GetSelectedText());
    list->Reset();
    return items;
  }
  static std::wstring Joined(const std::vector<std::wstring>& items, const wchar_t* separator = L"|") {
    std::wstring joined;
    for (const std::wstring& item : items) joined += (joined.empty() ? L"" : separator) + item;
    return joined;
  }
  // Whether a text of the last frames was drawn.
  static bool Drawn(const std::wstring& text) {
    const auto& texts = platform::Recorded().texts;
    return std::any_of(texts.begin(), texts.end(), [&](const auto& drawn) { return drawn.text == text; });
  }
  std::wstring InfoLine() const { return editor->infoLine.GetText() ? editor->infoLine.GetText() : L""; }
  std::wstring Information() const { return Text(editor->menus.info, EditorId::kInfoText); }
  // The first image a control queues when drawn, shown or not; null for none.
  const D3DTexture* DrawnImage(iGUIComponent* control) const {
    cSpriteContainer* container = editor->spriteContainer;
    container->Clear();
    const bool visible = control->IsVisible();
    control->SetVisible(true);  // hidden groups draw nothing
    control->DrawSprites(container);
    control->SetVisible(visible);
    return container->GetSprites().empty() ? nullptr : container->GetSprites()[0].texture;
  }
  const D3DTexture* Image(const wchar_t* file) const {
    return dynamic_cast<const D3DTexture*>(editor->resourceCache->Find(file));
  }
  // The heightmap, normal map and geometry an engine needs, from the menus' defaults.
  void CreateHeightmap(int model) {
    Pick(editor->menus.heightmap, EditorId::kHeightmapResolutionList, 4, 0);
    Pick(editor->menus.heightmap, EditorId::kHeightmapModelList, model, EditorId::kEventHeightmapModelPicked);
    Command(model == 1 ? EditorId::kEventCreatePerlin : EditorId::kEventCreateFFT);
  }
  void CreatePerlinHeightmap() { CreateHeightmap(1); }
  void CreateFFTHeightmap() { CreateHeightmap(2); }
  void CreateNormalmap(int item) {
    Pick(editor->menus.normalmap, EditorId::kNormalmapMethodList, item, EditorId::kEventNormalmapMethodPicked);
    Pick(editor->menus.normalmap, EditorId::kFilteringList, 1, EditorId::kEventFilteringPicked);
    Command(EditorId::kEventCreateNormalmap);
  }
  void CreateGeometry(int item) {
    Pick(editor->menus.geometry, EditorId::kGeometryTypeList, item, EditorId::kEventGeometryTypePicked);
    Command(EditorId::kEventCreateGeometry);
  }
  // An FFT heightmap, a normal map and a geometry by their list items, then the engine.
  void CreateAll(int normalmapItem, int geometryItem) {
    CreateFFTHeightmap();
    CreateNormalmap(normalmapItem);
    CreateGeometry(geometryItem);
    Command(IdsOf(editor->engineType).createEvent);
    ASSERT_NE(editor->waterScene.engine, nullptr);
    ASSERT_TRUE(editor->waterScene.engine->IsInitialised());
  }
  platform::HeadlessProfile profile = platform::HeadlessProfile::ShaderModel3();
  HWND window = nullptr;
  cEditor* editor = nullptr;
  std::unique_ptr<EditorDriver> driver;
  std::unique_ptr<EditorScript> script;
};
