#include "engine/param_table.h"

#include "framework/audio_plugin.h"

namespace selvarin {

namespace {

constexpr const char* kWaveTexts[] = {"Sine",        "Triangle",  "Saw",            "Square",
                                      "Golden Sine", "Sine Half", "Gold. Triangle", "Gold. Square"};
constexpr const char* kBeatsTexts[] = {"Binaural", "Monaural"};
constexpr const char* kNoYesTexts[] = {"No", "Yes"};
constexpr const char* kTargetTexts[] = {"No Assign", "Base Freq", "Binaural", "Binaural Pan", "Volume"};
constexpr const char* kLfoWaveTexts[] = {"Sine", "Triangle", "Saw", "Saw Flip", "Square", "Sine Half", "Half Flip"};
// Shortest to longest note; "T" triplet, "D" dotted.
constexpr const char* kNoteTexts[] = {
    "1/32", "1/16T", "1/32D", "1/16",  "1/8T", "1/16D", "1/8",   "1/4T", "1/8D", "1/4",   "1/2T",
    "1/4D", "1/2",   "1/1T",  "1/2D",  "1/1",  "2/1T",  "1/1D",  "2/1",  "4/1T", "2/1D",  "4/1",
    "8/1T", "4/1D",  "8/1",   "16/1T", "8/1D", "16/1",  "32/1T", "16/1D", "32/1"};

template <int N>
constexpr ParamDef Enum(const char* name, int defaultValue, const char* const (&texts)[N]) {
  return {ParamDefKind::kEnum, name, double(defaultValue), 0.0, double(N - 1), 1.0, "", 1.0, texts, N};
}
constexpr ParamDef Int(const char* name, int defaultValue, int minValue, int maxValue, const char* label,
                       double shape = 1.0) {
  return {ParamDefKind::kInt, name, double(defaultValue), double(minValue), double(maxValue), 1.0, label, shape,
          nullptr, 0};
}
constexpr ParamDef Double(const char* name, double defaultValue, double minValue, double maxValue, double step,
                          const char* label, double shape = 1.0) {
  return {ParamDefKind::kDouble, name, defaultValue, minValue, maxValue, step, label, shape, nullptr, 0};
}

constexpr ParamDef kParamTable[kNumParams] = {
    Double("Base Freq", 200.0, 20.0, 20000.0, 0.1, "Hz", 2.0),
    Double("Binaural", 4.0, 0.0, 10000.0, 0.01, "Hz"),
    Enum("Wave", 0, kWaveTexts),
    Int("Binaural Pan", 100, -100, 100, "%"),
    Enum("Beats", 0, kBeatsTexts),
    Enum("Play Anyway", 0, kNoYesTexts),
    Int("Fade", 1000, 1, 90000, "ms"),
    Int("Volume", 90, 0, 100, "%"),
    Enum("LFO1 Target", 0, kTargetTexts),
    Enum("LFO1 Wave", 0, kLfoWaveTexts),
    Enum("LFO1 Sync", 1, kNoYesTexts),
    Enum("LFO1 Rate", 15, kNoteTexts),
    Int("LFO1 Rate", 2000, 60, 64000, "ms", 2.0),
    Int("LFO1 Depth", 90, 0, 100, "%"),
    Int("LFO1 Start", 0, 0, 100, "%"),
    Enum("LFO2 Target", 0, kTargetTexts),
    Enum("LFO2 Wave", 0, kLfoWaveTexts),
    Enum("LFO2 Sync", 1, kNoYesTexts),
    Enum("LFO2 Rate", 15, kNoteTexts),
    Int("LFO2 Rate", 2000, 60, 64000, "ms", 2.0),
    Int("LFO2 Depth", 90, 0, 100, "%"),
    Int("LFO2 Start", 0, 0, 100, "%"),
    Enum("LFO's Sync", 0, kNoYesTexts),
};

static_assert(sizeof(kNoteTexts) / sizeof(kNoteTexts[0]) == kNumNoteValues, "31 note values");

}  // namespace

const ParamDef* ParamDefinition(int idx) { return idx >= 0 && idx < kNumParams ? &kParamTable[idx] : nullptr; }

void DefineEngineParameters(IAudioPlugin& plug) {
  for (int i = 0; i < kNumParams; ++i) {
    IParamEntry* p = plug.Param(i);
    if (!p) continue;
    const ParamDef& d = kParamTable[i];
    switch (d.kind) {
      case ParamDefKind::kDouble:
        p->DefineDouble(d.name, d.defaultValue, d.minValue, d.maxValue, d.step, d.label);
        break;
      case ParamDefKind::kInt:
        p->DefineInt(d.name, int(d.defaultValue), int(d.minValue), int(d.maxValue), d.label);
        break;
      case ParamDefKind::kEnum:
        p->DefineEnum(d.name, int(d.defaultValue), d.textCount, d.label);
        break;
    }
    for (int t = 0; t < d.textCount; ++t) p->AddDisplayText(t, d.texts[t]);
    if (d.shape != 1.0) p->SetCurveExponent(d.shape);
  }
}

}  // namespace selvarin
