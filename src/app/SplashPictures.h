// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QImage>
#include <QPixmap>
#include <QSize>

// The two pictures of the splash window, at the size they are shown in (device pixels, so
// they stay sharp on high-density screens): stored at build time like the other pictures
// (platform/Pictures.h), or drawn for a size that was not.
namespace SplashPictures {

// Their places on the splash, in twips.
constexpr QSize kSceneTwips(1185, 1005);
constexpr QSize kBannerTwips(2490, 660);

// A small scene: a page of markup in front of a screen.
QPixmap scene(QSize size);
// The wide banner with the program's name.
QPixmap banner(QSize size);

QImage drawScene(QSize size);
QImage drawBanner(QSize size);

}  // namespace SplashPictures
