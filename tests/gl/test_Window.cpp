// The SDL side of the OpenGL backend: native events as Win32 messages, the
// cursor in back-buffer pixels, and the back buffer presented to the window.
#include <SDL2/SDL.h>
#include <epoxy/gl.h>

#include "GLDeviceTest.h"
#include "platform/device/Backend.h"

namespace gltest {
namespace {

using WindowTest = GLDeviceTest;

void PushKey(Uint32 type, SDL_Keycode key, SDL_Scancode scancode = SDL_SCANCODE_UNKNOWN) {
  SDL_Event event{};
  event.type = type;
  event.key.keysym.sym = key;
  event.key.keysym.scancode = scancode;
  SDL_PushEvent(&event);
}

// Drains pending native events, keeping the translated messages.
std::vector<MSG> PollAll() {
  std::vector<MSG> messages;
  MSG msg{};
  while (platform::CurrentBackend().PollNativeMessage(&msg)) messages.push_back(msg);
  return messages;
}

TEST_F(WindowTest, KeysAndClicksBecomeWin32MessagesAndTheCursorReadsWhereItWasSet) {
  PollAll();
  PushKey(SDL_KEYDOWN, SDLK_w);
  PushKey(SDL_KEYUP, SDLK_AMPERSAND, SDL_SCANCODE_1);  // the top-row 1 on a French layout
  PushKey(SDL_KEYUP, SDLK_F1);                          // never read by the program: dropped
  for (SDL_Keycode key : {SDLK_7, SDLK_MINUS, SDLK_KP_MINUS, SDLK_PERIOD, SDLK_ESCAPE}) PushKey(SDL_KEYUP, key);
  PushKey(SDL_KEYUP, SDLK_0, SDL_SCANCODE_0);
  PushKey(SDL_KEYUP, SDLK_F12);
  // A click half-way across and a quarter down the window, which shows the back buffer scaled.
  int width = 0, height = 0;
  SDL_GetWindowSize(SDL_GL_GetCurrentWindow(), &width, &height);
  ASSERT_GT(width, 0);
  SDL_Event click{};
  click.type = SDL_MOUSEBUTTONDOWN;
  click.button.button = SDL_BUTTON_LEFT;
  click.button.x = width / 2;
  click.button.y = height / 4;
  SDL_PushEvent(&click);
  click.type = SDL_MOUSEBUTTONUP;
  SDL_PushEvent(&click);
  SDL_Event quit{};
  quit.type = SDL_QUIT;
  SDL_PushEvent(&quit);

  const std::vector<MSG> messages = PollAll();
  const std::vector<std::pair<UINT, WPARAM>> expected = {
      {WM_KEYDOWN, 'W'},         {WM_KEYUP, '1'},        {WM_KEYUP, '7'},  {WM_KEYUP, VK_OEM_MINUS},
      {WM_KEYUP, VK_SUBTRACT},   {WM_KEYUP, VK_OEM_PERIOD}, {WM_KEYUP, VK_ESCAPE}, {WM_KEYUP, '0'},
      {WM_KEYUP, VK_F12},        {WM_LBUTTONDOWN, 0},    {WM_LBUTTONUP, 0},      {WM_CLOSE, 0}};
  ASSERT_EQ(messages.size(), expected.size());
  for (size_t i = 0; i < expected.size(); ++i) {
    EXPECT_EQ(messages[i].message, expected[i].first) << i;
    EXPECT_EQ(messages[i].wParam, expected[i].second) << i;
  }
  const LPARAM middleQuarter = (static_cast<LPARAM>(kSize / 4) << 16) | (kSize / 2);
  EXPECT_EQ(messages[9].lParam, middleQuarter);
  EXPECT_EQ(messages[9].pt.x, static_cast<LONG>(kSize / 2));

  for (const POINT target : {POINT{10, 20}, POINT{64, 64}, POINT{100, 7}}) {
    ASSERT_TRUE(SetCursorPos(target.x, target.y));
    POINT read{};
    ASSERT_TRUE(GetCursorPos(&read));
    EXPECT_EQ(read.x, target.x);
    EXPECT_EQ(read.y, target.y);
  }
}

// The top row of a texture shows at the top of the back buffer, which stays
// readable after Present, and upright across the window.
TEST_F(WindowTest, PresentKeepsTheBackBufferReadableAndShowsItUprightAcrossTheWindow) {
  ASSERT_EQ(device_->SetTexture(0, MakeQuadrantTexture()), D3D_OK);
  DrawQuad();
  EndSceneAndPresent();
  ExpectQuadrants();
  SaveScreenshot("gl_textured_quad.png");
  // The window's pixels are read from its back buffer after the swap, which
  // Mesa's software rasterisers (the ones Xvfb offers) keep; elsewhere it is undefined.
  const std::string renderer = reinterpret_cast<const char*>(glGetString(GL_RENDERER));
  if (renderer.find("llvmpipe") == std::string::npos && renderer.find("softpipe") == std::string::npos)
    GTEST_SKIP() << "runs on Mesa's software renderers only; window contents are not readable after a swap on "
                 << renderer;
  // The first swap after the window was sized may still see the old drawable.
  ASSERT_EQ(device_->Present(nullptr, nullptr, nullptr, nullptr), D3D_OK);
  int width = 0, height = 0;
  SDL_GL_GetDrawableSize(SDL_GL_GetCurrentWindow(), &width, &height);
  glBindFramebuffer(GL_READ_FRAMEBUFFER, 0);
  glReadBuffer(GL_BACK);
  const auto windowPixel = [](int x, int y) {  // GL rows, bottom first
    uint8_t p[4] = {};
    glReadPixels(x, y, 1, 1, GL_BGRA, GL_UNSIGNED_BYTE, p);
    return D3DCOLOR_ARGB(p[3], p[2], p[1], p[0]);
  };
  EXPECT_TRUE(ColorNear(windowPixel(width / 4, height * 3 / 4), kRed));
  EXPECT_TRUE(ColorNear(windowPixel(width * 3 / 4, height * 3 / 4), kGreen));
  EXPECT_TRUE(ColorNear(windowPixel(width / 4, height / 4), kBlue));
  EXPECT_TRUE(ColorNear(windowPixel(width - 2, 1), kWhite));
}

}  // namespace
}  // namespace gltest
