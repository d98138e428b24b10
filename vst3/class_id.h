#pragma once
// The plug-in's class ID. Its four words are fixed; the byte order of the 16
// bytes follows the SDK's rule for the platform (the COM layout on Windows,
// each word most significant byte first elsewhere), so the ID's string form
// is the same everywhere and projects move between platforms.
#include <cstdint>

#include "framework/audio_plugin.h"
#include "pluginterfaces/base/funknown.h"

namespace selvarin {

constexpr uint32_t kClassIdWord1 = 0xF2AEE70D;
constexpr uint32_t kClassIdWord2 = 0x00DE4F4E;
constexpr uint32_t kClassIdWord3 = static_cast<uint32_t>(FourCC('K', 'v', 'L', 'n'));  // manufacturer
constexpr uint32_t kClassIdWord4 = static_cast<uint32_t>(FourCC('v', '1', 'i', 'd'));  // plug-in

// The ID as the SDK's string form shows it: the four words in hex.
constexpr const char* kClassIdString = "F2AEE70D00DE4F4E4B764C6E76316964";

inline void SelvarinClassId(Steinberg::TUID out) {
  const Steinberg::TUID id = INLINE_UID(kClassIdWord1, kClassIdWord2, kClassIdWord3, kClassIdWord4);
  for (int i = 0; i < 16; ++i) out[i] = id[i];
}

}  // namespace selvarin
