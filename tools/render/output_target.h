#pragma once
// Where the bytes of a render go. A file is written under a fresh unique
// name next to the named one and moved into place only when everything
// was written and closed, so that a failed or interrupted render leaves no
// partial file and never touches another one. Devices, FIFOs and standard
// output ("-") are written in place and never replaced. A symbolic link is
// followed: the file it points to is replaced, the link stays.
//
// Every byte passes through Write, which remembers the first failure; once
// failed, nothing more is written, so that no encoder can overlook an
// error: a writer checks Status() after its encoder has written or closed.
#include <cstddef>
#include <cstdint>
#include <string>

#include "tools/render/output_file.h"

namespace selvarin {

class OutputTarget {
 public:
  OutputTarget() = default;
  ~OutputTarget() { Abort(); }
  OutputTarget(const OutputTarget&) = delete;
  OutputTarget& operator=(const OutputTarget&) = delete;

  // Checks the output and opens what is to be written; false with the
  // reason (Status() says kStopped for a stop request while waiting for a
  // FIFO's reader).
  bool Open(const std::string& path, std::string* error);

  // Writes all of data at the current position; false once anything has
  // failed (then Status() and Error() say why).
  bool Write(const void* data, size_t size);
  // Moves the position (SEEK_SET, SEEK_CUR or SEEK_END semantics: whence
  // 0, 1 or 2); an output that cannot seek accepts only its own position.
  // Returns the new position, or -1.
  int64_t Seek(int64_t offset, int whence);
  int64_t Position() const { return position_; }
  int64_t Length() const { return length_; }

  // Closes the output and moves the file to its final name.
  bool Commit(std::string* error);
  // Stops writing: later writes are dropped. Closes and deletes a file
  // being written (an in-place output stays as far as it got).
  void Abort();

  IoStatus Status() const { return status_; }
  // "cannot write PATH: reason; ..." once Status() is kFailed.
  const std::string& Error() const { return error_; }

  const std::string& Path() const { return path_; }
  bool ToStandardOutput() const { return path_ == "-"; }
  // Written straight into a device, FIFO or standard output.
  bool InPlace() const { return inPlace_; }
  bool Seekable() const { return seekable_; }

 private:
  bool OpenInPlace(const std::string& path, std::string* error);
  void Fail(IoStatus status, const std::string& reason);

  std::string path_;
  std::string finalPath_;  // the file replaced at the end (a link's target)
  std::string tempPath_;
  int fd_ = -1;
  bool closeFd_ = false;
  bool inPlace_ = false;
  bool seekable_ = false;
  bool abandoned_ = false;
  bool replacing_ = false;  // a file already exists under the final name
  int64_t position_ = 0;
  int64_t length_ = 0;
  IoStatus status_ = IoStatus::kDone;
  std::string error_;
};

}  // namespace selvarin
