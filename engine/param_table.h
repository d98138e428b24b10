#pragma once
// The engine's 23 parameter definitions, as data.
#include "engine/param_ids.h"

namespace selvarin {

class IAudioPlugin;

enum class ParamDefKind { kDouble, kInt, kEnum };

struct ParamDef {
  ParamDefKind kind;
  const char* name;
  double defaultValue;
  double minValue;  // enumerations: 0
  double maxValue;  // enumerations: entry count - 1
  double step;
  const char* label;
  double shape;              // 1 is linear
  const char* const* texts;  // enumerations: one display text per entry
  int textCount;
};

// Definition of parameter `idx` (0 .. kNumParams - 1), or null.
const ParamDef* ParamDefinition(int idx);

// Defines every parameter of the plug-in from the table: kind, name, default,
// range, step and label, then the display texts, then the shape.
void DefineEngineParameters(IAudioPlugin& plug);

// Rounding scale of a parameter's plain value before it is applied: tenths of
// a hertz for "Base Freq", hundredths for "Binaural", whole units otherwise.
constexpr double ApplyScale(int idx) {
  return idx == kParamBaseFreq ? 10.0 : idx == kParamBinaural ? 100.0 : 1.0;
}

}  // namespace selvarin
