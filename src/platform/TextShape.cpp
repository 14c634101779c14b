// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/TextShape.h"

#include <algorithm>
#include <cstring>

using std::memcpy;

void ShapeFinder::add(QByteArrayView piece) {
    if (piece.isEmpty()) {
        return;
    }
    shape_.size += piece.size();
    // The first line end; a CR at the end of the previous piece waits for this one.
    if (crPending_) {
        shape_.lineEnd = piece[0] == '\n' ? LineEnd::CrLf : LineEnd::Cr;
        crPending_ = false;
    }
    if (shape_.lineEnd == LineEnd::None) {
        const qsizetype lf = piece.indexOf('\n');
        const qsizetype cr = piece.indexOf('\r');
        const qsizetype first = lf < 0 ? cr : cr < 0 ? lf : std::min(lf, cr);
        if (first >= 0) {
            if (piece[first] == '\n') {
                shape_.lineEnd = LineEnd::Lf;
            } else if (first + 1 == piece.size()) {
                crPending_ = true;
            } else {
                shape_.lineEnd = piece[first + 1] == '\n' ? LineEnd::CrLf : LineEnd::Cr;
            }
        }
    }
    if (!shape_.utf8) {
        return;
    }
    // A sequence cut by the end of the previous piece is completed from this one.
    qsizetype from = 0;
    if (carried_ > 0) {
        char joined[8];
        memcpy(joined, carry_, static_cast<size_t>(carried_));
        const qsizetype take = std::min<qsizetype>(4 - carried_, piece.size());
        if (take > 0) {
            memcpy(joined + carried_, piece.data(), static_cast<size_t>(take));
        }
        const qsizetype have = carried_ + take;
        // The sequence's own length, from its lead byte.
        const auto lead = static_cast<unsigned char>(joined[0]);
        const qsizetype need = lead >= 0xF0 ? 4 : lead >= 0xE0 ? 3 : 2;
        if (have < need) {
            memcpy(carry_, joined, static_cast<size_t>(have));
            carried_ = have;
            return;
        }
        if (!isValidUtf8(QByteArrayView(joined, need))) {
            shape_.utf8 = false;
            return;
        }
        from = need - carried_;
        carried_ = 0;
    }
    // Keep back an incomplete sequence at the end of this piece.
    qsizetype end = piece.size();
    for (qsizetype back = 1; back <= 3 && back <= end - from; ++back) {
        const auto b = static_cast<unsigned char>(piece[end - back]);
        if ((b & 0xC0) == 0x80) {
            continue;
        }
        if (b >= 0xC0) {
            const qsizetype need = b >= 0xF0 ? 4 : b >= 0xE0 ? 3 : 2;
            if (need > back) {
                end -= back;
            }
        }
        break;
    }
    if (!isValidUtf8(piece.sliced(from, end - from))) {
        shape_.utf8 = false;
        return;
    }
    carried_ = piece.size() - end;
    if (carried_ > 0) {
        memcpy(carry_, piece.data() + end, static_cast<size_t>(carried_));
    }
}

TextShape ShapeFinder::shape() const {
    TextShape result = shape_;
    if (carried_ > 0) {
        result.utf8 = false;  // the text ends inside a sequence
    }
    if (crPending_) {
        result.lineEnd = LineEnd::Cr;
    }
    return result;
}

TextShape shapeOf(QByteArrayView text) {
    ShapeFinder finder;
    finder.add(text);
    return finder.shape();
}
