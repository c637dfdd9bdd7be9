#include <gtest/gtest.h>

#include <cfloat>
#include <climits>
#include <clocale>
#include <cmath>
#include <cstdio>
#include <string>
#include <vector>

#include "waterscene/SaveFileText.h"

namespace {

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

TEST(SaveFileText, ScanFindsKeyAndValueOnlyInWellFormedLines) {
  const struct {
    const char* line;
    const char* key;  // null: the line is not used
    const char* value;
  } cases[] = {
      {"[wind .x]=1.000", "wind .x", "1.000"}, {"[wind .x]=", "wind .x", ""}, {" [ a ] = b ", " a ", " b "},
      {"[a[b]=1", "b", "1"},   // the last '[' before all three were met
      {"[a]b]=1", "a]b", "1"},  // likewise the last ']'
      {"=[a]b", "a", "[a]b"},   // '=' first: the value is all after it
      {"[a=b]=5", "a=b", "b]=5"}, {"[a]=", "a", ""}, {"[]=1", nullptr, ""},
      {"]a[=1", nullptr, ""},  // ']' before '[' would give a negative key length
      {"[a]", nullptr, ""}, {"=[a]", nullptr, ""},  // nothing after ']'
      {"wind .x=1", nullptr, ""}, {"[wind .x] 1", nullptr, ""}, {"", nullptr, ""},
  };
  for (const auto& c : cases) {
    std::string_view key = "unset", value = "unset";
    EXPECT_EQ(ScanSaveLine(c.line, &key, &value), c.key != nullptr) << c.line;
    if (!c.key) continue;
    EXPECT_EQ(key, c.key) << c.line;
    EXPECT_EQ(value, c.value) << c.line;
  }
}

TEST(SaveFileText, IntegersTakeTheLeadingNumberAndSaturate) {
  const struct {
    const char* text;
    int value;
  } cases[] = {
      {"12", 12}, {"  \t-7x", -7}, {"+3", 3}, {"", 0}, {"abc", 0}, {"- 5", 0}, {"1.9", 1}, {"0x10", 0},
      {"2147483647", INT_MAX}, {"2147483648", INT_MAX}, {"-2147483648", INT_MIN},
      {"-99999999999999999999999999", INT_MIN}, {"999999999999999999999999999999999", INT_MAX},
  };
  for (const auto& c : cases) EXPECT_EQ(ParseSaveInt(c.text), c.value) << c.text;
}

TEST(SaveFileText, FloatsTakeDecimalSyntaxOnlyAndClamp) {
  const struct {
    const char* text;
    float value;
  } cases[] = {
      {"1.5", 1.5f}, {"  -0.250", -0.25f}, {"+2", 2.0f}, {".5", 0.5f}, {"5.", 5.0f}, {"1e3", 1000.0f},
      {"1E-2x", 0.01f}, {"2e", 2.0f}, {"2e+", 2.0f}, {"", 0.0f}, {".", 0.0f}, {"-", 0.0f}, {"e5", 0.0f},
      {"0x1p3", 0.0f}, {"inf", 0.0f}, {"-infinity", 0.0f}, {"nan", 0.0f}, {"1,5", 1.0f}, {"1e39", FLT_MAX},
      {"-1e999999999999", -FLT_MAX}, {"1e-99999", 0.0f}, {"340282356779733661637539395458142568448", FLT_MAX},
  };
  for (const auto& c : cases) EXPECT_EQ(ParseSaveFloat(c.text), c.value) << c.text;
}

TEST(SaveFileText, NumbersAreWrittenWithThreeDecimalsAndAPoint) {
  const std::string largest = "340282346638528859811704183484516925440.000";
  const struct {
    float value;
    std::string text;
  } cases[] = {
      {1.0f, "1.000"}, {-0.0001f, "-0.000"}, {0.0005f, "0.001"}, {12345.678f, "12345.678"},
      {FLT_MAX, largest}, {-HUGE_VALF, "-" + largest}, {NAN, "0.000"},
  };
  for (const auto& c : cases) {
    std::string text;
    AppendSaveFloat(&text, c.value);
    EXPECT_EQ(text, c.text);
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
