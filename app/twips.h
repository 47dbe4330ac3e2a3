// Window geometry in twips, 15 to a logical pixel. Positions and sizes are kept
// in whole pixels, so a value read back is the written one rounded to 15 twips.
#pragma once

#include <QWidget>
#include <cmath>

namespace murlen {

constexpr int kTwipsPerPixel = 15;

inline int TwipsToPixels(double twips) {
    if (!std::isfinite(twips)) return 0;
    return int(std::lround(twips / kTwipsPerPixel));
}
inline int PixelsToTwips(int pixels) { return pixels * kTwipsPerPixel; }

inline int TwipsLeft(const QWidget* w) { return PixelsToTwips(w->x()); }
inline int TwipsTop(const QWidget* w) { return PixelsToTwips(w->y()); }
inline int TwipsWidth(const QWidget* w) { return PixelsToTwips(w->width()); }
inline int TwipsHeight(const QWidget* w) { return PixelsToTwips(w->height()); }

inline void MoveTwips(QWidget* w, double left, double top) {
    w->move(TwipsToPixels(left), TwipsToPixels(top));
}
inline void SetTwipsGeometry(QWidget* w, double left, double top, double width, double height) {
    w->setGeometry(TwipsToPixels(left), TwipsToPixels(top), std::max(0, TwipsToPixels(width)),
                   std::max(0, TwipsToPixels(height)));
}

}  // namespace murlen
