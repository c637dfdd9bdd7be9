#include <gtest/gtest.h>

#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "HeadlessDevice.h"
#include "platform/Platform.h"
#include "platform/Utf8.h"
#include "platform/win32.h"

namespace {

using platform::testing::HeadlessDevice;

TEST(ShellExecute, OpensWithTheOpenVerbOnly) {
  platform::UseHeadlessBackend();
  EXPECT_GT(reinterpret_cast<uintptr_t>(ShellExecuteA(nullptr, "open", "README.md", nullptr, nullptr, SW_SHOWNORMAL)),
            32u);
  EXPECT_LE(reinterpret_cast<uintptr_t>(ShellExecuteA(nullptr, "print", "README.md", nullptr, nullptr, 1)), 32u);
  EXPECT_LE(reinterpret_cast<uintptr_t>(ShellExecuteA(nullptr, "open", nullptr, nullptr, nullptr, 1)), 32u);
  EXPECT_LE(reinterpret_cast<uintptr_t>(ShellExecuteA(nullptr, "open", "", nullptr, nullptr, 1)), 32u);
  EXPECT_EQ(platform::Recorded().shellOpens, std::vector<std::string>{"README.md"});
}

class FindFileTest : public ::testing::Test {
 protected:
  void SetUp() override {
    folder = std::filesystem::temp_directory_path() / ("find_file_test_" + std::to_string(::getpid()));
    std::filesystem::remove_all(folder);
    std::filesystem::create_directories(folder / "sub.txt");
    for (const char* name : {"b.txt", "a.txt", "a.txt.bak", "ab.tx", "x.TXT", "aXb.txt"}) {
      std::ofstream(folder / name) << "1234";
    }
  }
  void TearDown() override { std::filesystem::remove_all(folder); }

  // Names found by the pattern, directories marked with a slash.
  std::vector<std::string> Find(const std::string& pattern) {
    std::vector<std::string> names;
    WIN32_FIND_DATAA data{};
    HANDLE search = FindFirstFileA((folder.string() + "/" + pattern).c_str(), &data);
    if (search == INVALID_HANDLE_VALUE) return names;
    do {
      const bool directory = data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY;
      names.push_back(std::string(data.cFileName) + (directory ? "/" : ""));
      if (!directory) {
        EXPECT_EQ(data.nFileSizeLow, 4u);
      }
    } while (FindNextFileA(search, &data));
    EXPECT_FALSE(FindNextFileA(search, &data));
    EXPECT_TRUE(FindClose(search));
    return names;
  }

  std::filesystem::path folder;
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
    ASSERT_TRUE(platform::WideFromUtf8(platform::Utf8FromWide(text).c_str(), &back));
    EXPECT_EQ(back, text);
  }
  for (const char* bad : {"\xFF", "a\xC3", "\xC0\xAF", "\xED\xA0\x80", "\xF4\x90\x80\x80", "\x80"}) {
    std::wstring out = L"old";
    EXPECT_FALSE(platform::WideFromUtf8(bad, &out)) << bad;
    EXPECT_TRUE(out.empty());
  }
}

class ScreenMetricsTest : public HeadlessDevice {};

TEST_F(ScreenMetricsTest, TheFullScreenDeviceSetsTheScreenSize) {
  EXPECT_EQ(GetSystemMetrics(SM_CXSCREEN), 1024);
  D3DPRESENT_PARAMETERS smaller = parameters;
  smaller.BackBufferWidth = 800;
  smaller.BackBufferHeight = 600;
  ASSERT_EQ(device->Reset(&smaller), D3D_OK);
  EXPECT_EQ(GetSystemMetrics(SM_CXSCREEN), 800);
  EXPECT_EQ(GetSystemMetrics(SM_CYSCREEN), 600);
  ReleaseAll();
  EXPECT_EQ(GetSystemMetrics(SM_CXSCREEN), 1024);  // the desktop again
  EXPECT_EQ(GetSystemMetrics(SM_CYSCREEN), 768);
}

}  // namespace
