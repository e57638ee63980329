// The contrast ratio of two colours as the accessibility guidelines (WCAG 2) define it: from
// 1:1 (the same) to 21:1 (black on white). Text wants 4.5:1, and 7:1 for high contrast.
#pragma once

#include <algorithm>
#include <cmath>

#include "platform/Win32.h"

inline double RelativeLuminance(COLORREF c) {
    const auto linear = [](int channel) {
        const double v = channel / 255.0;
        return v <= 0.03928 ? v / 12.92 : std::pow((v + 0.055) / 1.055, 2.4);
    };
    return 0.2126 * linear(GetRValue(c)) + 0.7152 * linear(GetGValue(c)) +
           0.0722 * linear(GetBValue(c));
}

inline double ContrastRatio(COLORREF a, COLORREF b) {
    const double la = RelativeLuminance(a);
    const double lb = RelativeLuminance(b);
    return (std::max(la, lb) + 0.05) / (std::min(la, lb) + 0.05);
}
