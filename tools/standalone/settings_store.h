#pragma once
// The settings file in the user's configuration folder: read at start, a
// damaged or unreadable file ignored with a message, written on exit in one
// step (a temporary file, then a rename) so it is never left half-written.
#include <string>

#include "tools/standalone/app_settings.h"

namespace selvarin {

// This user's folder for the application's settings ("" when the system
// names none). One implementation per platform.
std::string AppConfigFolder();

class SettingsStore {
 public:
  // folder: where the file lives; "" means nowhere (nothing is read or kept).
  explicit SettingsStore(const std::string& folder);

  enum class Loaded { kNothing, kRead, kIgnored };
  // kIgnored comes with a message for the user.
  Loaded Load(AppSettings* out, std::string* message) const;
  bool Save(const AppSettings& s, std::string* error) const;
  const std::string& Path() const { return path_; }

 private:
  std::string folder_;
  std::string path_;
};

}  // namespace selvarin
