#include "batch/cSafeOutputFile.h"

#include <unistd.h>

#include "config/WriteFileSafely.h"

cSafeOutputFile::~cSafeOutputFile() { Discard(); }

bool cSafeOutputFile::Open(const std::string& path) {
  Discard();
  path_ = path;
  temporary_ = path + ".tmp";
  failed_ = false;
  const int fd = CreateTemporaryFile(temporary_);
  file_ = fd >= 0 ? fdopen(fd, "wb") : nullptr;
  if (!file_ && fd >= 0) {
    close(fd);
    std::remove(temporary_.c_str());
  }
  return file_ != nullptr;
}

bool cSafeOutputFile::Write(std::string_view text) {
  if (!file_ || std::fwrite(text.data(), 1, text.size(), file_) != text.size()) failed_ = true;
  return !failed_;
}

bool cSafeOutputFile::Commit() {
  if (!file_) return false;
  bool ok = !failed_ && std::fflush(file_) == 0 && !std::ferror(file_);
  ok = std::fclose(file_) == 0 && ok;
  file_ = nullptr;
  if (ok && std::rename(temporary_.c_str(), path_.c_str()) == 0) return true;
  std::remove(temporary_.c_str());
  return false;
}

void cSafeOutputFile::Discard() {
  if (!file_) return;
  std::fclose(file_);
  file_ = nullptr;
  std::remove(temporary_.c_str());
}
