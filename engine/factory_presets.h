#pragma once
// The factory preset library: a default entry followed by 140 named presets
// (general settings, named beat rates, healing carriers, Solfeggio carriers).

#include "engine/param_ids.h"

namespace selvarin {

class IAudioPlugin;

// Values per preset: one per parameter, in parameter-index order.
constexpr int kFactoryPresetValueCount = kNumParams;

// Name of the first entry, which stores no values.
extern const char kFactoryDefaultPresetName[];

// Fills the plug-in's preset table: the default entry first, then every
// factory preset in list order. Called once, at the end of construction,
// after the parameters are defined.
void AddFactoryPresets(IAudioPlugin& plug);

// The named presets (the default entry not included), for listing them
// without a plug-in object. Index i is preset slot i + 1 of the plug-in.
int FactoryPresetCount();
// The preset's name, or "" when i is out of range.
const char* FactoryPresetName(int i);
// Writes the preset's values into out; false (out untouched) when i is out of range.
bool FactoryPresetValues(int i, double out[kFactoryPresetValueCount]);

}  // namespace selvarin
