#include "engine/factory_presets.h"

#include <initializer_list>

#include "engine/param_ids.h"
#include "framework/audio_plugin.h"

namespace selvarin {

const char kFactoryDefaultPresetName[] = "---- default ----";

namespace {

// Note-value entries of "LFO Rate" (every third entry is a plain note).
enum : int { kNote1_1 = 15, kNote2_1 = 18, kNote4_1 = 21 };

// Every preset starts from this set; base and beat frequency come from its row.
constexpr double kReferenceSet[kFactoryPresetValueCount] = {
    0,            // kParamBaseFreq (from the row)
    0,            // kParamBinaural (from the row)
    kToneSine,    // kParamWave
    100,          // kParamPan: full separation
    0,            // kParamBeats: binaural
    1,            // kParamPlayAnyway: sounds while the transport is stopped
    1000,         // kParamFade, ms
    90,           // kParamVolume, %
    kTargetNone,  // kParamLfo1Target
    kLfoSine,     // kParamLfo1Wave
    1,            // kParamLfo1Sync: on
    kNote1_1,     // kParamLfo1RateNote
    2000,         // kParamLfo1RateMs
    90,           // kParamLfo1Depth, %
    0,            // kParamLfo1Start, %
    kTargetNone,  // kParamLfo2Target
    kLfoSine,     // kParamLfo2Wave
    1,            // kParamLfo2Sync: on
    kNote1_1,     // kParamLfo2RateNote
    2000,         // kParamLfo2RateMs
    90,           // kParamLfo2Depth, %
    0,            // kParamLfo2Start, %
    0,            // kParamLfosSync: off
};

struct Override {
  int index = 0;
  double value = 0.0;
};

// The few values in which a preset differs from the reference set.
class Overrides {
 public:
  static constexpr int kMax = 8;

  constexpr Overrides() = default;
  // The table below is constexpr, so a row with more than kMax overrides
  // fails to compile (out-of-bounds write during constant evaluation).
  constexpr Overrides(std::initializer_list<Override> list) {
    for (const Override& o : list) items_[count_++] = o;
  }

  constexpr const Override* begin() const { return items_; }
  constexpr const Override* end() const { return items_ + count_; }

