#include "tools/standalone/settings_store.h"

#include "tools/platform/file_system.h"
#include "tools/platform/small_files.h"

namespace selvarin {

SettingsStore::SettingsStore(const std::string& folder) : folder_(folder) {
  // The folder's own separator (backslashes on Windows).
  const char separator = folder_.find('\\') != std::string::npos ? '\\' : '/';
  if (!folder_.empty()) path_ = folder_ + separator + "selvarin.conf";
}

SettingsStore::Loaded SettingsStore::Load(AppSettings* out, std::string* message) const {
  if (path_.empty() || !PathExists(path_)) return Loaded::kNothing;
  std::string text, why;
  if (!ReadSmallFile(path_, &text, &why)) {
    *message = "Settings not read (" + why + "): starting with the default sound and audio settings.";
    return Loaded::kIgnored;
  }
  if (!ParseSettings(text, out, &why)) {
    *message = "Settings file " + path_ + " is damaged (" + why + "): ignored; a good one is written on exit.";
    return Loaded::kIgnored;
  }
  return Loaded::kRead;
}

bool SettingsStore::Save(const AppSettings& s, std::string* error) const {
  if (path_.empty()) {
    *error = "the system names no configuration folder";
    return false;
  }
  if (!MakeDirectories(folder_, error)) return false;
  return WriteFileReplacing(path_, FormatSettings(s), error);
}

}  // namespace selvarin
