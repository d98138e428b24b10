// Interface ids of the Linux hosts' run loop, which the SDK declares in
// iplugview.h for Linux only; the file that defines them is not part of the
// package.
#include "pluginterfaces/base/funknown.h"
#include "pluginterfaces/gui/iplugview.h"

namespace Steinberg {
namespace Linux {
DEF_CLASS_IID(IEventHandler)
DEF_CLASS_IID(ITimerHandler)
DEF_CLASS_IID(IRunLoop)
}  // namespace Linux
}  // namespace Steinberg
