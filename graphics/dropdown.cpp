#include "graphics/dropdown.h"

#include <cmath>

#include "framework/audio_plugin.h"
#include "graphics/igraphics.h"

namespace selvarin {

IDropDown::IDropDown(IAudioPlugin* plug, int param, int x, int y, const IImage& button, const IImage& list, int cols,
                     int place)
    : IControl(plug,
               IArea{x, y - 1, x + button.W,
                     y + RoundNearestF(static_cast<float>(button.H) / static_cast<float>(button.N > 0 ? button.N : 1)) + 1},
               param),
      buttonImage(button), listImage(list), columns(cols), placement(place) {}

int IDropDown::Frame() const { return FrameForValue(value, buttonImage.N); }

void IDropDown::ReceivePluginValue(double v) {
  IControl::ReceivePluginValue(v);
  lastDrawnValue_ = value;
}

bool IDropDown::Draw(IGraphics& g) {
  const int frame = Frame();
  if (listCreated_ && value != lastDrawnValue_) {
    redrawRequested = true;
    // The value goes to the host as one whole edit: a perform without its
    // begin and end is not an edit to a host.
    {
      HostEditScope edit(&g, plug_, paramIdx);
      MarkDirty(true);
    }
    if (list_) list_->Hide(true);
    open_ = false;
  }
  lastDrawnValue_ = value;
  const int n = buttonImage.N > 0 ? buttonImage.N : 1;
  const IArea dest{rect.L, rect.T + 1, rect.L + buttonImage.W,
                   rect.T + RoundNearestF(static_cast<float>(buttonImage.H) / static_cast<float>(n))};
  return g.BlitImageFrame(buttonImage, dest, frame, &blend, true);
}

void IDropDown::OnMouseDown(int x, int y, const IPointerState& mod) {
  if (mod.R) {
    if (!promptDisabled && listCreated_) {
      if (list_) list_->Hide(true);
      open_ = false;
    }
  } else if (open_) {
    if (list_) list_->Hide(true);
    open_ = false;
  } else {
    open_ = true;
    if (list_) {
      list_->Hide(false);
    } else if (graphics_) {
      const int lw = listImage.W, lh = listImage.H, w = rect.W();
      int lx, ly;
      switch (placement) {
        case 0: lx = rect.L; ly = rect.B - 1; break;
        case 1: lx = rect.R - lw; ly = rect.B - 1; break;
        case 2: lx = rect.L; ly = rect.T - lh + 1; break;
        case 3: lx = rect.R - lw; ly = rect.T - lh + 1; break;
        default: lx = rect.L + RoundNearest((w - lw) * 0.5); ly = rect.B - 1; break;
      }
      list_ = new IDropDownChild(plug_, &value, lx, ly, listImage, columns);
      graphics_->AddControl(list_);
      listCreated_ = true;
    }
  }
  (void)x, (void)y;
  MarkDirty(true);
}

IDropDownChild::IDropDownChild(IAudioPlugin* plug, double* target, int x, int y, const IImage& list, int cols)
    : IControl(plug, IArea{x, y, x + list.W, y + list.H}), listImage(list), columns(cols > 0 ? cols : 1),
      target_(target) {}

bool IDropDownChild::Draw(IGraphics& g) { return g.BlitImage(listImage, rect, 0, 0, &blend); }

void IDropDownChild::OnMouseDown(int x, int y, const IPointerState& mod) {
  if (mod.L && rect.W() > 0 && rect.H() > 0) {
    int column = static_cast<int>(std::floor(static_cast<float>(x - rect.L) * static_cast<float>(columns) /
                                             static_cast<float>(rect.W())));
    if (column > columns - 1) column = columns - 1;
    if (column < 0) column = 0;
    const int n = listImage.N;
    if (n > 0) {
      const int per = (n + columns - 1) / columns;
      const int dy = y - rect.T;
      for (int i = 0; i < n; ++i) {
        if (static_cast<double>(i + 1) * rect.H() * (1.0 / per) > dy) {
          // One entry alone has nowhere to go but 0.
          float v = n > 1 ? static_cast<float>(column * per + i) / static_cast<float>(n - 1) : 0.0f;
          if (!(v <= 1.0f)) v = 0.0f;
          if (target_) *target_ = v;
          MarkDirty(true);
          Hide(true);
          break;
        }
      }
    }
  }
  MarkDirty(true);
}

}  // namespace selvarin
