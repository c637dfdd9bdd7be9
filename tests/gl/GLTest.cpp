#include "GLTest.h"

#include <cstdlib>
#include <string>

#include "platform/Platform.h"

namespace gltest {

void GLTest::SetUp() {
  std::string error;
  if (!platform::UseGLBackend(&error)) {
    const char* ci = std::getenv("CI");
    if (ci != nullptr && *ci != '\0') FAIL() << "no OpenGL backend in CI: " << error;
    GTEST_SKIP() << "no OpenGL backend: " << error;
  }
  started_ = true;
  errorsBefore_ = platform::GLErrorCount();
}

void GLTest::TearDown() {
  if (!started_) return;
  EXPECT_EQ(platform::GLErrorCount(), errorsBefore_) << "GL errors during the test (see standard error)";
}

}  // namespace gltest
