#include "engine/band_label.h"

namespace selvarin {

namespace {

// Lower edge of each band; an edge belongs to the band above it.
struct Band {
  float lowHz;
  const char* text;
};

constexpr Band kBands[] = {
    {100.0f, "LAMBDA"}, {30.0f, "GAMMA"}, {14.0f, "BETA"}, {8.0f, "ALPHA"},
    {4.0f, "THETA"},    {0.5f, "DELTA"},
};

}  // namespace

const char* BandLabelText(float beatHz, bool binauralMode) {
  if (beatHz == 0.0f) return binauralMode ? "Binaural Off" : "Monaural Off";
  for (const Band& band : kBands)
    if (beatHz >= band.lowHz) return band.text;
  return "EPSILON";
}

}  // namespace selvarin
