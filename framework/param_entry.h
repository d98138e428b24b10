#pragma once
#include <atomic>
#include <cstdint>
#include <vector>

namespace selvarin {

enum ParamKind : int32_t { kParamNone = 0, kParamBool = 1, kParamInt = 2, kParamEnum = 3, kParamDouble = 4 };

// Bool, Int and Enum hold whole numbers; Double is the only continuous kind.
inline bool IsIntegerKind(ParamKind k) { return k == kParamBool || k == kParamInt || k == kParamEnum; }

struct ValueText {
  int32_t value = 0;
  char text[32] = {};
};

// One parameter: its value in its own unit, range, step, curve and display.
// Normalised value = ((value - min) / (max - min)) ^ (1 / shape).
class IParamEntry {
 public:
  static constexpr int kTextSize = 32;  // 31 characters and the terminator

  void DefineDouble(const char* name, double defaultValue, double minValue, double maxValue, double step,
                    const char* label = "");
  void DefineInt(const char* name, int defaultValue, int minValue, int maxValue, const char* label = "");
  void DefineEnum(const char* name, int defaultValue, int count, const char* label = "");
  void AddDisplayText(int value, const char* text);
  void SetCurveExponent(double shape);

  double FromNormalized(double x) const;
  double ToNormalized(double v) const;
  double NormalizedValue() const { return ToNormalized(Value()); }
  // Sets the value from a host or editor position. Inputs are taken as 0..1:
  // below 0 counts as 0, above 1 as 1, NaN leaves the value unchanged.
  void SetFromNormalized(double x);
  // Sets the value in its own unit, clamped into [min, max]. NaN is ignored.
  void SetFromReal(double v);

  // Writes the display string of v (a plain value, or a normalised one when
  // isNormalized) into out, at most 31 characters.
  void FormatValue(double v, bool isNormalized, char out[kTextSize]) const;
  const char* DisplayTextFor(int value) const;
  int DisplayTextCount() const { return static_cast<int>(displayTexts_.size()); }
  const ValueText* DisplayTextAt(int i) const;
  bool ParseDisplayText(const char* text, int* outValue) const;

  ParamKind Kind() const { return kind_; }
  double Value() const { return value_.load(std::memory_order_relaxed); }
  double Min() const { return min_; }
  double Max() const { return max_; }
  double Step() const { return step_; }
  double Shape() const { return shape_; }
  double DefaultValue() const { return defaultValue_; }
  int Precision() const { return precision_; }
  const char* Name() const { return name_; }
  const char* Label() const { return label_; }
  const char* Group() const { return group_; }
  bool NegateDisplay() const { return negateDisplay_; }
  bool CanAutomate() const { return canAutomate_; }

  void SetGroup(const char* group);
  void SetNegateDisplay(bool on) { negateDisplay_ = on; }
  void SetCanAutomate(bool on) { canAutomate_ = on; }

 private:
  ParamKind kind_ = kParamNone;
  // Set by the host's controller calls without the plug-in lock while the
  // audio thread reads it: atomic, and relaxed is enough (nothing else is
  // published with it).
  std::atomic<double> value_{0.0};
  double min_ = 0.0;
  double max_ = 1.0;
  double step_ = 1.0;
  double shape_ = 1.0;
  double defaultValue_ = 0.0;
  int32_t precision_ = 0;
  char name_[kTextSize] = {};
  char label_[kTextSize] = {};
  char group_[kTextSize] = {};
  bool negateDisplay_ = false;
  bool canAutomate_ = true;
  std::vector<ValueText> displayTexts_;
};

}  // namespace selvarin
