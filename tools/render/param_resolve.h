#pragma once
// Turns the presets and parameter settings typed on the command line into
// a preset index and normalised parameter values of the loaded plug-in.
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "tools/render/render_options.h"

namespace selvarin {

// A parameter as the renderer knows it from the plug-in's controller.
struct CatalogParam {
  uint32_t id = 0;
  std::string title;
  std::string units;
  int stepCount = 0;
  double minPlain = 0.0;
  double maxPlain = 1.0;
  double defaultPlain = 0.0;
  // One display text per step for a parameter whose values are names
  // ("Sine", "1/4"); empty for a numeric one.
  std::vector<std::string> texts;
};

struct ResolvedParam {
  uint32_t id = 0;
  double normalized = 0.0;
};

// Plain value to normalised, as the plug-in converts it.
using ToNormalizedFn = std::function<double(uint32_t id, double plain)>;

bool ResolvePreset(const std::vector<std::string>& names, const std::string& query, int* index, std::string* error);

bool ResolveParam(const std::vector<CatalogParam>& params, const ParamSetting& setting,
                  const ToNormalizedFn& toNormalized, ResolvedParam* out, std::string* error);

// Whether a parameter with these step texts is named rather than numeric.
bool IsTextValued(const std::vector<std::string>& stepTexts);

}  // namespace selvarin
