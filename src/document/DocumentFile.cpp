// SPDX-License-Identifier: GPL-3.0-or-later
#include "document/DocumentFile.h"

#include <QDir>
#include <QFileInfo>
#include <QSaveFile>
#include <QTemporaryFile>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <memory>

namespace DocumentFile {

namespace {

constexpr char kLineEnd[] = "\r\n";

QString systemError(int code) {
    return QString::fromLocal8Bit(std::strerror(code));
}

// Why a node that is no regular file is neither read nor replaced.
QString notAFile(mode_t mode) {
    if (S_ISDIR(mode)) {
        return systemError(EISDIR);
    }
    if (S_ISFIFO(mode)) {
        return QStringLiteral("Is a named pipe, not a file");
    }
    if (S_ISSOCK(mode)) {
        return QStringLiteral("Is a socket, not a file");
    }
    return QStringLiteral("Is a device, not a file");
}

// A file descriptor that is closed when it goes out of scope.
struct Descriptor {
    int fd = -1;
    explicit Descriptor(int d) : fd(d) {}
    Descriptor(const Descriptor&) = delete;
    Descriptor& operator=(const Descriptor&) = delete;
    ~Descriptor() {
        if (fd >= 0) {
            ::close(fd);
        }
    }
};

// Writes every byte, trying a short write again with the rest. Sets errno on failure.
bool writeAll(int fd, QByteArrayView text) {
    while (!text.isEmpty()) {
        const ssize_t written = ::write(fd, text.data(), static_cast<size_t>(text.size()));
        if (written < 0 && errno == EINTR) {
            continue;
        }
        if (written <= 0) {
            if (written == 0) {
                errno = EIO;
            }
            return false;
        }
        text = text.sliced(written);
    }
    return true;
}

bool writeText(int fd, QByteArrayView text) {
    return writeAll(fd, text) && writeAll(fd, QByteArrayView(kLineEnd, 2));
}

// The same for Qt's devices, so that a failure ends with the system's reason for it rather
// than a count that came up short.
bool writeText(QFileDevice& file, QByteArrayView text) {
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

qint64 readSome(int fd, char* buffer, qint64 capacity) {
    for (;;) {
        const ssize_t n = ::read(fd, buffer, static_cast<size_t>(capacity));
        if (n >= 0 || errno != EINTR) {
            return n;
        }
    }
}

// The message for a write that failed. Where the file itself cannot be written (as
// opposed to a disk that filled up, say), trying again will not help: another name will.
QString cannotSave(const QString& path, const QString& reason, bool fileItself) {
    QString message = QStringLiteral("Can't save ") + path + QStringLiteral(": ") + reason;
    if (fileItself) {
        message += QStringLiteral("\nUse Save As to save the document under another name.");
    }
    return message;
}

// A device is written into itself (replacing it by a file would take its place); opened
// without waiting, so that a node that turned into a pipe meanwhile does not block.
bool writeInPlace(const QByteArray& name, QByteArrayView text, QString* reason, bool* fileItself) {
    Descriptor file(::open(name.constData(), O_WRONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC));
    struct stat st {};
    *fileItself = true;
    if (file.fd < 0 || ::fstat(file.fd, &st) != 0) {
        *reason = systemError(errno);
        return false;
    }
    if (S_ISFIFO(st.st_mode) || S_ISSOCK(st.st_mode) || S_ISDIR(st.st_mode)) {
        *reason = notAFile(st.st_mode);
        return false;
    }
    ::fcntl(file.fd, F_SETFL, ::fcntl(file.fd, F_GETFL) & ~O_NONBLOCK);
    if (S_ISREG(st.st_mode) && ::ftruncate(file.fd, 0) != 0) {
        *reason = systemError(errno);
        return false;
    }
    *fileItself = false;
    if (!writeText(file.fd, text) || (S_ISREG(st.st_mode) && ::fsync(file.fd) != 0)) {
        *reason = systemError(errno);
        return false;
    }
    const int closed = ::close(file.fd);
    file.fd = -1;
    if (closed != 0) {
        *reason = systemError(errno);
        return false;
    }
    return true;
}

// A file with a second name is written into itself, so that every name sees the new
// text. Its old content is first copied aside; the copy goes once the new text is safely
// written, and stays (named in the message) when the write failed.
bool writeLinked(const QString& path, const QByteArray& name, QByteArrayView text, QString* reason,
                 bool* fileItself) {
    *fileItself = true;
    Descriptor target(::open(name.constData(), O_RDWR | O_NOCTTY | O_CLOEXEC));
    if (target.fd < 0) {
        *reason = systemError(errno);
        return false;
    }
    *fileItself = false;
    const QFileInfo info(path);
    QTemporaryFile copy(info.dir().filePath(info.fileName() + QStringLiteral(".old-XXXXXX")));
    if (!copy.open()) {
        copy.setFileTemplate(
            QDir::temp().filePath(info.fileName() + QStringLiteral(".old-XXXXXX")));
        if (!copy.open()) {
            *reason = QStringLiteral("No room for a copy of the old text: ") + copy.errorString();
            return false;
        }
    }
    constexpr qint64 kPiece = 1 << 20;
    std::unique_ptr<char[]> piece(new char[kPiece]);
    for (;;) {
        const qint64 n = readSome(target.fd, piece.get(), kPiece);
        if (n < 0) {
            *reason = systemError(errno);
            return false;
        }
        if (n == 0) {
            break;
        }
        if (!writeAll(copy.handle(), QByteArrayView(piece.get(), n))) {
            *reason = QStringLiteral("No room for a copy of the old text: ") + systemError(errno);
            return false;
        }
    }
    if (::fsync(copy.handle()) != 0) {
        *reason = QStringLiteral("No room for a copy of the old text: ") + systemError(errno);
        return false;
    }
    if (::lseek(target.fd, 0, SEEK_SET) != 0 || ::ftruncate(target.fd, 0) != 0 ||
        !writeText(target.fd, text) || ::fsync(target.fd) != 0) {
        *reason =
            systemError(errno) + QStringLiteral(". The old text is kept in ") + copy.fileName();
        copy.setAutoRemove(false);
        return false;
    }
    return true;  // the copy is removed with its object
}

}  // namespace

LoadResult load(const QString& path, const Receiver& receive) {
    LoadResult result;
    const QByteArray name = QFile::encodeName(path);
    // Only a regular file is read: opening a pipe waits for a writer, and a device may
    // never end. The type is checked before the open (opening some devices does
    // something) and again after it, in case the node was replaced meanwhile.
    struct stat st {};
    if (::stat(name.constData(), &st) != 0) {
        result.error = systemError(errno);
        return result;
    }
    if (!S_ISREG(st.st_mode)) {
        result.error = notAFile(st.st_mode);
        return result;
    }
    Descriptor file(::open(name.constData(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC));
    if (file.fd < 0 || ::fstat(file.fd, &st) != 0) {
        result.error = systemError(errno);
        return result;
    }
    if (!S_ISREG(st.st_mode)) {
        result.error = notAFile(st.st_mode);
        return result;
    }
    result.opened = true;
    int readError = 0;
    result.loaded = receive(st.st_size, [&file, &readError](char* buffer, qint64 capacity) {
        const qint64 n = readSome(file.fd, buffer, capacity);
        if (n < 0) {
            readError = errno;
        }
        return n;
    });
    if (!result.loaded) {
        result.error = systemError(readError ? readError : ENOMEM);
    }
    return result;
}

bool write(const QString& path, QByteArrayView text, QString* error) {
    const QByteArray name = QFile::encodeName(path);
    QString reason;
    bool fileItself = true;
    auto fail = [&] {
        *error = cannotSave(path, reason, fileItself);
        return false;
    };
    // stat follows symbolic links: the node a link leads to is the one written, and
    // QSaveFile likewise replaces the link's target, not the link.
    struct stat old {};
    const bool exists = ::stat(name.constData(), &old) == 0;
    if (exists) {
        if (S_ISFIFO(old.st_mode) || S_ISSOCK(old.st_mode) || S_ISDIR(old.st_mode)) {
            reason = notAFile(old.st_mode);
            return fail();
        }
        if (!S_ISREG(old.st_mode)) {
            return writeInPlace(name, text, &reason, &fileItself) || fail();
        }
        if (::access(name.constData(), W_OK) != 0) {
            reason = systemError(errno);
            return fail();
        }
        if (old.st_nlink > 1) {
            return writeLinked(path, name, text, &reason, &fileItself) || fail();
        }
    }

    // A regular file is replaced atomically.
    QSaveFile file(path);
    // A folder we may not create files in can still hold a file we may write: then the
    // file is written in place.
    file.setDirectWriteFallback(true);
    if (!file.open(QIODevice::WriteOnly)) {
        reason = file.errorString();
        return fail();
    }
    fileItself = false;
    if (exists) {
        // Keep the owner where we may (as root, or a group we belong to), then the exact
        // mode: QSaveFile adds the owner's write bit and drops set-group-ID, and a change
        // of owner clears the set-ID bits.
        if (old.st_uid != ::geteuid() || old.st_gid != ::getegid()) {
            [[maybe_unused]] const int ignored = ::fchown(file.handle(), old.st_uid, old.st_gid);
        }
        [[maybe_unused]] const int ignored = ::fchmod(file.handle(), old.st_mode & 07777);
    }
    if (!writeText(file, text)) {
        reason = file.errorString();
        file.cancelWriting();
        return fail();
    }
    if (!file.commit()) {
        reason = file.errorString();
        return fail();
    }
    return true;
}

}  // namespace DocumentFile
