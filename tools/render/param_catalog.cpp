#include "tools/render/param_catalog.h"

#include <cmath>
#include <cstdio>

namespace selvarin {

namespace sb = Steinberg;
namespace sv = Steinberg::Vst;

std::vector<CatalogParam> BuildCatalog(HostedPlugin& plugin) {
  std::vector<CatalogParam> out;
  for (const HostParamInfo& info : plugin.Parameters()) {
    if (info.flags & sv::ParameterInfo::kIsProgramChange) continue;
    CatalogParam p;
    p.id = info.id;
    p.title = info.title;
    p.units = info.units;
    p.stepCount = info.stepCount;
    p.minPlain = plugin.controller->normalizedParamToPlain(info.id, 0.0);
    p.maxPlain = plugin.controller->normalizedParamToPlain(info.id, 1.0);
    p.defaultPlain = plugin.controller->normalizedParamToPlain(info.id, info.defaultNormalized);
    if (info.stepCount >= 1 && info.stepCount <= 256) {
      std::vector<std::string> texts;
      for (int k = 0; k <= info.stepCount; ++k) {
        sv::String128 s = {};
        if (plugin.controller->getParamStringByValue(info.id, static_cast<double>(k) / info.stepCount, s) !=
            sb::kResultOk)
          s[0] = 0;
        texts.push_back(Narrow(s));
      }
      if (IsTextValued(texts)) p.texts = texts;
    }
    out.push_back(p);
  }
  return out;
}

void PrintCatalog(const std::vector<CatalogParam>& params) {
  std::printf("%-5s %-14s %-10s %s\n", "index", "name", "default", "values");
  for (const CatalogParam& p : params) {
    std::string values;
    if (!p.texts.empty()) {
      for (const std::string& t : p.texts) values += (values.empty() ? "" : ", ") + t;
    } else {
      char buf[96];
      std::snprintf(buf, sizeof buf, "%g to %g%s%s", p.minPlain, p.maxPlain, p.units.empty() ? "" : " ",
                    p.units.c_str());
      values = buf;
    }
    char def[32];
    if (!p.texts.empty()) {
      const int k = static_cast<int>(std::lround(p.defaultPlain - p.minPlain));
      std::snprintf(def, sizeof def, "%s",
                    k >= 0 && k < static_cast<int>(p.texts.size()) ? p.texts[static_cast<size_t>(k)].c_str() : "?");
    } else {
      std::snprintf(def, sizeof def, "%g", p.defaultPlain);
    }
    std::printf("%-5u %-14s %-10s %s\n", p.id, p.title.c_str(), def, values.c_str());
  }
}

}  // namespace selvarin
