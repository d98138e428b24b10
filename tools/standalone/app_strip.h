#pragma once
// The application's strip under the editor: the preset's name with previous
// and next, the output device, sample rate and buffer size (each opens a
// list), a status line (device, rate, CPU load, drop-outs) and a line for
// what the user must know (a missing device, a refused rate).
#include <string>

namespace selvarin {

class IGraphics;
class TextBox;

enum class ListKind { kPresets, kDevices, kRates, kBuffers };

class StripActions {
 public:
  virtual ~StripActions() = default;
  virtual void OnPresetStep(int delta) = 0;
  virtual void OnOpenList(ListKind kind) = 0;
};

class AppStrip {
 public:
  static constexpr int kHeight = 118;

  // The strip's graphics on this build's window host, `width` layout pixels
  // wide, drawn at the display scale (its window is ScaledWidth() by
  // ScaledHeight() device pixels).
  AppStrip(int width, double scale, StripActions* actions);
  ~AppStrip();
  AppStrip(const AppStrip&) = delete;
  AppStrip& operator=(const AppStrip&) = delete;

  IGraphics* Graphics() const { return graphics_; }
  void SetPreset(const std::string& text);
  void SetDevice(const std::string& text);
  void SetRate(const std::string& text);
  void SetBuffer(const std::string& text);
  void SetStatus(const std::string& text);
  // A problem shows in the warning colour.
  void SetMessage(const std::string& text, bool problem);

 private:
  IGraphics* graphics_ = nullptr;
  TextBox* preset_ = nullptr;
  TextBox* device_ = nullptr;
  TextBox* rate_ = nullptr;
  TextBox* buffer_ = nullptr;
  TextBox* status_ = nullptr;
  TextBox* message_ = nullptr;
};

// Where the strip's boxes lie (strip coordinates), for tests and layout.
struct StripLayout {
  static constexpr int kPrevL = 10, kPrevR = 36;
  static constexpr int kRow1T = 10, kRow1B = 36;
  static constexpr int kRow2T = 44, kRow2B = 70;
  static constexpr int kDeviceR = 318, kRateL = 326, kRateR = 432, kBufferL = 440;
};

}  // namespace selvarin
