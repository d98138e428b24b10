// Linux hosts pass the library handle to ModuleEntry and call ModuleExit.
#include <cstdlib>

#include "tools/platform/shared_library.h"
#include "tools/vst3host/module_platform.h"

namespace selvarin {

#if defined(__x86_64__)
const char* const kVst3ArchFolder = "x86_64-linux";
#elif defined(__aarch64__)
const char* const kVst3ArchFolder = "aarch64-linux";
#else
const char* const kVst3ArchFolder = "unknown-linux";
#endif
const char* const kVst3ModuleExtension = ".so";

std::vector<std::string> Vst3BundleFolders() {
  std::vector<std::string> folders;
  if (const char* home = std::getenv("HOME")) folders.push_back(std::string(home) + "/.vst3");
  folders.push_back("/usr/local/lib/vst3");
  folders.push_back("/usr/lib/vst3");
  return folders;
}
const char* const kVst3EnterExport = "ModuleEntry";
const char* const kVst3ExitExport = "ModuleExit";

bool EnterVst3Module(void* library) {
  using EntryFn = bool (*)(void*);
  auto entry = reinterpret_cast<EntryFn>(SharedLibrarySymbol(library, kVst3EnterExport));
  return entry && entry(library);
}

void ExitVst3Module(void* library) {
  using ExitFn = bool (*)();
  if (auto exitFn = reinterpret_cast<ExitFn>(SharedLibrarySymbol(library, kVst3ExitExport))) exitFn();
}

}  // namespace selvarin
