#include "framework/param_entry.h"

#include <cmath>
#include <cstdio>
#include <cstring>

#include "framework/bounded_copy.h"

namespace selvarin {

void IParamEntry::DefineDouble(const char* name, double defaultValue, double minValue, double maxValue, double step,
                               const char* label) {
  if (kind_ == kParamNone) kind_ = kParamDouble;
  CopyBounded(name_, name);
  CopyBounded(label_, label);
  min_ = minValue;
  value_.store(defaultValue, std::memory_order_relaxed);
  defaultValue_ = defaultValue;
  step_ = step;
  // The range is never narrower than one step, so ToNormalized never divides by 0.
  max_ = maxValue >= minValue + step ? maxValue : minValue + step;
  int p = 0;
  double s = step;
  while (s != std::floor(s) && p < 6) {
    ++p;
    s *= 10.0;
  }
  precision_ = p;
}

void IParamEntry::DefineInt(const char* name, int defaultValue, int minValue, int maxValue, const char* label) {
  if (kind_ == kParamNone) kind_ = kParamInt;
  DefineDouble(name, defaultValue, minValue, maxValue, 1.0, label);
}

void IParamEntry::DefineEnum(const char* name, int defaultValue, int count, const char* label) {
  if (kind_ == kParamNone) kind_ = kParamEnum;
  DefineDouble(name, defaultValue, 0.0, static_cast<double>(count - 1), 1.0, label);
}

void IParamEntry::AddDisplayText(int value, const char* text) {
  ValueText vt;
  vt.value = value;
  CopyBounded(vt.text, text);
  displayTexts_.push_back(vt);
}

void IParamEntry::SetCurveExponent(double shape) {
  if (shape != 0.0) shape_ = shape;
}

void IParamEntry::SetGroup(const char* group) { CopyBounded(group_, group); }

double IParamEntry::FromNormalized(double x) const { return std::pow(x, shape_) * (max_ - min_) + min_; }

double IParamEntry::ToNormalized(double v) const {
  if (v < min_) v = min_;
  if (v > max_) v = max_;
  return std::pow((v - min_) / (max_ - min_), 1.0 / shape_);
}

void IParamEntry::SetFromNormalized(double x) {
  if (std::isnan(x)) return;
  if (x < 0.0) x = 0.0;
  if (x > 1.0) x = 1.0;
  double v = std::pow(x, shape_) * (max_ - min_) + min_;
  if (kind_ != kParamDouble) v = std::floor(v / step_ + 0.5) * step_;
  if (v >= max_) v = max_;
  value_.store(v, std::memory_order_relaxed);
}

void IParamEntry::SetFromReal(double v) {
  if (std::isnan(v)) return;
  if (v < min_) v = min_;
  if (v > max_) v = max_;
  value_.store(v, std::memory_order_relaxed);
}

namespace {
// Half away from zero, saturated into the int range (display only).
int32_t RoundToInt(double v) {
  double r = v >= 0.0 ? v + 0.5 : v - 0.5;
  if (!(r > -2147483648.0)) return INT32_MIN;
  if (!(r < 2147483648.0)) return INT32_MAX;
  return static_cast<int32_t>(r);
}
}  // namespace

void IParamEntry::FormatValue(double v, bool isNormalized, char out[kTextSize]) const {
  if (isNormalized) v = FromNormalized(v);
  const int32_t n = RoundToInt(v);
  for (const ValueText& vt : displayTexts_) {
    if (vt.value == n) {
      if (vt.text[0] != '\0') {
        CopyBounded(out, kTextSize, vt.text);
        return;
      }
      break;
    }
  }
  if (v == 0.0) {
    CopyBounded(out, kTextSize, "0");
  } else if (precision_ == 0) {
    const int32_t shown = negateDisplay_ ? (n == INT32_MIN ? INT32_MAX : -n) : n;
    std::snprintf(out, kTextSize, "%d", shown);
  } else {
    std::snprintf(out, kTextSize, "%.*f", precision_, negateDisplay_ ? -v : v);
  }
}

const char* IParamEntry::DisplayTextFor(int value) const {
  for (const ValueText& vt : displayTexts_)
    if (vt.value == value) return vt.text;
  return "";
}

const ValueText* IParamEntry::DisplayTextAt(int i) const {
  if (i < 0 || i >= DisplayTextCount()) return nullptr;
  return &displayTexts_[static_cast<size_t>(i)];
}

bool IParamEntry::ParseDisplayText(const char* text, int* outValue) const {
  if (!text) return false;
  for (const ValueText& vt : displayTexts_) {
    if (std::strcmp(vt.text, text) == 0) {
      if (outValue) *outValue = vt.value;
      return true;
    }
  }
  return false;
}

}  // namespace selvarin
