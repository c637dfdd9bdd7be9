// The editor executable: options, the data and user folders, the OpenGL
// backend, then the application.
#include <cstdio>
#include <iostream>
#include <string>
#include <vector>

#include "app/EditorOptions.h"
#include "app/WinMain.h"
#include "base/AppPaths.h"
#include "platform/Platform.h"

namespace {

int FailStart(const std::string& reason) {
  std::fprintf(stderr, "Brinora Engine Editor: %s\n", reason.c_str());
  platform::ShowFatalStartupError(reason);
  return 1;
}

}  // namespace

int main(int argc, char** argv) {
  const EditorParse parse = ParseEditorCommandLine(std::vector<std::string>(argv + 1, argv + argc));
  if (!parse.run) {
    std::cout << parse.output;
    if (!parse.error.empty()) std::cerr << parse.error << "\n";
    return parse.exit;
  }
  std::string error;
  if (!SetUpAppPaths(&error)) return FailStart(error);
  // The editor goes on without what could not be made; saving says so again.
  std::vector<std::string> problems;
  PrepareUserFolders(CurrentAppPaths(), &problems);
  for (const std::string& problem : problems) std::fprintf(stderr, "Brinora Engine Editor: %s\n", problem.c_str());
  if (!platform::UseGLBackend(&error, {parse.windowWidth, parse.windowHeight})) return FailStart(error);
  return WinMain(GetModuleHandleA(nullptr), nullptr, nullptr, SW_SHOW);
}
