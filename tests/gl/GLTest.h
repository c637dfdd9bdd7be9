// The base of every GL test: starts the OpenGL backend and fails the test when
// a GL error was raised during it. Without OpenGL a test fails when CI is set
// (a suite that cannot run must not pass) and skips with the reason elsewhere.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "platform/win32.h"

namespace gltest {

class GLTest : public ::testing::Test {
 protected:
  void SetUp() override;
  void TearDown() override;
  // SetUp failed or skipped: the derived SetUp returns at once.
  bool NotStarted() const { return !started_ || HasFatalFailure(); }

 private:
  bool started_ = false;
  int errorsBefore_ = 0;
};

// Writes B, G, R, A rows as a PNG under the test artifacts ("sky-1.png", "screenshots/water-sm2.png").
void SaveArtifact(const std::string& name, const std::vector<uint8_t>& bgra, UINT width, UINT height);

// "ffp", "sm1", "sm2" or "sm3": names of screenshots and test instances.
const char* EngineName(int engineType);

}  // namespace gltest
