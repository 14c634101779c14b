#include "document/DocumentFile.h"

#include <QFile>
#include <QSaveFile>

#include <sys/stat.h>
#include <unistd.h>

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

ReadResult read(const QString& path) {
    ReadResult result;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        result.error = file.errorString();
        return result;
    }
    result.opened = true;
    QByteArray bytes = file.readAll();
    if (file.error() != QFileDevice::NoError) {
        result.error = file.errorString();
        return result;
    }
    result.bytes = std::move(bytes);
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
