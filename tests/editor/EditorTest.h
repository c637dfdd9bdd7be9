// Runs the editor's start-up on a headless device; Shutdown afterwards.
#pragma once

#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "app/WinMain.h"
#include "editor/Process.h"
#include "editor/cEditor.h"
#include "platform/Platform.h"

class EditorTest : public ::testing::Test {
 protected:
  using FontList = std::vector<std::pair<int, std::wstring>>;  // height and face of each font

  void TearDown() override { Shutdown(); }

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

  // The small and the large font, as drawn.
  FontList Fonts() {
    platform::Recorded().Clear();
    editor->smallFont->DrawText(L"small", 0, 0, 10, 10, 0, 0xFFFFFFFF);
    editor->largeFont->DrawText(L"large", 0, 0, 10, 10, 0, 0xFFFFFFFF);
    FontList fonts;
    for (const auto& text : platform::Recorded().texts) fonts.emplace_back(text.fontHeight, text.face);
    return fonts;
  }

  platform::HeadlessProfile profile = platform::HeadlessProfile::ShaderModel3();
  HWND window = nullptr;
  cEditor* editor = nullptr;
};
