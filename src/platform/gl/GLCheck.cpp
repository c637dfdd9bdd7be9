#include "platform/gl/GLCheck.h"

#include <cstdio>

namespace platform::gl {

bool ReportGLErrors(const char* call, const char* file, int line) {
  bool clean = true;
  for (GLenum error = glGetError(); error != GL_NO_ERROR; error = glGetError()) {
    std::fprintf(stderr, "GL error 0x%04X after %s (%s:%d)\n", error, call, file, line);
    clean = false;
  }
  return clean;
}

}  // namespace platform::gl
