#pragma once
// The one plug-in class this module offers. The module's entry code calls it
// under the creation mutex; each build of the module supplies it.
#include "framework/instance_info.h"
#include "vst3/vst3_adapter.h"

namespace selvarin {

IVST3Adapter* CreatePluginInstance(const InstanceInfo& info);

}  // namespace selvarin
