#include "platform/gl/GLCheck.h"

#include <SDL2/SDL.h>

#include <cstdio>
#include <set>

namespace platform::gl {
namespace {

int errorCount = 0;
bool watched = false;  // the callback counts; glGetError only drains

void APIENTRY OnDebugMessage(GLenum source, GLenum type, GLuint id, GLenum, GLsizei, const GLchar* message,
                             const void*) {
  // Shader compile logs arrive as errors too; they are reported where the program is built.
  if (source != GL_DEBUG_SOURCE_API || type != GL_DEBUG_TYPE_ERROR) return;
  ++errorCount;
  // The first of each kind is enough to find it; a fault in a frame loop would repeat forever.
  static std::set<GLuint> reported;
  if (reported.insert(id).second) std::fprintf(stderr, "GL error: %s\n", message);
}

}  // namespace

void WatchGLErrors() {
  watched = epoxy_gl_version() >= 43 || epoxy_has_gl_extension("GL_KHR_debug");
  if (!watched) return;
  glEnable(GL_DEBUG_OUTPUT);
  // Synchronous, so an error is counted before the call that raised it returns.
  glEnable(GL_DEBUG_OUTPUT_SYNCHRONOUS);
  glDebugMessageCallback(OnDebugMessage, nullptr);
  glDebugMessageControl(GL_DONT_CARE, GL_DONT_CARE, GL_DONT_CARE, 0, nullptr, GL_FALSE);
  glDebugMessageControl(GL_DEBUG_SOURCE_API, GL_DEBUG_TYPE_ERROR, GL_DONT_CARE, 0, nullptr, GL_TRUE);
}

bool ReportGLErrors(const char* call, const char* file, int line) {
  bool clean = true;
  for (GLenum error = glGetError(); error != GL_NO_ERROR; error = glGetError()) {
    std::fprintf(stderr, "GL error 0x%04X after %s (%s:%d)\n", error, call, file, line);
    if (!watched) ++errorCount;
    clean = false;
  }
  return clean;
}

int CountGLErrors() {
  if (SDL_GL_GetCurrentContext() == nullptr) return errorCount;
  // Without the callback, errors wait in glGetError; with it, these were counted already.
  for (GLenum error = glGetError(); error != GL_NO_ERROR; error = glGetError()) {
    if (!watched) ++errorCount;
  }
  return errorCount;
}

}  // namespace platform::gl
