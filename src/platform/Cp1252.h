// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>

// The code page 8-bit documents are shown in: Windows-1252, the one such pages were
// written in, with printable characters (euro sign, quotation marks, dashes ...) at
// 0x80-0x9F. The editing area draws, measures and takes typed text with the same table.
namespace Cp1252 {

// One character per byte. The five bytes the code page leaves undefined (0x81, 0x8D,
// 0x8F, 0x90, 0x9D) become the control characters of the same value, so that toBytes
// gives every byte back.
QString toText(QByteArrayView bytes);

// One byte per character; a character the code page cannot hold becomes an HTML numeric
// character reference ("&#955;" for λ), which a browser shows as the character.
QByteArray toBytes(const QString& text);

}  // namespace Cp1252
