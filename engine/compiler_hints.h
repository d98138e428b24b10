#pragma once
// Hints for the compiler on the audio path's small helpers.

#if defined(_MSC_VER) && !defined(__clang__)
// Always inline: small kernels called in tight loops.
#define SELVARIN_FORCE_INLINE __forceinline
// Never inline: a rare path kept out of the loop that calls it.
#define SELVARIN_NOINLINE __declspec(noinline)
#define SELVARIN_UNLIKELY(x) (x)
#else
#define SELVARIN_FORCE_INLINE inline __attribute__((always_inline))
#define SELVARIN_NOINLINE __attribute__((noinline))
#define SELVARIN_UNLIKELY(x) __builtin_expect(!!(x), 0)
#endif
