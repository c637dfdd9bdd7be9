// GL error checking: in debug builds every wrapped call is followed by a
// glGetError test that names the call and its place; release builds call GL only.
#pragma once

#include <epoxy/gl.h>

namespace platform::gl {

// Prints every pending GL error with the failing call and its place; false if any.
bool ReportGLErrors(const char* call, const char* file, int line);

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
