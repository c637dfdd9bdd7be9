// The shell and file-search part of the stand-in's Win32.
#include <algorithm>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include "platform/device/Backend.h"
#include "platform/win32.h"

namespace {

constexpr uintptr_t kShellSuccess = 42;       // any value above 32
constexpr uintptr_t kShellFileNotFound = 2;   // ERROR_FILE_NOT_FOUND
constexpr uintptr_t kShellNoAssociation = 31; // SE_ERR_NOASSOC

struct FindEntry {
  std::string name;
  bool directory;
  uint64_t size;
};

struct FindSearch {
  std::vector<FindEntry> entries;
  size_t next = 0;
};

// Wildcard match: * any run of characters, ? any one character. Greedy with
// one backtrack point, so the cost stays linear in practice.
bool Matches(const char* pattern, const char* name) {
  const char* star = nullptr;
  const char* resume = nullptr;
  while (*name != '\0') {
    if (*pattern == '*') {
      star = pattern++;
      resume = name;
    } else if (*pattern == '?' || *pattern == *name) {
      ++pattern;
      ++name;
    } else if (star != nullptr) {
      pattern = star + 1;
      name = ++resume;
    } else {
      return false;
    }
  }
  while (*pattern == '*') ++pattern;
  return *pattern == '\0';
}

std::vector<FindEntry> ListMatches(const std::string& pattern) {
  const size_t slash = pattern.find_last_of("/\\");
  const std::string directory = slash == std::string::npos ? "." : pattern.substr(0, slash);
  const std::string filePattern = slash == std::string::npos ? pattern : pattern.substr(slash + 1);
  std::vector<FindEntry> entries;
  std::error_code error;
  for (std::filesystem::directory_iterator it(directory, error), end; !error && it != end; it.increment(error)) {
    const std::string name = it->path().filename().string();
    if (name.size() >= static_cast<size_t>(MAX_PATH) || !Matches(filePattern.c_str(), name.c_str())) continue;
    std::error_code statError;
    const bool directoryEntry = it->is_directory(statError);
    const uint64_t size = directoryEntry ? 0 : it->file_size(statError);
    entries.push_back({name, directoryEntry, statError ? 0 : size});
  }
  std::sort(entries.begin(), entries.end(), [](const FindEntry& a, const FindEntry& b) { return a.name < b.name; });
  return entries;
}

void Fill(const FindEntry& entry, WIN32_FIND_DATAA* data) {
  *data = WIN32_FIND_DATAA{};
  data->dwFileAttributes = entry.directory ? FILE_ATTRIBUTE_DIRECTORY : FILE_ATTRIBUTE_NORMAL;
  data->nFileSizeHigh = static_cast<DWORD>(entry.size >> 32);
  data->nFileSizeLow = static_cast<DWORD>(entry.size & 0xFFFFFFFFu);
  std::memcpy(data->cFileName, entry.name.c_str(), entry.name.size() + 1);
}

}  // namespace

HINSTANCE ShellExecuteA(HWND, LPCSTR operation, LPCSTR file, LPCSTR, LPCSTR, INT) {
  if (file == nullptr || *file == '\0') return reinterpret_cast<HINSTANCE>(kShellFileNotFound);
  if (operation != nullptr && std::strcmp(operation, "open") != 0) {
    return reinterpret_cast<HINSTANCE>(kShellNoAssociation);
  }
  platform::CurrentBackend().ShellOpen(file);
  return reinterpret_cast<HINSTANCE>(kShellSuccess);
}

HANDLE FindFirstFileA(LPCSTR pattern, WIN32_FIND_DATAA* data) {
  if (pattern == nullptr || data == nullptr) return INVALID_HANDLE_VALUE;
  auto* search = new FindSearch{ListMatches(pattern)};
  if (search->entries.empty()) {
    delete search;
    return INVALID_HANDLE_VALUE;
  }
  Fill(search->entries[search->next++], data);
  return search;
}

BOOL FindNextFileA(HANDLE handle, WIN32_FIND_DATAA* data) {
  if (handle == nullptr || handle == INVALID_HANDLE_VALUE || data == nullptr) return FALSE;
  auto* search = static_cast<FindSearch*>(handle);
  if (search->next >= search->entries.size()) return FALSE;
  Fill(search->entries[search->next++], data);
  return TRUE;
}

BOOL FindClose(HANDLE handle) {
  if (handle == nullptr || handle == INVALID_HANDLE_VALUE) return FALSE;
  delete static_cast<FindSearch*>(handle);
  return TRUE;
}
