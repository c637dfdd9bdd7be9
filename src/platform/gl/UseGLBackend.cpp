#include "platform/Platform.h"
#include "platform/gl/GLBackend.h"
#include "platform/gl/GLCheck.h"

namespace platform {

bool UseGLBackend(std::string* error, WindowedSize windowed) {
  std::string reason;
  auto backend = gl::GLBackend::Create(&reason, windowed);
  if (!backend) {
    if (error) *error = reason;
    return false;
  }
  InstallBackend(std::move(backend));
  return true;
}

void ShowFatalStartupError(const std::string& reason) {
  SDL_ShowSimpleMessageBox(SDL_MESSAGEBOX_ERROR, "Fatal error", reason.c_str(), nullptr);
}

int GLErrorCount() { return gl::CountGLErrors(); }

}  // namespace platform
