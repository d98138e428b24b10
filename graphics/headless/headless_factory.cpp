// This build's window host: the headless one.
#include "graphics/headless/headless_graphics.h"
#include "graphics/platform_graphics.h"

namespace selvarin {

IGraphics* CreatePlatformGraphics(IAudioPlugin* plug, int width, int height, int frameRate) {
  return new HeadlessGraphics(plug, width, height, frameRate);
}

}  // namespace selvarin
