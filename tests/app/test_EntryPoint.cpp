// The program's entry: its command line and its window messages.
#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <utility>
#include <vector>

#include "../waterscene/SaveFileTesting.h"
#include "app/EditorOptions.h"
#include "app/WinMain.h"
#include "editor/Process.h"
#include "editor/cEditor.h"
#include "gui/GUIKey.h"
#include "platform/Platform.h"

namespace {

struct OptionsCase {
  std::string name; std::vector<std::string> args; bool run; int exit;
  unsigned width, height; std::string printed;
  friend void PrintTo(const OptionsCase& c, std::ostream* os) { *os << c.name; }
};

// The cases of tests/data/app/options.txt.
std::vector<OptionsCase> OptionsCases() {
  std::vector<OptionsCase> cases;
  for (const auto& row : savefile::testing::TableRows("app/options.txt", "options")) {
    std::vector<std::string> args;
    std::istringstream words(row.at(1));
    for (std::string word; words >> word;) args.push_back(word);
    cases.push_back({row[0], args, row.at(2) == "1", std::stoi(row.at(3)), static_cast<unsigned>(std::stoi(row.at(4))),
                     static_cast<unsigned>(std::stoi(row.at(5))), row.at(6)});
  }
  return cases;
}

class EditorOptions : public ::testing::TestWithParam<OptionsCase> {};

TEST_P(EditorOptions, Parses) {
  const OptionsCase& c = GetParam();
  const EditorParse parse = ParseEditorCommandLine(c.args);
  EXPECT_EQ(std::tuple(parse.run, parse.exit, parse.windowWidth, parse.windowHeight),
            std::tuple(c.run, c.exit, c.width, c.height));
  const std::string& text = c.exit == 0 ? parse.output : parse.error;
  EXPECT_NE(text.find(c.printed), std::string::npos) << text;
  if (c.exit != 0) {
    EXPECT_EQ(parse.error.find('\n'), std::string::npos) << "a refusal is one line";
    EXPECT_EQ(parse.error.rfind("brinora-editor: ", 0), 0u) << parse.error;
  }
}

INSTANTIATE_TEST_SUITE_P(Cases, EditorOptions, ::testing::ValuesIn(OptionsCases()),
                         [](const auto& info) { return info.param.name; });

using Keys = std::vector<unsigned>;
using Typed = std::vector<cEditor::TypedKey>;

class WindowProcTest : public ::testing::Test {
 protected:
  void SetUp() override { platform::UseHeadlessBackend(); }
  void TearDown() override { Shutdown(); }
  void Send(UINT message, WPARAM key = 0) { EXPECT_EQ(WndProc(nullptr, message, key, 0), 0); }
  const Keys& keys() { return cEditor::Instance()->keyEvents; }
  const Typed& typed() { return cEditor::Instance()->typedKeys; }
};

TEST_F(WindowProcTest, ReleasedKeysAreTypedInOrderWithRepeatsAndOtherKeysGiveNothing) {
  for (WPARAM key : {WPARAM{'5'}, WPARAM{'5'}, WPARAM{'B'}, VK_ESCAPE, VK_BACK, WPARAM{'0'}, WPARAM{'9'},
                     VK_OEM_PERIOD, VK_SUBTRACT, VK_OEM_MINUS, WPARAM{'B'}})
    Send(WM_KEYUP, key);
  EXPECT_EQ(typed(), (Typed{{8, 0}, {8, 0}, {0, 'b'}, {1, 0}, {2, 0}, {3, 0}, {12, 0}, {13, 0}, {109, 0},
                            {109, 0}, {0, 'b'}}));
  EXPECT_TRUE(keys().empty());
  for (WPARAM key : {WPARAM{'B'}, WPARAM{'5'}}) Send(WM_KEYDOWN, key);
  for (WPARAM key : {VK_RETURN, VK_SPACE}) Send(WM_KEYUP, key);
  EXPECT_EQ(typed().size(), 11u);
  EXPECT_TRUE(keys().empty());
  for (size_t n = 0; n < 2 * cEditor::kMaxTypedKeys; ++n) Send(WM_KEYUP, '1');
  EXPECT_EQ(typed().size(), cEditor::kMaxTypedKeys);
}

TEST_F(WindowProcTest, MovementLettersStayHeldUntilReleasedAndTabOnce) {
  for (WPARAM key : {'W', 'W', 'S', 'A', 'D', 'W'}) Send(WM_KEYDOWN, key);  // with key repeat
  EXPECT_EQ(keys(), (Keys{38, 40, 37, 39}));
  for (WPARAM key : {'W', 'A'}) Send(WM_KEYUP, key);
  EXPECT_EQ(keys(), (Keys{40, 39}));
  for (WPARAM key : {'S', 'D'}) Send(WM_KEYUP, key);
  EXPECT_TRUE(keys().empty());
  EXPECT_EQ(typed(), (Typed{{0, 'w'}, {0, 'a'}, {0, 's'}, {0, 'd'}}));
  for (int i = 0; i < 2; ++i) Send(WM_KEYUP, VK_TAB);
  EXPECT_EQ(keys(), Keys{101});
}

TEST_F(WindowProcTest, AClickWithinAFrameLeavesOnlyTheRelease) {
  for (int i = 0; i < 2; ++i) Send(WM_LBUTTONDOWN);
  EXPECT_EQ(keys(), Keys{GUIKEY_PRESS});
  Send(WM_LBUTTONUP);
  EXPECT_EQ(keys(), Keys{GUIKEY_CLICK});
  Send(WM_LBUTTONDOWN);
  EXPECT_EQ(keys(), (Keys{GUIKEY_CLICK, GUIKEY_PRESS}));
}

TEST_F(WindowProcTest, DestroyingTheWindowPostsQuit) {
  Send(WM_DESTROY);
  MSG msg{};
  ASSERT_TRUE(PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE));
  EXPECT_EQ(std::pair(msg.message, msg.wParam), (std::pair<UINT, WPARAM>(WM_QUIT, 0)));
}

}  // namespace
