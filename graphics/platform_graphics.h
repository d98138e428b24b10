#pragma once
// The window host an editor is built on. Each host folder (headless/, win32/,
// x11/) defines CreatePlatformGraphics; the headless one is the graphics
// library's default, and the plug-in module compiles its window host's own.
namespace selvarin {

class IAudioPlugin;
class IGraphics;

// The plug-in's editor on this build's window host (frame rate 0 means 24).
IGraphics* CreatePlatformGraphics(IAudioPlugin* plug, int width, int height, int frameRate);

}  // namespace selvarin
