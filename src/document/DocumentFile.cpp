// SPDX-License-Identifier: GPL-3.0-or-later
#include "document/DocumentFile.h"

#include "ui/platform/EditingArea.h"

#include <QFile>
#include <QSaveFile>

#include <sys/stat.h>
#include <unistd.h>

#include <memory>

namespace DocumentFile {

namespace {

constexpr char kLineEnd[] = "\r\n";

// A short write is tried again with the rest, so that a failure ends with the system's
// reason for it rather than a count that came up short.
bool writeAll(QFileDevice& file, QByteArrayView text) {
    for (QByteArrayView rest : {text, QByteArrayView(kLineEnd, 2)}) {
        while (!rest.isEmpty()) {
            const qint64 written = file.write(rest.data(), rest.size());
            if (written <= 0) {
                return false;
            }
            rest = rest.sliced(written);
        }
    }
    return true;
}

// Writes into the existing node itself, unbuffered so that every failure shows at once.
bool writeInPlace(const QString& path, QByteArrayView text, QString* error) {
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate | QIODevice::Unbuffered)) {
        *error = file.errorString();
        return false;
    }
    if (!writeAll(file, text)) {
        *error = file.errorString();
        return false;
    }
    return true;
}

}  // namespace

LoadResult load(const QString& path, EditingArea& area) {
    LoadResult result;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly | QIODevice::Unbuffered)) {
        result.error = file.errorString();
        return result;
    }
    result.opened = true;
    constexpr qint64 kPiece = 4 << 20;
    std::unique_ptr<char[]> piece(new char[kPiece]);
    EditingArea::ShapeFinder finder;
    for (;;) {
        const qint64 n = file.read(piece.get(), kPiece);
        if (n < 0) {
            result.error = file.errorString();
            return result;
        }
        if (n == 0) {
            break;
        }
        finder.add(QByteArrayView(piece.get(), n));
    }
    piece.reset();
    if (!file.seek(0)) {
        result.error = file.errorString();
        return result;
    }
    result.loaded = area.streamBytes(finder.shape(), [&file](char* buffer, qint64 capacity) {
        return file.read(buffer, capacity);
    });
    if (!result.loaded) {
        result.error = file.errorString();
    }
    return result;
}

bool write(const QString& path, QByteArrayView text, QString* error) {
    // stat follows symbolic links: the node a link leads to is the one written, and
    // QSaveFile likewise replaces the link's target, not the link.
    struct stat old {};
    const bool exists = ::stat(QFile::encodeName(path).constData(), &old) == 0;
    if (exists && !S_ISREG(old.st_mode) && !S_ISDIR(old.st_mode)) {
        return writeInPlace(path, text, error);
    }

    QSaveFile file(path);
    // A folder we may not create files in can still hold a file we may write: then the
    // file is written in place.
    file.setDirectWriteFallback(true);
    if (!file.open(QIODevice::WriteOnly)) {
        *error = file.errorString();
        return false;
    }
    if (exists && (old.st_uid != ::geteuid() || old.st_gid != ::getegid())) {
        // Keep the owner where we may (as root, or a group we belong to); QSaveFile
        // already copies the permission bits.
        [[maybe_unused]] const int ignored = ::fchown(file.handle(), old.st_uid, old.st_gid);
        [[maybe_unused]] const int alsoIgnored = ::fchmod(file.handle(), old.st_mode & 07777);
    }
    if (!writeAll(file, text)) {
        *error = file.errorString();
        file.cancelWriting();
        return false;
    }
    if (!file.commit()) {
        *error = file.errorString();
        return false;
    }
    return true;
}

}  // namespace DocumentFile
