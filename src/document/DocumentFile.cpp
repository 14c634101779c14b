// SPDX-License-Identifier: GPL-3.0-or-later
#include "document/DocumentFile.h"

#include "recovery/RecoveryJournal.h"

#include <QDir>
#include <QFileInfo>
#include <QSaveFile>
#include <QStringList>
#include <QTemporaryFile>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
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

// Copies the first length bytes of the open file aside, beside it when its folder takes new files,
// else in the state folder or the temporary folder. Null, with the reason, when there was no room
// for the copy.
std::unique_ptr<QTemporaryFile> copyAside(const QString& path, int fd, qint64 length,
                                          QString* reason) {
    const QString copyName = QFileInfo(path).fileName() + QStringLiteral(".old-XXXXXX");
    QStringList folders{QFileInfo(path).absolutePath()};
    QString ignored;
    if (const QString state = RecoveryJournal::folder();
        RecoveryJournal::makeFolder(state, &ignored)) {
        folders << state;
    }
    folders << QDir::tempPath();
    std::unique_ptr<QTemporaryFile> copy;
    for (const QString& folder : folders) {
        copy = std::make_unique<QTemporaryFile>(QDir(folder).filePath(copyName));
        if (copy->open()) {
            break;
        }
    }
    if (!copy->isOpen()) {
        *reason = QStringLiteral("No room for a copy of the old text: ") + copy->errorString();
        return nullptr;
    }
    constexpr qint64 kPiece = 1 << 20;
    std::unique_ptr<char[]> piece(new char[kPiece]);
    for (qint64 left = length; left > 0;) {
        const qint64 n = readSome(fd, piece.get(), std::min(left, kPiece));
        if (n < 0) {
            *reason = systemError(errno);
            return nullptr;
        }
        if (n == 0) {
            break;
        }
        left -= n;
        if (!writeAll(copy->handle(), QByteArrayView(piece.get(), n))) {
            *reason = QStringLiteral("No room for a copy of the old text: ") + systemError(errno);
            return nullptr;
        }
    }
    if (::fsync(copy->handle()) != 0) {
        *reason = QStringLiteral("No room for a copy of the old text: ") + systemError(errno);
        return nullptr;
    }
    return copy;
}

// A file that cannot be replaced by a new one (it has a second name that must see the new
// text, or its folder takes no new file) is written into itself. Its old content is first
// copied aside, and the room the new text needs is taken before the old text is touched:
// when the disk is too full the file is left exactly as it was. The copy goes once the
// new text is safely written, and stays (named in the message) when the write failed.
bool writeIntoItself(const QString& path, const QByteArray& name, QByteArrayView text,
                     QString* reason, bool* fileItself) {
    *fileItself = true;
    Descriptor target(::open(name.constData(), O_RDWR | O_NOCTTY | O_CLOEXEC));
    struct stat old {};
    if (target.fd < 0 || ::fstat(target.fd, &old) != 0) {
        *reason = systemError(errno);
        return false;
    }
    *fileItself = false;
    const off_t newSize = static_cast<off_t>(text.size()) + 2;
    // A reservation only adds blocks, but it lengthens a shorter file, also when it fails
    // halfway: then the old length is put back, and the old bytes were never touched.
    auto putBackLength = [&] {
        struct stat now {};
        if (::fstat(target.fd, &now) == 0 && now.st_size != old.st_size) {
            [[maybe_unused]] const int ignored = ::ftruncate(target.fd, old.st_size);
        }
    };
    if (const int failed = ::posix_fallocate(target.fd, 0, newSize); failed != 0) {
        putBackLength();
        *reason = systemError(failed);
        return false;
    }
    const std::unique_ptr<QTemporaryFile> copy = copyAside(path, target.fd, old.st_size, reason);
    if (!copy) {
        putBackLength();
        return false;
    }
    // The new text goes over the old from the start and the rest is cut off afterwards:
    // cutting the file short first would give the reserved room back.
    if (::lseek(target.fd, 0, SEEK_SET) != 0 || !writeText(target.fd, text) ||
        ::ftruncate(target.fd, newSize) != 0 || ::fsync(target.fd) != 0) {
        *reason =
            systemError(errno) + QStringLiteral(". The old text is kept in ") + copy->fileName();
        copy->setAutoRemove(false);
        return false;
    }
    return true;  // the copy is removed with its object
}

// Whether a new file can be made in the folder of path, for the effective user.
bool folderTakesNewFiles(const QString& path) {
    const QByteArray folder = QFile::encodeName(QFileInfo(path).absolutePath());
    return ::faccessat(AT_FDCWD, folder.constData(), W_OK | X_OK, AT_EACCESS) == 0;
}

FileIdentity identityOf(const struct stat& st) {
    return {static_cast<quint64>(st.st_dev), static_cast<quint64>(st.st_ino),
            static_cast<qint64>(st.st_size),
            static_cast<qint64>(st.st_mtim.tv_sec) * 1000000000 + st.st_mtim.tv_nsec};
}

// The memory the system can still hand out, in bytes; -1 when it cannot be told.
qint64 availableMemory() {
    QFile info(QStringLiteral("/proc/meminfo"));
    if (!info.open(QIODevice::ReadOnly)) {
        return -1;
    }
    qint64 kilobytes = 0;
    int found = 0;
    for (const QByteArray& line : info.readAll().split('\n')) {
        if (line.startsWith("MemAvailable:") || line.startsWith("SwapFree:")) {
            kilobytes += line.mid(line.indexOf(':') + 1).trimmed().split(' ').value(0).toLongLong();
            ++found;
        }
    }
    return found == 2 ? kilobytes * 1024 : -1;
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
    result.identity = identityOf(st);
    // Refused before a byte is read: a file the editing area cannot address, or one the
    // memory left would not hold.
    const qint64 memory = availableMemory();
    if (memory >= 0 && st.st_size > memory) {
        result.error = QStringLiteral("Not enough memory to open a file of %1 bytes")
                           .arg(static_cast<qint64>(st.st_size));
        result.tooLarge = true;
        return result;
    }
    if (st.st_size > kLargestFile) {
        result.error = QStringLiteral("Quindo opens files up to 2 GiB");
        result.tooLarge = true;
        return result;
    }
    int readError = 0;
    result.loaded = receive(st.st_size, [&file, &readError](char* buffer, qint64 capacity) {
        const qint64 n = readSome(file.fd, buffer, capacity);
        if (n < 0) {
            readError = errno;
        }
        return n;
    });
    if (!result.loaded && readError) {
        result.error = systemError(readError);
    } else if (!result.loaded) {
        // The area found no room for the text.
        result.error = QStringLiteral("Not enough memory to open a file of %1 bytes")
                           .arg(static_cast<qint64>(st.st_size));
        result.tooLarge = true;
    }
    return result;
}

FileIdentity identify(const QString& path) {
    struct stat st {};
    if (::stat(QFile::encodeName(path).constData(), &st) != 0) {
        return {};
    }
    return identityOf(st);
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
        // Another name must see the new text; a folder we may not create files in can
        // still hold a file we may write.
        if (old.st_nlink > 1 || !folderTakesNewFiles(path)) {
            return writeIntoItself(path, name, text, &reason, &fileItself) || fail();
        }
    }

    // A regular file is replaced atomically.
    QSaveFile file(path);
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
