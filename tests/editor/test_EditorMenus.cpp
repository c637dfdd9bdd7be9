// The menus as a user meets them: every control of every menu in creation
// order, the selection screen per device, and the load list from the save folder.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <string>
#include <tuple>
#include <vector>

#include "EditorTest.h"
#include "Golden.h"
#include "editor/MenuTables.h"
#include "editor/cMenuBuilder.h"
#include "gui/cWindow.h"

namespace {

class EditorMenusTest : public EditorTest {
 protected:
  // Opens the list and picks its first item; the id reported, -1 without items.
  static int PickFirst(cCombobox* list) {
    const float x = list->GetPosition()[0], y = list->GetPosition()[1], size = 0.25f;
    list->OnClick(x + 7 * size / 8 + size / 14, y - size / 14);
    const GUIRect row = list->RowRect(1);
    const int event = list->OnClick(row.x + row.width / 2, row.y - row.height / 4);
    list->Reset();
    list->OnKey(1);
    return event;
  }
  // One token per component: "W" a window, a label's text, "[text]" an edit box,
  // "{items}" a list, "#id>click/hover" a button, "xid>click" a checkbox,
  // "{items}>pick" a list reporting its pick; "!event" the Escape event.
  std::wstring Token(iGUIComponent* c) {
    std::wstring token;
    if (dynamic_cast<cWindow*>(c)) {
      token = L"W";
    } else if (auto* area = dynamic_cast<cTextarea*>(c)) {
      token = area->GetText();
    } else if (auto* box = dynamic_cast<cEditbox*>(c)) {
      token = L"[" + std::wstring(box->GetText()) + L"]";
    } else if (auto* list = dynamic_cast<cCombobox*>(c)) {
      const std::wstring items = Joined(ItemsOf(list), L",");
      token = L"{" + (c->GetId() == EditorId::kLoadList ? L"?" : items) + L"}";  // the save folder is shared
      const int pick = items.empty() ? 0 : PickFirst(list);
      if (pick > 0) token += L">" + std::to_wstring(pick);
    } else {
      // A button shows its preloaded idle image; a checkbox starts unticked.
      auto* check = dynamic_cast<cCheckbox*>(c);
      const D3DTexture* image = DrawnImage(c);
      EXPECT_TRUE(check ? image == Image(L"data/gui/checkbox_unchecked.tga") : image != nullptr) << c->GetId();
      const int hover = c->OnHover(0, 0), click = c->OnClick(0, 0);
      if (check) check->SetChecked(0);
      token = (check ? L"x" : L"#") + std::to_wstring(c->GetId()) + L">" + std::to_wstring(click);
      if (hover > 0) token += L"/" + std::to_wstring(hover);
    }
    const int escape = c->OnKey(1);
    if (escape != -1) token += L"!" + std::to_wstring(escape);
    return token;
  }
  // One line per component in creation order, "~" before a hidden one.
  std::wstring MenuText(const cMenu* menu) {
    std::wstring text = L"menu " + std::to_wstring(menu->GetId()) + L"\n";
    for (const auto& c : menu->Components()) text += (c->IsVisible() ? L"" : L"~") + Token(c.get()) + L"\n";
    return text;
  }
  // The colour and font height a text area draws with.
  static std::pair<D3DCOLOR, int> DrawnText(iGUIComponent* c) {
    platform::Recorded().texts.clear();
    c->DrawText();
    const auto& texts = platform::Recorded().texts;
    return texts.empty() ? std::pair<D3DCOLOR, int>{} : std::pair{texts[0].color, texts[0].fontHeight};
  }
};

// The menus as a user reads them, control by control in creation order (see
// Token); shader model 2 and 3 add the depth and sunlight panels to the engine
// menu, all but fixed function the foam panel.
TEST_F(EditorMenusTest, ChoosingAnEngineBuildsEveryMenuOnceAsDesignedAndShowsTheToolbar) {
  Start();
  Command(1003);  // shader model 2
  EXPECT_EQ(std::tuple(editor->engineType, editor->waterScene.settings.engineType), std::tuple(402, 402));
  EXPECT_EQ(cGUIManager::Instance()->GetTopMenu(), editor->menus.toolbar);
  const cEditor::Menus& m = editor->menus;
  std::wstring text;
  for (const cMenu* menu : {m.newState, m.exit, m.save, m.load, m.info, m.toolbar, m.settings, m.heightmap,
                            m.normalmap, m.geometry})
    text += MenuText(menu);
  ExpectGolden("menus.txt", text);
  EXPECT_TRUE(!m.ffpEngine && !m.sm1Engine && !m.sm3Engine);
  // Another engine after New keeps the menus and adds only its own.
  const cMenu* heightmap = m.heightmap;
  cGUIManager::Instance()->ClearMenus();
  cGUIManager::Instance()->PushMenu(m.selection, false);
  Command(1005);
  EXPECT_TRUE(m.heightmap == heightmap && m.sm2Engine && m.ffpEngine);
  EXPECT_EQ(std::pair(editor->EngineMenu(), TopId()), std::pair(m.ffpEngine, EditorId::kMenuToolbar));
}

TEST_F(EditorMenusTest, EachEngineGetsItsOwnMenuGeometryListAndIcon) {
  const struct { int event, type; const wchar_t* icon; } cases[] = {
      {1005, 404, L"data/gui/ffp_idle.tga"}, {1002, 401, L"data/gui/Sm1_idle.tga"},
      {1003, 402, L"data/gui/sm2_idle.tga"}, {1004, 403, L"data/gui/Sm3_idle.tga"}};
  std::wstring text;
  for (const auto& c : cases) {
    SCOPED_TRACE(c.type);
    Start();
    Command(c.event);
    ASSERT_EQ(editor->engineType, c.type);
    text += MenuText(editor->EngineMenu()) + L"geometry " + Joined(ItemsOf(FindCombobox(editor->menus.geometry, 182))) +
            L"\n";
    auto* icon = editor->menus.toolbar->FindKind<cWindow>(306);
    ASSERT_TRUE(icon && Image(c.icon));
    EXPECT_EQ(DrawnImage(icon), Image(c.icon));
    Shutdown();
  }
  ExpectGolden("engine-menus.txt", text);
}

// Works on the "save" folder of the test's own working directory.
class LoadListTest : public EditorMenusTest {
 protected:
  void TearDown() override {
    EditorMenusTest::TearDown();
    std::filesystem::remove_all("save");
  }
  std::wstring LoadList() { return Joined(ItemsOf(FindCombobox(editor->menus.load, EditorId::kLoadList))); }
};

// Without a save folder the list is empty; each filling replaces the items
// and the pick.
TEST_F(LoadListTest, ListsTxtFilesByNameWithoutTheirExtensionAndRefillingReplacesTheItems) {
  std::filesystem::remove_all("save");
  StartWith(ENGINE_SM2);
  EXPECT_EQ(LoadList(), L"");
  std::filesystem::create_directories("save/d.txt");
  const std::vector<std::string> files = {"b.txt",  "a.txt",    "notes.txtx",  "c.TXT",
                                          "readme", ".txt",     "\xC3\xA9t\xC3\xA9.txt", "bad\xFF.txt",
                                          std::string(200, 'n') + ".txt"};
  for (const std::string& file : files) std::ofstream("save/" + file) << "x";
  for (int fill = 0; fill < 2; ++fill) {
    FindCombobox(editor->menus.load, EditorId::kLoadList)->Select(1);
    editor->FillLoadList();
    EXPECT_EQ(LoadList(), L"a|b|" + std::wstring(200, L'n') + L"|\u00E9t\u00E9");
    EXPECT_EQ(FindCombobox(editor->menus.load, EditorId::kLoadList)->GetSelected(), -1);
  }
}

// Three notices, the buy and quit buttons and the description line, then a
// button and its description per engine: dimmed and silent with the "not
// supported" text where the device cannot run the engine.
TEST_F(EditorMenusTest, TheSelectionScreenShowsNoticesAndDimsEnginesTheDeviceCannotRun) {
  struct Case { const char* name; platform::HeadlessProfile profile; bool supported[4]; };  // FFP, SM1, SM2, SM3
  // Each engine on and off; which profile runs what is tested with the editor's start-up.
  const Case cases[] = {
      {"SM3", platform::HeadlessProfile::ShaderModel3(), {true, true, true, true}},
      {"SM1", platform::HeadlessProfile::ShaderModel1(), {true, true, false, false}},
      {"one stream", platform::HeadlessProfile::OneStream(), {false, false, true, true}},
  };
  const int types[] = {ENGINE_FFP, ENGINE_SM1, ENGINE_SM2, ENGINE_SM3};
  const wchar_t* names[] = {L"ffp", L"sm1", L"sm2", L"sm3"};
  for (const Case& test : cases) {
    SCOPED_TRACE(test.name);
    profile = test.profile;
    Start();
    ASSERT_EQ(cGUIManager::Instance()->GetTopMenu(), editor->menus.selection);
    EXPECT_EQ(editor->menus.selection->GetId(), 100);
    const auto& c = editor->menus.selection->Components();
    ASSERT_EQ(c.size(), 15u);
    // Three notices in the notice font: a white one, then two yellow ones.
    const D3DCOLOR colors[] = {0xFFFFFFFF, 0xFFFFE400, 0xFFFFE400};
    for (int i = 0; i < 3; ++i) {
      auto* area = dynamic_cast<cTextarea*>(c[i].get());
      ASSERT_NE(area, nullptr);
      EXPECT_GT(std::wstring(area->GetText()).size(), 10u);
      EXPECT_EQ(DrawnText(area), std::pair(colors[i], 20)) << i;
    }
    EXPECT_EQ(Token(c[3].get()) + L"|" + Token(c[4].get()) + L"|" + Token(c[5].get()) + L"|" + Token(c[6].get()),
              L"W|#109>1001|#308>1060|" + editor->engineDescriptions[8]);
    EXPECT_EQ(DrawnText(c[6].get()), std::pair(D3DCOLOR{0xFFFF0000}, 16));  // the description line
    for (int k = 0; k < 4; ++k) {
      SCOPED_TRACE(k);
      auto* button = dynamic_cast<cButton*>(c[7 + 2 * k].get());
      auto* text = dynamic_cast<cTextarea*>(c[8 + 2 * k].get());
      ASSERT_TRUE(button && text);
      const bool on = test.supported[k];
      EXPECT_EQ(button->IsEnabled(), on);
      const std::wstring shown = cMenuBuilder::ButtonImage(names[k], on ? L"idle" : L"over");
      EXPECT_EQ(DrawnImage(button), Image(shown.c_str()));
      const int click = on ? IdsOf(types[k]).chooseEvent : 0;
      EXPECT_EQ(Token(button), L"#" + std::to_wstring(101 + 2 * k) + L">" + std::to_wstring(click));
      EXPECT_EQ(std::wstring(text->GetText()), editor->engineDescriptions[2 * k + (on ? 0 : 1)]);
    }
    editor->OnGUIEvent(EditorId::kEventBuy, nullptr);
    EXPECT_EQ(platform::Recorded().shellOpens, std::vector<std::string>{"README.md"});
    EXPECT_FALSE(editor->IsQuitRequested());
    editor->OnGUIEvent(EditorId::kEventQuit, nullptr);
    EXPECT_TRUE(editor->IsQuitRequested());
    Shutdown();
  }
}

// Images missing from the data folder leave their widgets without them: every
// menu still builds, draws and takes clicks.
TEST_F(EditorMenusTest, MenusWorkWithoutTheirImages) {
  Start();
  const cMenuBuilder builder(nullptr, editor->smallFont);
  for (const std::vector<MenuRow>& rows : {ToolbarRows(), HeightmapRows(), NormalmapRows(), GeometryRows(),
                                           SettingsRows(), EngineRows(403), NewStateRows(), LoadRows()}) {
    cMenu menu(1, nullptr);
    builder.AddRows(&menu, rows);
    EXPECT_EQ(menu.Components().size(), rows.size());
    for (int layer : {0, 56, 57}) {
      menu.DrawSprites(layer, editor->spriteContainer);
      menu.DrawText(layer);
    }
    menu.OnClick(-0.7f, 0.5f);
    menu.OnHover(0.1f, 0.2f);
  }
  EXPECT_TRUE(EngineRows(0).empty());
}

}  // namespace
