#include "tools/render/output_file.h"

#include <errno.h>
#include <fcntl.h>
#include <limits.h>
#include <poll.h>
#include <stdlib.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <cstring>
#include <vector>

#include "tools/render/interruption.h"

namespace selvarin {

namespace {

// How long one wait for the output lasts before it looks for a stop
// request again.
constexpr int kWaitMs = 100;

std::string Reason() { return std::strerror(errno); }

std::string FolderOf(const std::string& path) {
  const size_t slash = path.rfind('/');
  if (slash == std::string::npos) return ".";
  return slash == 0 ? "/" : path.substr(0, slash);
}

// A pipe, FIFO or socket: a write can wait for a reader indefinitely.
bool WaitsForReader(int fd) {
  struct stat st {};
  return fstat(fd, &st) == 0 && (S_ISFIFO(st.st_mode) || S_ISSOCK(st.st_mode));
}

// Waits until fd takes at least PIPE_BUF bytes without blocking; false when
// a stop request arrives first.
bool WaitUntilWritable(int fd) {
  while (!Interrupted()) {
    pollfd p{fd, POLLOUT, 0};
    const int r = poll(&p, 1, kWaitMs);
    if (r > 0) return true;  // writable, or an error that the write reports
    if (r < 0 && errno != EINTR) return true;
  }
  return false;
}

IoStatus WriteFailure(std::string* reason) {
  if (errno == EPIPE) return IoStatus::kReaderGone;
  *reason = Reason();
  return IoStatus::kFailed;
}

}  // namespace

PathKind KindOfPath(const std::string& path) {
  struct stat st {};
  if (stat(path.c_str(), &st) != 0) return PathKind::kMissing;
  if (S_ISREG(st.st_mode)) return PathKind::kRegular;
  if (S_ISDIR(st.st_mode)) return PathKind::kDirectory;
  return PathKind::kOther;
}

std::string FollowLinks(const std::string& path) {
  std::string at = path;
  // As many links as the system itself follows in one path.
  for (int hops = 0; hops < 40; ++hops) {
    struct stat st {};
    if (lstat(at.c_str(), &st) != 0 || !S_ISLNK(st.st_mode)) return at;
    std::vector<char> target(static_cast<size_t>(st.st_size > 0 ? st.st_size : PATH_MAX) + 1);
    const ssize_t n = readlink(at.c_str(), target.data(), target.size());
    if (n < 0 || static_cast<size_t>(n) >= target.size()) return at;
    const std::string next(target.data(), static_cast<size_t>(n));
    at = next[0] == '/' ? next : FolderOf(at) + "/" + next;
  }
  return at;
}

bool MayWriteFile(const std::string& path, std::string* reason) {
  if (faccessat(AT_FDCWD, path.c_str(), W_OK, AT_EACCESS) == 0) return true;
  *reason = Reason();
  return false;
}

int CreateUniqueFile(const std::string& dir, const std::string& stem, const std::string& model, std::string* path,
                     std::string* reason) {
  std::string name = dir + "/" + stem + "XXXXXX";
  std::vector<char> buf(name.begin(), name.end());
  buf.push_back('\0');
  const int fd = mkstemp(buf.data());  // O_CREAT | O_EXCL with a fresh name
  if (fd < 0) {
    *reason = Reason();
    return -1;
  }
  // mkstemp creates the file for its owner only. A file that replaces
  // another keeps that one's owner (where allowed) and mode; a new one
  // gets the permissions any new file of this user gets.
  struct stat st {};
  if (!model.empty() && stat(model.c_str(), &st) == 0 && S_ISREG(st.st_mode)) {
    if (fchown(fd, st.st_uid, st.st_gid) != 0 && fchown(fd, static_cast<uid_t>(-1), st.st_gid) != 0) {
      // Not this user's to give away: the new file stays this user's.
    }
    fchmod(fd, st.st_mode & 07777);
  } else {
    const mode_t mask = umask(0);
    umask(mask);
    fchmod(fd, 0666 & ~mask);
  }
  *path = buf.data();
  return fd;
}

IoStatus OpenExistingForWriting(const std::string& path, int* fd, std::string* reason) {
  // A FIFO without a reader would block the open; opened without waiting
  // it fails with ENXIO instead, and is tried again until a reader comes.
  while (true) {
    if (Interrupted()) return IoStatus::kStopped;
    *fd = open(path.c_str(), O_WRONLY | O_NONBLOCK | O_CLOEXEC);
    if (*fd >= 0) break;
    if (errno == ENXIO) {
      poll(nullptr, 0, kWaitMs);
      continue;
    }
    if (errno == EINTR) continue;
    *reason = Reason();
    return IoStatus::kFailed;
  }
  // The descriptor is this process's own: writes block again, and waits
  // for a slow reader go through WriteAll's poll.
  const int flags = fcntl(*fd, F_GETFL);
  if (flags >= 0) fcntl(*fd, F_SETFL, flags & ~O_NONBLOCK);
  return IoStatus::kDone;
}

int StandardOutputDescriptor() { return STDOUT_FILENO; }

bool IsSeekable(int fd) { return lseek(fd, 0, SEEK_CUR) >= 0; }

bool IsTerminal(int fd) { return isatty(fd) == 1; }

IoStatus WriteAll(int fd, const void* data, size_t size, std::string* reason) {
  const char* p = static_cast<const char*>(data);
  // Into a pipe, pieces of PIPE_BUF bytes after a poll never block: the
  // thread keeps looking at the stop flag while nobody reads.
  const bool pipe = WaitsForReader(fd);
  while (size > 0) {
    if (Interrupted()) return IoStatus::kStopped;
    if (pipe && !WaitUntilWritable(fd)) return IoStatus::kStopped;
    const size_t piece = pipe && size > PIPE_BUF ? PIPE_BUF : size;
    const ssize_t n = write(fd, p, piece);
    if (n < 0 && (errno == EINTR || errno == EAGAIN)) continue;
    if (n < 0) return WriteFailure(reason);
    if (n == 0) {
      *reason = "nothing could be written";
      return IoStatus::kFailed;
    }
    p += n;
    size -= static_cast<size_t>(n);
  }
  return IoStatus::kDone;
}

bool SeekDescriptor(int fd, int64_t offset) { return lseek(fd, static_cast<off_t>(offset), SEEK_SET) == offset; }

bool CloseDescriptor(int fd, std::string* reason) {
  // After EINTR the descriptor is closed all the same (Linux).
  if (close(fd) == 0 || errno == EINTR) return true;
  *reason = Reason();
  return false;
}

bool ReplaceFile(const std::string& from, const std::string& to, std::string* reason) {
  if (std::rename(from.c_str(), to.c_str()) == 0) return true;
  *reason = Reason();
  return false;
}

void RemoveFile(const std::string& path) { unlink(path.c_str()); }

}  // namespace selvarin
