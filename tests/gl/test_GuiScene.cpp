// A small GUI scene on the OpenGL backend, checked on read-back pixels: sprites,
// texts and the layer order 0, 56, 57 (an open list covers what lies below it).
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <functional>
#include <memory>
#include <string>
#include <thread>
#include <utility>
#include <vector>

#include "GLDeviceTest.h"
#include "editor/MenuValues.h"
#include "editor/cMenuBuilder.h"
#include "gui/cCheckbox.h"
#include "gui/cCombobox.h"
#include "gui/cGUIManager.h"
#include "gui/cSpriteContainer.h"
#include "scene/cFont.h"
#include "scene/cResourceCache.h"
#include "scene/cResourceManager.h"

namespace {

// Long enough for every fade of the scene (list 0.5 s, highlight 0.25 s) to end.
constexpr auto kFadeTime = std::chrono::milliseconds(650);

void Ignore(int, iGUIComponent*) {}

class GuiSceneTest : public gltest::GLDeviceTest {
 protected:
  // Full screen in the desktop mode, as the editor runs: the font converts GUI
  // coordinates with the display mode.
  D3DPRESENT_PARAMETERS PresentParameters() const override {
    D3DDISPLAYMODE desktop{};
    EXPECT_EQ(d3d_->GetAdapterDisplayMode(D3DADAPTER_DEFAULT, &desktop), D3D_OK);
    D3DPRESENT_PARAMETERS parameters = GLDeviceTest::PresentParameters();
    parameters.BackBufferWidth = desktop.Width;
    parameters.BackBufferHeight = desktop.Height;
    parameters.BackBufferFormat = desktop.Format;
    parameters.Windowed = FALSE;
    parameters.FullScreen_RefreshRateInHz = desktop.RefreshRate;
    parameters.AutoDepthStencilFormat = D3DFMT_D24S8;
    return parameters;
  }

  void SetUp() override {
    GLDeviceTest::SetUp();
    if (NotStarted()) return;
    inScene_ = false;
    ASSERT_EQ(device_->EndScene(), D3D_OK);
    const D3DPRESENT_PARAMETERS parameters = PresentParameters();
    width = parameters.BackBufferWidth;
    height = parameters.BackBufferHeight;
    SetEditorStates();
    font = std::make_unique<cFont>(device_, std::min(static_cast<int>(width * 17.6f / 1024), 16), L"arial", nullptr);
    sprites = std::make_unique<cSpriteContainer>(device_, nullptr, 128);
  }

  void TearDown() override {
    cGUIManager::Shutdown();
    sprites.reset();
    font.reset();
    cResourceManager::Instance()->DeleteAll();  // the cached images
    GLDeviceTest::TearDown();
  }

  // The editor's default states: the GUI relies on alpha blending and on the
  // texture's alpha modulated by the vertex colour's.
  void SetEditorStates() {
    device_->SetRenderState(D3DRS_CULLMODE, D3DCULL_CCW);
    AlphaBlending();
    const std::pair<D3DRENDERSTATETYPE, DWORD> states[] = {
        {D3DRS_ALPHATESTENABLE, TRUE}, {D3DRS_ALPHAREF, 0}, {D3DRS_ALPHAFUNC, D3DCMP_GREATEREQUAL}};
    for (const auto& [state, value] : states) device_->SetRenderState(state, value);
    const std::pair<D3DTEXTURESTAGESTATETYPE, DWORD> stage[] = {
        {D3DTSS_ALPHAOP, D3DTOP_MODULATE}, {D3DTSS_COLOROP, D3DTOP_SELECTARG1}, {D3DTSS_COLORARG1, D3DTA_TEXTURE},
        {D3DTSS_ALPHAARG1, D3DTA_TEXTURE}, {D3DTSS_ALPHAARG2, D3DTA_DIFFUSE}};
    for (const auto& [type, value] : stage) device_->SetTextureStageState(0, type, value);
    const std::pair<D3DSAMPLERSTATETYPE, DWORD> sampler[] = {
        {D3DSAMP_MAGFILTER, D3DTEXF_LINEAR},    {D3DSAMP_MINFILTER, D3DTEXF_LINEAR},
        {D3DSAMP_MIPFILTER, D3DTEXF_LINEAR},    {D3DSAMP_ADDRESSU, D3DTADDRESS_CLAMP},
        {D3DSAMP_ADDRESSV, D3DTADDRESS_CLAMP}};
    for (const auto& [type, value] : sampler) device_->SetSamplerState(0, type, value);
    D3DXMatrixPerspectiveFovLH(&projection, 60 * 0.017453292f, static_cast<float>(width) / height, 1.0f, 16384.0f);
    device_->SetTransform(D3DTS_PROJECTION, &projection);
  }

