#include "tools/render/output_file.h"

#include <errno.h>
#include <fcntl.h>
#include <stdlib.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <cstring>
#include <vector>

namespace selvarin {

PathKind KindOfPath(const std::string& path) {
  struct stat st {};
  if (stat(path.c_str(), &st) != 0) return PathKind::kMissing;
  if (S_ISREG(st.st_mode)) return PathKind::kRegular;
  if (S_ISDIR(st.st_mode)) return PathKind::kDirectory;
  return PathKind::kOther;
}

int CreateUniqueFile(const std::string& dir, const std::string& stem, std::string* path, std::string* reason) {
  std::string name = dir + "/" + stem + "XXXXXX";
  std::vector<char> buf(name.begin(), name.end());
  buf.push_back('\0');
  const int fd = mkstemp(buf.data());  // O_CREAT | O_EXCL with a fresh name
  if (fd < 0) {
    *reason = std::strerror(errno);
    return -1;
  }
  // mkstemp creates the file for its owner only; the finished file gets the
  // permissions any new file of this user gets.
  const mode_t mask = umask(0);
  umask(mask);
  fchmod(fd, 0666 & ~mask);
  *path = buf.data();
  return fd;
}

int OpenExistingForWriting(const std::string& path, std::string* reason) {
  const int fd = open(path.c_str(), O_WRONLY);
  if (fd < 0) *reason = std::strerror(errno);
  return fd;
}

int StandardOutputDescriptor() { return STDOUT_FILENO; }

bool IsSeekable(int fd) { return lseek(fd, 0, SEEK_CUR) >= 0; }

bool IsTerminal(int fd) { return isatty(fd) == 1; }

bool WriteAll(int fd, const void* data, size_t size) {
  const char* p = static_cast<const char*>(data);
  while (size > 0) {
    const ssize_t n = write(fd, p, size);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return false;
    p += n;
    size -= static_cast<size_t>(n);
  }
  return true;
}

bool CloseDescriptor(int fd) { return close(fd) == 0 || errno == EINTR; }

bool ReplaceFile(const std::string& from, const std::string& to, std::string* reason) {
  if (std::rename(from.c_str(), to.c_str()) == 0) return true;
  *reason = std::strerror(errno);
  return false;
}

void RemoveFile(const std::string& path) { unlink(path.c_str()); }

}  // namespace selvarin
