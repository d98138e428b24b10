#pragma once
// The simple controls: background image, text line, link area and image
// switches.
#include <string>

#include "graphics/icontrol.h"

namespace selvarin {

class IBitmapControl : public IControl {
 public:
  IBitmapControl(IAudioPlugin* plug, const IImage& image, int blendMethod);
  bool Draw(IGraphics& g) override;
  bool ClipsToDrawRect() const override { return true; }

  bool framesVertical = true;
  IImage image;
};

class ITextControl : public IControl {
 public:
  ITextControl(IAudioPlugin* plug, IArea rect, const ITextStyle& style, const char* text);
  bool Draw(IGraphics& g) override;
  void ReceiveEnteredText(const char* text) override;
  const std::string& Text() const { return text_; }

  ITextStyle textStyle;

 private:
  std::string text_;
};

class IURLControl : public IControl {
 public:
  IURLControl(IAudioPlugin* plug, IArea rect, const char* link, const char* fallback, const char* errorText);
  void OnMouseDown(int x, int y, const IPointerState& mod) override;
  bool Draw(IGraphics&) override { return true; }
  bool ClipsToDrawRect() const override { return true; }

 private:
  char link_[256] = {};
  char fallback_[256] = {};
  char errorText_[1024] = {};
};

// A two-state switch (value above 0.5 is on) drawn as a lit image.
class IButton : public IControl {
 public:
  IButton(IAudioPlugin* plug, int param, int x, int y, const IImage& image, float hoverWeight);
  void OnMouseDown(int x, int y, const IPointerState& mod) override;
  void OnMouseOver(int x, int y, const IPointerState& mod) override;
  void OnMouseOut() override;
  void OnMouseWheel(int, int, const IPointerState&, int) override {}
  bool Draw(IGraphics& g) override;
  bool ClipsToDrawRect() const override { return true; }

  IImage image;
  bool hovered = false;
  float hoverWeight;

 protected:
  void Toggle(const IPointerState& mod) {
    if (!mod.R) value = value <= 0.5 ? 1.0 : 0.0;
  }
};

// A switch that also raises a flag before its value reaches the plug-in, so
// the plug-in's reaction can tell a click in the editor from a host change.
// The flag is the plug-in's and is read and cleared under its lock, so it is
// raised (and lowered after the value went through) under that lock too.
class IButtonClick : public IButton {
 public:
  IButtonClick(IAudioPlugin* plug, int param, int x, int y, const IImage& image, float hoverWeight, bool* clicked)
      : IButton(plug, param, x, y, image, hoverWeight), clicked_(clicked) {}
  void OnMouseDown(int x, int y, const IPointerState& mod) override;

 private:
  bool* clicked_;
};

// A momentary button: on from mouse-down to mouse-up.
class IButtonHold : public IControl {
 public:
  IButtonHold(IAudioPlugin* plug, int param, int x, int y, const IImage& image);
  void OnMouseDown(int x, int y, const IPointerState& mod) override;
  void OnMouseUp(int x, int y, const IPointerState& mod) override;
  void OnMouseWheel(int, int, const IPointerState&, int) override {}
  bool Draw(IGraphics& g) override;
  bool ClipsToDrawRect() const override { return true; }

  IImage image;
};

}  // namespace selvarin
