#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "EditorMenuTest.h"
#include "editor/MenuTables.h"
#include "editor/cMenuBuilder.h"
#include "platform/Platform.h"

namespace {

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
    for (const auto& c : editor->menus.selection->Components()) all.push_back(c.get());
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

TEST_F(SelectionScreenTest, ShowsNoticesButtonsAndDescriptions) {
  Start();
  ASSERT_EQ(cGUIManager::Instance()->GetTopMenu(), editor->menus.selection);
  EXPECT_EQ(editor->menus.selection->GetId(), 100);
  const std::vector<iGUIComponent*> c = Components();
  ASSERT_EQ(c.size(), 15u);
  // Three notices in the notice font: a white one, then two yellow ones.
  const D3DCOLOR colors[] = {0xFFFFFFFF, 0xFFFFE400, 0xFFFFE400};
  for (int i = 0; i < 3; ++i) {
    SCOPED_TRACE(i);
    auto* area = dynamic_cast<cTextarea*>(c[i]);
    ASSERT_NE(area, nullptr);
    EXPECT_GT(std::wstring(area->GetText()).size(), 10u);
    EXPECT_EQ(DrawnColor(area), colors[i]);
    EXPECT_EQ(DrawnHeight(area), 20);
  }
  std::wstring tokens;
  for (size_t i = 3; i < c.size(); ++i) tokens += Token(c[i]) + L"|";
  const EngineDescriptions& d = editor->engineDescriptions;
  EXPECT_EQ(tokens, L"W|#109>1001|#308>1060|" + d[8] + L"|#101>1005|" + d[0] + L"|#103>1002|" + d[2] + L"|#105>1003|" +
                        d[4] + L"|#107>1004|" + d[6] + L"|");
  EXPECT_EQ(DrawnColor(c[6]), 0xFFFF0000);  // the description line
  EXPECT_EQ(DrawnHeight(c[6]), 16);
}

TEST_F(SelectionScreenTest, EnginesTheDeviceCannotRunAreDimmedAndSilent) {
  struct Case {
    const char* name;
    platform::HeadlessProfile profile;
    bool supported[4];  // fixed function, shader models 1, 2, 3
  };
  // Each engine on and off once; which profile runs what is tested with the editor's start-up.
  const Case cases[] = {
      {"SM1", platform::HeadlessProfile::ShaderModel1(), {true, true, false, false}},
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

// 800 and 1024 wide are tested with the editor's start-up and mode changes.
TEST_F(SelectionScreenTest, FontsStopGrowingPast1024Wide) {
  profile.desktop = {1600, 1200, 60, D3DFMT_X8R8G8B8};
  Start();
  EXPECT_EQ(Fonts(), (FontList{{16, L"arial"}, {20, L"Tahoma"}}));
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
