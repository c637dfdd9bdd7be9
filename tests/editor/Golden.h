// Long expected texts live in files under tests/data/editor; a mismatch names
// the file, the first line that differs and both versions of it.
#pragma once

#include <gtest/gtest.h>

#include <fstream>
#include <sstream>
#include <string>

#include "platform/Utf8.h"

inline void ExpectGolden(const std::string& name, const std::string& actual) {
  std::ifstream expected(std::string(TEST_DATA_DIR) + "/editor/" + name, std::ios::binary);
  ASSERT_TRUE(expected.is_open()) << "no file tests/data/editor/" << name;
  std::istringstream got(actual);
  std::string want, have;
  for (int line = 1;; ++line) {
    const bool wanted = static_cast<bool>(std::getline(expected, want));
    const bool had = static_cast<bool>(std::getline(got, have));
    if (!wanted && !had) return;
    ASSERT_EQ(had ? have : "<end>", wanted ? want : "<end>") << "first difference at " << name << ":" << line;
  }
}
inline void ExpectGolden(const std::string& name, const std::wstring& actual) {
  ExpectGolden(name, platform::Utf8FromWide(actual.c_str()));
}
