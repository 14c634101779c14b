// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QPixmap>
#include <QSize>

// The two pictures of the splash window, drawn at the size they are shown in (device
// pixels, so they stay sharp on high-density screens).
namespace SplashPictures {

// A small scene: a page of markup in front of a screen.
QPixmap scene(QSize size);
// The wide banner with the program's name.
QPixmap banner(QSize size);

}  // namespace SplashPictures
