#include "tools/standalone/display_scale.h"

#include <cmath>

#include "tools/standalone/app_options.h"

namespace selvarin {

double XftDpiOfResources(const std::string& resources) {
  size_t start = 0;
  while (start < resources.size()) {
    size_t end = resources.find('\n', start);
    if (end == std::string::npos) end = resources.size();
    const std::string line = resources.substr(start, end - start);
    start = end + 1;
    const size_t colon = line.find(':');
    if (colon == std::string::npos || line.compare(0, colon, "Xft.dpi") != 0) continue;
    size_t v = colon + 1;
    while (v < line.size() && (line[v] == ' ' || line[v] == '\t')) ++v;
    size_t e = line.size();
    while (e > v && (line[e - 1] == ' ' || line[e - 1] == '\t' || line[e - 1] == '\r')) --e;
    double dpi = 0.0;
    if (ParseDecimal(line.substr(v, e - v), &dpi)) return dpi;
  }
  return 0.0;
}

double ScaleFromDpi(double dpi) {
  if (!(dpi > 0.0) || !std::isfinite(dpi)) return 1.0;
  const double s = dpi / 96.0;
  return s < 1.0 ? 1.0 : (s > 4.0 ? 4.0 : s);
}

}  // namespace selvarin
