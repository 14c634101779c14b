// SPDX-License-Identifier: GPL-3.0-or-later
#include "snippets/RGB.h"

// Whole-number division truncates toward zero, and the mask keeps the low byte of the
// two's-complement result, so every stored value gives components in 0..255.

quint8 RGB::Red() const {
    return static_cast<quint8>(color_ & 255);
}

quint8 RGB::Green() const {
    return static_cast<quint8>((color_ / 256) & 255);
}

quint8 RGB::Blue() const {
    return static_cast<quint8>((color_ / 65536) & 255);
}
