#include "base/cSafeOutputFile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "base/WriteFileSafely.h"

namespace {

bool IsRegular(int fd) {
  struct stat status{};
  return fstat(fd, &status) == 0 && S_ISREG(status.st_mode);
}

// Standard output or error when `file` is the file it goes to, else -1.
int StandardStreamOf(const struct stat& file) {
  for (int fd : {STDOUT_FILENO, STDERR_FILENO}) {
    struct stat status{};
    if (fstat(fd, &status) == 0 && status.st_dev == file.st_dev && status.st_ino == file.st_ino) return fd;
  }
  return -1;
}

}  // namespace

cSafeOutputFile::~cSafeOutputFile() { Discard(); }

bool cSafeOutputFile::Open(const std::string& path) {
  Discard();
  failed_ = false;
  temporary_.clear();
  struct stat status{};
  const bool exists = stat(path.c_str(), &status) == 0;
  // /dev/stdout and the like share the stream's position: a file opened anew
  // would write over what the stream wrote.
  if (const int stream = exists ? StandardStreamOf(status) : -1; stream >= 0) {
    return Adopt(fcntl(stream, F_DUPFD_CLOEXEC, 0));
  }
  // A pipe, terminal or device takes the text as it comes: renaming over it
  // would replace it with a regular file.
  if (exists && !S_ISREG(status.st_mode)) {
    const int fd = open(path.c_str(), O_WRONLY | O_CLOEXEC);
    if (fd >= 0 && !IsRegular(fd)) return Adopt(fd);
    if (fd >= 0) close(fd);
    return false;
  }
  path_ = path;
  temporary_ = path + ".tmp";
  const int fd = CreateTemporaryFile(temporary_);
  if (Adopt(fd)) return true;
  if (fd >= 0) std::remove(temporary_.c_str());
  return false;
}

bool cSafeOutputFile::Adopt(int fd) {
  file_ = fd >= 0 ? fdopen(fd, "wb") : nullptr;
  if (!file_ && fd >= 0) close(fd);
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
  if (temporary_.empty()) return ok;
  if (ok && std::rename(temporary_.c_str(), path_.c_str()) == 0) return true;
  std::remove(temporary_.c_str());
  return false;
}

void cSafeOutputFile::Discard() {
  if (!file_) return;
  std::fclose(file_);
  file_ = nullptr;
  if (!temporary_.empty()) std::remove(temporary_.c_str());
}
