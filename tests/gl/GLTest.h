// The base of every GL test: starts the OpenGL backend and fails the test when
// a GL error was raised during it. Without OpenGL a test fails when CI is set
// (a suite that cannot run must not pass) and skips with the reason elsewhere.
#pragma once

#include <gtest/gtest.h>

namespace gltest {

class GLTest : public ::testing::Test {
 protected:
  void SetUp() override;
  void TearDown() override;

 private:
  bool started_ = false;
  int errorsBefore_ = 0;
};

}  // namespace gltest
