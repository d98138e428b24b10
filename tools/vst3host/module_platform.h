#pragma once
// What differs between platforms when a host loads a VST3 module: where
// bundles are installed, where the module file lies in the bundle and which
// exports enter and leave it.
#include <string>
#include <vector>

namespace selvarin {

// The folders this system's hosts take VST3 bundles from, first the one a
// setup program recorded (if any), then the user's, then the system's.
std::vector<std::string> Vst3BundleFolders();

// Folder under Contents/ holding the module for this machine, and the
// module file's extension (".so" on Linux; the DLL keeps ".vst3" on Windows).
extern const char* const kVst3ArchFolder;
extern const char* const kVst3ModuleExtension;

// The exports a host calls after loading the module and before unloading it.
extern const char* const kVst3EnterExport;
extern const char* const kVst3ExitExport;

// Calls the module's entry export; false when it is missing or fails.
bool EnterVst3Module(void* library);
// Calls the module's exit export when there is one.
void ExitVst3Module(void* library);

}  // namespace selvarin
