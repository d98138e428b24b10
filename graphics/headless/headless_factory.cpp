// This build's window host: the headless one.
#include "graphics/headless/igraphics_headless.h"
#include "graphics/platform_graphics.h"

namespace selvarin {

IGraphics* CreatePlatformGraphics(IAudioPlugin* plug, int width, int height, int frameRate) {
  return new IGraphicsHeadless(plug, width, height, frameRate);
}

}  // namespace selvarin
