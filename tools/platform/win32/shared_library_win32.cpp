#include <windows.h>

#include <cstdio>

#include "tools/platform/shared_library.h"
#include "tools/platform/win32/wide_path.h"

namespace selvarin {

void* OpenSharedLibrary(const std::string& path, std::string* error) {
  // The loader wants a plain path: backslashes only, no "..".
  std::wstring wide = WidePath(path);
  wchar_t full[MAX_PATH * 4];
  const DWORD n = GetFullPathNameW(wide.c_str(), MAX_PATH * 4, full, nullptr);
  if (n > 0 && n < MAX_PATH * 4) wide.assign(full, n);
  HMODULE library = LoadLibraryW(wide.c_str());
  if (!library && error) {
    char why[64];
    std::snprintf(why, sizeof why, "LoadLibrary failed with error %lu", GetLastError());
    *error = why;
  }
  return reinterpret_cast<void*>(library);
}

void* SharedLibrarySymbol(void* library, const char* name) {
  if (!library) return nullptr;
  return reinterpret_cast<void*>(GetProcAddress(static_cast<HMODULE>(library), name));
}

void CloseSharedLibrary(void* library) {
  if (library) FreeLibrary(static_cast<HMODULE>(library));
}

}  // namespace selvarin
