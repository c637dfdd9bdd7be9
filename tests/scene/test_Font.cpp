#include <gtest/gtest.h>

#include "SceneTest.h"
#include "scene/cFont.h"

namespace {

class cFontTest : public SceneTest {
 protected:
  void SetProjection(float p11, float p22) {
    D3DMATRIX projection{};
    projection._11 = p11;
    projection._22 = p22;
    projection._33 = 1.0f;
    projection._34 = 1.0f;
    device->SetTransform(D3DTS_PROJECTION, &projection);
  }
  const platform::TextRecord& LastText() { return platform::Recorded().texts.back(); }
};

TEST_F(cFontTest, DrawsWithItsHeightAndFaceInThePixelRectangle) {
  auto* font = new cFont(device, 13, L"arial", manager);
  font->DrawText(L"fps:0.0", 60, 10, 200, 70, DT_WORDBREAK, 0xFFFFFFFF);
  ASSERT_EQ(platform::Recorded().texts.size(), 1u);
  EXPECT_EQ(LastText().text, L"fps:0.0");
  EXPECT_EQ(LastText().fontHeight, 13);
  EXPECT_EQ(LastText().face, L"arial");
  EXPECT_EQ(LastText().rect.left, 10);
  EXPECT_EQ(LastText().rect.top, 60);
  EXPECT_EQ(LastText().rect.right, 70);
  EXPECT_EQ(LastText().rect.bottom, 200);
  EXPECT_EQ(LastText().format, DT_WORDBREAK);
  EXPECT_EQ(LastText().color, 0xFFFFFFFFu);

  ASSERT_TRUE(font->Create(device, 17, L"tahoma"));
  font->DrawText(L"x", 0, 0, 10, 10, 0, 0xFF000000);
  EXPECT_EQ(LastText().fontHeight, 17);
  EXPECT_EQ(LastText().face, L"tahoma");

  auto* missing = new cFont(nullptr, 13, L"arial", manager);
  missing->DrawText(L"x", 0, 0, 10, 10, 0, 0xFFFFFFFF);
  missing->DrawTextGUI(L"x", 0, 0, 1, 1, 0, 0xFFFFFFFF);
  EXPECT_EQ(platform::Recorded().texts.size(), 2u);
}

TEST_F(cFontTest, ConvertsGUICoordinatesWithTheCapturedProjection) {
  SetProjection(0.5f, 0.75f);
  auto* font = new cFont(device, 16, L"arial", manager);
  font->DrawTextGUI(L"gui", 0.0f, -1.0f, -1.0f, 1.0f, 0, 0xFFFFFFFF);
  EXPECT_EQ(LastText().rect.top, 384);     // 768 / 2
  EXPECT_EQ(LastText().rect.left, 256);    // (-0.5 + 1) * 1024 / 2
  EXPECT_EQ(LastText().rect.right, 768);   // (0.5 + 1) * 1024 / 2
  EXPECT_EQ(LastText().rect.bottom, 672);  // 384 + 768 * 0.75 / 2

  // Another projection moves the columns but not the middle row; values truncate.
  SetProjection(0.3f, 1.9f);
  font->OnResetDevice(device);
  font->DrawTextGUI(L"gui", 0.0f, 0.1f, 0.2f, 0.0f, 0, 0xFFFFFFFF);
  EXPECT_EQ(LastText().rect.top, 384);
  EXPECT_EQ(LastText().rect.left, 527);    // (0.03 + 1) * 512 = 527.36
  EXPECT_EQ(LastText().rect.bottom, 238);  // 384 - 768 * 1.9 * 0.2 / 2 = 238.08
}

TEST_F(cFontTest, RecapturesTheDisplayModeAfterAReset) {
  SetProjection(1.0f, 1.0f);
  auto* font = new cFont(device, 16, L"arial", manager);
  parameters.BackBufferWidth = 800;
  parameters.BackBufferHeight = 600;
  manager->OnLostDeviceAll();
  ASSERT_EQ(manager->Reset(), S_OK);
  SetProjection(1.0f, 1.0f);
  manager->OnResetDeviceAll();
  font->DrawTextGUI(L"gui", 0.0f, 1.0f, 0.0f, 1.0f, 0, 0xFFFFFFFF);
  EXPECT_EQ(LastText().rect.top, 300);
  EXPECT_EQ(LastText().rect.left, 800);
}

}  // namespace
