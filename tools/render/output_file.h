#pragma once
// The few file-system calls the renderer's output needs, one function per
// call, so that each platform supplies its own file (posix/, win32/). Paths
// are 8-bit (UTF-8 on Windows). Nothing here writes to the console.
#include <cstddef>
#include <cstdint>
#include <string>

namespace selvarin {

enum class PathKind { kMissing, kRegular, kDirectory, kOther };

// How an operation on the output ended.
enum class IoStatus {
  kDone,
  kFailed,      // the system refused: full disk, file too large, I/O error...
  kReaderGone,  // a pipe or FIFO whose reader has gone away
  kStopped,     // a stop request arrived (Interrupted() in interruption.h)
};

// What is at path, following symbolic links: nothing, a regular file, a
// folder, or something else (a device, a FIFO, a socket). kMissing also
// when it cannot be examined.
PathKind KindOfPath(const std::string& path);

// The path that writing to path reaches: a symbolic link (or a chain of
// them) is followed to the path it names, which need not exist yet; any
// other path is returned as it is. Writing the output there replaces the
// file a link points to and leaves the link itself alone.
std::string FollowLinks(const std::string& path);

// Whether this user may write the existing file at path, judged as the
// system judges an open for writing (an administrator may write a
// read-only file, as cp does); false with the system's reason
// ("Permission denied").
bool MayWriteFile(const std::string& path, std::string* reason);

// Creates a new file in folder dir with a name starting with stem that no
// other file has, opened for writing only by this call. The file gets the
// permissions of the file at model when there is one (the file it is to
// replace), else those any new file of this user gets. Returns the file
// descriptor (and its path), or -1 with the system's reason.
int CreateUniqueFile(const std::string& dir, const std::string& stem, const std::string& model, std::string* path,
                     std::string* reason);

// Opens an existing file, device or FIFO for writing without truncating or
// replacing it. A FIFO that nobody reads yet is waited for until a reader
// opens it or a stop request arrives (kStopped, noticed within about a
// second). On kDone *fd holds the descriptor, which writes blocking.
IoStatus OpenExistingForWriting(const std::string& path, int* fd, std::string* reason);

// The descriptor of standard output, ready for binary writes.
int StandardOutputDescriptor();

// Whether writes to fd can seek back (a regular file or a device such as
// /dev/null can; a pipe, FIFO or terminal cannot).
bool IsSeekable(int fd);

bool IsTerminal(int fd);

// Writes all of data to fd. Returns kDone, or how it failed, with the
// system's reason for kFailed. A write that cannot go on because nobody
// reads the pipe, FIFO or socket waits, but a stop request ends the wait
// within about a second (kStopped); a reader that has gone away gives
// kReaderGone (never a signal that ends the process). A full disk or an
// exceeded file-size limit gives kFailed (never a signal either).
IoStatus WriteAll(int fd, const void* data, size_t size, std::string* reason);

// Moves the write position of a seekable fd to offset bytes from the start.
bool SeekDescriptor(int fd, int64_t offset);

// Closes fd; false with the system's reason when the close reports that
// written data could not be stored.
bool CloseDescriptor(int fd, std::string* reason);

// Moves from onto to, replacing a regular file there.
bool ReplaceFile(const std::string& from, const std::string& to, std::string* reason);

void RemoveFile(const std::string& path);

}  // namespace selvarin
