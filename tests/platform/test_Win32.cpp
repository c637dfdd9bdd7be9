#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "PlatformFixture.h"
#include "platform/Utf8.h"

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

TEST_F(Win32, PostedMessagesArriveInOrderAndDispatchToTheClassProcedure) {
  EXPECT_EQ(CreateWindowExA(0, "no such class", "", 0, 0, 0, 0, 0, nullptr, nullptr, nullptr, nullptr), nullptr);
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

TEST_F(Win32, UpdatingPaintsTheWholeScreen) {
  ASSERT_TRUE(UpdateWindow(window));
  EXPECT_EQ(delivered.back(), static_cast<UINT>(WM_PAINT));
  PAINTSTRUCT paint;
  EXPECT_NE(BeginPaint(window, &paint), nullptr);
  EXPECT_EQ(std::tuple(paint.rcPaint.right, EndPaint(window, &paint)), std::tuple(1024, TRUE));
}

TEST(Win32Resources, StringTableIconsCursorAndMessageBoxes) {
  UseHeadlessBackend();
  char buffer[100];
  // The title, cut to the buffer; an unknown string is empty.
  for (const auto& [id, size, length, text] : {std::tuple{103, 100, 27, "Brinora Engine Editor v1.01"},
                                               {109, 8, 7, "Brinora"}, {104, 100, 0, ""}}) {
    EXPECT_EQ(LoadStringA(nullptr, id, buffer, size), length);
    EXPECT_STREQ(buffer, text);
  }
  EXPECT_EQ(LoadStringA(nullptr, 103, buffer, 0), 0);
  EXPECT_NE(LoadIconA(nullptr, MAKEINTRESOURCEA(107)), nullptr);
  EXPECT_NE(LoadCursorA(nullptr, IDC_ARROW), nullptr);
  POINT point;
  ASSERT_TRUE(SetCursorPos(300, 200) && GetCursorPos(&point));
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
  ASSERT_TRUE(QueryPerformanceFrequency(&frequency) && QueryPerformanceCounter(&start));
  EXPECT_TRUE(frequency.QuadPart > 0 && start.QuadPart > 0);
  QueryPerformanceCounter(&now);
  EXPECT_EQ(now.QuadPart, start.QuadPart);
  headless::AdvanceClock(0.25);
  QueryPerformanceCounter(&now);
  EXPECT_EQ(now.QuadPart - start.QuadPart, frequency.QuadPart / 4);
  headless::AdvanceClock(-1.0);
  QueryPerformanceCounter(&later);
  EXPECT_EQ(later.QuadPart, now.QuadPart);
}

TEST(ShellExecute, OpensWithTheOpenVerbOnly) {
  UseHeadlessBackend();
  const auto open = [](const char* verb, const char* file) {
    return reinterpret_cast<uintptr_t>(ShellExecuteA(nullptr, verb, file, nullptr, nullptr, SW_SHOWNORMAL));
  };
  EXPECT_GT(open("open", "README.md"), 32u);
  EXPECT_LE(open("print", "README.md"), 32u);
  EXPECT_LE(open("open", nullptr), 32u);
  EXPECT_LE(open("open", ""), 32u);
  EXPECT_EQ(Recorded().shellOpens, std::vector<std::string>{"README.md"});
}

class FindFileTest : public ::testing::Test {
 protected:
  void SetUp() override {
    std::filesystem::create_directories(folder.File("sub.txt"));
    for (const char* name : {"b.txt", "a.txt", "a.txt.bak", "ab.tx", "x.TXT", "aXb.txt"}) {
      WriteFile(folder, name, "1234");
    }
  }
  // Names found by the pattern, directories marked with a slash.
  std::vector<std::string> Find(const std::string& pattern) {
    std::vector<std::string> names;
    WIN32_FIND_DATAA data{};
    HANDLE search = FindFirstFileA(folder.File(pattern).c_str(), &data);
    if (search == INVALID_HANDLE_VALUE) return names;
    do {
      const bool directory = data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY;
      names.push_back(std::string(data.cFileName) + (directory ? "/" : ""));
      EXPECT_TRUE(directory || data.nFileSizeLow == 4u) << data.cFileName;
    } while (FindNextFileA(search, &data));
    EXPECT_FALSE(FindNextFileA(search, &data));
    EXPECT_TRUE(FindClose(search));
    return names;
  }
  ScratchFolder folder;
};

TEST_F(FindFileTest, MatchesWildcardsInNameOrder) {
  using Names = std::vector<std::string>;
  EXPECT_EQ(Find("*.txt"), (Names{"a.txt", "aXb.txt", "b.txt", "sub.txt/"}));
  EXPECT_EQ(Find("a*"), (Names{"a.txt", "a.txt.bak", "aXb.txt", "ab.tx"}));
  EXPECT_EQ(Find("?.txt"), (Names{"a.txt", "b.txt"}));
  EXPECT_EQ(Find("a*b*"), (Names{"a.txt.bak", "aXb.txt", "ab.tx"}));
  EXPECT_EQ(Find("*"), (Names{"a.txt", "a.txt.bak", "aXb.txt", "ab.tx", "b.txt", "sub.txt/", "x.TXT"}));
  EXPECT_TRUE(Find("*.png").empty());
  WIN32_FIND_DATAA data{};
  EXPECT_EQ(FindFirstFileA("no/such/folder/*.txt", &data), INVALID_HANDLE_VALUE);
  EXPECT_EQ(FindFirstFileA(nullptr, &data), INVALID_HANDLE_VALUE);
  EXPECT_FALSE(FindNextFileA(INVALID_HANDLE_VALUE, &data));
  EXPECT_FALSE(FindClose(INVALID_HANDLE_VALUE));
}

TEST(Utf8, WideTextRoundTripsAndMalformedBytesAreRefused) {
  for (const wchar_t* text : {L"", L"plain", L"\u00E9t\u00E9", L"\u65E5\u672C", L"\U0001F30A"}) {
    std::wstring back;
    ASSERT_TRUE(WideFromUtf8(Utf8FromWide(text).c_str(), &back));
    EXPECT_EQ(back, text);
  }
  for (const char* bad : {"\xFF", "a\xC3", "\xC0\xAF", "\xED\xA0\x80", "\xF4\x90\x80\x80", "\x80"}) {
    std::wstring out = L"old";
    EXPECT_FALSE(WideFromUtf8(bad, &out)) << bad;
    EXPECT_TRUE(out.empty());
  }
}

TEST(SavePng, WritesAPngAndRefusesShortPixelData) {
  const ScratchFolder folder;
  const std::string path = folder.File("stand_in_save.png");
  const std::vector<uint8_t> bgra = {0, 0, 255, 255, 0, 255, 0, 255};
  ASSERT_TRUE(SavePng(path.c_str(), bgra, 2, 1));
  std::ifstream file(path, std::ios::binary);
  const std::string bytes((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
  ASSERT_GT(bytes.size(), 8u);
  EXPECT_EQ(bytes.substr(1, 3), "PNG");
  EXPECT_FALSE(SavePng(folder.File("short.png").c_str(), bgra, 2, 2));
  EXPECT_FALSE(SavePng(nullptr, bgra, 2, 1));
}

}  // namespace
}  // namespace platform::testing
