#include "document/DocumentFile.h"

#include <QFile>
#include <QSaveFile>

#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

#include <utility>

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

FileBytes::FileBytes(FileBytes&& other) noexcept
    : map_(std::exchange(other.map_, nullptr)),
      size_(std::exchange(other.size_, 0)),
      mapped_(std::exchange(other.mapped_, 0)),
      released_(std::exchange(other.released_, 0)),
      other_(std::move(other.other_)) {}

FileBytes& FileBytes::operator=(FileBytes&& other) noexcept {
    if (this != &other) {
        this->~FileBytes();
        new (this) FileBytes(std::move(other));
    }
    return *this;
}

FileBytes::~FileBytes() {
    if (map_) {
        ::munmap(map_, static_cast<size_t>(mapped_));
    }
}

QByteArrayView FileBytes::view() const {
    if (map_) {
        return {map_, size_};
    }
    return other_;
}

void FileBytes::release(qsizetype length) {
    if (!map_) {
        return;
    }
    // Whole pages only; the page that holds the next unreleased byte stays.
    const qsizetype page = ::sysconf(_SC_PAGESIZE);
    const qsizetype end = std::min(length, size_) / page * page;
    if (end > released_) {
        ::madvise(map_ + released_, static_cast<size_t>(end - released_), MADV_DONTNEED);
        released_ = end;
    }
}

// Reads the whole file into private memory that can be given back piece by piece.
struct Reader {
    static bool readInto(QFile& file, FileBytes& bytes) {
        const qint64 size = file.size();
        if (size > 0) {
            void* map = ::mmap(nullptr, static_cast<size_t>(size), PROT_READ | PROT_WRITE,
                               MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
            if (map != MAP_FAILED) {
                bytes.map_ = static_cast<char*>(map);
                bytes.mapped_ = size;
                qint64 got = 0;
                while (got < size) {
                    const qint64 n = file.read(bytes.map_ + got, size - got);
                    if (n < 0) {
                        return false;
                    }
                    if (n == 0) {
                        break;  // the file shrank while it was read
                    }
                    got += n;
                }
                bytes.size_ = got;
                char probe;
                const qint64 more = file.read(&probe, 1);
                if (more < 0) {
                    return false;
                }
                if (more == 0) {
                    return true;
                }
                // The file grew while it was read: take it whole the ordinary way.
                ::munmap(bytes.map_, static_cast<size_t>(bytes.mapped_));
                bytes.map_ = nullptr;
                bytes.size_ = bytes.mapped_ = 0;
                if (!file.seek(0)) {
                    return false;
                }
            }
        }
        bytes.other_ = file.readAll();
        return file.error() == QFileDevice::NoError;
    }
};

ReadResult read(const QString& path) {
    ReadResult result;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly | QIODevice::Unbuffered)) {
        result.error = file.errorString();
        return result;
    }
    result.opened = true;
    FileBytes bytes;
    if (!Reader::readInto(file, bytes)) {
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
