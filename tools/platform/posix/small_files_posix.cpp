#include <errno.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstring>

#include "tools/platform/small_files.h"

namespace selvarin {

namespace {
std::string Why(const std::string& what, const std::string& path) {
  return what + " " + path + ": " + std::strerror(errno);
}

bool WriteAll(int fd, const char* data, size_t n) {
  while (n > 0) {
    const ssize_t w = write(fd, data, n);
    if (w < 0 && errno == EINTR) continue;
    if (w <= 0) return false;
    data += w;
    n -= static_cast<size_t>(w);
  }
  return true;
}
}  // namespace

bool ReadSmallFile(const std::string& path, std::string* out, std::string* error, size_t maxBytes) {
  out->clear();
  const int fd = open(path.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) {
    *error = Why("cannot open", path);
    return false;
  }
  char buf[4096];
  bool ok = true;
  for (;;) {
    const ssize_t n = read(fd, buf, sizeof buf);
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) {
      *error = Why("cannot read", path);
      ok = false;
      break;
    }
    if (n == 0) break;
    if (out->size() + static_cast<size_t>(n) > maxBytes) {
      *error = path + " is too large";
      ok = false;
      break;
    }
    out->append(buf, static_cast<size_t>(n));
  }
  close(fd);
  return ok;
}

bool WriteFileReplacing(const std::string& path, const std::string& bytes, std::string* error) {
  // Unique per process: two instances saving at once each finish their own
  // file, and the later rename wins whole.
  const std::string tmp = path + ".tmp." + std::to_string(static_cast<long>(getpid()));
  const int fd = open(tmp.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
  if (fd < 0) {
    *error = Why("cannot create", tmp);
    return false;
  }
  // On the disk before it takes the old file's place.
  const bool written = WriteAll(fd, bytes.data(), bytes.size()) && fsync(fd) == 0;
  const int writeErrno = errno;
  const bool closed = close(fd) == 0;
  if (!written || !closed) {
    if (!written) errno = writeErrno;
    *error = Why("cannot write", tmp);
    unlink(tmp.c_str());
    return false;
  }
  if (rename(tmp.c_str(), path.c_str()) != 0) {
    *error = Why("cannot replace", path);
    unlink(tmp.c_str());
    return false;
  }
  return true;
}

bool MakeDirectories(const std::string& path, std::string* error) {
  for (size_t i = 1; i <= path.size(); ++i) {
    if (i < path.size() && path[i] != '/') continue;
    const std::string part = path.substr(0, i);
    if (mkdir(part.c_str(), 0755) != 0 && errno != EEXIST) {
      *error = Why("cannot create the folder", part);
      return false;
    }
  }
  struct stat st {};
  if (stat(path.c_str(), &st) != 0 || !S_ISDIR(st.st_mode)) {
    *error = path + " is not a folder";
    return false;
  }
  return true;
}

}  // namespace selvarin
