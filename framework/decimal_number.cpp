#include "framework/decimal_number.h"

#include <charconv>
#include <cmath>
#include <cstring>
#include <system_error>

namespace selvarin {

size_t ReadDecimal(const char* text, size_t length, double* value) {
  if (!text || !value) return 0;
  const char* const stop = text + length;
  const auto isDigit = [stop](const char* q) { return q < stop && *q >= '0' && *q <= '9'; };
  const char* p = text;
  const bool negative = p < stop && *p == '-';
  if (p < stop && (*p == '+' || *p == '-')) ++p;
  const char* const unsignedStart = p;
  int digits = 0;
  bool nonZero = false;
  for (; isDigit(p); ++p, ++digits) nonZero |= *p != '0';
  if (p < stop && *p == '.')
    for (++p; isDigit(p); ++p, ++digits) nonZero |= *p != '0';
  if (digits == 0) return 0;
  const char* end = p;
  bool negativeExponent = false;
  if (p < stop && (*p == 'e' || *p == 'E')) {
    const char* q = p + 1;
    const bool minus = q < stop && *q == '-';
    if (q < stop && (*q == '+' || *q == '-')) ++q;
    if (isDigit(q)) {
      while (isDigit(q)) ++q;
      end = q;
      negativeExponent = minus;
    }
  }
  // from_chars takes no sign of its own but a '-', and never a locale.
  double v = 0.0;
  const std::from_chars_result r = std::from_chars(unsignedStart, end, v);
  if (r.ec == std::errc::result_out_of_range) v = nonZero && !negativeExponent ? HUGE_VAL : 0.0;
  else if (r.ec != std::errc()) return 0;
  *value = negative ? -v : v;
  return static_cast<size_t>(r.ptr - text);
}

double LeadingDecimal(const char* text) {
  if (!text) return 0.0;
  while (*text == ' ' || *text == '\t') ++text;
  double v = 0.0;
  return ReadDecimal(text, std::strlen(text), &v) > 0 ? v : 0.0;
}

bool ParseDecimal(const char* text, size_t length, double* value) {
  double v = 0.0;
  if (length == 0 || ReadDecimal(text, length, &v) != length || !std::isfinite(v)) return false;
  *value = v;
  return true;
}

}  // namespace selvarin
