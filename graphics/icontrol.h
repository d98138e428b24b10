#pragma once
// The base of every editor control: a rectangle, an optional parameter,
// its normalised value and dirty state, and the default reactions to the
// mouse (right-click entry, wheel step, double-click restore).
//
// Controls live on the editor's thread. Values from the audio thread reach
// them only through the graphics core's published mailboxes, which the core
// drains on its own thread before it routes an event or repaints.
#include "graphics/igraphics_types.h"

namespace selvarin {

class IAudioPlugin;
class IGraphics;
class IParamEntry;

class IControl {
 public:
  IControl(IAudioPlugin* plug, IArea rect, int paramIdx = -1);
  virtual ~IControl() = default;
  IControl(const IControl&) = delete;
  IControl& operator=(const IControl&) = delete;

  virtual void OnMouseDown(int x, int y, const IPointerState& mod);
  virtual void OnMouseUp(int x, int y, const IPointerState& mod) { (void)x, (void)y, (void)mod; }
  virtual void OnFileDrop(int x, int y, const char* path) { (void)x, (void)y, (void)path; }
  virtual void OnMouseDrag(int x, int y, int dX, int dY, const IPointerState& mod) {
    (void)x, (void)y, (void)dX, (void)dY, (void)mod;
  }
  virtual void OnMouseDoubleClick(int x, int y, const IPointerState& mod);
  virtual void OnMouseWheel(int x, int y, const IPointerState& mod, int delta);
  virtual void OnKeyDown(int x, int y, int key) { (void)x, (void)y, (void)key; }
  virtual void OnMouseOver(int x, int y, const IPointerState& mod) { (void)x, (void)y, (void)mod; }
  virtual void OnMouseOut() {}
  virtual bool Draw(IGraphics& g) = 0;
  virtual void ReceivePluginValue(double value);
  virtual void ReceiveEnteredValue(double value);
  virtual void OnPopupResult(const char* text, int index) { (void)text, (void)index; }
  virtual void Hide(bool hide);
  virtual void SetDisabled(bool gray);
  virtual bool HitTest(int x, int y) { return hitRect.Contains(x, y); }
  virtual void MarkDirty(bool pushValue);
  virtual void MarkClean() {
    dirty = redrawRequested;
    redrawRequested = false;
  }
  virtual bool NeedsRedraw() { return dirty; }
  virtual void OnIdleTick() {}
  virtual void ReceiveEnteredText(const char* text) { (void)text; }
  // Editor thread, before each redraw check: takes over what the audio
  // thread published for this control (texts, marks). Nothing by default.
  virtual void PullPublished() {}
  // True when everything the control draws is clipped to the update
  // rectangle (plain image blits), so it may be drawn in several passes.
  virtual bool ClipsToDrawRect() const { return false; }

  // The window host calls this when an in-place entry over the control closes.
  void CloseTextEntry() {
    MarkDirty(true);
    redrawRequested = true;
  }

  // Set when the control is attached; the graphics core that owns it.
  void SetGraphics(IGraphics* g) { graphics_ = g; }
  IGraphics* Graphics() const { return graphics_; }
  IAudioPlugin* Plugin() const { return plug_; }
  // The bound parameter, or none.
  IParamEntry* Param() const;

  double value = 0.0;
  IControl* owner = nullptr;
  IArea rect;
  IArea hitRect;
  int paramIdx = -1;
  double defaultValue = -1.0;
  double clampLow = 0.0, clampHigh = 1.0;
  bool dirty = true;
  bool hidden = false;
  bool grayed = false;
  bool redrawRequested = false;
  bool promptDisabled = false;
  bool dblAsClick = false;
  IBlendMode blend;
  const char* tooltip = nullptr;

 protected:
  IAudioPlugin* plug_;
  IGraphics* graphics_ = nullptr;
};

}  // namespace selvarin
