// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

#include <sys/stat.h>

// Names the journal's two source files share: a copy's file suffixes and a file's
// modification time as the journal records it.
namespace RecoveryJournal {

inline const QString kSuffix = QStringLiteral(".journal");
inline const QString kCompactSuffix = QStringLiteral(".compacting");

inline qint64 mtimeOf(const struct stat& st) {
    return qint64(st.st_mtim.tv_sec) * 1000000000 + st.st_mtim.tv_nsec;
}

}  // namespace RecoveryJournal
