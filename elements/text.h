// Text for the string elements: a format chosen on the double, then the double truncated
// toward zero to a 32-bit integer and written with wsprintfA.
#pragma once
#include "elements/elements.h"

extern "C" __attribute__((dllimport)) int __cdecl wsprintfA(char* buffer, const char* format, ...);

// Writes `format` with v truncated toward zero. The integer is held to [lowest, highest],
// the range in which the element's formats fit its max_chars, so the host's buffer is
// never overrun and no out-of-range double is ever converted; NaN writes `nan_text`.
inline void WriteTruncated(char* buffer, const char* format, double v, int32_t lowest,
                           int32_t highest, const char* nan_text) {
    if (v != v) {
        wsprintfA(buffer, nan_text);
        return;
    }
    int32_t n;
    if (v >= static_cast<double>(highest) + 1.0) {
        n = highest;
    } else if (v <= static_cast<double>(lowest) - 1.0) {
        n = lowest;
    } else {
        n = static_cast<int32_t>(v);
    }
    wsprintfA(buffer, format, n);
}
