#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <vector>

#include "../waterscene/SaveFileTesting.h"
#include "app/EditorOptions.h"

namespace {

struct OptionsCase {
  std::string name;
  std::vector<std::string> args;
  bool run;
  int exit;
  unsigned width, height;
  std::string printed;
  friend void PrintTo(const OptionsCase& c, std::ostream* os) { *os << c.name; }
};

// The cases of tests/data/app/options.txt.
std::vector<OptionsCase> OptionsCases() {
  std::vector<OptionsCase> cases;
  for (const auto& row : savefile::testing::TableRows("app/options.txt", "options")) {
    std::vector<std::string> args;
    std::istringstream words(row.at(1));
    for (std::string word; words >> word;) args.push_back(word);
    cases.push_back({row[0], args, row.at(2) == "1", std::stoi(row.at(3)), static_cast<unsigned>(std::stoi(row.at(4))),
                     static_cast<unsigned>(std::stoi(row.at(5))), row.at(6)});
  }
  return cases;
}

class EditorOptions : public ::testing::TestWithParam<OptionsCase> {};

TEST_P(EditorOptions, Parses) {
  const OptionsCase& c = GetParam();
  const EditorParse parse = ParseEditorCommandLine(c.args);
  EXPECT_EQ(std::tuple(parse.run, parse.exit, parse.windowWidth, parse.windowHeight),
            std::tuple(c.run, c.exit, c.width, c.height));
  const std::string& text = c.exit == 0 ? parse.output : parse.error;
  EXPECT_NE(text.find(c.printed), std::string::npos) << text;
  if (c.exit != 0) {
    EXPECT_EQ(parse.error.find('\n'), std::string::npos) << "a refusal is one line";
    EXPECT_EQ(parse.error.rfind("brinora-editor: ", 0), 0u) << parse.error;
  }
}

INSTANTIATE_TEST_SUITE_P(Cases, EditorOptions, ::testing::ValuesIn(OptionsCases()),
                         [](const auto& info) { return info.param.name; });

}  // namespace
