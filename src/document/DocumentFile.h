// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>

#include <functional>

// Whole-file reads and writes of documents, as raw bytes: nothing is converted.
namespace DocumentFile {

// Loads a whole file in one pass through a small buffer, so it is never held in memory
// twice. Only a regular file is read (a pipe, a socket, a device or a folder counts as a
// file that cannot be opened, and is never waited for). The receiver is handed the file's
// size and a reader (it fills a buffer and returns the count, 0 at the end, -1 on failure);
// it takes the new text only when all of it was read and reports whether it did, so that
// the editing area is otherwise left exactly as it was.
struct LoadResult {
    bool opened = false;
    bool loaded = false;  // false: the editing area is as it was
    QString error;        // the reason, when not loaded
};
using Reader = std::function<qint64(char*, qint64)>;
using Receiver = std::function<bool(qint64 sizeHint, const Reader& next)>;
LoadResult load(const QString& path, const Receiver& receive);
// Into anything that streams bytes in like the editing area.
template <typename Area>
LoadResult load(const QString& path, Area& area) {
    return load(path, Receiver([&area](qint64 size, const Reader& next) {
                    return area.streamBytes(size, next);
                }));
}

// Writes text followed by CR LF. A regular file (or a new one) is replaced atomically: the
// bytes go to a temporary file in the same folder that is renamed over the target only
// when everything was written, so a failure or a crash leaves the old file as it was.
// The old file's mode bits, owner and group are kept. A file with more than one name is
// written into itself, so that every name sees the new text, after its old content was
// copied aside (the copy is removed once the write succeeded). A device is written in
// place, as renaming over it would replace the node; a pipe or a socket is refused.
// On failure returns false and sets error to "Can't save <path>: <reason>", followed by a
// hint to use Save As where the file itself cannot be written.
bool write(const QString& path, QByteArrayView text, QString* error);

}  // namespace DocumentFile
