#pragma once
// Text crosses the VST3 boundary as UTF-16; the plug-in keeps 8-bit text.
#include "pluginterfaces/base/ftypes.h"

namespace selvarin {

// Widens 8-bit text (each byte one character) into out, which holds cap
// characters including the terminator. Null text gives an empty string.
inline void Widen8(const char* text, Steinberg::char16* out, int cap) {
  if (!out || cap <= 0) return;
  int i = 0;
  if (text) {
    for (; i < cap - 1 && text[i]; ++i) out[i] = static_cast<Steinberg::char16>(static_cast<unsigned char>(text[i]));
  }
  out[i] = 0;
}

// Narrows UTF-16 text to 8-bit: characters above 0xFF become '?'. At most
// maxIn input characters are read; out holds cap bytes with the terminator.
inline void Narrow16(const Steinberg::char16* text, char* out, int cap, int maxIn = 128) {
  if (!out || cap <= 0) return;
  int i = 0;
  if (text) {
    for (; i < cap - 1 && i < maxIn && text[i]; ++i) out[i] = text[i] > 0xFF ? '?' : static_cast<char>(text[i]);
  }
  out[i] = 0;
}

}  // namespace selvarin
