#pragma once
// The few file-system calls the renderer's output needs, one function per
// call, so that each platform supplies its own file (posix/ here).
#include <string>

namespace selvarin {

enum class PathKind { kMissing, kRegular, kDirectory, kOther };

// What is at path: nothing, a regular file, a folder, or something else
// (a device, a FIFO, a socket). kMissing also when it cannot be examined.
PathKind KindOfPath(const std::string& path);

// Creates a new file in folder dir with a name starting with stem that no
// other file has, opened for writing only by this call. Returns the file
// descriptor (and its path), or -1 with the system's reason.
int CreateUniqueFile(const std::string& dir, const std::string& stem, std::string* path, std::string* reason);

// Opens an existing file, device or FIFO for writing without truncating or
// replacing it; -1 with the reason on failure.
int OpenExistingForWriting(const std::string& path, std::string* reason);

// The descriptor of standard output.
int StandardOutputDescriptor();

// Whether writes to fd can seek back (a regular file or a device such as
// /dev/null can; a pipe, FIFO or terminal cannot).
bool IsSeekable(int fd);

bool IsTerminal(int fd);

// Writes all of data to fd; false on an error.
bool WriteAll(int fd, const void* data, size_t size);

// Closes fd; false when the system reports that written data was lost.
bool CloseDescriptor(int fd);

// Moves from onto to, replacing a regular file there.
bool ReplaceFile(const std::string& from, const std::string& to, std::string* reason);

void RemoveFile(const std::string& path);

}  // namespace selvarin
