#pragma once
// The engine's base class in the VST3 build: the VST3 adapter.
#include "vst3/vst3_adapter.h"

namespace selvarin {
using SelvarinBase = IVST3Adapter;
}