  void RenderFrame() {
    ASSERT_EQ(device_->BeginScene(), D3D_OK);
    ASSERT_EQ(device_->Clear(0, nullptr, D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER, 0xFF183048, 1.0f, 0), D3D_OK);
    D3DXMATRIX view;
    D3DXMatrixIdentity(&view);
    const D3DXVECTOR3 eye(0, 0, 0);
    ASSERT_EQ(cGUIManager::Instance()->Render(device_, sprites.get(), &eye, &view), D3D_OK);
    ASSERT_EQ(device_->EndScene(), D3D_OK);
    ASSERT_EQ(device_->Present(nullptr, nullptr, nullptr, nullptr), D3D_OK);
    ReadBack();
  }

  // Pixels inside a GUI rectangle (top-left corner, width, height) that pass a
  // test on their red, green and blue.
  int Count(float x, float y, float w, float h, const std::function<bool(int, int, int)>& test) const {
    const int left = Column(x), right = Column(x + w), top = Row(y), bottom = Row(y - h);
    int count = 0;
    for (int py = std::max(top, 0); py < std::min(bottom, static_cast<int>(height)); ++py)
      for (int px = std::max(left, 0); px < std::min(right, static_cast<int>(width)); ++px) {
        const uint8_t* p = &pixels_[(static_cast<size_t>(py) * width + px) * 4];
        if (test(p[2], p[1], p[0])) ++count;
      }
    return count;
  }
  int Column(float x) const { return static_cast<int>((x * projection._11 + 1.0f) * width * 0.5f); }
  int Row(float y) const { return static_cast<int>(0.5f * height - height * projection._22 * y * 0.5f); }

  static bool White(int r, int g, int b) { return r > 200 && g > 200 && b > 200; }
  static bool Blue(int r, int g, int b) { return b > 150 && r < 90 && g < 90; }
  static bool Green(int r, int g, int b) { return g > 150 && r < 90 && b < 90; }
  static bool Clear(int r, int g, int b) { return r == 0x18 && g == 0x30 && b == 0x48; }

