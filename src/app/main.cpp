// The editor executable: the OpenGL backend, then the application.
#include <cstdio>
#include <string>

#include "app/WinMain.h"
#include "platform/Platform.h"

int main() {
  std::string error;
  if (!platform::UseGLBackend(&error)) {
    std::fprintf(stderr, "Brinora Engine Editor: %s\n", error.c_str());
    platform::ShowFatalStartupError(error);
    return 1;
  }
  return WinMain(GetModuleHandleA(nullptr), nullptr, nullptr, SW_SHOW);
}
