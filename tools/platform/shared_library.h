#pragma once
// Loading a shared library (a .so or a DLL) and finding its exports.
#include <string>

namespace selvarin {

// The library's handle, or null with a one-line reason in *error.
void* OpenSharedLibrary(const std::string& path, std::string* error);
// The exported function or data of that name, or null.
void* SharedLibrarySymbol(void* library, const char* name);
void CloseSharedLibrary(void* library);

}  // namespace selvarin
