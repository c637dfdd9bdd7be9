#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "ImageFiles.h"
#include "PlatformFixture.h"
#include "platform/Utf8.h"

namespace platform::testing {
namespace {

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
    std::filesystem::create_directories(folder.Path("sub.txt"));
    for (const char* name : {"b.txt", "a.txt", "a.txt.bak", "ab.tx", "x.TXT", "aXb.txt"}) folder.Write(name, "1234");
  }

  // Names found by the pattern, directories marked with a slash.
  std::vector<std::string> Find(const std::string& pattern) {
    std::vector<std::string> names;
    WIN32_FIND_DATAA data{};
    HANDLE search = FindFirstFileA(folder.Path(pattern).c_str(), &data);
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

  test_images::TempDir folder{"find_file_test"};
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

using PlatformCalls = PlatformFixture;

TEST_F(PlatformCalls, TheFullScreenDeviceSetsTheScreenSize) {
  EXPECT_EQ(GetSystemMetrics(SM_CXSCREEN), 1024);
  D3DPRESENT_PARAMETERS smaller = FullScreenParameters(800, 600);
  ASSERT_EQ(device->Reset(&smaller), D3D_OK);
  EXPECT_EQ(std::tuple(GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)), std::tuple(800, 600));
  ReleaseAll();
  EXPECT_EQ(std::tuple(GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)), std::tuple(1024, 768));
}

TEST_F(PlatformCalls, HeadlessHasNoPixelsToRead) {
  std::vector<uint8_t> bgra;
  UINT width = 0, height = 0;
  EXPECT_FALSE(ReadBackBuffer(device, bgra, width, height));
  IDirect3DTexture9* target = RenderTarget(8);
  EXPECT_FALSE(ReadTexture(target, 0, bgra));
  EXPECT_FALSE(ReadTexture(target, 1, bgra));
}

TEST(SavePng, WritesAPngAndRefusesShortPixelData) {
  const test_images::TempDir folder("save_png_test");
  const std::string path = folder.Path("stand_in_save.png");
  const std::vector<uint8_t> bgra = {0, 0, 255, 255, 0, 255, 0, 255};
  ASSERT_TRUE(SavePng(path.c_str(), bgra, 2, 1));
  std::ifstream file(path, std::ios::binary);
  const std::string bytes((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
  ASSERT_GT(bytes.size(), 8u);
  EXPECT_EQ(bytes.substr(1, 3), "PNG");
  EXPECT_FALSE(SavePng(folder.Path("short.png").c_str(), bgra, 2, 2));
  EXPECT_FALSE(SavePng(nullptr, bgra, 2, 1));
}

}  // namespace
}  // namespace platform::testing
