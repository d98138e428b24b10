#include <windows.h>

#include "tools/platform/small_files.h"
#include "tools/platform/win32/wide_path.h"

namespace selvarin {

namespace {
std::string Why(const std::string& what, const std::string& path) {
  char text[256] = {};
  FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr, GetLastError(), 0, text,
                 sizeof text, nullptr);
  std::string reason = text;
  while (!reason.empty() && (reason.back() == '\n' || reason.back() == '\r' || reason.back() == ' ')) reason.pop_back();
  return what + " " + path + (reason.empty() ? "" : ": " + reason);
}
}  // namespace

bool ReadSmallFile(const std::string& path, std::string* out, std::string* error, size_t maxBytes) {
  out->clear();
  HANDLE file = CreateFileW(WidePath(path).c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_DELETE, nullptr,
                            OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) {
    *error = Why("cannot open", path);
    return false;
  }
  bool ok = true;
  char buf[4096];
  for (;;) {
    DWORD n = 0;
    if (!ReadFile(file, buf, sizeof buf, &n, nullptr)) {
      *error = Why("cannot read", path);
      ok = false;
      break;
    }
    if (n == 0) break;
    if (out->size() + n > maxBytes) {
      *error = path + " is too large";
      ok = false;
      break;
    }
    out->append(buf, n);
  }
  CloseHandle(file);
  return ok;
}

bool WriteFileReplacing(const std::string& path, const std::string& bytes, std::string* error) {
  const std::string tmp = path + ".tmp." + std::to_string(static_cast<unsigned long>(GetCurrentProcessId()));
  const std::wstring wideTmp = WidePath(tmp);
  HANDLE file = CreateFileW(wideTmp.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) {
    *error = Why("cannot create", tmp);
    return false;
  }
  DWORD written = 0;
  const bool ok = WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr) &&
                  written == bytes.size() && FlushFileBuffers(file);
  if (!ok) *error = Why("cannot write", tmp);
  CloseHandle(file);
  if (!ok) {
    DeleteFileW(wideTmp.c_str());
    return false;
  }
  if (!MoveFileExW(wideTmp.c_str(), WidePath(path).c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
    *error = Why("cannot replace", path);
    DeleteFileW(wideTmp.c_str());
    return false;
  }
  return true;
}

bool MakeDirectories(const std::string& path, std::string* error) {
  for (size_t i = 1; i <= path.size(); ++i) {
    if (i < path.size() && path[i] != '/' && path[i] != '\\') continue;
    const std::string part = path.substr(0, i);
    if (part.size() == 2 && part[1] == ':') continue;  // a drive, not a folder to make
    if (!CreateDirectoryW(WidePath(part).c_str(), nullptr) && GetLastError() != ERROR_ALREADY_EXISTS) {
      *error = Why("cannot create the folder", part);
      return false;
    }
  }
  const DWORD a = GetFileAttributesW(WidePath(path).c_str());
  if (a == INVALID_FILE_ATTRIBUTES || !(a & FILE_ATTRIBUTE_DIRECTORY)) {
    *error = path + " is not a folder";
    return false;
  }
  return true;
}

}  // namespace selvarin
