// The renderer's output on Windows: UTF-8 paths through the wide calls,
// descriptors over handles in binary mode, a finished file moved over the
// target with MoveFileExW, and writes into a pipe that a stop request can
// cancel.
#include <aclapi.h>
#include <fcntl.h>
#include <io.h>
#include <windows.h>
#include <winioctl.h>

#include <cstdio>
#include <vector>

#include "tools/platform/file_system.h"
#include "tools/platform/win32/wide_path.h"
#include "tools/render/interruption.h"
#include "tools/render/output_file.h"
#include "tools/render/win32/cancellable_write_win32.h"

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

// A C runtime descriptor owning the handle, in binary mode.
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

// The reparse data of a symbolic link (the layout ntifs.h gives it).
struct SymlinkReparseData {
  ULONG tag;
  USHORT dataLength;
  USHORT reserved;
  USHORT substituteOffset;
  USHORT substituteLength;
  USHORT printOffset;
  USHORT printLength;
  ULONG flags;
  WCHAR names[1];
};
constexpr ULONG kSymlinkRelative = 1;

// The path a symbolic link at path names (joined to the link's folder when
// relative), or "" when path is no symbolic link.
std::string LinkTarget(const std::string& path) {
  const std::wstring wide = WidePath(path);
  const DWORD attributes = GetFileAttributesW(wide.c_str());
  if (attributes == INVALID_FILE_ATTRIBUTES || !(attributes & FILE_ATTRIBUTE_REPARSE_POINT)) return std::string();
  HANDLE h = CreateFileW(wide.c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                         OPEN_EXISTING, FILE_FLAG_OPEN_REPARSE_POINT | FILE_FLAG_BACKUP_SEMANTICS, nullptr);
  if (h == INVALID_HANDLE_VALUE) return std::string();
  std::vector<char> buf(MAXIMUM_REPARSE_DATA_BUFFER_SIZE);
  DWORD got = 0;
  const BOOL read = DeviceIoControl(h, FSCTL_GET_REPARSE_POINT, nullptr, 0, buf.data(), static_cast<DWORD>(buf.size()),
                                    &got, nullptr);
  CloseHandle(h);
  const auto* data = reinterpret_cast<const SymlinkReparseData*>(buf.data());
  if (!read || got < sizeof(SymlinkReparseData) || data->tag != IO_REPARSE_TAG_SYMLINK) return std::string();
  // The name as the user gave it, else the system's ("\??\C:\...").
  const bool print = data->printLength > 0;
  std::wstring target(data->names + (print ? data->printOffset : data->substituteOffset) / sizeof(WCHAR),
                      (print ? data->printLength : data->substituteLength) / sizeof(WCHAR));
  if (target.compare(0, 4, L"\\??\\") == 0) target.erase(0, 4);
  if (target.empty()) return std::string();
  const std::string utf8 = Utf8Path(target);
  if (!(data->flags & kSymlinkRelative)) return utf8;
  const std::string folder = PathFolder(path);
  const char last = folder.back();
  return folder + (last == '\\' || last == '/' ? "" : "\\") + utf8;
}

// A replacing file takes the replaced one's attributes (hidden, not
// indexed...) and access rules, as a replaced POSIX file keeps its mode.
void TakeOverProtection(HANDLE file, const std::wstring& name, const std::wstring& model) {
  const DWORD attributes = GetFileAttributesW(model.c_str());
  if (attributes != INVALID_FILE_ATTRIBUTES) {
    FILE_BASIC_INFO info{};
    info.FileAttributes = attributes & (FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM | FILE_ATTRIBUTE_ARCHIVE |
                                        FILE_ATTRIBUTE_NOT_CONTENT_INDEXED);
    if (info.FileAttributes == 0) info.FileAttributes = FILE_ATTRIBUTE_NORMAL;
    SetFileInformationByHandle(file, FileBasicInfo, &info, sizeof info);
  }
  PACL dacl = nullptr;
  PSECURITY_DESCRIPTOR sd = nullptr;
  if (GetNamedSecurityInfoW(model.c_str(), SE_FILE_OBJECT, DACL_SECURITY_INFORMATION, nullptr, nullptr, &dacl,
                            nullptr, &sd) != ERROR_SUCCESS)
    return;
  SECURITY_DESCRIPTOR_CONTROL control = 0;
  DWORD revision = 0;
  GetSecurityDescriptorControl(sd, &control, &revision);
  // Rules inherited from the folder are inherited anew (it is the same
  // folder); the file's own rules, or a protected list, are copied.
  const SECURITY_INFORMATION what =
      DACL_SECURITY_INFORMATION |
      (control & SE_DACL_PROTECTED ? PROTECTED_DACL_SECURITY_INFORMATION : UNPROTECTED_DACL_SECURITY_INFORMATION);
  if (dacl) SetNamedSecurityInfoW(const_cast<LPWSTR>(name.c_str()), SE_FILE_OBJECT, what, nullptr, nullptr, dacl, nullptr);
  LocalFree(sd);
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
    if (attributes == INVALID_FILE_ATTRIBUTES || (attributes & FILE_ATTRIBUTE_REPARSE_POINT))
      return PathKind::kMissing;  // nothing there, or a link to nothing
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

std::string FollowLinks(const std::string& path) {
  std::string at = path;
  // As many links as the system itself follows in one path.
  for (int hops = 0; hops < 63; ++hops) {
    const std::string next = LinkTarget(at);
    if (next.empty()) return at;
    at = next;
  }
  return at;
}

bool MayWriteFile(const std::string& path, std::string* reason) {
  const std::wstring wide = WidePath(path);
  // Windows lets nobody write a read-only file, nor move another over it.
  const DWORD attributes = GetFileAttributesW(wide.c_str());
  if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_READONLY)) {
    *reason = "the file is read-only";
    return false;
  }
  HANDLE h = CreateFileW(wide.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                         nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (h != INVALID_HANDLE_VALUE) {
    CloseHandle(h);
    return true;
  }
  *reason = SystemMessage(GetLastError());
  return false;
}

