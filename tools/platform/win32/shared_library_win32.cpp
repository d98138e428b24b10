#include <windows.h>

#include <cstdio>

#include "tools/platform/shared_library.h"
#include "tools/platform/win32/wide_path.h"

namespace selvarin {

void* OpenSharedLibrary(const std::string& path, std::string* error) {
  HMODULE library = LoadLibraryW(WidePath(path).c_str());
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
