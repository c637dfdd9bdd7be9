// GL errors. Where the context has KHR_debug a callback sees every error as it
// is raised, in every build; debug builds also test glGetError after each
// wrapped call, naming the call and its place. Every error found either way is
// counted, so tests can fail on them.
#pragma once

#include <epoxy/gl.h>

namespace platform::gl {

// Installs the KHR_debug callback on the current context, if it has the extension.
void WatchGLErrors();

// Prints every pending GL error with the failing call and its place; false if any.
bool ReportGLErrors(const char* call, const char* file, int line);

// Errors raised since the process started, pending ones included.
int CountGLErrors();

}  // namespace platform::gl

#ifdef NDEBUG
#define GL_CHECK(call) call
#else
#define GL_CHECK(call)                                            \
  do {                                                            \
    call;                                                         \
    ::platform::gl::ReportGLErrors(#call, __FILE__, __LINE__);    \
  } while (false)
#endif
