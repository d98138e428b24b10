#pragma once
// The image drop-down: a button showing the current entry, and the image
// list it opens. The list writes the chosen value straight into the
// drop-down, which sends it to the plug-in when it next draws.
#include "graphics/icontrol.h"

namespace selvarin {

class IDropDownChild;

class IDropDown : public IControl {
 public:
  IDropDown(IAudioPlugin* plug, int param, int x, int y, const IImage& buttonImage, const IImage& listImage,
            int columns, int placement);
  void OnMouseDown(int x, int y, const IPointerState& mod) override;
  void OnMouseWheel(int, int, const IPointerState&, int) override {}
  bool Draw(IGraphics& g) override;
  bool ClipsToDrawRect() const override { return true; }
  // A value from the host is shown, not sent back: only the list's choices
  // (values that differ from what was drawn or received) reach the host.
  void ReceivePluginValue(double v) override;
  int Frame() const;
  bool IsOpen() const { return open_; }
  IDropDownChild* List() const { return list_; }

  IImage buttonImage;
  IImage listImage;
  int columns;
  int placement;

 private:
  IDropDownChild* list_ = nullptr;  // owned by the graphics core once attached
  double lastDrawnValue_ = 0.0;
  bool open_ = false;
  bool listCreated_ = false;
};

class IDropDownChild : public IControl {
 public:
  IDropDownChild(IAudioPlugin* plug, double* target, int x, int y, const IImage& listImage, int columns);
  void OnMouseDown(int x, int y, const IPointerState& mod) override;
  bool Draw(IGraphics& g) override;
  bool ClipsToDrawRect() const override { return true; }

  IImage listImage;
  int columns;

 private:
  double* target_;
};

}  // namespace selvarin
