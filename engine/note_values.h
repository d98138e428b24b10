#pragma once
// LFO rates: note values locked to the host tempo, and milliseconds.

namespace selvarin {

// Length of note-value entry k (0 .. 30) in whole notes: plain notes 1/32 to
// 32/1, triplets at two thirds and dotted notes at one and a half of a plain
// note. Formed in double, rounded to single precision.
float NoteValueLength(int k);

// Phase increment (radians per sample) for note-value entry k: one cycle per
// note length. Without a positive tempo (samplesPerWhole 0) there is no
// length in samples: returns false and leaves *increment unchanged.
bool LfoIncrementFromNote(int k, double samplesPerWhole, double* increment);

// Phase increment for a cycle of `ms` milliseconds. False (unchanged) when
// the result would not be finite.
bool LfoIncrementFromMs(double ms, double sampleRate, double* increment);

// The note-value entry whose rate is nearest to increment q, measured the
// way the rate list is laid out: -1 when q is faster than the shortest note
// (by more than half a step), 31 when it is slower than every note.
int NearestNoteValue(double q, double samplesPerWhole);

// Cycle length in milliseconds of an increment (may be infinite for 0).
double MillisecondsForIncrement(double increment, double sampleRate);

}  // namespace selvarin
