#include "base/WriteFileSafely.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>

namespace {

bool WriteAll(int fd, std::string_view text) {
  while (!text.empty()) {
    const ssize_t written = write(fd, text.data(), text.size());
    if (written < 0 && errno == EINTR) continue;
    if (written <= 0) return false;
    text.remove_prefix(static_cast<size_t>(written));
  }
  return true;
}

}  // namespace

std::string TemporaryFileName(std::string_view path) {
  constexpr std::string_view kText = ".txt";
  if (path.ends_with(kText)) path.remove_suffix(kText.size());
  return std::string(path) + ".tmp";
}

int CreateTemporaryFile(const std::string& temporary) {
  unlink(temporary.c_str());
  return open(temporary.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
}

bool WriteFileSafely(const char* path, std::string_view text) {
  if (!path) return false;
  const std::string temporary = TemporaryFileName(path);
  const int fd = CreateTemporaryFile(temporary);
  if (fd < 0) return false;
  const bool written = WriteAll(fd, text) && fsync(fd) == 0;
  const bool closed = close(fd) == 0;
  if (written && closed && std::rename(temporary.c_str(), path) == 0) return true;
  unlink(temporary.c_str());
  return false;
}