 private:
  Override items_[kMax] = {};
  int count_ = 0;
};

// Shared by the golden-sine carriers, and the carriers with a slow volume
// swell (LFO1 on the volume, 2/1, 40 %, at 80 % volume).
constexpr Overrides kGolden = {{kParamWave, kToneGoldenSine}};
constexpr Overrides kGoldenSwell = {
    {kParamWave, kToneGoldenSine}, {kParamVolume, 80}, {kParamLfo1Target, kTargetVolume}, {kParamLfo1RateNote, kNote2_1}, {kParamLfo1Depth, 40}};

struct FactoryPresetRow {
  const char* name;
  double baseHz;
  double beatHz;
  Overrides overrides;
};

// The library in list order; preset slot = row index + 2.
constexpr FactoryPresetRow kRows[] = {
    // General settings
    {"Higher frequencies", 400, 4, {}},
    {"Modulated Binaural", 200, 4,
     {{kParamLfo1Target, kTargetBinaural}, {kParamLfo1RateNote, kNote4_1}, {kParamLfo1Depth, 20},
      {kParamLfo2Target, kTargetVolume}, {kParamLfo2RateNote, kNote2_1}, {kParamLfo2Depth, 40}}},
    {"Modulated Binaural Golden", 200, 4,
     {{kParamWave, kToneGoldenSine}, {kParamLfo1Target, kTargetBinaural}, {kParamLfo1RateNote, kNote4_1}, {kParamLfo1Depth, 20},
      {kParamLfo2Target, kTargetVolume}, {kParamLfo2RateNote, kNote2_1}, {kParamLfo2Depth, 40}}},
    {"Shift Between Ears", 200, 55,
     {{kParamWave, kToneGoldenSine}, {kParamPan, 0}, {kParamLfo1Target, kTargetPan}, {kParamLfo1RateNote, kNote4_1}, {kParamLfo1Depth, 100},
      {kParamLfo2Target, kTargetVolume}, {kParamLfo2RateNote, kNote2_1}, {kParamLfo2Depth, 40}}},
    {"Modulated Base Freq", 300, 5,
     {{kParamLfo1Target, kTargetBaseFreq}, {kParamLfo1RateNote, kNote4_1}, {kParamLfo1Depth, 30},
      {kParamLfo2Target, kTargetVolume}, {kParamLfo2RateNote, kNote2_1}, {kParamLfo2Depth, 40}}},
    {"Triangle waves", 200, 4, {{kParamWave, kToneTriangle}, {kParamVolume, 80}}},
    {"Saw waves", 200, 4, {{kParamWave, kToneSaw}, {kParamVolume, 70}}},
    {"Square waves", 200, 4, {{kParamWave, kToneSquare}, {kParamVolume, 60}}},
    {"Golden Sine", 200, 4, kGolden},
    {"Golden Sine Half", 200, 4, {{kParamWave, kToneSineHalf}}},
    {"Golden Triangle", 200, 4, {{kParamWave, kToneGoldenTriangle}, {kParamVolume, 80}}},
    {"Golden Square", 200, 4, {{kParamWave, kToneGoldenSquare}, {kParamVolume, 60}}},
    // Named beat rates on a 200 Hz carrier
    {"Binaural - 0.2 (Dental pain)", 200, 0.2, {}},
    {"Binaural - 0.28 (Arthritis)", 200, 0.28, {}},
    {"Binaural - 0.3 (Depression)", 200, 0.3, {}},
    {"Binaural - 0.37 (Drug addiction)", 200, 0.37, {}},
    {"Binaural - 0.4 (Confusion)", 200, 0.4, {}},
    {"Binaural - 0.5 (Post traumatics)", 200, 0.5, {}},
    {"Binaural - 0.9 (Euphoria)", 200, 0.9, {}},
    {"Binaural - 1 (Feeling of well-being, pituitary stimulation)", 200, 1, {}},
    {"Binaural - 1.45 (Tri-thalamic entrainment, Alzheimer)", 200, 1.45, {}},
    {"Binaural - 1.5 (Abrahams universal healing rate)", 200, 1.5, {}},
    {"Binaural - 1.8 (Sinus congestion)", 200, 1.8, {}},
    {"Binaural - 2.0 (Nerve regeneration)", 200, 2.0, {}},
    {"Binaural - 2.06 (Associated with coccyx)", 200, 2.06, {}},
    {"Binaural - 2.2 (Dreamless sleep, trance state)", 200, 2.2, {}},
    {"Binaural - 2.3 (Associated with genitals)", 200, 2.3, {}},
    {"Binaural - 2.57 (Associated with bladder)", 200, 2.57, {}},
    {"Binaural - 2.67 (Associated with intestines)", 200, 2.67, {}},
    {"Binaural - 3.0 (Increased Reaction Time)", 200, 3.0, {}},
    {"Binaural - 3.4 (Sound sleep)", 200, 3.4, {}},
    {"Binaural - 3.44 (Associated with ovaries)", 200, 3.44, {}},
    {"Binaural - 3.5 (Feeling of unity with everythin)", 200, 3.5, {}},
    {"Binaural - 3.6 (Remedy for anger & irritability)", 200, 3.6, {}},
    {"Binaural - 3.84 (Associated with the liver & pancreas)", 200, 3.84, {}},
    {"Binaural - 4.0 (Extrasensory perception, astral Projection)", 200, 4.0, {}},
    {"Binaural - 4.11 (Associated with kidneys)", 200, 4.11, {}},
    {"Binaural - 4.5 (Shamanic & Tibetan state of consciousness)", 200, 4.5, {}},
    {"Binaural - 4.6 (Associated with spleen & blood)", 200, 4.6, {}},
    {"Binaural - 4.9 (Relaxation & meditation)", 200, 4.9, {}},
    {"Binaural - 5.0 (Relaxed states, pain-relief)", 200, 5.0, {}},
    {"Binaural - 5.14 (Associated with stomach)", 200, 5.14, {}},
    {"Binaural - 5.35 (Associated with lungs)", 200, 5.35, {}},
    {"Binaural - 5.5 (Beyond knowledge to knowing)", 200, 5.5, {}},
    {"Binaural - 5.8 (Reduce fear, absent-mindedness)", 200, 5.8, {}},
    {"Binaural - 6.0 (Creative visualization)", 200, 6.0, {}},
    {"Binaural - 6.15 (Associated with heart)", 200, 6.15, {}},
    {"Binaural - 6.3 (Mental & astral projection)", 200, 6.3, {}},
    {"Binaural - 7.0 (Mental & astral projection 2)", 200, 7.0, {}},
    {"Binaural - 7.5 (Inter-awareness of self)", 200, 7.5, {}},
    {"Binaural - 7.8 (Stimulates ESP, paranormal)", 200, 7.8, {}},
    {"Binaural - 8.0 (Learning new information)", 200, 8.0, {}},
    {"Binaural - 8.6 (Induces sleep, tingling sensations)", 200, 8.6, {}},
    {"Binaural - 9.0 (Awareness of causes of body imbalance)", 200, 9.0, {}},
    {"Binaural - 9.41 (Pyramid frequency)", 200, 9.41, {}},
    {"Binaural - 9.6 (Earth's magnetic field)", 200, 9.6, {}},
    {"Binaural - 10.6 (Relaxed & alert)", 200, 10.6, {}},
    {"Binaural - 11.0 (Focused alertness)", 200, 11.0, {}},
    {"Binaural - 14.1 (Earth Resonance)", 200, 14.1, {}},
    {"Binaural - 15.0 (Euphoria)", 200, 15.0, {}},
    {"Binaural - 20.3 (Earth Resonance)", 200, 20.3, {}},
    {"Binaural - 22.02 (Serotonin)", 200, 22.02, {}},
    {"Binaural - 26.4 (Earth Resonance)", 200, 26.4, {}},
    {"Binaural - 30.0 (Associated with marijuana)", 200, 30.0, kGolden},
    {"Binaural - 31.32 (Pituitary stimulation to release growth hormone)", 200, 31.32, {}},
    {"Binaural - 32.0 (Desensitizer; enhanced vigour & alertnes)", 200, 32.0, {}},
    {"Binaural - 33.0 (Christ consciousness)", 200, 33.0, {}},
    {"Binaural - 35.0 (Awakening of mid-chakras, balance of chakras)", 200, 35.0, {}},
    {"Binaural - 38.0 (Endorphin release)", 200, 38.0, {}},
    {"Binaural - 46.98 (Useful for weird effects)", 200, 46.98, {}},
    {"Binaural - 55.0 (Tantric yoga, stimulates the kundalini)", 200, 55.0, {}},
    {"Binaural - 63.5 (Astral projection)", 200, 63.5, {}},
    {"Binaural - 70.0 (Mental & astral projection)", 200, 70.0, kGolden},
    {"Binaural - 83.0 (Third eye opening)", 200, 83.0, {}},
    {"Binaural - 90.0 (Pleasure, producing beta-endorphins)", 200, 90.0, kGolden},
    {"Binaural - 105.0 (Overall view of complete situation)", 200, 105.0, {}},
    {"Binaural - 108.0 (Total knowing)", 200, 108.0, {}},
    {"Binaural - 111.0 (Beta endorphins)", 200, 111.0, {}},
    {"Binaural - 176.0 (Associated with colon)", 200, 176.0, {}},
    {"Binaural - 8.0 (Muladhara chakra)", 200, 8.0, {}},
    {"Binaural - 9.0 (Svadhisthana chakra)", 200, 9.0, {}},
    {"Binaural - 10.0 (Manipura chakra)", 200, 10.0, kGolden},
    {"Binaural - 10.5 (Anahata chakra)", 200, 10.5, {}},
    {"Binaural - 12.0 (Vishuddha chakra)", 200, 12.0, {}},
    {"Binaural - 13.0 (Ajna chakra)", 200, 13.0, {}},
    {"Binaural - 15.0 (Sahasrara chakra)", 200, 15.0, {}},
    {"Binaural - 7.83 (Schumann Resonance)", 200, 7.83, {}},
    {"Binaural - 14.3 (Schumann Resonance)", 200, 14.3, {}},
    {"Binaural - 20.8 (Schumann Resonance)", 200, 20.8, {}},
    {"Binaural - 27.3 (Schumann Resonance)", 200, 27.3, {}},
    {"Binaural - 33.8 (Schumann Resonance)", 200, 33.8, {}},
    {"Binaural - 126.22 (Sun: light, warmth, joy, animus)", 200, 126.22, {}},
    {"Binaural - 136.1 (Earth: resonates with the earth year)", 200, 136.1, {}},
    {"Binaural - 140.25 (Pluto: power, crisis & changes)", 200, 140.25, {}},
    {"Binaural - 141.27 (Mercury: intellectuality, mobility)", 200, 141.27, {}},
    {"Binaural - 144.72 (Mars: activity, energy, freedom, humor)", 200, 144.72, {}},
    {"Binaural - 147.85 (Saturn: separation, sorrow, death)", 200, 147.85, {}},
    {"Binaural - 183.58 (Jupiter: growth, success, justice, spirituality)", 200, 183.58, {}},
    {"Binaural - 194.71 (Earth: stability, grounding)", 200, 194.71, {}},
    {"Binaural - 207.36 (Uranus: spontaneity, independence, originality)", 200, 207.36, {}},
    {"Binaural - 211.44 (Neptune: the unconscious, imagination, spirituality)", 200, 211.44, {}},
    {"Binaural - 221.23 (Venus: beauty, love, sexuality, sensuality, harmony)", 200, 221.23, {}},
    // Healing carriers, no beat
    {"Healing - 110 Hz (Stomach)", 110, 0, kGolden},
    {"Healing - 117.3 Hz (Pancreas)", 117.3, 0, kGolden},
    {"Healing - 164.3 Hz (Gall Bladder)", 164.3, 0, kGolden},
    {"Healing - 176 Hz (Colon)", 176, 0, kGolden},
    {"Healing - 220 Hz (Lungs)", 220, 0, kGolden},
    {"Healing - 264 Hz (Personality)", 264, 0, kGolden},
    {"Healing - 281.6 Hz (Small Intestine)", 281.6, 0, kGolden},
    {"Healing - 295.8 Hz (Fat Cells)", 295.8, 0, kGolden},
    {"Healing - 317.8 Hz (Liver)", 317.8, 0, kGolden},
    {"Healing - 319.9 Hz (Kidneys)", 319.9, 0, kGolden},
    {"Healing - 321.9 Hz (Blood)", 321.9, 0, kGolden},
    {"Healing - 324 Hz (Muscles)", 324, 0, kGolden},
    {"Healing - 352 Hz (Bladder)", 352, 0, kGolden},
    {"Healing - 418.3 Hz (Bones)", 418.3, 0, kGolden},
    {"Healing - 432 Hz (Natural, harmonic intonation of nature)", 432, 0, kGolden},
    {"Healing - 492 Hz (Spleen)", 492, 0, kGolden},
    {"Healing - 492.8 Hz (Adrenals, thyroid & parathyroid)", 492.8, 0, kGolden},
    {"Healing - 586 Hz (Circulation  & sex)", 586, 0, kGolden},
    // Solfeggio carriers, no beat; each plain entry is followed by one with a slow volume swell
    {"Solfeggio UT - 396 Hz (Turning grief into joy, liberating Guilt and Fear)", 396, 0, kGolden},
    {"Solfeggio UT - 396 Hz LFO", 396, 0, kGoldenSwell},
    {"Solfeggio RE - 417 Hz (Undoing Situations and Facilitating Change)", 417, 0, kGolden},
    {"Solfeggio RE - 417 Hz LFO", 417, 0, kGoldenSwell},
    {"Solfeggio MI - 528 Hz (Transformation and Miracles, DNA Repair)", 528, 0, kGolden},
    {"Solfeggio MI - 528 Hz LFO", 528, 0, kGoldenSwell},
    {"Solfeggio FA - 639 Hz (Relationship, connecting with spiritual family)", 639, 0, kGolden},
    {"Solfeggio FA - 639 Hz LFO", 639, 0, kGoldenSwell},
    {"Solfeggio SOL - 741 Hz (Solving problems, find solutions)", 741, 0, kGolden},
    {"Solfeggio SOL - 741 Hz LFO", 741, 0, kGoldenSwell},
    {"Solfeggio LA - 852 Hz (Awakening Intuition, returning to Spiritual Order)", 852, 0, kGolden},
    {"Solfeggio LA - 852 Hz LFO", 852, 0, kGoldenSwell},
    {"Solfeggio SI - 963 Hz (Awakens any system to its original, perfect state)", 963, 0, kGolden},
    {"Solfeggio SI - 963 Hz LFO", 963, 0, kGoldenSwell},
    {"Solfeggio - 174 Hz (Natural anaesthetic, reduce pain)", 174, 0, kGolden},
    {"Solfeggio - 174 Hz LFO", 174, 0, kGoldenSwell},
    {"Solfeggio - 285 Hz (Return tissue into its original form)", 285, 0, kGolden},
    {"Solfeggio - 285 Hz LFO", 285, 0, kGoldenSwell},
    {"Solfeggio - 936 Hz (Pineal Gland Activator)", 936, 0, kGolden},
    {"Solfeggio - 936 Hz Hz LFO", 936, 0, kGoldenSwell},
};

constexpr int kRowCount = static_cast<int>(sizeof(kRows) / sizeof(kRows[0]));
static_assert(kRowCount == 140, "140 named factory presets");

constexpr bool OverridesNameListedParameters() {
  for (const FactoryPresetRow& row : kRows)
    for (const Override& o : row.overrides)
      if (o.index <= kParamBinaural || o.index >= kFactoryPresetValueCount) return false;
  return true;
}
static_assert(OverridesNameListedParameters(), "base and beat have their own columns; overrides cover 2..22");

void ExpandRow(const FactoryPresetRow& row, double out[kFactoryPresetValueCount]) {
  for (int i = 0; i < kFactoryPresetValueCount; ++i) out[i] = kReferenceSet[i];
  out[kParamBaseFreq] = row.baseHz;
  out[kParamBinaural] = row.beatHz;
  for (const Override& o : row.overrides) out[o.index] = o.value;
}

}  // namespace

void AddFactoryPresets(IAudioPlugin& plug) {
  plug.AddDefaultPreset(kFactoryDefaultPresetName, 1);
  double values[kFactoryPresetValueCount];
  for (const FactoryPresetRow& row : kRows) {
    ExpandRow(row, values);
    plug.AddPreset(row.name, values);
  }
}

int FactoryPresetCount() { return kRowCount; }

const char* FactoryPresetName(int i) { return i >= 0 && i < kRowCount ? kRows[i].name : ""; }

bool FactoryPresetValues(int i, double out[kFactoryPresetValueCount]) {
  if (i < 0 || i >= kRowCount || out == nullptr) return false;
  ExpandRow(kRows[i], out);
  return true;
}

}  // namespace selvarin
