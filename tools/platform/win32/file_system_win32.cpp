#include <io.h>
#include <windows.h>

#include <cstdio>

#include "tools/platform/file_system.h"
#include "tools/platform/win32/wide_path.h"

namespace selvarin {

namespace {
DWORD Attributes(const std::string& path) { return GetFileAttributesW(WidePath(path).c_str()); }
}  // namespace

bool PathExists(const std::string& path) { return Attributes(path) != INVALID_FILE_ATTRIBUTES; }

bool PathIsDirectory(const std::string& path) {
  const DWORD a = Attributes(path);
  return a != INVALID_FILE_ATTRIBUTES && (a & FILE_ATTRIBUTE_DIRECTORY);
}

bool PathIsFile(const std::string& path) {
  const DWORD a = Attributes(path);
  return a != INVALID_FILE_ATTRIBUTES && !(a & FILE_ATTRIBUTE_DIRECTORY);
}

namespace {
// Where the name starts: after the last separator, or after "C:".
size_t NameStart(const std::string& path) {
  const size_t slash = path.find_last_of("/\\");
  if (slash != std::string::npos) return slash + 1;
  return path.size() >= 2 && path[1] == ':' ? 2 : 0;
}
}  // namespace

std::string PathFolder(const std::string& path) {
  const size_t start = NameStart(path);
  if (start == 0) return ".";
  if (start == 2 && path[1] == ':') return path.substr(0, 2) + ".";  // "C:x"
  // Keep the separator of a root ("\\", "C:\\"): without it the folder
  // would be the drive's current folder.
  const size_t end = start - 1;
  const bool root = end == 0 || (end == 2 && path[1] == ':');
  return path.substr(0, root ? start : end);
}

std::string PathName(const std::string& path) { return path.substr(NameStart(path)); }

std::string ExecutableDirectory(const char* argv0) {
  wchar_t buf[32768];
  const DWORD n = GetModuleFileNameW(nullptr, buf, sizeof buf / sizeof buf[0]);
  std::string exe = n > 0 && n < sizeof buf / sizeof buf[0] ? Utf8Path(std::wstring(buf, n))
                                                              : std::string(argv0 ? argv0 : "");
  const size_t slash = exe.find_last_of("/\\");
  return slash == std::string::npos ? "." : exe.substr(0, slash);
}

std::string MakeTempDirectory(const std::string& prefix) {
  wchar_t base[MAX_PATH + 1];
  const DWORD n = GetTempPathW(MAX_PATH + 1, base);
  if (n == 0 || n > MAX_PATH) return std::string();
  const std::string folder = Utf8Path(base);
  // A name nobody else holds: CreateDirectory fails on an existing one.
  for (unsigned attempt = 0; attempt < 1000; ++attempt) {
    char unique[32];
    std::snprintf(unique, sizeof unique, "%08lx%04lx", static_cast<unsigned long>(GetCurrentProcessId()),
                  static_cast<unsigned long>((GetTickCount() + attempt) & 0xFFFF));
    const std::string path = folder + prefix + unique;
    if (CreateDirectoryW(WidePath(path).c_str(), nullptr)) return path;
    if (GetLastError() != ERROR_ALREADY_EXISTS) break;
  }
  return std::string();
}

std::vector<std::string> ListDirectory(const std::string& path) {
  std::vector<std::string> names;
  WIN32_FIND_DATAW found;
  HANDLE find = FindFirstFileW(WidePath(path + "\\*").c_str(), &found);
  if (find == INVALID_HANDLE_VALUE) return names;
  do {
    const std::wstring name = found.cFileName;
    if (name != L"." && name != L"..") names.push_back(Utf8Path(name));
  } while (FindNextFileW(find, &found));
  FindClose(find);
  return names;
}

bool RemoveDirectoryTree(const std::string& path) {
  WIN32_FIND_DATAW found;
  HANDLE find = FindFirstFileW(WidePath(path + "\\*").c_str(), &found);
  if (find != INVALID_HANDLE_VALUE) {
    do {
      const std::wstring name = found.cFileName;
      if (name == L"." || name == L"..") continue;
      const std::string child = path + "\\" + Utf8Path(name);
      if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
        RemoveDirectoryTree(child);
      } else {
        DeleteFileW(WidePath(child).c_str());
      }
    } while (FindNextFileW(find, &found));
    FindClose(find);
  }
  return RemoveDirectoryW(WidePath(path).c_str()) || !PathExists(path);
}

bool StderrIsTerminal() { return _isatty(_fileno(stderr)) != 0; }

}  // namespace selvarin
