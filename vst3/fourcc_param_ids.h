#pragma once
// The parameter ids the plug-in answers besides its parameter indexes:
// four-character codes read as big-endian 32-bit integers. The adapter,
// the renderer and the tests that drive the plug-in as a host all use these.
#include "pluginterfaces/vst/vsttypes.h"

namespace selvarin {

// The program-change parameter "Presets"; also the id of the program list.
constexpr Steinberg::Vst::ParamID kPresetParamId = 0x70727374;  // 'prst'
// The bypass pseudo-parameter: accepted, never announced.
constexpr Steinberg::Vst::ParamID kBypassParamId = 0x62706173;  // 'bpas'

}  // namespace selvarin
