// A file written under a temporary name ("<path>.tmp") and renamed over the
// path only once everything was written, so a file the user keeps is never
// left half-written. Dropped without Commit, the temporary file is removed.
#pragma once

#include <cstdio>
#include <string>
#include <string_view>

class cSafeOutputFile {
 public:
  cSafeOutputFile() = default;
  cSafeOutputFile(const cSafeOutputFile&) = delete;
  cSafeOutputFile& operator=(const cSafeOutputFile&) = delete;
  ~cSafeOutputFile();

  bool Open(const std::string& path);
  std::FILE* Get() const { return file_; }
  // False once any write failed.
  bool Write(std::string_view text);
  // Flushes, closes and renames; false (and the temporary removed) on any failure.
  bool Commit();

 private:
  void Discard();

  std::FILE* file_ = nullptr;
  std::string path_;
  std::string temporary_;
  bool failed_ = false;
};
