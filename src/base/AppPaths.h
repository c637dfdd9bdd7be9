// Where the programs read their data and keep the user's files. Run from the
// repository root (data/ and shaders/ in the working folder) every path stays
// relative to it, as the data and the save files name them. Installed, the data
// come from share/brinora-editor/ beside the executable, which becomes the
// working folder, and the user's files go to the XDG folders.
#pragma once

#include <ctime>
#include <filesystem>
#include <map>
#include <string>
#include <vector>

struct AppPaths {
  bool installed = false;                      // false: run from the repository root
  std::filesystem::path dataRoot;              // holds data/ and shaders/; empty: the working folder
  std::filesystem::path saveFolder{"save"};
  std::filesystem::path traceFile{"blur.txt"};
  std::filesystem::path screenshotFolder{"screenshots"};
  std::string userFolderProblem;               // why the user's folders are unknown; empty when known
};

// What the resolver reads of the process, so a test can give it any machine.
struct AppEnvironment {
  std::filesystem::path workingFolder;
  std::filesystem::path executable;
  std::map<std::string, std::string> variables;  // HOME and XDG_*; a missing key is unset
};

// The share folder's place relative to the executable's folder.
inline constexpr const char* kShareFromExecutable = "../share/brinora-editor";

// True when `folder` holds data/ and shaders/.
bool HoldsData(const std::filesystem::path& folder);

// This process: the working folder, /proc/self/exe and the variables.
AppEnvironment CurrentEnvironment();

// False, with the reason, when neither the working folder nor the share
// folder beside the executable holds data/ and shaders/.
bool ResolveAppPaths(const AppEnvironment& environment, AppPaths* paths, std::string* error);

// The paths of this process: the repository layout until SetUpAppPaths or UseAppPaths.
const AppPaths& CurrentAppPaths();
void UseAppPaths(const AppPaths& paths);

// Resolves the paths of this process; installed, makes the share folder the
// working folder. False, with the reason, when the data cannot be found.
// Paths the user gave must be made absolute before.
bool SetUpAppPaths(std::string* error);

// Installed: makes the save folder and the trace file's folder when missing,
// and fills a save folder made now with the example states. Never replaces a
// file; one line per problem in `problems`.
void PrepareUserFolders(const AppPaths& paths, std::vector<std::string>* problems);

// The save file of a name typed by the user, and the pattern listing them all.
std::string SaveFilePath(const std::string& name);
std::string SaveFilePattern();

// A screenshot name for `when` that names no file yet (in the folder as it is now).
std::filesystem::path NewScreenshotPath(const std::tm& when);
