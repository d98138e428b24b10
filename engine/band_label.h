#pragma once
// Names of the brain-wave band of a beat frequency.

namespace selvarin {

// A band of beat frequencies: from lowHz (inclusive) up to the next band's
// lowHz; the lowest band starts just above 0 Hz, the highest has no top.
struct BeatBand {
  float lowHz;
  const char* text;
};

// The bands from the lowest up, as the editor's band label names them.
int BeatBandCount();
const BeatBand& BeatBandAt(int index);

// The label text for a beat of `beatHz`; a beat of exactly 0 names the mode
// ("Binaural Off" / "Monaural Off"). Returns a string constant (audio thread
// safe: no allocation, no copy).
const char* BandLabelText(float beatHz, bool binauralMode);

}  // namespace selvarin
