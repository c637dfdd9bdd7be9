// The menus as a user meets them: every control of every menu in creation
// order, the selection screen per device, and the load list from the save folder.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "EditorTest.h"
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

  // The menu's tokens joined by '|', and which groups show.
  void ExpectMenu(const cMenu* menu, const std::wstring& expected, const std::vector<int>& hidden) {
    ASSERT_NE(menu, nullptr);
    SCOPED_TRACE("menu " + std::to_string(menu->GetId()));
    std::vector<std::wstring> tokens;
    for (const auto& component : menu->Components()) {
      const bool shown = std::find(hidden.begin(), hidden.end(), component->GetGroup()) == hidden.end();
      EXPECT_EQ(component->IsVisible(), shown) << "component " << component->GetId();
      tokens.push_back(Token(component.get()));
    }
    EXPECT_EQ(Joined(tokens), expected);
  }

  // The colour and font height a text area draws with.
  static std::pair<D3DCOLOR, int> DrawnText(iGUIComponent* c) {
    platform::Recorded().texts.clear();
    c->DrawText();
    const auto& texts = platform::Recorded().texts;
    return texts.empty() ? std::pair<D3DCOLOR, int>{} : std::pair{texts[0].color, texts[0].fontHeight};
  }
};

// The engine menu of each engine: shader model 2 and 3 add the depth and
// sunlight panels, all but fixed function the foam panel.
std::wstring EngineMenuTokens(int type) {
  const bool sm2 = type == 402 || type == 403, foam = type != 404;
  const wchar_t* create = type == 404   ? L"#237>1034"
                          : type == 401 ? L"#260>1039"
                          : type == 402 ? L"#268>1040"
                                        : L"#285>1043";
  const wchar_t* name = type == 404 ? L"FFP" : type == 401 ? L"SM1" : type == 402 ? L"SM2" : L"SM3";
  std::wstring s;
  if (sm2) {
    s += L"W|Depth effect options|[1.0]|Shore transparency scale[1..]|[0.0]|Clip plane .y coordinate|[512]|"
         L"Depth texture resolution|[0.0]|Plane .y coord|[50.0]|Depth limit|[1.0]|Foam scale|"
         L"W|Sunlight reflection options|[200]|Sunlight color(RGB)|[200]|[200]|[200]|Sunlight area|[10]|"
         L"Sunlight power|[1000]|Sunlight position(XYZ))|[100]|[1000]|";
  }
  if (foam) {
    s += L"W|Foam rendering options|[0.5]|Foam begins at height [0..1]|[1.0]|Foam transparency scale:|[6.0]|"
         L"Foam tiling|[0.1]|Foam distort.|[2000]|Visibility dist.|";
  }
  s += L"W|x249>1036|Render water in wireframe|x256>1037|Show engine info|" + std::wstring(create) +
       L"|W|[5.0]|Vertex extrusion strength|" + (type == 403 ? L"[7.0f]|[7.0f]" : L"[5.0f]|[5.0f]") +
       L"|.x UV scale|.y UV scale|W|[0.0]|Reflection plane .y coordinate|[0.0]|Clip plane .y coordinate|[512]|"
       L"Reflection texture resolution|W|[0.0]|Clip plane .y coordinate|[512]|Refraction texture resolution|[24]|"
       L"Refraction fill color (RGB)|[40]|[46]|W|x235>1032|Enable reflection|x236>1033|Enable refraction|"
       L"x244>1035|Enable " + (type == 403 ? L"GPU" : L"CPU") + L" vertex extrusion|";
  if (foam) s += L"x259>1038|Enable foam rendering|";
  if (sm2) s += L"x269>1041|Enable sunlight reflection|x270>1042|Enable depth effects|";
  return s + L"W|#124>1018!1018|" + name +
         L" Engine menu|[0.05]|Reflection strength|[1000]|Full reflection distance|[0.1]|Global transparency [0..1]|"
         L"[41]|" + (type == 404 ? L"Vertex diffuse color(RGB)" : L"Reflection color(No texture)") + L"|[75]|[62]";
}

