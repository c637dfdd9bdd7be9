#include <gtest/gtest.h>

#include <vector>

#include "platform/Platform.h"

namespace platform::testing {
namespace {

std::vector<UINT> delivered;

LRESULT CALLBACK Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  delivered.push_back(message);
  if (message == WM_DESTROY) PostQuitMessage(3);
  if (message == WM_KEYUP) return 7;
  return DefWindowProcA(window, message, wParam, lParam);
}

class Win32 : public ::testing::Test {
 protected:
  void SetUp() override {
    UseHeadlessBackend();
    delivered.clear();
    WNDCLASSEXA windowClass{};
    windowClass.cbSize = sizeof(windowClass);
    windowClass.lpfnWndProc = Procedure;
    windowClass.lpszClassName = "test class";
    ASSERT_NE(RegisterClassExA(&windowClass), 0);
    window = CreateWindowExA(0, "test class", "title", WS_OVERLAPPEDWINDOW, CW_USEDEFAULT, 0, CW_USEDEFAULT, 0,
                             nullptr, nullptr, GetModuleHandleA(nullptr), nullptr);
    ASSERT_NE(window, nullptr);
  }
  HWND window = nullptr;
};

TEST_F(Win32, WindowsNeedARegisteredClass) {
  EXPECT_EQ(CreateWindowExA(0, "no such class", "", 0, 0, 0, 0, 0, nullptr, nullptr, nullptr, nullptr), nullptr);
  EXPECT_EQ(delivered, std::vector<UINT>{WM_CREATE});
}

TEST_F(Win32, PostedMessagesArriveInOrderAndDispatchToTheClassProcedure) {
  MSG msg;
  EXPECT_FALSE(PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE));
  EXPECT_FALSE(PostMessageA(reinterpret_cast<HWND>(0x999), WM_KEYDOWN, 'W', 0));
  PostMessageA(window, WM_KEYDOWN, 'W', 0);
  PostMessageA(window, WM_KEYUP, 'W', 0);
  ASSERT_TRUE(PeekMessageA(&msg, nullptr, 0, 0, PM_NOREMOVE));
  EXPECT_EQ(msg.message, static_cast<UINT>(WM_KEYDOWN));
  ASSERT_TRUE(PeekMessageA(&msg, nullptr, WM_KEYUP, WM_KEYUP, PM_REMOVE));  // filtered
  EXPECT_EQ(msg.message, static_cast<UINT>(WM_KEYUP));
  EXPECT_EQ(DispatchMessageA(&msg), 7);
  ASSERT_TRUE(PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE));
  EXPECT_EQ(std::tuple(msg.message, msg.wParam, msg.hwnd), std::tuple(UINT{WM_KEYDOWN}, WPARAM{'W'}, window));
  TranslateMessage(&msg);
  DispatchMessageA(&msg);
  EXPECT_FALSE(PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE));
  EXPECT_EQ(delivered, (std::vector<UINT>{WM_CREATE, WM_KEYUP, WM_KEYDOWN}));  // the keys as dispatched
}

TEST_F(Win32, CloseDestroysTheWindowAndQuitCarriesTheExitCode) {
  PostMessageA(window, WM_CLOSE, 0, 0);
  MSG msg;
  ASSERT_TRUE(PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE));
  DispatchMessageA(&msg);
  EXPECT_EQ(delivered.back(), static_cast<UINT>(WM_DESTROY));
  ASSERT_TRUE(PeekMessageA(&msg, window, 0, 0, PM_REMOVE));  // WM_QUIT passes any filter
  EXPECT_EQ(std::tuple(msg.message, msg.wParam), std::tuple(UINT{WM_QUIT}, WPARAM{3}));
  EXPECT_EQ(DispatchMessageA(&msg), 0);
  EXPECT_FALSE(DestroyWindow(window));  // already gone
}

TEST_F(Win32, PaintingAndUpdating) {
  ASSERT_TRUE(UpdateWindow(window));
  EXPECT_EQ(delivered.back(), static_cast<UINT>(WM_PAINT));
  PAINTSTRUCT paint;
  EXPECT_NE(BeginPaint(window, &paint), nullptr);
  EXPECT_EQ(paint.rcPaint.right, 1024);
  EXPECT_TRUE(EndPaint(window, &paint));
  ShowWindow(window, SW_SHOWNORMAL);
}

TEST(Win32Resources, StringTableIconsCursorAndMessageBoxes) {
  UseHeadlessBackend();
  char buffer[100];
  EXPECT_EQ(LoadStringA(nullptr, 103, buffer, 100), 27);
  EXPECT_STREQ(buffer, "Brinora Engine Editor v1.01");
  EXPECT_EQ(LoadStringA(nullptr, 109, buffer, 8), 7);
  EXPECT_STREQ(buffer, "Brinora");
  EXPECT_EQ(LoadStringA(nullptr, 104, buffer, 100), 0);
  EXPECT_STREQ(buffer, "");
  EXPECT_EQ(LoadStringA(nullptr, 103, buffer, 0), 0);
  EXPECT_NE(LoadIconA(nullptr, MAKEINTRESOURCEA(107)), nullptr);
  EXPECT_NE(LoadCursorA(nullptr, IDC_ARROW), nullptr);
  ASSERT_TRUE(SetCursorPos(300, 200));
  POINT point;
  ASSERT_TRUE(GetCursorPos(&point));
  EXPECT_EQ(std::tuple(point.x, point.y), std::tuple(300, 200));
  MessageBoxW(nullptr, L"Failed to initialize DirectX.", L"Fatal error", MB_OK);
  ASSERT_EQ(Recorded().messageBoxes.size(), 1u);
  EXPECT_EQ(Recorded().messageBoxes[0].caption, L"Fatal error");
  UseHeadlessBackend();
  EXPECT_TRUE(Recorded().messageBoxes.empty());
}

TEST(Win32Clock, MovesOnlyWhenAdvanced) {
  UseHeadlessBackend();
  LARGE_INTEGER frequency, start, now, later;
  ASSERT_TRUE(QueryPerformanceFrequency(&frequency));
  ASSERT_TRUE(QueryPerformanceCounter(&start));
  EXPECT_GT(frequency.QuadPart, 0);
  EXPECT_GT(start.QuadPart, 0);
  QueryPerformanceCounter(&now);
  EXPECT_EQ(now.QuadPart, start.QuadPart);
  headless::AdvanceClock(0.25);
  QueryPerformanceCounter(&now);
  EXPECT_EQ(now.QuadPart - start.QuadPart, frequency.QuadPart / 4);
  headless::AdvanceClock(-1.0);
  QueryPerformanceCounter(&later);
  EXPECT_EQ(later.QuadPart, now.QuadPart);
}

}  // namespace
}  // namespace platform::testing
