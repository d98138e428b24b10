#pragma once
// Names of the brain-wave band of a beat frequency.

namespace selvarin {

// The label text for a beat of `beatHz`; a beat of exactly 0 names the mode
// ("Binaural Off" / "Monaural Off"). Returns a string constant (audio thread
// safe: no allocation, no copy).
const char* BandLabelText(float beatHz, bool binauralMode);

}  // namespace selvarin
