// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

// The maker's lines shown by the splash and the about box.
namespace Credits {

inline QString makerLine() {
    return QStringLiteral("\u00a9 1999 Tamblor9, by Tamblor");
}
inline QString webAddress() {
    return QStringLiteral("www.tamblor9.example");
}
inline QString emailAddress() {
    return QStringLiteral("tamblor@tamblor9.example");
}
// The tooltip of the logo pictures.
inline QString logoTip() {
    return QStringLiteral("Quindo by Tamblor9");
}

}  // namespace Credits
