#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "EditorMenuTest.h"
#include "editor/MenuTables.h"
#include "editor/cMenuBuilder.h"
#include "platform/Platform.h"

namespace {

// Menu 100 as designed; the three notices and the engine texts are checked apart.
const ExpectedRow kFixedRows[] = {
    {kWindow, 1, 0, 0, 0.31f, 0.57f, 0.4f, 0.2f, nullptr, L"data/gui/select_engine.tga", 0, 0, 0},
    {kButton, 109, 0, 0, 0.65f, -0.5f, 0.1f, 0.075f, nullptr, L"data/gui/select_engine_quit_idle.tga", 1001, 0, 0},
    {kButton, 308, 0, 0, -0.72f, -0.41f, 0.1f, 0.05f, nullptr, L"data/gui/buy_idle.tga", 1060, 0, 0},
};

struct EngineButton {
  int id;
  float y;
  const wchar_t* name;
  int event;
};
const EngineButton kEngines[] = {
    {101, 0.4f, L"ffp", 1005}, {103, 0.2f, L"sm1", 1002}, {105, 0.0f, L"sm2", 1003}, {107, -0.2f, L"sm3", 1004}};

class SelectionScreenTest : public EditorMenuTest {
 protected:
  std::vector<iGUIComponent*> Components() {
    std::vector<iGUIComponent*> all;
    for (const auto& c : editor->selectionMenu->Components()) all.push_back(c.get());
    return all;
  }

