#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/EditorOptions.h"

namespace {

struct OptionsCase {
  const char* name;
  std::vector<std::string> args;
  bool run;
  int exit;
  unsigned width, height;
  const char* printed;  // in the output (run false, exit 0) or the error (exit 2)
  friend void PrintTo(const OptionsCase& c, std::ostream* os) { *os << c.name; }
};

class EditorOptions : public ::testing::TestWithParam<OptionsCase> {};

TEST_P(EditorOptions, Parses) {
  const OptionsCase& c = GetParam();
  const EditorParse parse = ParseEditorCommandLine(c.args);
  EXPECT_EQ(parse.run, c.run);
  EXPECT_EQ(parse.exit, c.exit);
  EXPECT_EQ(parse.windowWidth, c.width);
  EXPECT_EQ(parse.windowHeight, c.height);
  const std::string& text = c.exit == 0 ? parse.output : parse.error;
  EXPECT_NE(text.find(c.printed), std::string::npos) << text;
  if (c.exit != 0) {
    EXPECT_EQ(parse.error.find('\n'), std::string::npos) << "a refusal is one line";
    EXPECT_EQ(parse.error.rfind("brinora-editor: ", 0), 0u) << parse.error;
  }
}

INSTANTIATE_TEST_SUITE_P(
    Cases, EditorOptions,
    ::testing::Values(OptionsCase{"None", {}, true, 0, 0, 0, ""},
                      OptionsCase{"Window", {"--window", "1280x800"}, true, 0, 1280, 800, ""},
                      OptionsCase{"WindowJoined", {"--window=1024X768"}, true, 0, 1024, 768, ""},
                      OptionsCase{"Help", {"--help"}, false, 0, 0, 0, "--window"},
                      OptionsCase{"Version", {"--version"}, false, 0, 0, 0, "brinora-editor "},
                      OptionsCase{"Unknown", {"--fullscreen"}, false, 2, 0, 0, "--fullscreen"},
                      OptionsCase{"Positional", {"save.txt"}, false, 2, 0, 0, "save.txt"},
                      OptionsCase{"NoSize", {"--window"}, false, 2, 0, 0, "--window"},
                      OptionsCase{"NoHeight", {"--window", "1280x"}, false, 2, 0, 0, "1280x"},
                      OptionsCase{"Trailing", {"--window", "1280x800x"}, false, 2, 0, 0, "1280x800x"},
                      OptionsCase{"Negative", {"--window", "-1280x800"}, false, 2, 0, 0, "-1280x800"},
                      OptionsCase{"TooSmall", {"--window", "639x480"}, false, 2, 0, 0, "639x480"},
                      OptionsCase{"TooLarge", {"--window", "1280x8193"}, false, 2, 0, 0, "1280x8193"}),
    [](const auto& info) { return info.param.name; });

}  // namespace
