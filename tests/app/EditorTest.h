// Runs the editor's start-up on a headless device; Shutdown afterwards.
#pragma once

#include <gtest/gtest.h>

#include "app/WinMain.h"
#include "app/cEditor.h"
#include "platform/Platform.h"

class EditorTest : public ::testing::Test {
 protected:
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

  platform::HeadlessProfile profile = platform::HeadlessProfile::ShaderModel3();
  HWND window = nullptr;
  cEditor* editor = nullptr;
};