  UINT width = 0, height = 0;
  D3DXMATRIX projection;
  std::unique_ptr<cFont> font;
  std::unique_ptr<cSpriteContainer> sprites;
};

TEST_F(GuiSceneTest, SpritesTextsAndLayersOfAMenuWithAnOpenCombobox) {
  cResourceCache images;  // what the editor preloads
  for (const wchar_t* name : {L"custom_window1", L"checkbox_checked", L"checkbox_unchecked", L"custom_editbox1",
                              L"ok_idle", L"ok_over", L"ok_click", L"dropDownButton_idle", L"dropDownButton_over",
                              L"dropDownButton_click", L"upButton_idle", L"upButton_over", L"upButton_click",
                              L"downButton_idle", L"downButton_over", L"downButton_click", L"dropDownList",
                              L"selectionPanel", L"select1"}) {
    ASSERT_TRUE(images.Load((L"data/gui/" + std::wstring(name) + L".tga").c_str(), device_, RESOURCE_TEXTURE));
  }
  const cMenuBuilder builder(&images, font.get());
  std::vector<std::wstring> resolutions;
  for (int i = 0; i < 10; ++i) resolutions.push_back(std::to_wstring(640 + 128 * i) + L"x480x60 hz");
  const auto sized = [](MenuRow row, float size) {
    row.width = row.height = size;
    return row;
  };
  cMenu menu(292, Ignore);
  builder.AddRows(&menu, {WindowRow(0, 0, -0.7f, 0.52f, 1.4f, 1.0f, L"data/gui/custom_window1.tga"),
                          TextRow(0, 0, 0, -0.64f, 0.49f, 0.5f, L"GUI scene"),
                          sized(CheckboxRow(295, 0, -0.64f, 0.38f, 1053), 0.06f),
                          TextRow(0, 0, 0, -0.56f, 0.37f, 0.5f, L"Show Island"),
                          EditboxRow(0, 0, -0.64f, 0.26f, 0.3f, 0.05f, L"12.5", 1),
                          ButtonRow(0, 0, -0.64f, -0.3f, 0.16f, 0.08f, L"ok", 1),
                          // Layer 0 under the list of the upper combobox.
                          EditboxRow(0, 0, 0.08f, 0.1f, 0.3f, 0.05f, L"999", 1),
                          // The lower combobox and its label on layer 56, the upper one on 57.
                          sized(ComboboxRow(296, 0, 56, 0.05f, 0.22f, 1, {L"Sky set 1", L"Sky set 2", L"Sky set 3"}),
                                0.4f),
                          TextRow(0, 0, 56, 0.06f, 0.27f, 0.5f, L"Select new skybox"),
                          sized(ComboboxRow(293, 0, 57, 0.05f, 0.4f, 1, {}), 0.4f),
                          TextRow(0, 0, 57, 0.06f, 0.45f, 0.5f, L"Screen resolution")});
  FindCheckbox(&menu, 295)->SetChecked(1);
  FindCombobox(&menu, 296)->Select(2);
  for (const std::wstring& item : resolutions) FindCombobox(&menu, 293)->AddItem(item.c_str());
  FindCombobox(&menu, 293)->Select(2);
  cGUIManager::Instance()->PushMenu(&menu, false);

  // Closed: everything below the list area shows.
  std::this_thread::sleep_for(kFadeTime);
  RenderFrame();
  const float s = 0.4f;
  const auto lowerText = [&](auto test) { return Count(0.05f + s / 16, 0.22f - s / 64, 0.25f, s / 8 - s / 64, test); };
  const auto coveredBox = [&](auto test) { return Count(0.08f, 0.1f, 0.12f, 0.05f, test); };
  EXPECT_GT(lowerText(Blue), 10);
  EXPECT_GT(coveredBox(White), 10);

  // Open the upper list and rest the cursor on its second row.
  const float dropX = 0.05f + 7 * s / 8 + s / 14, dropY = 0.4f - s / 14;
  const float rowX = 0.05f + s / 4, rowY = 0.4f - s / 8 - 2 * s / 12 - s / 16;
  cGUIManager::Instance()->OnClick(dropX, dropY);
  cGUIManager::Instance()->OnHover(rowX, rowY);
  std::this_thread::sleep_for(kFadeTime);
  cGUIManager::Instance()->OnHover(rowX, rowY);
  RenderFrame();

  SaveScreenshot("gui-scene.png");

  // Sprites: the panel is drawn over the cleared screen, the check mark is green.
  EXPECT_EQ(Count(-0.68f, -0.35f, 0.04f, 0.04f, Clear), 0);
  EXPECT_GT(Count(-0.76f, 0.56f, 0.04f, 0.02f, Clear), 0);
  EXPECT_GT(Count(-0.64f, 0.38f, 0.06f, 0.06f, [](int r, int g, int b) { return g > 150 && g > r + 50 && g > b + 50; }),
            5);
  // Texts: the labels, the edit box and the button's image label are drawn.
  EXPECT_GT(Count(-0.64f, 0.49f, 0.3f, 0.05f, White), 10);
  EXPECT_GT(Count(-0.64f, 0.26f, 0.3f, 0.05f, White), 10);
  EXPECT_GT(Count(-0.64f, -0.3f, 0.16f, 0.08f, White), 10);
  // Layers: the open list (57) covers the lower combobox's text (56) and the edit
  // box's text (0), and shows its own rows in green.
  EXPECT_EQ(lowerText(Blue), 0);
  EXPECT_EQ(coveredBox(White), 0);
  EXPECT_GT(Count(0.05f + s / 16, 0.4f - s / 8 - s / 12, 5 * s / 8, 8 * s / 12, Green), 50);
  // The upper combobox's own selection still shows in its panel.
  EXPECT_GT(Count(0.05f + s / 16, 0.4f - s / 64, 0.25f, s / 8 - s / 64, Blue), 10);
}

}  // namespace
