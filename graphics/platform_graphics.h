#pragma once
// The window host this build uses. Each host folder (headless/, later win32/
// or x11/) defines CreatePlatformGraphics; CMake compiles exactly one.
namespace selvarin {

class IAudioPlugin;
class IGraphics;

// The plug-in's editor on this build's window host (frame rate 0 means 24).
IGraphics* CreatePlatformGraphics(IAudioPlugin* plug, int width, int height, int frameRate);

}  // namespace selvarin
