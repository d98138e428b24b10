#pragma once

namespace selvarin {

// What the plug-in base needs of its attached editor (the graphics core
// implements it). The base owns the attached object and deletes it.
class EditorLink {
 public:
  virtual ~EditorLink() = default;
  // Updates every control bound to the parameter; a plain value is first
  // converted with the parameter's ToNormalized.
  virtual void PushParamToControls(int paramIdx, double value, bool normalized) = 0;
  // Sets every control bound to the parameter as if the user had entered the
  // value: the controls forward it to the host and the plug-in applies it.
  virtual void ForwardControlValue(int paramIdx, double normalized) = 0;
  virtual void HideParamControls(int paramIdx, bool hide) = 0;
  // Creates the drawing surface at the editor's size.
  virtual void PrepareSurface() = 0;
  virtual int FrameRate() const = 0;
  // The window host calls FlushDeferredEndEdit after `ticks` timer ticks.
  virtual void StartEditEndTimer(int ticks) = 0;
  virtual void CancelEditEndTimer() = 0;
};

}  // namespace selvarin
