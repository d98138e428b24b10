#include <dlfcn.h>

#include "tools/platform/shared_library.h"

namespace selvarin {

void* OpenSharedLibrary(const std::string& path, std::string* error) {
  void* library = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
  if (!library && error) {
    const char* why = dlerror();
    *error = why ? why : "unknown error";
  }
  return library;
}

void* SharedLibrarySymbol(void* library, const char* name) { return library ? dlsym(library, name) : nullptr; }

void CloseSharedLibrary(void* library) {
  if (library) dlclose(library);
}

}  // namespace selvarin
