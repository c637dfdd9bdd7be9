#include <gtest/gtest.h>

#include <cfloat>
#include <climits>
#include <cmath>
#include <cstdio>
#include <string>
#include <vector>

#include "waterscene/SaveFileText.h"

namespace {

std::vector<std::string> Lines(const std::string& bytes) {
  std::vector<std::string> lines;
  std::FILE* file = fmemopen(const_cast<char*>(bytes.data()), bytes.size(), "rb");
  if (!file) {
    ADD_FAILURE() << "fmemopen";
    return lines;
  }
  EXPECT_TRUE(ReadSaveLines(file, [&](std::string_view line) { lines.emplace_back(line); }));
  std::fclose(file);
  return lines;
}

using StringList = std::vector<std::string>;

TEST(SaveFileText, LinesEndAtLineFeedsWithOneCarriageReturnDropped) {
  const std::string longest(kMaxSaveLineLength, 'a');
  const struct {
    std::string bytes;
    StringList lines;
  } cases[] = {
      {"", {}},
      {"a\r\nb\r\n", {"a", "b"}},
      {"a\nb\n", {"a", "b"}},
      {"a\r\r\n", {"a\r"}},
      {"a\rb\n", {"a\rb"}},
      {"\n\r\n", {"", ""}},
      {"last", {"last"}},
      {"x\nlast\r", {"x", "last"}},
      {std::string("a\0b\nc", 5), {std::string("a\0b", 3), "c"}},
      {longest + "\r\nnext\n", {longest, "next"}},
  };
  for (const auto& c : cases) EXPECT_EQ(Lines(c.bytes), c.lines) << c.bytes;
}

TEST(SaveFileText, TheRestOfAnOverlongLineIsNeverReadAsALine) {
  const std::string head(kMaxSaveLineLength, 'x');
  const std::string injected = "[heightmap type]=fft";
  EXPECT_EQ(Lines(head + injected + "\r\nnext\r\n"), (StringList{head, "next"}));
  EXPECT_EQ(Lines(head + "\r" + injected), StringList{head});
  // A line of a million characters still costs one line.
  EXPECT_EQ(Lines(std::string(1 << 20, 'y') + "\n"), StringList{std::string(kMaxSaveLineLength, 'y')});
}

TEST(SaveFileText, ScanFindsKeyAndValueOnlyInWellFormedLines) {
  const struct {
    const char* line;
    bool used;
    const char* key;
    const char* value;
  } cases[] = {
      {"[wind .x]=1.000", true, "wind .x", "1.000"},
      {"[wind .x]=", true, "wind .x", ""},
      {" [ a ] = b ", true, " a ", " b "},
      {"[a[b]=1", true, "b", "1"},   // the last '[' before all three were met
      {"[a]b]=1", true, "a]b", "1"},  // likewise the last ']'
      {"=[a]b", true, "a", "[a]b"},   // '=' first: the value is all after it
      {"[a=b]=5", true, "a=b", "b]=5"},
      {"[]=1", false, "", ""},
      {"]a[=1", false, "", ""},  // ']' before '[' would give a negative key length
      {"[a]", false, "", ""},
      {"[a]=", true, "a", ""},
      {"=[a]", false, "", ""},  // nothing after ']'
      {"wind .x=1", false, "", ""},
      {"[wind .x] 1", false, "", ""},
      {"", false, "", ""},
  };
  for (const auto& c : cases) {
    std::string_view key = "unset", value = "unset";
    EXPECT_EQ(ScanSaveLine(c.line, &key, &value), c.used) << c.line;
    if (!c.used) continue;
    EXPECT_EQ(key, c.key) << c.line;
    EXPECT_EQ(value, c.value) << c.line;
  }
}

TEST(SaveFileText, IntegersTakeTheLeadingNumberAndSaturate) {
  const struct {
    const char* text;
    int value;
  } cases[] = {
      {"12", 12},
      {"  \t-7x", -7},
      {"+3", 3},
      {"", 0},
      {"abc", 0},
      {"- 5", 0},
      {"1.9", 1},
      {"2147483647", INT_MAX},
      {"2147483648", INT_MAX},
      {"-2147483648", INT_MIN},
      {"-99999999999999999999999999", INT_MIN},
      {"999999999999999999999999999999999", INT_MAX},
      {"0x10", 0},
  };
  for (const auto& c : cases) EXPECT_EQ(ParseSaveInt(c.text), c.value) << c.text;
}

TEST(SaveFileText, FloatsTakeDecimalSyntaxOnlyAndClamp) {
  const struct {
    const char* text;
    float value;
  } cases[] = {
      {"1.5", 1.5f},
      {"  -0.250", -0.25f},
      {"+2", 2.0f},
      {".5", 0.5f},
      {"5.", 5.0f},
      {"1e3", 1000.0f},
      {"1E-2x", 0.01f},
      {"2e", 2.0f},
      {"2e+", 2.0f},
      {"", 0.0f},
      {".", 0.0f},
      {"-", 0.0f},
      {"e5", 0.0f},
      {"0x1p3", 0.0f},
      {"inf", 0.0f},
      {"-infinity", 0.0f},
      {"nan", 0.0f},
      {"1,5", 1.0f},
      {"1e39", FLT_MAX},
      {"-1e999999999999", -FLT_MAX},
      {"1e-99999", 0.0f},
      {"340282356779733661637539395458142568448", FLT_MAX},
  };
  for (const auto& c : cases) EXPECT_EQ(ParseSaveFloat(c.text), c.value) << c.text;
}

TEST(SaveFileText, NumbersAreWrittenWithThreeDecimalsAndAPoint) {
  const struct {
    float value;
    const char* text;
  } cases[] = {
      {1.0f, "1.000"},
      {-0.0001f, "-0.000"},
      {0.0005f, "0.001"},
      {12345.678f, "12345.678"},
      {FLT_MAX, "340282346638528859811704183484516925440.000"},
      {-HUGE_VALF, "-340282346638528859811704183484516925440.000"},
      {NAN, "0.000"},
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

}  // namespace
