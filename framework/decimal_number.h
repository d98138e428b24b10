#pragma once
// Decimal numbers in text, read the same whatever the process's locale (a
// host may have set one whose decimal mark is a comma): an optional sign,
// digits with an optional point (at least one digit), an optional exponent.
// "nan", "inf" and hexadecimal are not numbers here. Typed values, texts a
// host hands in, the renderer's options and X resources all read numbers
// this one way.
#include <cstddef>

namespace selvarin {

// Reads the number that text[0 .. length) begins with into *value; returns
// how many characters it took, 0 (and *value untouched) when the text
// begins with no number. A number too large for a double reads as
// +-HUGE_VAL, one too small as 0. An exponent without digits ("2e") is not
// part of the number.
size_t ReadDecimal(const char* text, size_t length, double* value);

// The number a NUL-terminated text begins with after spaces and tabs; 0 when
// it begins with none (null included).
double LeadingDecimal(const char* text);

// True when the whole of text[0 .. length) is one finite number, nothing
// around it.
bool ParseDecimal(const char* text, size_t length, double* value);

}  // namespace selvarin
