// This build's window host: Windows.
#include "graphics/platform_graphics.h"
#include "graphics/win32/igraphics_win.h"

namespace selvarin {

IGraphics* CreatePlatformGraphics(IAudioPlugin* plug, int width, int height, int frameRate) {
  return new IGraphicsWin(plug, width, height, frameRate);
}

}  // namespace selvarin
