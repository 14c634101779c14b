// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/Twips.h"

#include <QGuiApplication>
#include <QScreen>

#include <cmath>

namespace Twips {

double logicalDpi() {
    const QScreen* screen = QGuiApplication::primaryScreen();
    const double dpi = screen ? screen->logicalDotsPerInch() : 96.0;
    return dpi > 0 ? dpi : 96.0;
}

int toPixels(int twips) {
    return static_cast<int>(std::lround(twips * logicalDpi() / 1440.0));
}

int fromPixels(int pixels) {
    return static_cast<int>(std::lround(pixels * 1440.0 / logicalDpi()));
}

QSize toPixels(QSize twips) {
    return {toPixels(twips.width()), toPixels(twips.height())};
}

int toDevicePixels(int twips, qreal devicePixelRatio) {
    return qRound(toPixels(twips) * devicePixelRatio);
}

QSize toDevicePixels(QSize twips, qreal devicePixelRatio) {
    return toPixels(twips) * devicePixelRatio;
}

QSize fromPixels(QSize pixels) {
    return {fromPixels(pixels.width()), fromPixels(pixels.height())};
}

QRect rect(int left, int top, int width, int height) {
    return {toPixels(left), toPixels(top), toPixels(width), toPixels(height)};
}

}  // namespace Twips
