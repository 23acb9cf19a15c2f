// What the native rule tests share: a fixed-size field's text and freshly defaulted records.
#pragma once

#include "core/records.h"
#include "ui/bounded_string.h"

#include <string>

// A field's text up to its terminator, or the whole field when it has none.
template <size_t N> std::u16string Text(const char16_t (&units)[N]) {
    return std::u16string(units, cv::BoundedLength(units, N));
}

inline cv::PluginDevmode DefaultDevmode() {
    cv::PluginDevmode dm{};
    cv::defaultPluginDevmode(&dm);
    return dm;
}

inline cv::WatermarkSettings DefaultWatermark() {
    cv::WatermarkSettings wm{};
    cv::ResetWatermark(&wm);
    return wm;
}
