// %APPDATA%\Selvarin: the roaming application-data folder.
#include <windows.h>

#include <shlobj.h>

#include <cstdlib>

#include "tools/platform/win32/wide_path.h"
#include "tools/standalone/settings_store.h"

namespace selvarin {

std::string AppConfigFolder() {
  std::string base;
  if (const wchar_t* env = _wgetenv(L"APPDATA")) base = Utf8Path(env);
  if (base.empty()) {
    wchar_t path[MAX_PATH] = {};
    if (SUCCEEDED(SHGetFolderPathW(nullptr, CSIDL_APPDATA, nullptr, 0, path))) base = Utf8Path(path);
  }
  if (base.empty()) return "";
  return base + "\\Selvarin";
}

}  // namespace selvarin
