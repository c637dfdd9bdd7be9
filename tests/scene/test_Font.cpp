#include <gtest/gtest.h>

#include <array>
#include <cmath>

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
  // Left, top, right, bottom of the last text.
  std::array<LONG, 4> LastRect() {
    const RECT& r = LastText().rect;
    return {r.left, r.top, r.right, r.bottom};
  }
};

TEST_F(cFontTest, DrawsWithItsHeightAndFaceInThePixelRectangle) {
  auto* font = new cFont(device, 13, L"arial", manager);
  font->DrawText(L"fps:0.0", 60, 10, 200, 70, DT_WORDBREAK, 0xFFFFFFFF);
  ASSERT_EQ(platform::Recorded().texts.size(), 1u);
  EXPECT_EQ(std::tuple(LastText().text, LastText().fontHeight, LastText().face, LastText().format, LastText().color),
            std::tuple(std::wstring(L"fps:0.0"), 13, std::wstring(L"arial"), DWORD{DT_WORDBREAK}, 0xFFFFFFFFu));
  EXPECT_EQ(LastRect(), (std::array<LONG, 4>{10, 60, 70, 200}));

  ASSERT_TRUE(font->Create(device, 17, L"tahoma"));
  font->DrawText(L"x", 0, 0, 10, 10, 0, 0xFF000000);
  EXPECT_EQ(std::tuple(LastText().fontHeight, LastText().face), std::tuple(17, std::wstring(L"tahoma")));

  auto* missing = new cFont(nullptr, 13, L"arial", manager);  // no device: draws nothing
  missing->DrawText(L"x", 0, 0, 10, 10, 0, 0xFFFFFFFF);
  missing->DrawTextGUI(L"x", 0, 0, 1, 1, 0, 0xFFFFFFFF);
  EXPECT_EQ(platform::Recorded().texts.size(), 2u);
}

TEST_F(cFontTest, ConvertsGUICoordinatesWithTheCapturedProjectionAndDisplayMode) {
  SetProjection(0.5f, 0.75f);
  auto* font = new cFont(device, 16, L"arial", manager);
  font->DrawTextGUI(L"gui", 0.0f, -1.0f, -1.0f, 1.0f, 0, 0xFFFFFFFF);
  // Columns (x * P11 + 1) * 1024 / 2, rows 768 / 2 - 768 * P22 * y / 2.
  EXPECT_EQ(LastRect(), (std::array<LONG, 4>{256, 384, 768, 672}));

  SetProjection(0.3f, 1.9f);  // recaptured on reset; values truncate
  font->OnResetDevice(device);
  font->DrawTextGUI(L"gui", 0.0f, 0.1f, 0.2f, 0.0f, 0, 0xFFFFFFFF);
  EXPECT_EQ(std::tuple(LastText().rect.left, LastText().rect.bottom), std::tuple(527, 238));  // 527.36, 238.08

  parameters.BackBufferWidth = 800;
  parameters.BackBufferHeight = 600;
  manager->OnLostDeviceAll();
  ASSERT_EQ(manager->Reset(), S_OK);
  SetProjection(1.0f, 1.0f);
  manager->OnResetDeviceAll();
  font->DrawTextGUI(L"gui", 0.0f, 1.0f, 0.0f, 1.0f, 0, 0xFFFFFFFF);
  EXPECT_EQ(std::tuple(LastText().rect.top, LastText().rect.left), std::tuple(300, 800));
}

TEST_F(cFontTest, GUICoordinatesBeyondTheIntRangeSaturate) {
  SetProjection(1.0f, 1.0f);
  auto* font = new cFont(device, 16, L"arial", manager);
  font->DrawTextGUI(L"gui", 1e30f, -1e30f, -1e30f, 1e30f, DT_WORDBREAK | DT_CENTER | DT_VCENTER, 0xFFFFFFFF);
  EXPECT_EQ(LastRect(), (std::array<LONG, 4>{INT32_MIN, INT32_MIN, 2147483520, 2147483520}));
  font->DrawTextGUI(L"gui", NAN, NAN, NAN, NAN, 0, 0xFFFFFFFF);
  EXPECT_EQ(LastRect(), (std::array<LONG, 4>{0, 0, 0, 0}));
}

}  // namespace
