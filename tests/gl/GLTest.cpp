#include "GLTest.h"

#include <cstdlib>
#include <filesystem>

#include "platform/Platform.h"
#include "settings/TypeIds.h"

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

void SaveArtifact(const std::string& name, const std::vector<uint8_t>& bgra, UINT width, UINT height) {
  const std::filesystem::path path = std::filesystem::path(TEST_ARTIFACT_DIR) / name;
  std::filesystem::create_directories(path.parent_path());
  EXPECT_TRUE(platform::SavePng(path.c_str(), bgra, width, height)) << path;
}

const char* EngineName(int engineType) {
  switch (engineType) {
    case ENGINE_FFP: return "ffp";
    case ENGINE_SM1: return "sm1";
    case ENGINE_SM2: return "sm2";
    default: return "sm3";
  }
}

}  // namespace gltest
