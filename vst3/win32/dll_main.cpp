// The library entry point records the module's own instance handle, which
// InitDll hands to the editor for loading its image resources (a host's
// handle would find the host's resources, not ours).
#include <windows.h>

#include "vst3/module_globals.h"

extern "C" BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID /*reserved*/) {
  if (reason == DLL_PROCESS_ATTACH) selvarin::gModuleHandle = instance;
  return TRUE;
}
