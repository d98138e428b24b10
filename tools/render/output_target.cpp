#include "tools/render/output_target.h"

#include "tools/platform/file_system.h"

namespace selvarin {

// The device, FIFO or standard output itself.
bool OutputTarget::OpenInPlace(const std::string& path, std::string* error) {
  inPlace_ = true;
  if (path == "-") {
    fd_ = StandardOutputDescriptor();
    if (IsTerminal(fd_)) {
      *error = "standard output is a terminal (pipe it into a player, or give a file name)";
      fd_ = -1;
      return false;
    }
    closeFd_ = false;
  } else {
    std::string reason;
    const IoStatus opened = OpenExistingForWriting(path, &fd_, &reason);
    if (opened != IoStatus::kDone) {
      status_ = opened;
      *error = opened == IoStatus::kStopped ? "interrupted" : "cannot open " + path + ": " + reason;
      fd_ = -1;
      return false;
    }
    closeFd_ = true;
  }
  seekable_ = IsSeekable(fd_);
  return true;
}

bool OutputTarget::Open(const std::string& path, std::string* error) {
  Abort();
  path_ = path;
  finalPath_.clear();
  closeFd_ = inPlace_ = seekable_ = abandoned_ = replacing_ = false;
  position_ = length_ = 0;
  status_ = IoStatus::kDone;
  error_.clear();
  if (path == "-") return OpenInPlace(path, error);
  finalPath_ = FollowLinks(path);
  switch (KindOfPath(finalPath_)) {
    case PathKind::kDirectory:
      *error = "cannot write to " + path + ": it is a folder";
      return false;
    case PathKind::kOther:
      return OpenInPlace(finalPath_, error);
    case PathKind::kRegular: {
      // As cp would: a file this user may not write is not replaced either.
      std::string reason;
      if (!MayWriteFile(finalPath_, &reason)) {
        *error = "cannot write " + path + ": " + reason;
        return false;
      }
      replacing_ = true;
      break;
    }
    case PathKind::kMissing:
      break;
  }
  const std::string dir = PathFolder(finalPath_);
  if (KindOfPath(dir) != PathKind::kDirectory) {
    *error = "cannot create " + path + ": the folder " + dir + " does not exist";
    return false;
  }
  std::string reason;
  fd_ = CreateUniqueFile(dir, PathName(finalPath_) + ".part-", replacing_ ? finalPath_ : std::string(), &tempPath_,
                         &reason);
  if (fd_ < 0) {
    *error = "cannot create " + path + ": cannot write in " + dir + " (" + reason + ")";
    return false;
  }
  closeFd_ = true;
  seekable_ = true;
  return true;
}

void OutputTarget::Fail(IoStatus status, const std::string& reason) {
  if (status_ != IoStatus::kDone) return;  // the first failure is the one to tell
  status_ = status;
  if (status == IoStatus::kStopped) {
    error_ = inPlace_ ? "interrupted" : "interrupted; no file written";
  } else if (status == IoStatus::kReaderGone) {
    error_ = "the reader of " + (ToStandardOutput() ? std::string("standard output") : path_) + " has gone away";
  } else {
    error_ = "cannot write " + (ToStandardOutput() ? std::string("standard output") : path_) + ": " + reason;
    if (!inPlace_) error_ += replacing_ ? "; " + path_ + " is left as it was" : "; no file written";
  }
}

bool OutputTarget::Write(const void* data, size_t size) {
  if (status_ != IoStatus::kDone || abandoned_ || fd_ < 0) return false;
  std::string reason;
  const IoStatus written = WriteAll(fd_, data, size, &reason);
  if (written != IoStatus::kDone) {
    Fail(written, reason);
    return false;
  }
  position_ += static_cast<int64_t>(size);
  if (position_ > length_) length_ = position_;
  return true;
}

int64_t OutputTarget::Seek(int64_t offset, int whence) {
  const int64_t base = whence == 1 ? position_ : whence == 2 ? length_ : 0;
  const int64_t to = base + offset;
  if (to == position_) return position_;
  if (!seekable_ || to < 0 || status_ != IoStatus::kDone || abandoned_ || fd_ < 0) return -1;
  if (!SeekDescriptor(fd_, to)) return -1;
  position_ = to;
  return position_;
}

bool OutputTarget::Commit(std::string* error) {
  if (status_ != IoStatus::kDone || abandoned_ || fd_ < 0) {
    *error = status_ != IoStatus::kDone ? error_ : "the output is closed";
    Abort();
    return false;
  }
  std::string reason;
  const bool closed = !closeFd_ || CloseDescriptor(fd_, &reason);
  fd_ = -1;
  if (!closed) {
    Fail(IoStatus::kFailed, reason);
    *error = error_;
    Abort();
    return false;
  }
  if (!tempPath_.empty()) {
    if (!ReplaceFile(tempPath_, finalPath_, &reason)) {
      *error = "cannot rename " + tempPath_ + " to " + finalPath_ + ": " + reason;
      Abort();
      return false;
    }
    tempPath_.clear();
  }
  abandoned_ = true;  // done: nothing more goes out
  return true;
}

void OutputTarget::Abort() {
  abandoned_ = true;
  if (fd_ >= 0 && closeFd_) {
    std::string ignored;
    CloseDescriptor(fd_, &ignored);
  }
  fd_ = -1;
  if (!tempPath_.empty()) {
    RemoveFile(tempPath_);
    tempPath_.clear();
  }
}

}  // namespace selvarin
