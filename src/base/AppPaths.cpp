#include "base/AppPaths.h"

#include <pwd.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <fstream>
#include <sstream>

#include "base/WriteFileSafely.h"

namespace fs = std::filesystem;

namespace {

constexpr const char* kAppFolder = "brinora-editor";
constexpr const char* kExampleStates = "data/states";
constexpr int kMaxSameSecondShots = 1000;

AppPaths& Current() {
  static AppPaths paths;
  return paths;
}

// An XDG variable counts only when it holds an absolute path; otherwise the
// folder under HOME. Empty when neither is known.
fs::path UserFolder(const AppEnvironment& environment, const char* variable, const char* underHome) {
  const auto set = environment.variables.find(variable);
  if (set != environment.variables.end() && fs::path(set->second).is_absolute()) return set->second;
  const auto home = environment.variables.find("HOME");
  if (home == environment.variables.end() || !fs::path(home->second).is_absolute()) return {};
  return fs::path(home->second) / underHome;
}

std::string Quoted(const fs::path& path) { return "\"" + path.string() + "\""; }

void CopyExample(const fs::path& example, const fs::path& folder, std::vector<std::string>* problems) {
  const fs::path target = folder / example.filename();
  std::error_code error;
  if (fs::exists(target, error) || error) return;
  std::ifstream in(example, std::ios::binary);
  std::ostringstream text;
  text << in.rdbuf();
  if (!in || in.bad()) {
    problems->push_back("cannot read the example state " + Quoted(example));
    return;
  }
  if (!WriteFileSafely(target.c_str(), text.str())) problems->push_back("cannot write " + Quoted(target));
}

void CopyExamples(const fs::path& examples, const fs::path& folder, std::vector<std::string>* problems) {
  std::error_code error;
  std::vector<fs::path> files;
  for (const fs::directory_entry& entry : fs::directory_iterator(examples, error)) {
    if (entry.is_regular_file(error) && entry.path().extension() == ".txt") files.push_back(entry.path());
  }
  if (error) problems->push_back("cannot list the example states in " + Quoted(examples) + ": " + error.message());
  std::sort(files.begin(), files.end());
  for (const fs::path& file : files) CopyExample(file, folder, problems);
}

// True when the folder exists or was made now; `made` tells which.
bool MakeFolder(const fs::path& folder, bool* made, std::vector<std::string>* problems) {
  std::error_code error;
  *made = false;
  if (fs::is_directory(folder, error)) return true;
  *made = fs::create_directories(folder, error);
  if (*made) return true;
  problems->push_back("cannot make the folder " + Quoted(folder) + ": " + error.message());
  return false;
}

}  // namespace

bool HoldsData(const fs::path& folder) {
  std::error_code error;
  return !folder.empty() && fs::is_directory(folder / "data", error) && fs::is_directory(folder / "shaders", error);
}

AppEnvironment CurrentEnvironment() {
  AppEnvironment environment;
  std::error_code error;
  environment.workingFolder = fs::current_path(error);
  environment.executable = fs::read_symlink("/proc/self/exe", error);
  for (const char* name : {"HOME", "XDG_DATA_HOME", "XDG_STATE_HOME", "XDG_PICTURES_DIR"}) {
    if (const char* value = std::getenv(name)) environment.variables[name] = value;
  }
  if (!environment.variables.contains("HOME")) {
    if (const passwd* user = getpwuid(getuid()); user && user->pw_dir) environment.variables["HOME"] = user->pw_dir;
  }
  return environment;
}

bool ResolveAppPaths(const AppEnvironment& environment, AppPaths* paths, std::string* error) {
  if (HoldsData(environment.workingFolder)) {
    *paths = AppPaths{};
    paths->dataRoot = environment.workingFolder;
    return true;
  }
  const fs::path share = (environment.executable.parent_path() / kShareFromExecutable).lexically_normal();
  if (environment.executable.empty() || !HoldsData(share)) {
    *error = "cannot find the program's data: neither the working folder " + Quoted(environment.workingFolder) +
             " nor " + Quoted(share) + " holds data/ and shaders/";
    return false;
  }
  AppPaths installed;
  installed.installed = true;
  installed.dataRoot = share;
  const fs::path data = UserFolder(environment, "XDG_DATA_HOME", ".local/share");
  const fs::path state = UserFolder(environment, "XDG_STATE_HOME", ".local/state");
  const fs::path pictures = UserFolder(environment, "XDG_PICTURES_DIR", "Pictures");
  installed.saveFolder = data.empty() ? fs::path() : data / kAppFolder / "save";
  installed.traceFile = state.empty() ? fs::path() : state / kAppFolder / "blur.txt";
  installed.screenshotFolder = pictures.empty() ? fs::path() : pictures / kAppFolder;
  if (data.empty() || state.empty() || pictures.empty()) {
    installed.userFolderProblem = "no folder for saves, screenshots and the trace: HOME is not an absolute path";
  }
  *paths = installed;
  return true;
}

const AppPaths& CurrentAppPaths() { return Current(); }

void UseAppPaths(const AppPaths& paths) { Current() = paths; }

bool SetUpAppPaths(std::string* error) {
  AppPaths paths;
  if (!ResolveAppPaths(CurrentEnvironment(), &paths, error)) return false;
  if (paths.installed) {
    std::error_code changed;
    fs::current_path(paths.dataRoot, changed);
    if (changed) {
      *error = "cannot enter the data folder " + Quoted(paths.dataRoot) + ": " + changed.message();
      return false;
    }
  }
  UseAppPaths(paths);
  return true;
}

void PrepareUserFolders(const AppPaths& paths, std::vector<std::string>* problems) {
  if (!paths.installed) return;
  if (!paths.userFolderProblem.empty()) problems->push_back(paths.userFolderProblem);
  bool made = false;
  if (!paths.traceFile.empty()) MakeFolder(paths.traceFile.parent_path(), &made, problems);
  if (paths.saveFolder.empty() || !MakeFolder(paths.saveFolder, &made, problems) || !made) return;
  CopyExamples(paths.dataRoot / kExampleStates, paths.saveFolder, problems);
}

std::string SaveFilePath(const std::string& name) {
  const fs::path& folder = CurrentAppPaths().saveFolder;
  return folder.empty() ? std::string() : (folder / (name + ".txt")).string();
}

std::string SaveFilePattern() {
  const fs::path& folder = CurrentAppPaths().saveFolder;
  return folder.empty() ? std::string() : (folder / "*.txt").string();
}

fs::path NewScreenshotPath(const std::tm& when) {
  char stamp[64] = {};
  std::strftime(stamp, sizeof(stamp), "brinora-editor-%Y-%m-%d-%H%M%S", &when);
  const fs::path& folder = CurrentAppPaths().screenshotFolder;
  if (folder.empty()) return {};
  for (int n = 1; n <= kMaxSameSecondShots; ++n) {
    const fs::path path = folder / (std::string(stamp) + (n > 1 ? "-" + std::to_string(n) : "") + ".png");
    std::error_code error;
    if (!fs::exists(path, error) && !error) return path;
  }
  return {};
}
