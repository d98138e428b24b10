// $XDG_CONFIG_HOME/selvarin, or ~/.config/selvarin when it is unset (the XDG
// base directory rules: a relative XDG_CONFIG_HOME counts as unset).
#include <pwd.h>
#include <unistd.h>

#include <cstdlib>

#include "tools/standalone/settings_store.h"

namespace selvarin {

std::string AppConfigFolder() {
  const char* xdg = std::getenv("XDG_CONFIG_HOME");
  if (xdg && xdg[0] == '/') return std::string(xdg) + "/selvarin";
  const char* home = std::getenv("HOME");
  if (!home || home[0] != '/') {
    const passwd* pw = getpwuid(getuid());
    home = pw ? pw->pw_dir : nullptr;
  }
  if (!home || home[0] != '/') return "";
  return std::string(home) + "/.config/selvarin";
}

}  // namespace selvarin
