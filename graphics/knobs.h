#pragma once
// Knobs: a turning image with the value text under it, and a film strip
// whose frame follows the value. Both are dragged vertically (or
// horizontally) with a gearing; Shift or Control drags ten times finer.
#include "graphics/icontrol.h"

namespace selvarin {

class Knob : public IControl {
 public:
  Knob(IAudioPlugin* plug, int param, IArea rect, int direction, double gearing, const ITextStyle& style,
        const IImage& image, int cx, int cy, int textGap)
      : IControl(plug, rect, param), direction(direction), gearing(gearing), textStyle(style), image(image),
        centreX(cx), centreY(cy), textGap(textGap) {}
  void OnMouseDrag(int x, int y, int dX, int dY, const IPointerState& mod) override;

  int direction;
  double gearing;
  ITextStyle textStyle;
  IImage image;
  int centreX, centreY;
  int textGap;

 protected:
  // The value text of the control's value (with the unit label when asked);
  // false when there is none to draw. The text comes from the control's own
  // value, never from the parameter record the audio thread writes.
  bool ValueText(bool withLabel, char* out, int capacity) const;
};

class IKnobRotVal : public Knob {
 public:
  IKnobRotVal(IAudioPlugin* plug, int param, int cx, int cy, const IImage& image, const ITextStyle& style,
              int textGap, int angleRange, double gearing, int width, int direction, float hoverFade,
              bool showLabel);
  void OnMouseUp(int x, int y, const IPointerState& mod) override;
  void OnMouseOver(int x, int y, const IPointerState& mod) override;
  void OnMouseOut() override;
  bool Draw(IGraphics& g) override;
  // The image's angle for the current value, in radians.
  float Angle() const;

  int angleRange;
  float hoverFade;
  bool showLabel;
  bool hovered = false;
  IBlendMode imageBlend;
};

class IKnobMulti : public Knob {
 public:
  IKnobMulti(IAudioPlugin* plug, int param, int cx, int cy, const IImage& image, const ITextStyle& style,
             int textGap, double gearing, int width, int direction);
  bool Draw(IGraphics& g) override;
  int Frame() const;
};

}  // namespace selvarin
