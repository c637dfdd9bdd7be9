// A file written under a temporary name ("<path>.tmp") and renamed over the
// path only once everything was written, so a file the user keeps is never
// left half-written. Dropped without Commit, the temporary file is removed.
// A path that is no regular file (a pipe, a terminal, a device) is written
// directly and stays what it is; standard output or error (/dev/stdout, or
// the file it was sent to) is written through the stream itself.
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
  // Flushes, closes and renames; false (and any temporary removed) on any failure.
  bool Commit();

 private:
  // Takes the descriptor over as the open file; false (and it closed) when it cannot.
  bool Adopt(int fd);
  void Discard();

  std::FILE* file_ = nullptr;
  std::string path_;
  std::string temporary_;
  bool failed_ = false;
};