  // The colour a text area draws with, from the recorded text.
  static D3DCOLOR DrawnColor(iGUIComponent* c) {
    platform::Recorded().texts.clear();
    c->DrawText();
    return platform::Recorded().texts.empty() ? 0 : platform::Recorded().texts[0].color;
  }
  static int DrawnHeight(iGUIComponent* c) {
    platform::Recorded().texts.clear();
    c->DrawText();
    return platform::Recorded().texts.empty() ? 0 : platform::Recorded().texts[0].fontHeight;
  }
};

TEST_F(SelectionScreenTest, ShowsNoticesButtonsAndDescriptionsInTheirPlaces) {
  Start();
  ASSERT_EQ(cGUIManager::Instance()->GetTopMenu(), editor->selectionMenu);
  EXPECT_EQ(editor->selectionMenu->GetId(), 100);
  const std::vector<iGUIComponent*> c = Components();
  ASSERT_EQ(c.size(), 15u);
  struct Notice {
    int id;
    float x, y, size;
    D3DCOLOR color;
  };
  const Notice notices[] = {{2, -0.6f, -0.4f, 1.2f, 0xFFFFFFFF},
                            {0, -0.75f, -0.5f, 2.0f, 0xFFFFE400},
                            {1, -0.75f, -0.53f, 2.0f, 0xFFFFE400}};
  for (int i = 0; i < 3; ++i) {
    SCOPED_TRACE(i);
    const ExpectedRow row{kText, notices[i].id, 0, 0, notices[i].x, notices[i].y, notices[i].size, notices[i].size,
                          nullptr, nullptr, 0, 0, 0};
    auto* area = dynamic_cast<cTextarea*>(c[i]);
    ASSERT_NE(area, nullptr);
    ExpectExtent(area, row);
    EXPECT_EQ(area->GetId(), row.id);
    EXPECT_GT(std::wstring(area->GetText()).size(), 10u);
    EXPECT_EQ(DrawnColor(area), notices[i].color);
    EXPECT_EQ(DrawnHeight(area), 20);  // the notice font
  }
  for (int i = 0; i < 3; ++i) ExpectRow(c[3 + i], kFixedRows[i], {});
  auto* line = dynamic_cast<cTextarea*>(c[6]);
  ASSERT_NE(line, nullptr);
  ExpectRow(line, {kText, 110, 0, 0, -0.4f, -0.45f, 0.8f, 0.8f, editor->engineDescriptions[8].c_str(), nullptr, 0, 0, 0},
            {});
  EXPECT_EQ(DrawnColor(line), 0xFFFF0000);
  EXPECT_EQ(DrawnHeight(line), 16);
  for (int k = 0; k < 4; ++k) {
    SCOPED_TRACE(k);
    const EngineButton& b = kEngines[k];
    const std::wstring idle = cMenuBuilder::ButtonImage(b.name, L"idle");
    ExpectRow(c[7 + 2 * k], {kButton, b.id, 0, 0, -0.62f, b.y, 0.15f, 0.15f, nullptr, idle.c_str(), b.event, 0, 0}, {});
    ExpectRow(c[8 + 2 * k],
              {kText, b.id + 1, 0, 0, -0.4f, b.y - 0.02f, 1.0f, 1.0f, editor->engineDescriptions[2 * k].c_str(), nullptr,
               0, 0, 0},
              {});
  }
}

TEST_F(SelectionScreenTest, EnginesTheDeviceCannotRunAreDimmedAndSilent) {
  struct Case {
    const char* name;
    platform::HeadlessProfile profile;
    bool supported[4];  // fixed function, shader models 1, 2, 3
  };
  const Case cases[] = {
      {"SM3", platform::HeadlessProfile::ShaderModel3(), {true, true, true, true}},
      {"SM3 without R32F", platform::HeadlessProfile::NoR32F(), {true, true, true, true}},
      {"SM2", platform::HeadlessProfile::ShaderModel2(), {true, true, true, false}},
      {"SM1", platform::HeadlessProfile::ShaderModel1(), {true, true, false, false}},
      {"fixed function", platform::HeadlessProfile::FixedFunction(), {true, false, false, false}},
      {"one stream", platform::HeadlessProfile::OneStream(), {false, false, true, true}},
  };
  for (const Case& test : cases) {
    SCOPED_TRACE(test.name);
    profile = test.profile;
    Start();
    const std::vector<iGUIComponent*> c = Components();
    ASSERT_EQ(c.size(), 15u);
    for (int k = 0; k < 4; ++k) {
      SCOPED_TRACE(k);
      auto* button = dynamic_cast<cButton*>(c[7 + 2 * k]);
      auto* text = dynamic_cast<cTextarea*>(c[8 + 2 * k]);
      ASSERT_TRUE(button && text);
      const bool on = test.supported[k];
      EXPECT_EQ(button->IsEnabled(), on);
      const std::wstring shown = cMenuBuilder::ButtonImage(kEngines[k].name, on ? L"idle" : L"over");
      EXPECT_EQ(FirstSprite(button), Cached(shown.c_str()));
      EXPECT_EQ(button->OnClick(0, 0), on ? kEngines[k].event : 0);
      EXPECT_EQ(std::wstring(text->GetText()), editor->engineDescriptions[2 * k + (on ? 0 : 1)]);
    }
    Shutdown();
  }
}

TEST_F(SelectionScreenTest, FontsFollowTheBackBufferWidth) {
  struct Case {
    UINT width, height;
    FontList fonts;
  };
  const Case cases[] = {{1024, 768, {{16, L"arial"}, {20, L"Tahoma"}}},
                        {800, 600, {{13, L"arial"}, {17, L"Tahoma"}}},
                        {1600, 1200, {{16, L"arial"}, {20, L"Tahoma"}}}};
  for (const Case& test : cases) {
    profile.desktop = {test.width, test.height, 60, D3DFMT_X8R8G8B8};
    Start();
    EXPECT_EQ(Fonts(), test.fonts);
    Shutdown();
  }
}

TEST_F(SelectionScreenTest, QuitAndBuyAreHandledHere) {
  Start();
  editor->OnGUIEvent(1060, nullptr);
  EXPECT_EQ(platform::Recorded().shellOpens, std::vector<std::string>{"README.md"});
  EXPECT_FALSE(editor->IsQuitRequested());
  editor->OnGUIEvent(1001, nullptr);
  EXPECT_TRUE(editor->IsQuitRequested());
}

TEST_F(SelectionScreenTest, EachFrameOnlyClearsAndDrawsTheGUI) {
  Start();
  ASSERT_EQ(editor->Frame(), S_OK);
  EXPECT_EQ(platform::Recorded().clears, 2);  // the frame's and the screen's own
  bool fps = false;
  for (const platform::TextRecord& text : platform::Recorded().texts) fps = fps || text.text.starts_with(L"fps:");
  EXPECT_FALSE(fps);
  EXPECT_FALSE(platform::Recorded().draws.empty());  // the sprites
}

// Images missing from the data folder leave their widgets without them: every
// menu still builds, draws and takes clicks.
TEST_F(SelectionScreenTest, MenusWorkWithoutTheirImages) {
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
