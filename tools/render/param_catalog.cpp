#include "tools/render/param_catalog.h"

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

}  // namespace selvarin
