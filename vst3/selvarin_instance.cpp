#include "engine/selvarin.h"
#include "vst3/plugin_instance.h"

namespace selvarin {

IVST3Adapter* CreatePluginInstance(const InstanceInfo& info) { return new CLS_SELVARIN(info); }

}  // namespace selvarin
