#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <functional>
#include <string>
#include <vector>

#include "EditorMenuTest.h"
#include "editor/EditorIds.h"
#include "editor/MenuValues.h"

namespace {

using Rows = std::vector<ExpectedRow>;

template <size_t N>
Rows RowsOf(const ExpectedRow (&rows)[N]) {
  return Rows(rows, rows + N);
}

// The engine menus other than shader model 3, derived from it by their listed differences.
void Replace(Rows& rows, const std::function<bool(const ExpectedRow&)>& match,
             const std::function<void(ExpectedRow&)>& change) {
  for (ExpectedRow& row : rows)
    if (match(row)) change(row);
}
void Remove(Rows& rows, const std::function<bool(const ExpectedRow&)>& match) {
  std::erase_if(rows, match);
}
bool Says(const ExpectedRow& row, const wchar_t* text) { return row.text && std::wstring(row.text) == text; }

Rows SM2Rows() {
  Rows rows = RowsOf(kSM3Menu);
  Replace(rows, [](const ExpectedRow& r) { return r.id == 285; }, [](ExpectedRow& r) { r.id = 268, r.click = 1040; });
  Replace(rows, [](const ExpectedRow& r) { return r.id == 245 || r.id == 250 || r.id == 251; },
          [](ExpectedRow& r) {
            r.image = L"data/gui/custom_editbox2.tga";
            r.text = r.id == 245 ? L"5.0" : L"5.0f";
          });
  Replace(rows, [](const ExpectedRow& r) { return Says(r, L"Enable GPU vertex extrusion"); },
          [](ExpectedRow& r) { r.text = L"Enable CPU vertex extrusion"; });
  Replace(rows, [](const ExpectedRow& r) { return Says(r, L"SM3 Engine menu"); },
          [](ExpectedRow& r) { r.text = L"SM2 Engine menu"; });
  return rows;
}

Rows SM1Rows() {
  Rows rows = SM2Rows();
  Remove(rows, [](const ExpectedRow& r) {
    return r.group == 73 || r.group == 74 || r.id == 269 || r.id == 270 || Says(r, L"Enable sunlight reflection") ||
           Says(r, L"Enable depth effects");
  });
  Replace(rows, [](const ExpectedRow& r) { return r.id == 268; }, [](ExpectedRow& r) { r.id = 260, r.click = 1039; });
  Replace(rows, [](const ExpectedRow& r) { return r.kind == kWindow && r.y == 0.565f; },
          [](ExpectedRow& r) { r.y = 0.55f, r.height = 0.3f; });
  const int switches[] = {235, 236, 244, 259};
  for (int i = 0; i < 4; ++i) {
    const float y = 0.52f - 0.05f * i;
    for (size_t k = 0; k < rows.size(); ++k) {
      if (rows[k].id != switches[i] || rows[k].kind != kCheckbox) continue;
      rows[k].y = y;
      rows[k + 1].y = y - 0.005f;  // its label follows it
    }
  }
  Replace(rows, [](const ExpectedRow& r) { return Says(r, L"SM2 Engine menu"); },
          [](ExpectedRow& r) { r.text = L"SM1 Engine menu"; });
  return rows;
}

Rows FFPRows() {
  Rows rows = SM1Rows();
  Remove(rows, [](const ExpectedRow& r) { return r.group == 72 || r.id == 259 || Says(r, L"Enable foam rendering"); });
  Replace(rows, [](const ExpectedRow& r) { return r.id == 260; }, [](ExpectedRow& r) { r.id = 237, r.click = 1034; });
  Replace(rows, [](const ExpectedRow& r) { return Says(r, L"Reflection color(No texture)"); },
          [](ExpectedRow& r) { r.text = L"Vertex diffuse color(RGB)"; });
  Replace(rows, [](const ExpectedRow& r) { return Says(r, L"SM1 Engine menu"); },
          [](ExpectedRow& r) { r.text = L"FFP Engine menu"; });
  return rows;
}

TEST_F(EditorMenuTest, ChoosingAnEngineBuildsEveryMenuAsDesignedAndShowsTheToolbar) {
  Start();
  Choose(1003);  // shader model 2
  EXPECT_EQ(editor->engineType, 402);
  EXPECT_EQ(editor->waterScene.settings.engineType, 402);
  EXPECT_EQ(cGUIManager::Instance()->GetTopMenu(), editor->toolbarMenu);
  ExpectMenu(editor->newStateMenu, RowsOf(kNewStateMenu), {});
  ExpectMenu(editor->exitMenu, RowsOf(kExitMenu), {});
  ExpectMenu(editor->saveMenu, RowsOf(kSaveMenu), {});
  ExpectMenu(editor->loadMenu, RowsOf(kLoadMenu), {});
  ExpectMenu(editor->infoMenu, RowsOf(kInfoMenu), {});
  Rows toolbar = RowsOf(kToolbarMenu);
  toolbar[0].image = L"data/gui/sm2_idle.tga";  // the engine icon, set once the engine is chosen
  ExpectMenu(editor->toolbarMenu, toolbar, {53, 61, 66, 71, 75});
  ExpectMenu(editor->settingsMenu, RowsOf(kSettingsMenu), {});
  ExpectMenu(editor->heightmapMenu, RowsOf(kHeightmapMenu), {50, 52, 51});
  ExpectMenu(editor->normalmapMenu, RowsOf(kNormalmapMenu), {55, 59, 60, 54});
  ExpectMenu(editor->geometryMenu, RowsOf(kGeometryMenu), {65, 64, 63, 62});
  ExpectMenu(editor->sm2EngineMenu, SM2Rows(), {74, 73, 72, 69, 67, 68});
  EXPECT_EQ(editor->ffpEngineMenu, nullptr);
  EXPECT_EQ(editor->sm1EngineMenu, nullptr);
  EXPECT_EQ(editor->sm3EngineMenu, nullptr);
}

TEST_F(EditorMenuTest, EachEngineGetsItsOwnMenuGeometryListAndIcon) {
  struct Case {
    int event;
    int type;
    std::function<Rows()> rows;
    std::vector<int> hidden;
    std::wstring geometryItems;
    const wchar_t* icon;
  };
  const Case cases[] = {
      {1005, 404, FFPRows, {69, 67, 68}, L"Simple N*N grid|Geomipmap grid|Radial grid", L"data/gui/ffp_idle.tga"},
      {1002, 401, SM1Rows, {72, 69, 67, 68}, L"Simple N*N grid|Geomipmap grid|Radial grid", L"data/gui/Sm1_idle.tga"},
      {1003, 402, SM2Rows, {74, 73, 72, 69, 67, 68}, L"Simple N*N grid|Geomipmap grid|Radial grid",
       L"data/gui/sm2_idle.tga"},
      {1004, 403, [] { return RowsOf(kSM3Menu); }, {74, 73, 72, 69, 67, 68}, L"n/a|n/a|Radial grid",
       L"data/gui/Sm3_idle.tga"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.type);
    Start();
    Choose(c.event);
    ASSERT_EQ(editor->engineType, c.type);
    ExpectMenu(editor->EngineMenu(), c.rows(), c.hidden);
    EXPECT_EQ(Joined(ItemsOf(FindCombobox(editor->geometryMenu, 182))), c.geometryItems);
    auto* icon = editor->toolbarMenu->FindKind<cWindow>(306);
    ASSERT_NE(icon, nullptr);
    ASSERT_NE(Cached(c.icon), nullptr);
    EXPECT_EQ(FirstSprite(icon), Cached(c.icon));
    Shutdown();
  }
}

TEST_F(EditorMenuTest, MenusAreBuiltOnceAndANewEngineAddsOnlyItsOwnMenu) {
  Start();
  Choose(1003);
  cMenu* heightmap = editor->heightmapMenu;
  cGUIManager::Instance()->ClearMenus();
  cGUIManager::Instance()->PushMenu(editor->selectionMenu, false);
  Choose(1005);
  EXPECT_EQ(editor->heightmapMenu, heightmap);
  EXPECT_NE(editor->sm2EngineMenu, nullptr);
  EXPECT_NE(editor->ffpEngineMenu, nullptr);
  EXPECT_EQ(editor->EngineMenu(), editor->ffpEngineMenu);
  EXPECT_EQ(cGUIManager::Instance()->GetTopMenu(), editor->toolbarMenu);
}

TEST_F(EditorMenuTest, TheSaveNameTakesLettersAndTheResolutionListNamesEveryMode) {
  profile.modes = {{800, 600, 60, D3DFMT_X8R8G8B8}, {640, 480, 60, D3DFMT_X8R8G8B8}, {1024, 768, 75, D3DFMT_X8R8G8B8}};
  Start();
  Choose(1003);
  cEditbox* name = FindEditbox(editor->saveMenu, 301);
  ASSERT_NE(name, nullptr);
  name->Focus();
  name->OnChar('x');
  EXPECT_STREQ(name->GetText(), L"MyEnginex");
  EXPECT_EQ(Joined(ItemsOf(FindCombobox(editor->settingsMenu, 293))), L"800x600x60 hz|1024x768x75 hz");
}

// Works on the "save" folder of the test's own working directory.
class LoadListTest : public EditorMenuTest {
 protected:
  void TearDown() override {
    EditorMenuTest::TearDown();
    std::filesystem::remove_all(kFolder);
  }
  static void Touch(const std::string& name) { std::ofstream(std::string(kFolder) + "/" + name) << "x"; }
  std::wstring LoadList() { return Joined(ItemsOf(FindCombobox(editor->loadMenu, 302))); }

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
  FindCombobox(editor->loadMenu, 302)->Select(1);
  editor->FillLoadList();
  EXPECT_EQ(LoadList(), L"one");
  editor->FillLoadList();
  EXPECT_EQ(LoadList(), L"one");
  EXPECT_EQ(FindCombobox(editor->loadMenu, 302)->GetSelected(), -1);
}

}  // namespace
