#pragma once

#include <QRect>
#include <QSize>
#include <cmath>

namespace shell {

// Places and sizes are given in twips; 15 twips make one device-independent pixel.
constexpr double kTwipsPerPixel = 15.0;

inline int toPixels(double twips) {
    return int(std::lround(twips / kTwipsPerPixel));
}
inline double toTwips(int pixels) {
    return pixels * kTwipsPerPixel;
}

inline QRect twipsRect(double left, double top, double width, double height) {
    return QRect(toPixels(left), toPixels(top), toPixels(width), toPixels(height));
}

// The screen's width and height in twips.
QSizeF screenTwips();

}  // namespace shell
