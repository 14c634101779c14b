// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QtGlobal>

// Splits a colour value in colour-reference layout (red in the lowest byte, green in the
// second, blue in the third) into its three components.
class RGB {
  public:
    // Stores the colour value.
    void Color(qint32 lColor) { color_ = lColor; }

    quint8 Red() const;
    quint8 Green() const;
    quint8 Blue() const;

  private:
    qint32 color_ = 0;
};
