// The renderer's loudness meter against an independent one (libebur128):
// integrated loudness with both gates, loudness range, sample and true peak,
// at the rates people render at, for smooth tones and for the signals that
// make a true-peak meter work (edges, noise, lone inter-sample peaks).
#include <ebur128.h>
#include <gtest/gtest.h>

#include <cmath>
#include <random>
#include <vector>

#include "tools/render/loudness_meter.h"

namespace selvarin {
namespace {

struct Reading {
  double integrated, range, truePeakDb, samplePeakDb;
};

Reading Reference(const std::vector<float>& x, double rate) {
  ebur128_state* st = ebur128_init(2, static_cast<unsigned>(rate),
                                   EBUR128_MODE_I | EBUR128_MODE_LRA | EBUR128_MODE_SAMPLE_PEAK | EBUR128_MODE_TRUE_PEAK);
  ebur128_add_frames_float(st, x.data(), x.size() / 2);
  Reading r{};
  ebur128_loudness_global(st, &r.integrated);
  ebur128_loudness_range(st, &r.range);
  double tp[2], sp[2];
  for (unsigned c = 0; c < 2; ++c) {
    ebur128_true_peak(st, c, &tp[c]);
    ebur128_sample_peak(st, c, &sp[c]);
  }
  r.truePeakDb = 20.0 * std::log10(std::fmax(tp[0], tp[1]));
  r.samplePeakDb = 20.0 * std::log10(std::fmax(sp[0], sp[1]));
  ebur128_destroy(&st);
  return r;
}

Reading Ours(const std::vector<float>& x, double rate, double gain = 1.0) {
  LoudnessMeter m(rate);
  // In pieces of uneven length, as the writer hands them over.
  std::mt19937 rng(3);
  for (size_t at = 0, frames = x.size() / 2; at < frames;) {
    const size_t n = std::min<size_t>(frames - at, 1 + rng() % 40000);
    m.Add(x.data() + 2 * at, n);
    at += n;
  }
  m.Finish();
  const LoudnessResult r = m.Result(gain);
  return {r.integrated, r.range, 20.0 * std::log10(r.truePeak), 20.0 * std::log10(r.samplePeak)};
}

// Tones that swell and fall, a silence and a quiet passage (both gates at
// work), then noise, square edges and lone pulses whose peaks lie between
// samples.
std::vector<float> Programme(double rate, unsigned seed) {
  std::mt19937 rng(seed);
  std::normal_distribution<float> noise(0.0f, 0.05f);
  const size_t frames = static_cast<size_t>(rate * 40.0);
  std::vector<float> x(2 * frames, 0.0f);
  for (size_t i = 0; i < frames; ++i) {
    const double t = i / rate;
    double l = 0.0, r = 0.0;
    if (t < 12.0) {
      const double swell = 0.5 + 0.4 * std::sin(2 * M_PI * 0.2 * t);
      l = swell * std::sin(2 * M_PI * 440.0 * t);
      r = swell * std::sin(2 * M_PI * 446.0 * t + 1.0);
    } else if (t >= 14.0 && t < 20.0) {
      l = 0.01 * std::sin(2 * M_PI * 1000.0 * t);  // about -43 dBFS: below the relative gate
      r = l;
    } else if (t >= 20.0 && t < 28.0) {
      l = noise(rng);
      r = noise(rng);
    } else if (t >= 28.0 && t < 34.0) {
      l = 0.3 * (std::sin(2 * M_PI * 997.0 * t) > 0.0 ? 1.0 : -1.0);
      r = 0.3 * std::sin(2 * M_PI * 7000.0 * t);
    }
    x[2 * i] = static_cast<float>(l);
    x[2 * i + 1] = static_cast<float>(r);
  }
  // Pairs of equal samples amid quiet: the signal between them peaks well
  // above both, in one place only.
  for (int k = 0; k < 5; ++k) {
    const size_t at = static_cast<size_t>(rate * (34.5 + k)) + rng() % 100;
    x[2 * at] = x[2 * at + 2] = 0.4f + 0.1f * static_cast<float>(k);
    x[2 * at + 1] = -x[2 * at];
  }
  return x;
}

TEST(LoudnessMeterTest, AgreesWithAnIndependentMeterAtEveryCommonRate) {
  for (double rate : {44100.0, 48000.0, 96000.0}) {
    const std::vector<float> x = Programme(rate, static_cast<unsigned>(rate));
    const Reading ref = Reference(x, rate), ours = Ours(x, rate);
    EXPECT_NEAR(ours.integrated, ref.integrated, 0.01) << rate;
    EXPECT_NEAR(ours.range, ref.range, 0.1) << rate;
    EXPECT_NEAR(ours.samplePeakDb, ref.samplePeakDb, 1e-6) << rate;
    EXPECT_NEAR(ours.truePeakDb, ref.truePeakDb, 0.1) << rate;
    // The lone pulses peak between their samples: well above them.
    EXPECT_GT(ours.truePeakDb, ours.samplePeakDb + 0.5) << rate;
  }
}

TEST(LoudnessMeterTest, AGainGivesWhatTheScaledAudioMeasures) {
  const double rate = 48000.0;
  const std::vector<float> x = Programme(rate, 7);
  // Down 30 dB the quiet passage falls under the absolute gate; up 6 dB the
  // peaks pass full scale. Either way the result is that of the scaled audio.
  for (double db : {-30.0, -12.5, 6.0}) {
    const double g = std::pow(10.0, db / 20.0);
    std::vector<float> scaled(x);
    for (float& v : scaled) v = static_cast<float>(v * g);
    const Reading predicted = Ours(x, rate, g), measured = Ours(scaled, rate);
    EXPECT_NEAR(predicted.integrated, measured.integrated, 1e-3) << db;
    EXPECT_NEAR(predicted.range, measured.range, 1e-3) << db;
    EXPECT_NEAR(predicted.truePeakDb, measured.truePeakDb, 1e-4) << db;
    EXPECT_NEAR(predicted.samplePeakDb, measured.samplePeakDb, 1e-4) << db;
  }
}

}  // namespace
}  // namespace selvarin
