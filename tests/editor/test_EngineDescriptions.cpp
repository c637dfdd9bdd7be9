#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <string>

#include "editor/EngineDescriptions.h"

namespace {

std::string Write(const std::string& bytes) {
  const std::string path = (std::filesystem::temp_directory_path() / "engine_descriptions_test.txt").string();
  std::FILE* file = std::fopen(path.c_str(), "wb");
  std::fwrite(bytes.data(), 1, bytes.size(), file);
  std::fclose(file);
  return path;
}

TEST(EngineDescriptions, KeepsNineLinesWithTheirLineEndsAndTheirRolesAndNoneWithoutAFile) {
  const std::string longLine(600, 'x');
  struct Case {
    const char* name;
    std::string bytes;
    EngineDescriptions expected;
  };
  const Case cases[] = {
      {"windows line ends", "a\r\nb\r\n", {L"a\r\n", L"b\r\n"}},
      {"a long line is cut, the next keeps its role", "a\n" + longLine + "\nc\n",
       {L"a\n", std::wstring(511, L'x'), L"c\n"}},
      {"more than nine lines", "0\n1\n2\n3\n4\n5\n6\n7\n8\n9\n10\n",
       {L"0\n", L"1\n", L"2\n", L"3\n", L"4\n", L"5\n", L"6\n", L"7\n", L"8\n"}},
      {"last line without line feed", "a\nb", {L"a\n", L"b"}},
      {"bytes become characters", "\xE9\x01\n", {L"\u00E9\u0001\n"}},
      {"empty file", "", {}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(ReadEngineDescriptions(Write(c.bytes).c_str()), c.expected);
  }
  // A missing file gives empty texts.
  EXPECT_EQ(ReadEngineDescriptions("no/such/file.txt"), EngineDescriptions{});
  EXPECT_EQ(ReadEngineDescriptions(nullptr), EngineDescriptions{});
  // The shipped file has nine non-empty lines.
  for (const std::wstring& line : ReadEngineDescriptions("data/engineDescription.txt")) {
    EXPECT_GT(line.size(), 1u);
    EXPECT_EQ(line.back(), L'\n');
  }
}

}  // namespace
