// Linux hosts call ModuleEntry with the library handle instead of InitDll,
// and ModuleExit instead of ExitDll.
#include "vst3/module_entry_platform.h"
#include "vst3/module_globals.h"

extern "C" {

SMTG_EXPORT_SYMBOL bool ModuleEntry(void* sharedLibraryHandle) {
  selvarin::gModuleHandle = sharedLibraryHandle;
  return InitDll();
}

SMTG_EXPORT_SYMBOL bool ModuleExit() { return ExitDll(); }

}  // extern "C"
