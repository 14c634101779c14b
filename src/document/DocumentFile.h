// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>

#include <functional>

// Whole-file reads and writes of documents, as raw bytes: nothing is converted.
namespace DocumentFile {

// What tells one version of a file from another: the node it is and its size and time of
// last change. Invalid when there was no file.
struct FileIdentity {
    quint64 device = 0;
    quint64 inode = 0;
    qint64 size = -1;
    qint64 modifiedNs = 0;
    bool valid() const { return size >= 0; }
    bool operator==(const FileIdentity&) const = default;
};
// The identity of the file at path now (links followed); invalid when there is none.
FileIdentity identify(const QString& path);

// The largest file a document can hold: the editing area counts positions in ints.
constexpr qint64 kLargestFile = 0x7fffffff;

// Loads a whole file in one pass through a small buffer, so it is never held in memory
// twice. Only a regular file is read (a pipe, a socket, a device or a folder counts as a
// file that cannot be opened, and is never waited for). The receiver is handed the file's
// size and a reader (it fills a buffer and returns the count, 0 at the end, -1 on failure);
// it takes the new text only when all of it was read and reports whether it did, so that
// the editing area is otherwise left exactly as it was. A file larger than kLargestFile, or
// than the memory the system has left, is refused before anything is read.
struct LoadResult {
    bool opened = false;
    bool loaded = false;    // false: the editing area is as it was
    QString error;          // the reason, when not loaded
    bool tooLarge = false;  // not loaded for its size: the reason is the user's to read
    FileIdentity identity;  // of the file that was read
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
// The old file's mode bits, owner and group are kept. A file with more than one name, or
// one in a folder where no new file can be made, is written into itself (every name sees
// the new text): its old content is first copied aside (beside it, else in the state
// folder or the temporary folder) and room for the new text is taken before the old text
// is touched, so a full disk leaves the file as it was; the copy is removed once the new
// text is on disk, and a failure after that point names it. A device is written in place,
// as renaming over it would replace the node; a pipe or a socket is refused.
// On failure returns false and sets error to "Can't save <path>: <reason>", followed by a
// hint to use Save As where the file itself cannot be written.
bool write(const QString& path, QByteArrayView text, QString* error);

}  // namespace DocumentFile
