// The window host of the plug-in on X11 systems.
#include "graphics/platform_graphics.h"
#include "graphics/x11/x11_graphics.h"

namespace selvarin {

IGraphics* CreatePlatformGraphics(IAudioPlugin* plug, int width, int height, int frameRate) {
  return new X11Graphics(plug, width, height, frameRate);
}

}  // namespace selvarin