int CreateUniqueFile(const std::string& dir, const std::string& stem, const std::string& model, std::string* path,
                     std::string* reason) {
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
    const std::wstring wide = WidePath(name);
    // CREATE_NEW fails on an existing name: the file is ours alone.
    HANDLE h = CreateFileW(wide.c_str(), GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ, nullptr, CREATE_NEW,
                           FILE_ATTRIBUTE_NORMAL, nullptr);
    if (h != INVALID_HANDLE_VALUE) {
      if (!model.empty()) TakeOverProtection(h, wide, WidePath(model));
      const int fd = DescriptorFor(h, reason);
      if (fd < 0) DeleteFileW(wide.c_str());
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

IoStatus OpenExistingForWriting(const std::string& path, int* fd, std::string* reason) {
  const std::wstring wide = WidePath(path);
  while (true) {
    if (Interrupted()) return IoStatus::kStopped;
    HANDLE h = CreateFileW(wide.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                           FILE_ATTRIBUTE_NORMAL, nullptr);
    if (h != INVALID_HANDLE_VALUE) {
      *fd = DescriptorFor(h, reason);
      return *fd >= 0 ? IoStatus::kDone : IoStatus::kFailed;
    }
    const DWORD error = GetLastError();
    // A named pipe whose every instance is taken: wait for one, a little
    // at a time, looking for a stop request in between.
    if (error == ERROR_PIPE_BUSY) {
      WaitNamedPipeW(wide.c_str(), 100);
      continue;
    }
    *reason = SystemMessage(error);
    return IoStatus::kFailed;
  }
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

IoStatus WriteAll(int fd, const void* data, size_t size, std::string* reason) {
  HANDLE h = HandleOf(fd);
  // A write into a pipe waits for its reader as long as it must; a stop
  // request cancels it.
  const bool pipe = GetFileType(h) == FILE_TYPE_PIPE;
  const char* p = static_cast<const char*>(data);
  while (size > 0) {
    if (Interrupted()) return IoStatus::kStopped;
    const DWORD piece = size > (1u << 30) ? (1u << 30) : static_cast<DWORD>(size);
    DWORD written = 0;
    BOOL ok;
    if (pipe) {
      CancellableWrite cancellable;
      ok = !Interrupted() && WriteFile(h, p, piece, &written, nullptr);
    } else {
      ok = WriteFile(h, p, piece, &written, nullptr);
    }
    if (!ok) {
      const DWORD error = GetLastError();
      if (Interrupted()) return IoStatus::kStopped;
      if (error == ERROR_BROKEN_PIPE || error == ERROR_NO_DATA) return IoStatus::kReaderGone;
      *reason = SystemMessage(error);
      return IoStatus::kFailed;
    }
    if (written == 0) {
      *reason = "nothing could be written";
      return IoStatus::kFailed;
    }
    p += written;
    size -= written;
  }
  return IoStatus::kDone;
}

bool SeekDescriptor(int fd, int64_t offset) {
  LARGE_INTEGER to{}, at{};
  to.QuadPart = offset;
  return SetFilePointerEx(HandleOf(fd), to, &at, FILE_BEGIN) && at.QuadPart == offset;
}

bool CloseDescriptor(int fd, std::string* reason) {
  if (_close(fd) == 0) return true;
  *reason = SystemMessage(GetLastError());
  return false;
}

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
