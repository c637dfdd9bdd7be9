#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "EditorMenuTest.h"
#include "editor/EditorIds.h"
#include "editor/MenuValues.h"

namespace {

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
TEST_F(EditorMenuTest, ChoosingAnEngineBuildsEveryMenuAsDesignedAndShowsTheToolbar) {
  Start();
  Choose(1003);  // shader model 2
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

TEST_F(EditorMenuTest, EachEngineGetsItsOwnMenuGeometryListAndIcon) {
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
    Choose(c.event);
    ASSERT_EQ(editor->engineType, c.type);
    ExpectMenu(editor->EngineMenu(), EngineMenuTokens(c.type), c.hidden);
    EXPECT_EQ(Joined(ItemsOf(FindCombobox(editor->menus.geometry, 182))), c.geometryItems);
    auto* icon = editor->menus.toolbar->FindKind<cWindow>(306);
    ASSERT_NE(icon, nullptr);
    ASSERT_NE(Cached(c.icon), nullptr);
    EXPECT_EQ(FirstSprite(icon), Cached(c.icon));
    Shutdown();
  }
}

TEST_F(EditorMenuTest, MenusAreBuiltOnceAndANewEngineAddsOnlyItsOwnMenu) {
  Start();
  Choose(1003);
  cMenu* heightmap = editor->menus.heightmap;
  cGUIManager::Instance()->ClearMenus();
  cGUIManager::Instance()->PushMenu(editor->menus.selection, false);
  Choose(1005);
  EXPECT_EQ(editor->menus.heightmap, heightmap);
  EXPECT_NE(editor->menus.sm2Engine, nullptr);
  EXPECT_NE(editor->menus.ffpEngine, nullptr);
  EXPECT_EQ(editor->EngineMenu(), editor->menus.ffpEngine);
  EXPECT_EQ(cGUIManager::Instance()->GetTopMenu(), editor->menus.toolbar);
}

TEST_F(EditorMenuTest, TheSaveNameTakesLettersAndTheResolutionListNamesEveryMode) {
  profile.modes = {{800, 600, 60, D3DFMT_X8R8G8B8}, {640, 480, 60, D3DFMT_X8R8G8B8}, {1024, 768, 75, D3DFMT_X8R8G8B8}};
  Start();
  Choose(1003);
  cEditbox* name = FindEditbox(editor->menus.save, 301);
  ASSERT_NE(name, nullptr);
  name->Focus();
  name->OnChar('x');
  EXPECT_STREQ(name->GetText(), L"MyEnginex");
  EXPECT_EQ(Joined(ItemsOf(FindCombobox(editor->menus.settings, 293))), L"800x600x60 hz|1024x768x75 hz");
}

// Works on the "save" folder of the test's own working directory.
class LoadListTest : public EditorMenuTest {
 protected:
  void TearDown() override {
    EditorMenuTest::TearDown();
    std::filesystem::remove_all(kFolder);
  }
  static void Touch(const std::string& name) { std::ofstream(std::string(kFolder) + "/" + name) << "x"; }
  std::wstring LoadList() { return Joined(ItemsOf(FindCombobox(editor->menus.load, 302))); }

  static constexpr const char* kFolder = "save";
};

TEST_F(LoadListTest, ListsTxtFilesByNameWithoutTheirExtension) {
  struct Case {
    std::vector<std::string> files;
    std::vector<std::string> folders;
    std::wstring expected;
  };
  const Case cases[] = {
      {{}, {}, L""},
      {{"b.txt", "a.txt", "notes.txtx", "c.TXT", "readme", ".txt", "\xC3\xA9t\xC3\xA9.txt", "bad\xFF.txt",
        std::string(200, 'n') + ".txt"},
       {"d.txt"},
       L"a|b|" + std::wstring(200, L'n') + L"|\u00E9t\u00E9"},
  };
  for (const Case& c : cases) {
    std::filesystem::remove_all(kFolder);
    std::filesystem::create_directories(kFolder);
    for (const std::string& file : c.files) Touch(file);
    for (const std::string& folder : c.folders) std::filesystem::create_directories(std::string(kFolder) + "/" + folder);
    Start();
    Choose(1003);
    EXPECT_EQ(LoadList(), c.expected);
    Shutdown();
  }
}

TEST_F(LoadListTest, AMissingSaveFolderGivesAnEmptyListAndRefillingReplacesTheItems) {
  std::filesystem::remove_all(kFolder);
  Start();
  Choose(1003);
  EXPECT_EQ(LoadList(), L"");
  std::filesystem::create_directories(kFolder);
  Touch("one.txt");
  FindCombobox(editor->menus.load, 302)->Select(1);
  editor->FillLoadList();
  EXPECT_EQ(LoadList(), L"one");
  editor->FillLoadList();
  EXPECT_EQ(LoadList(), L"one");
  EXPECT_EQ(FindCombobox(editor->menus.load, 302)->GetSelected(), -1);
}

}  // namespace
