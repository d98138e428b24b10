#include "tools/standalone/app_strip.h"

#include "graphics/igraphics.h"
#include "graphics/platform_graphics.h"
#include "tools/standalone/strip_controls.h"

namespace selvarin {

using namespace strip_colours;
using L = StripLayout;

AppStrip::AppStrip(int width, double scale, StripActions* actions) {
  graphics_ = CreatePlatformGraphics(nullptr, width, kHeight, 24);
  IGraphics& g = *graphics_;
  const ITextStyle text = MakeTextStyle("Arial", 14, kText);
  ITextStyle arrow = MakeTextStyle("Arial", 16, kText, 1);
  arrow.style = 1;  // bold
  const ITextStyle small = MakeTextStyle("Arial", 12, kDim);
  const int w = width;

  g.AddControl(new PanelBackground(IArea{0, 0, w, kHeight}, kPanel, true));
  auto* previous =
      new TextBox(IArea{L::kPrevL, L::kRow1T, L::kPrevR, L::kRow1B}, arrow, [actions] { actions->OnPresetStep(-1); });
  auto* next = new TextBox(IArea{w - L::kPrevR, L::kRow1T, w - L::kPrevL, L::kRow1B}, arrow,
                           [actions] { actions->OnPresetStep(1); });
  previous->SetText("<");
  next->SetText(">");
  preset_ = new TextBox(IArea{L::kPrevR + 8, L::kRow1T, w - L::kPrevR - 8, L::kRow1B}, text,
                        [actions] { actions->OnOpenList(ListKind::kPresets); });
  g.AddControl(previous);
  g.AddControl(preset_);
  g.AddControl(next);
  device_ = new TextBox(IArea{L::kPrevL, L::kRow2T, L::kDeviceR * w / 550, L::kRow2B}, text,
                        [actions] { actions->OnOpenList(ListKind::kDevices); });
  rate_ = new TextBox(IArea{L::kRateL * w / 550, L::kRow2T, L::kRateR * w / 550, L::kRow2B}, text,
                      [actions] { actions->OnOpenList(ListKind::kRates); });
  buffer_ = new TextBox(IArea{L::kBufferL * w / 550, L::kRow2T, w - L::kPrevL, L::kRow2B}, text,
                        [actions] { actions->OnOpenList(ListKind::kBuffers); });
  g.AddControl(device_);
  g.AddControl(rate_);
  g.AddControl(buffer_);
  status_ = new TextBox(IArea{L::kPrevL + 2, 76, w - L::kPrevL, 90}, small);
  message_ = new TextBox(IArea{L::kPrevL + 2, 90, w - L::kPrevL, 118}, small, nullptr, 2);
  g.AddControl(status_);
  g.AddControl(message_);
  g.PrepareSurface();
  g.SetScale(scale);
}

AppStrip::~AppStrip() { delete graphics_; }

void AppStrip::SetPreset(const std::string& text) { preset_->SetText(text); }
void AppStrip::SetDevice(const std::string& text) { device_->SetText(text); }
void AppStrip::SetRate(const std::string& text) { rate_->SetText(text); }
void AppStrip::SetBuffer(const std::string& text) { buffer_->SetText(text); }
void AppStrip::SetStatus(const std::string& text) { status_->SetText(text); }

void AppStrip::SetMessage(const std::string& text, bool problem) {
  message_->SetColour(problem ? kWarning : kDim);
  message_->SetText(text);
}

}  // namespace selvarin