// The menus as a user reads them, control by control in creation order (see Token).
TEST_F(EditorMenusTest, ChoosingAnEngineBuildsEveryMenuAsDesignedAndShowsTheToolbar) {
  Start();
  Command(1003);  // shader model 2
  EXPECT_EQ(editor->engineType, 402);
  EXPECT_EQ(editor->waterScene.settings.engineType, 402);
  EXPECT_EQ(cGUIManager::Instance()->GetTopMenu(), editor->menus.toolbar);
  ExpectMenu(editor->menus.newState, L"W|#0>1044|#287>1045!1018|All current work will be lost. Are you sure ?", {});
  ExpectMenu(editor->menus.exit, L"W!1018|#0>1048|#0>1049|All current work will be lost. Are you sure ?", {});
  ExpectMenu(editor->menus.save, L"W!1018|#0>1058|#0>1018|[MyEngine]|Enter filename", {});
  ExpectMenu(editor->menus.load, L"W!1018|#0>1059|#0>1018|{?}|Select file to load", {});
  ExpectMenu(editor->menus.info, L"W!1018|#0>1018|Info text", {});
  ExpectMenu(editor->menus.toolbar,
             L"W|#116>1006/1007|#118>1008/1009|W|#119>1010/1011|W|#120>1012/1013|W|#121>1014/1015|#289>1046/1047|"
             L"#291>1050/1051|#299>1054/1055|#298>1056/1057|W|W|W|Generation time(s):|Texture Write Time(s):|W|W|"
             L"Generation time(s):|Texture Write Time(s):|W|Vertex count:|Triangle count:|Extrusion time(s):|"
             L"DIP calls:|W|Render time:|W|Parameters are updated in real-time after component creation|W|"
             L"Parameters are updated at component create time",
             {53, 61, 66, 71, 75});
  ExpectMenu(editor->menus.settings,
             L"W|#124>1018!1018|Settings menu|#294>1052|{1,2,3}|Select new skybox|"
             L"{800x600x60 hz,1024x768x60 hz,1280x1024x60 hz}|Screen resolution|x295>1053|Show Island",
             {});
  ExpectMenu(editor->menus.heightmap,
             L"W|[1.0]|x139>1021|Simulation speed|Show heightmap|#142>1022|W|W|[1.0]|[4]|[4]|x132>1020|Persistence|"
             L"Octave count|Grid size|Squared height|#156>1023|[1.0]|[1.0]|[4]|[6.0]|[4]|[4]|x157>0|Wind(.X)|"
             L"Wind(.Z)|Amplitude|Smoothnes|Grid size|Normalization|W|Heightmap menu|Generation model|"
             L"Heightmap resolution|#124>1018!1018|{8,16,32,64,128,256,512,1024,2048,4096}|"
             L"{Perlin noise,Statistical(FFT)}>1019",
             {50, 52, 51});
  ExpectMenu(editor->menus.normalmap,
             L"W|x173>1027|Show normalmap|#174>1028|W|[1.0]|Normals amplitude|W|"
             L"The amplitude of normals in case of FFT based heightmap are determined by FFT heightmap generation "
             L"options. Check the 'amplitude' options in heightmap menu.|"
             L"W|#124>1018!1018|Normalmap menu|Generation method|Filtering type|"
             L"{Simple Differencing,Centered Differencing}>1026|{}",
             {55, 59, 60, 54});
  ExpectMenu(editor->menus.geometry,
             L"W|x222>1030|Show geometry info|#227>1031|W|[2000]|Maximum grid radius|[192]|Circle resolution|[1.0]|"
             L"First circle radius|[1.01]|Levels scale coefficient|W|[300.0]|First level scale coefficient|[5.0f]|"
             L"[5.0f]|.x UV scale|.y UV scale|[0.0]|Center(X)|[0.0]|Center(Y)|[0.0]|Center(Z)|[3000.0]|"
             L"Vertex height falloff distance|W|[2000.0]|[2000.0]|X Width|Z Width|[32]|Maximum tesselation|[0.0]|"
             L"Center(X)|[0.0]|Center(Y)|[0.0]|Center(Z)|[5.0f]|[5.0f]|.x UV scale|.y UV scale|W|[16]|[16]|"
             L"X patch count|Z patch count|[1000.0]|LOD falloff distance|[1000.0]|Vertex height falloff distance|W|"
             L"[1000.0]|[1000.0]|X Width|Z Width|[128]|[128]|X Tesselation|Z Tesselation|[0.0]|Center(X)|[0.0]|"
             L"Center(Y)|[0.0]|Center(Z)|[5.0f]|[5.0f]|.x UV scale|.y UV scale|W|#124>1018!1018|Geometry menu|"
             L"Geometry type|{Simple N*N grid,Geomipmap grid,Radial grid}>1029",
             {65, 64, 63, 62});
  EXPECT_EQ(editor->menus.ffpEngine, nullptr);
  EXPECT_EQ(editor->menus.sm1Engine, nullptr);
  EXPECT_EQ(editor->menus.sm3Engine, nullptr);
}

