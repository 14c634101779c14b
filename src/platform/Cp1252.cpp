// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/Cp1252.h"

#include <algorithm>
#include <iterator>

namespace Cp1252 {

namespace {

// The characters of bytes 0x80-0x9F.
constexpr char16_t kHigh[32] = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178,
};

// The byte of a character, or -1 when the code page has none.
int byteOf(char32_t c) {
    if (c < 0x80 || (c >= 0xA0 && c <= 0xFF)) {
        return static_cast<int>(c);
    }
    const auto* found = std::find(std::begin(kHigh), std::end(kHigh), c);
    return found == std::end(kHigh) ? -1 : 0x80 + static_cast<int>(found - std::begin(kHigh));
}

}  // namespace

QString toText(QByteArrayView bytes) {
    QString text(bytes.size(), Qt::Uninitialized);
    QChar* out = text.data();
    for (const char ch : bytes) {
        const auto b = static_cast<unsigned char>(ch);
        *out++ = b >= 0x80 && b < 0xA0 ? QChar(kHigh[b - 0x80]) : QChar(b);
    }
    return text;
}

QByteArray toBytes(const QString& text) {
    QByteArray bytes;
    bytes.reserve(text.size());
    for (qsizetype i = 0; i < text.size(); ++i) {
        char32_t c = text[i].unicode();
        if (QChar::isHighSurrogate(c) && i + 1 < text.size() && text[i + 1].isLowSurrogate()) {
            c = QChar::surrogateToUcs4(text[i], text[i + 1]);
            ++i;
        }
        const int b = byteOf(c);
        if (b >= 0) {
            bytes.append(static_cast<char>(b));
        } else {
            bytes.append("&#").append(QByteArray::number(static_cast<uint>(c))).append(';');
        }
    }
    return bytes;
}

}  // namespace Cp1252
