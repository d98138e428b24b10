// Windows hosts call InitDll after LoadLibrary and ExitDll before FreeLibrary;
// the module keeps its own instance handle from DllMain.
#include "tools/platform/shared_library.h"
#include "tools/vst3host/module_platform.h"

namespace selvarin {

const char* const kVst3ArchFolder = "x86_64-win";
const char* const kVst3ModuleExtension = ".vst3";
const char* const kVst3EnterExport = "InitDll";
const char* const kVst3ExitExport = "ExitDll";

bool EnterVst3Module(void* library) {
  using InitFn = bool (*)();
  auto init = reinterpret_cast<InitFn>(SharedLibrarySymbol(library, kVst3EnterExport));
  return init && init();
}

void ExitVst3Module(void* library) {
  using ExitFn = bool (*)();
  if (auto exitFn = reinterpret_cast<ExitFn>(SharedLibrarySymbol(library, kVst3ExitExport))) exitFn();
}

}  // namespace selvarin
