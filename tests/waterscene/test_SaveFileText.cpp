#include <gtest/gtest.h>

#include <cfloat>
#include <climits>
#include <clocale>
#include <cmath>
#include <cstdio>
#include <string>
#include <vector>

#include "SaveFileTesting.h"
#include "waterscene/SaveFileText.h"

namespace {

using savefile::testing::TableRows;
using StringList = std::vector<std::string>;

StringList Lines(const std::string& bytes) {
  StringList lines;
  std::FILE* file = fmemopen(const_cast<char*>(bytes.data()), bytes.size(), "rb");
  if (!file) return {"fmemopen failed"};
  EXPECT_TRUE(ReadSaveLines(file, [&](std::string_view line) { lines.emplace_back(line); }));
  std::fclose(file);
  return lines;
}

TEST(SaveFileText, LinesEndAtLineFeedsWithOneCarriageReturnDropped) {
  const std::string longest(kMaxSaveLineLength, 'a'), head(kMaxSaveLineLength, 'x');
  const std::string injected = "[heightmap type]=fft";
  const struct {
    std::string bytes;
    StringList lines;
  } cases[] = {
      {"", {}}, {"a\r\nb\r\n", {"a", "b"}}, {"a\nb\n", {"a", "b"}}, {"a\r\r\n", {"a\r"}}, {"a\rb\n", {"a\rb"}},
      {"\n\r\n", {"", ""}}, {"last", {"last"}}, {"x\nlast\r", {"x", "last"}},
      {std::string("a\0b\nc", 5), {std::string("a\0b", 3), "c"}}, {longest + "\r\nnext\n", {longest, "next"}},
      // The rest of an over-long line is never read as a line; a million characters still cost one line.
      {head + injected + "\r\nnext\r\n", {head, "next"}}, {head + "\r" + injected, {head}},
      {std::string(1 << 20, 'y') + "\n", {std::string(kMaxSaveLineLength, 'y')}},
  };
  for (const auto& c : cases) EXPECT_EQ(Lines(c.bytes), c.lines) << c.bytes.substr(0, 40);
}

// The cases of tests/data/waterscene/save-text.txt, by kind.
std::vector<std::vector<std::string>> Cases(const char* kind) { return TableRows("waterscene/save-text.txt", kind); }

TEST(SaveFileText, ScanFindsKeyAndValueOnlyInWellFormedLines) {
  for (const auto& c : Cases("scan")) {
    std::string_view key = "unset", value = "unset";
    EXPECT_EQ(ScanSaveLine(c[0], &key, &value), c.size() == 3) << c[0];
    if (c.size() != 3) continue;
    EXPECT_EQ(std::tuple(key, value), std::tuple(c[1], c[2])) << c[0];
  }
}

TEST(SaveFileText, IntegersTakeTheLeadingNumberAndSaturate) {
  for (const auto& c : Cases("int")) EXPECT_EQ(ParseSaveInt(c[0]), std::stoi(c[1])) << c[0];
}

TEST(SaveFileText, FloatsTakeDecimalSyntaxOnlyAndClamp) {
  for (const auto& c : Cases("float")) EXPECT_EQ(ParseSaveFloat(c[0]), std::stof(c[1])) << c[0];
}

TEST(SaveFileText, NumbersAreWrittenWithThreeDecimalsAndAPoint) {
  for (const auto& c : Cases("write")) {
    std::string text;
    AppendSaveFloat(&text, std::strtof(c[0].c_str(), nullptr));
    EXPECT_EQ(text, c[1]);
  }
  std::string ints;
  AppendSaveInt(&ints, INT_MIN);
  ints += ' ';
  AppendSaveInt(&ints, 42);
  EXPECT_EQ(ints, "-2147483648 42");
}

// Numbers keep their point under a locale with a decimal comma (whichever is installed).
TEST(SaveFileText, NumbersIgnoreADecimalCommaLocale) {
  const std::string previous = std::setlocale(LC_ALL, nullptr);
  const char* locale = nullptr;
  for (const char* name : {"de_DE.UTF-8", "de_DE.utf8", "fr_FR.UTF-8", "fr_FR.utf8", "it_IT.UTF-8", "ru_RU.UTF-8"}) {
    if (!locale && std::setlocale(LC_ALL, name)) locale = name;
  }
  if (!locale) GTEST_SKIP() << "no locale with a decimal comma is installed";
  char formatted[16];
  std::snprintf(formatted, sizeof formatted, "%.1f", 1.5);
  std::string text;
  AppendSaveFloat(&text, -0.5f);
  const float parsed[] = {ParseSaveFloat("2.25"), ParseSaveFloat(" .5e1")};
  std::setlocale(LC_ALL, previous.c_str());
  EXPECT_STREQ(formatted, "1,5") << locale;
  EXPECT_EQ(text, "-0.500");
  EXPECT_EQ(parsed[0], 2.25f);
  EXPECT_EQ(parsed[1], 5.0f);
}

}  // namespace
