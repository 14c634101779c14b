// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArrayView>
#include <QtGlobal>

// What a text is like, found before it is shown: whether it is valid UTF-8 (then it is
// shown in UTF-8 mode, otherwise as 8-bit text) and its first line end (which decides
// what Enter types). Pure byte logic, without widgets.

enum class LineEnd { None, CrLf, Lf, Cr };

struct TextShape {
    qint64 size = 0;
    bool utf8 = true;
    LineEnd lineEnd = LineEnd::None;
};

// True when the bytes are well-formed UTF-8 (no overlong forms, no surrogates).
inline bool isValidUtf8(QByteArrayView bytes) {
    return bytes.isValidUtf8();
}

// The shape of a whole text.
TextShape shapeOf(QByteArrayView text);

// Finds the shape of a text that is read in pieces; a UTF-8 sequence may be cut by the
// end of a piece.
class ShapeFinder {
  public:
    void add(QByteArrayView piece);
    TextShape shape() const;

  private:
    TextShape shape_;
    bool crPending_ = false;
    char carry_[4] = {};
    qsizetype carried_ = 0;
};
