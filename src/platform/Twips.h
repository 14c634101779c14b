// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QRect>
#include <QSize>

// Window geometry is designed in twips (1/1440 inch). These helpers turn design values
// into device-independent pixels at the screen's logical dpi (15 twips a pixel at 96 dpi)
// and back.
namespace Twips {

double logicalDpi();
int toPixels(int twips);
int fromPixels(int pixels);
QSize toPixels(QSize twips);
QSize fromPixels(QSize pixels);
// Device pixels at a pixel density, for pictures drawn to be shown at that design size.
int toDevicePixels(int twips, qreal devicePixelRatio);
QSize toDevicePixels(QSize twips, qreal devicePixelRatio);
QRect rect(int left, int top, int width, int height);

}  // namespace Twips