TEST_F(EditorMenusTest, EachEngineGetsItsOwnMenuGeometryListAndIcon) {
  struct Case {
    int event;
    int type;
    std::vector<int> hidden;
    std::wstring geometryItems;
    const wchar_t* icon;
  };
  const Case cases[] = {
      {1005, 404, {69, 67, 68}, L"Simple N*N grid|Geomipmap grid|Radial grid", L"data/gui/ffp_idle.tga"},
      {1002, 401, {72, 69, 67, 68}, L"Simple N*N grid|Geomipmap grid|Radial grid", L"data/gui/Sm1_idle.tga"},
      {1003, 402, {74, 73, 72, 69, 67, 68}, L"Simple N*N grid|Geomipmap grid|Radial grid", L"data/gui/sm2_idle.tga"},
      {1004, 403, {74, 73, 72, 69, 67, 68}, L"n/a|n/a|Radial grid", L"data/gui/Sm3_idle.tga"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.type);
    Start();
    Command(c.event);
    ASSERT_EQ(editor->engineType, c.type);
    ExpectMenu(editor->EngineMenu(), EngineMenuTokens(c.type), c.hidden);
    EXPECT_EQ(Joined(ItemsOf(FindCombobox(editor->menus.geometry, 182))), c.geometryItems);
    auto* icon = editor->menus.toolbar->FindKind<cWindow>(306);
    ASSERT_NE(icon, nullptr);
    ASSERT_NE(Image(c.icon), nullptr);
    EXPECT_EQ(DrawnImage(icon), Image(c.icon));
    Shutdown();
  }
}

TEST_F(EditorMenusTest, MenusAreBuiltOnceAndANewEngineAddsOnlyItsOwnMenu) {
  Start();
  Command(1003);
  cMenu* heightmap = editor->menus.heightmap;
  cGUIManager::Instance()->ClearMenus();
  cGUIManager::Instance()->PushMenu(editor->menus.selection, false);
  Command(1005);
  EXPECT_EQ(editor->menus.heightmap, heightmap);
  EXPECT_NE(editor->menus.sm2Engine, nullptr);
  EXPECT_NE(editor->menus.ffpEngine, nullptr);
  EXPECT_EQ(editor->EngineMenu(), editor->menus.ffpEngine);
  EXPECT_EQ(cGUIManager::Instance()->GetTopMenu(), editor->menus.toolbar);
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

TEST_F(LoadListTest, ListsTxtFilesByNameWithoutTheirExtension) {
  std::filesystem::remove_all("save");
  std::filesystem::create_directories("save/d.txt");
  const std::vector<std::string> files = {"b.txt",  "a.txt",    "notes.txtx",  "c.TXT",
                                          "readme", ".txt",     "\xC3\xA9t\xC3\xA9.txt", "bad\xFF.txt",
                                          std::string(200, 'n') + ".txt"};
  for (const std::string& file : files) std::ofstream("save/" + file) << "x";
  StartWith(ENGINE_SM2);
  EXPECT_EQ(LoadList(), L"a|b|" + std::wstring(200, L'n') + L"|\u00E9t\u00E9");
}

TEST_F(LoadListTest, AMissingSaveFolderGivesAnEmptyListAndRefillingReplacesTheItems) {
  std::filesystem::remove_all("save");
  StartWith(ENGINE_SM2);
  EXPECT_EQ(LoadList(), L"");
  std::filesystem::create_directories("save");
  std::ofstream("save/one.txt") << "x";
  FindCombobox(editor->menus.load, EditorId::kLoadList)->Select(1);
  editor->FillLoadList();
  EXPECT_EQ(LoadList(), L"one");
  editor->FillLoadList();
  EXPECT_EQ(LoadList(), L"one");
  EXPECT_EQ(FindCombobox(editor->menus.load, EditorId::kLoadList)->GetSelected(), -1);
}

// Three notices, the buy and quit buttons and the description line, then a
// button and its description per engine: dimmed and silent with the "not
// supported" text where the device cannot run the engine.
TEST_F(EditorMenusTest, TheSelectionScreenShowsNoticesAndDimsEnginesTheDeviceCannotRun) {
  struct Case {
    const char* name;
    platform::HeadlessProfile profile;
    bool supported[4];  // fixed function, shader models 1, 2, 3
  };
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
