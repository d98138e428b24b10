// The renderer's output on Windows: UTF-8 paths through the wide calls,
// descriptors over handles in binary mode, and a finished file moved over
// the target with MoveFileExW.
#include <fcntl.h>
#include <io.h>
#include <windows.h>

#include <cstdio>

#include "tools/platform/win32/wide_path.h"
#include "tools/render/output_file.h"

// windows.h names its own ReplaceFile call so.
#undef ReplaceFile

namespace selvarin {

namespace {

std::string SystemMessage(DWORD code) {
  wchar_t* text = nullptr;
  const DWORD n = FormatMessageW(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM |
                                     FORMAT_MESSAGE_IGNORE_INSERTS,
                                 nullptr, code, 0, reinterpret_cast<wchar_t*>(&text), 0, nullptr);
  std::wstring message = n > 0 && text ? std::wstring(text, n) : std::wstring();
  LocalFree(text);
  // One line, without the closing full stop, as the C library words it.
  while (!message.empty() && (message.back() == L'\r' || message.back() == L'\n' || message.back() == L' ' ||
                              message.back() == L'.'))
    message.pop_back();
  if (!message.empty()) return Utf8Path(message);
  char number[32];
  std::snprintf(number, sizeof number, "error %lu", static_cast<unsigned long>(code));
  return number;
}

// A C runtime descriptor owning the handle, in binary mode: libsndfile
// writes through the handle, the header of a stream goes through here.
int DescriptorFor(HANDLE handle, std::string* reason) {
  const int fd = _open_osfhandle(reinterpret_cast<intptr_t>(handle), _O_BINARY);
  if (fd < 0) {
    *reason = "no free file descriptor";
    CloseHandle(handle);
  }
  return fd;
}

HANDLE HandleOf(int fd) { return reinterpret_cast<HANDLE>(_get_osfhandle(fd)); }

// "\\.\pipe\x" and the like name devices; opening a pipe only to look at it
// would take one of its server's connections.
bool InDeviceNamespace(const std::string& path) {
  return path.size() > 4 && (path[0] == '\\' || path[0] == '/') && (path[1] == '\\' || path[1] == '/') &&
         path[2] == '.' && (path[3] == '\\' || path[3] == '/');
}

}  // namespace

PathKind KindOfPath(const std::string& path) {
  if (InDeviceNamespace(path)) return PathKind::kOther;
  const std::wstring wide = WidePath(path);
  // Opened without access rights: enough to tell a disk file from a device
  // such as NUL or CON, whose names exist in every folder.
  HANDLE h = CreateFileW(wide.c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                         OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
  if (h == INVALID_HANDLE_VALUE) {
    const DWORD attributes = GetFileAttributesW(wide.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES) return PathKind::kMissing;
    return attributes & FILE_ATTRIBUTE_DIRECTORY ? PathKind::kDirectory : PathKind::kRegular;
  }
  PathKind kind = PathKind::kOther;
  if (GetFileType(h) == FILE_TYPE_DISK) {
    BY_HANDLE_FILE_INFORMATION info{};
    kind = GetFileInformationByHandle(h, &info) && (info.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
               ? PathKind::kDirectory
               : PathKind::kRegular;
  }
  CloseHandle(h);
  return kind;
}

int CreateUniqueFile(const std::string& dir, const std::string& stem, std::string* path, std::string* reason) {
  const char last = dir.empty() ? '\\' : dir.back();
  const std::string prefix = dir + (last == '\\' || last == '/' || last == ':' ? "" : "\\") + stem;
  LARGE_INTEGER now{};
  QueryPerformanceCounter(&now);
  unsigned long long seed = static_cast<unsigned long long>(now.QuadPart) * 6364136223846793005ULL ^
                            (static_cast<unsigned long long>(GetCurrentProcessId()) << 32);
  static const char kDigits[] = "0123456789abcdefghijklmnopqrstuvwxyz";
  for (int attempt = 0; attempt < 100; ++attempt) {
    seed = seed * 6364136223846793005ULL + 1442695040888963407ULL;
    std::string name = prefix;
    unsigned long long bits = seed >> 16;
    for (int i = 0; i < 6; ++i, bits /= 36) name += kDigits[bits % 36];
    // CREATE_NEW fails on an existing name: the file is ours alone.
    HANDLE h = CreateFileW(WidePath(name).c_str(), GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ, nullptr,
                           CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (h != INVALID_HANDLE_VALUE) {
      const int fd = DescriptorFor(h, reason);
      if (fd < 0) DeleteFileW(WidePath(name).c_str());
      else *path = name;
      return fd;
    }
    const DWORD error = GetLastError();
    if (error != ERROR_FILE_EXISTS && error != ERROR_ALREADY_EXISTS) {
      *reason = SystemMessage(error);
      return -1;
    }
  }
  *reason = "no free temporary name";
  return -1;
}

int OpenExistingForWriting(const std::string& path, std::string* reason) {
  HANDLE h = CreateFileW(WidePath(path).c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                         OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (h == INVALID_HANDLE_VALUE) {
    *reason = SystemMessage(GetLastError());
    return -1;
  }
  return DescriptorFor(h, reason);
}

int StandardOutputDescriptor() {
  // Samples are bytes: no newline translation on their way out.
  std::fflush(stdout);
  _setmode(_fileno(stdout), _O_BINARY);
  return _fileno(stdout);
}

// Only a disk file seeks back; NUL and pipes get the stream header.
bool IsSeekable(int fd) { return GetFileType(HandleOf(fd)) == FILE_TYPE_DISK; }

// A console, not merely a character device (NUL is one too).
bool IsTerminal(int fd) {
  DWORD mode = 0;
  return GetConsoleMode(HandleOf(fd), &mode) != 0;
}

bool WriteAll(int fd, const void* data, size_t size) {
  HANDLE h = HandleOf(fd);
  const char* p = static_cast<const char*>(data);
  while (size > 0) {
    const DWORD chunk = size > (1u << 30) ? (1u << 30) : static_cast<DWORD>(size);
    DWORD written = 0;
    if (!WriteFile(h, p, chunk, &written, nullptr) || written == 0) return false;
    p += written;
    size -= written;
  }
  return true;
}

bool CloseDescriptor(int fd) { return _close(fd) == 0; }

bool ReplaceFile(const std::string& from, const std::string& to, std::string* reason) {
  const std::wstring source = WidePath(from), target = WidePath(to);
  // A virus scanner or indexer may hold the new file for a moment.
  for (int attempt = 0;; ++attempt) {
    if (MoveFileExW(source.c_str(), target.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) return true;
    const DWORD error = GetLastError();
    if (attempt >= 20 || (error != ERROR_SHARING_VIOLATION && error != ERROR_LOCK_VIOLATION)) {
      *reason = SystemMessage(error);
      return false;
    }
    Sleep(50);
  }
}

void RemoveFile(const std::string& path) { DeleteFileW(WidePath(path).c_str()); }

}  // namespace selvarin
