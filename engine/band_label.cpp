#include "engine/band_label.h"

namespace selvarin {

namespace {

// Lower edge of each band; an edge belongs to the band above it.
constexpr BeatBand kBands[] = {
    {0.0f, "EPSILON"}, {0.5f, "DELTA"}, {4.0f, "THETA"},   {8.0f, "ALPHA"},
    {14.0f, "BETA"},   {30.0f, "GAMMA"}, {100.0f, "LAMBDA"},
};
constexpr int kBandCount = static_cast<int>(sizeof kBands / sizeof kBands[0]);

}  // namespace

int BeatBandCount() { return kBandCount; }

const BeatBand& BeatBandAt(int index) {
  return kBands[index < 0 ? 0 : index >= kBandCount ? kBandCount - 1 : index];
}

const char* BandLabelText(float beatHz, bool binauralMode) {
  if (beatHz == 0.0f) return binauralMode ? "Binaural Off" : "Monaural Off";
  for (int i = kBandCount - 1; i > 0; --i)
    if (beatHz >= kBands[i].lowHz) return kBands[i].text;
  return kBands[0].text;
}

}  // namespace selvarin
