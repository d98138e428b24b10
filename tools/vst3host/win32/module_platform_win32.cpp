// Windows hosts call InitDll after LoadLibrary and ExitDll before FreeLibrary;
// the module keeps its own instance handle from DllMain.
#include <windows.h>
#include <shlobj.h>

#include "tools/platform/shared_library.h"
#include "tools/platform/win32/wide_path.h"
#include "tools/vst3host/module_platform.h"

namespace selvarin {

const char* const kVst3ArchFolder = "x86_64-win";
const char* const kVst3ModuleExtension = ".vst3";

namespace {

std::string KnownFolder(REFKNOWNFOLDERID id) {
  PWSTR path = nullptr;
  std::string utf8;
  if (SUCCEEDED(SHGetKnownFolderPath(id, 0, nullptr, &path))) utf8 = Utf8Path(path);
  CoTaskMemFree(path);
  return utf8;
}

// The VST3 folder Selvarin's setup program installed the bundle into (it
// may be another than the usual one).
std::string InstalledVst3Folder() {
  wchar_t buf[MAX_PATH * 4];
  DWORD size = sizeof buf;
  if (RegGetValueW(HKEY_LOCAL_MACHINE, L"Software\\Kavelin\\Selvarin", L"VST3Folder", RRF_RT_REG_SZ, nullptr, buf,
                   &size) != ERROR_SUCCESS)
    return std::string();
  return Utf8Path(buf);
}

}  // namespace

std::vector<std::string> Vst3BundleFolders() {
  std::vector<std::string> folders;
  const std::string installed = InstalledVst3Folder();
  if (!installed.empty()) folders.push_back(installed);
  const std::string local = KnownFolder(FOLDERID_LocalAppData);
  if (!local.empty()) folders.push_back(local + "\\Programs\\Common\\VST3");
  const std::string common = KnownFolder(FOLDERID_ProgramFilesCommon);
  if (!common.empty()) folders.push_back(common + "\\VST3");
  return folders;
}
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
