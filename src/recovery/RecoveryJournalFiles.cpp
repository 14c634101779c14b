// SPDX-License-Identifier: GPL-3.0-or-later
// The recovery journals as files: the copies other programs left behind, and the writer
// that appends, compacts and removes this window's copy on a thread of its own.
#include "recovery/RecoveryJournal.h"
#include "recovery/RecoveryJournalNames.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <time.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <future>
#include <optional>
#include <utility>

namespace RecoveryJournal {

// ---- orphans -------------------------------------------------------------------------------

namespace {

bool young(const struct stat& st) {
    struct timespec now {};
    ::clock_gettime(CLOCK_REALTIME, &now);
    return qint64(now.tv_sec) * 1000000000 + now.tv_nsec - mtimeOf(st) < kYoungNs;
}

}  // namespace

qint64 modifiedNs(const QString& path) {
    struct stat st {};
    return ::stat(QFile::encodeName(path).constData(), &st) == 0 ? mtimeOf(st) : -1;
}

QList<Orphan> takeOrphans(const QString& folderPath) {
    QList<Orphan> orphans;
    QDir dir(folderPath);
    const QStringList names =
        dir.entryList({QStringLiteral("*") + kSuffix, QStringLiteral("*") + kCompactSuffix},
                      QDir::Files | QDir::Hidden | QDir::System);
    for (const QString& name : names) {
        const QString path = dir.filePath(name);
        const QByteArray native = QFile::encodeName(path);
        const int fd = ::open(native.constData(), O_RDWR | O_CLOEXEC | O_NOFOLLOW);
        if (fd < 0) {
            continue;
        }
        // A running program holds its lock; and a lock taken on a file that was renamed
        // over in the meantime (a compaction) is on a file no longer there.
        struct stat held {};
        struct stat named {};
        if (::flock(fd, LOCK_EX | LOCK_NB) != 0 || ::fstat(fd, &held) != 0 ||
            ::stat(native.constData(), &named) != 0 || held.st_ino != named.st_ino ||
            held.st_dev != named.st_dev) {
            ::close(fd);
            continue;
        }
        if (name.endsWith(kCompactSuffix)) {
            // A journal that was never renamed into place: its program ended before (the
            // journal beside it is whole), unless it is so young that its program has not
            // locked it yet.
            if (!young(held)) {
                ::unlink(native.constData());
            }
            ::close(fd);
            continue;
        }
        Orphan orphan;
        orphan.path = path;
        orphan.fd = fd;
        orphan.modifiedNs = mtimeOf(held);
        orphan.modified = QDateTime::fromMSecsSinceEpoch(orphan.modifiedNs / 1000000);
        orphans.append(orphan);
    }
    std::sort(orphans.begin(), orphans.end(),
              [](const Orphan& a, const Orphan& b) { return a.modified > b.modified; });
    return orphans;
}

void release(Orphan& orphan) {
    if (orphan.fd >= 0) {
        ::close(orphan.fd);
        orphan.fd = -1;
    }
}

QByteArray readAll(int fd) {
    struct stat st {};
    if (::fstat(fd, &st) != 0) {
        return {};
    }
    QByteArray all(st.st_size, Qt::Uninitialized);
    qsizetype got = 0;
    while (got < all.size()) {
        const ssize_t n = ::pread(fd, all.data() + got, static_cast<size_t>(all.size() - got), got);
        if (n < 0 && errno == EINTR) {
            continue;
        }
        if (n <= 0) {
            break;
        }
        got += n;
    }
    all.truncate(got);
    return all;
}

// ---- the writer ------------------------------------------------------------------------------

Writer::Writer() : thread_([this] { run(); }) {}

Writer::~Writer() {
    {
        std::lock_guard lock(mutex_);
        stop_ = true;
    }
    wake_.notify_all();
    thread_.join();
    if (fd_ >= 0) {
        ::close(fd_);
    }
}

void Writer::post(std::function<void()> work) {
    {
        std::lock_guard lock(mutex_);
        queue_.push_back(std::move(work));
    }
    wake_.notify_all();
}

void Writer::run() {
    std::unique_lock lock(mutex_);
    for (;;) {
        wake_.wait(lock, [this] { return stop_ || !queue_.empty(); });
        if (queue_.empty()) {
            return;  // stopping, with nothing left to do
        }
        std::function<void()> work = std::move(queue_.front());
        queue_.pop_front();
        busy_ = true;
        lock.unlock();
        work();
        lock.lock();
        busy_ = false;
        if (queue_.empty()) {
            idle_.notify_all();
        }
    }
}

void Writer::fail(const QString& what) {
    {
        std::lock_guard lock(mutex_);
        if (!failed_) {
            error_ = what;
        }
        failed_ = true;
    }
    // A copy that misses edits would later be offered as the unsaved text: it goes now.
    // Where it cannot be deleted, it is emptied, and an empty journal offers nothing.
    if (fd_ >= 0) {
        if (::unlink(QFile::encodeName(path_).constData()) != 0) {
            [[maybe_unused]] const int ignored = ::ftruncate(fd_, 0);
        }
        ::close(fd_);
        fd_ = -1;
    }
}

bool Writer::failed() const {
    std::lock_guard lock(mutex_);
    return failed_;
}

bool Writer::takeBaseFailed() {
    std::lock_guard lock(mutex_);
    return std::exchange(baseFailed_, false);
}

QString Writer::error() const {
    std::lock_guard lock(mutex_);
    return error_;
}

bool Writer::writeAll(int fd, QByteArrayView bytes) {
    while (!bytes.isEmpty()) {
        const ssize_t n = ::write(fd, bytes.data(), static_cast<size_t>(bytes.size()));
        if (n < 0 && errno == EINTR) {
            continue;
        }
        if (n <= 0) {
            fail(QString::fromLocal8Bit(strerror(errno)));
            return false;
        }
        bytes = bytes.sliced(n);
    }
    return true;
}

// Writes a whole journal under the temporary name, locked from its first moment on, and
// renames it into place: a new one only where no file is, a compaction over the old one.
// Returns the locked descriptor, or -1 after fail().
int Writer::writeNew(QByteArrayView journal, bool replacing) {
    const QByteArray target = QFile::encodeName(path_);
    const QByteArray temporary = QFile::encodeName(path_ + kCompactSuffix);
    constexpr int kFlags = O_RDWR | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC;
    int fd = ::open(temporary.constData(), kFlags, 0600);
    if (fd < 0 && errno == EEXIST) {
        // Left by a compaction of ours that failed; never followed, only replaced.
        ::unlink(temporary.constData());
        fd = ::open(temporary.constData(), kFlags, 0600);
    }
    if (fd < 0) {
        fail(QString::fromLocal8Bit(strerror(errno)));
        return -1;
    }
    step(Step::Opened);
    const bool written = ::flock(fd, LOCK_EX) == 0 && writeAll(fd, journal) && ::fdatasync(fd) == 0;
    if (written) {
        step(Step::Written);
    }
    if (!written || (replacing ? ::rename(temporary.constData(), target.constData())
                               : ::renameat2(AT_FDCWD, temporary.constData(), AT_FDCWD,
                                             target.constData(), RENAME_NOREPLACE)) != 0) {
        const int error = errno;
        ::unlink(temporary.constData());
        ::close(fd);
        fail(QString::fromLocal8Bit(strerror(error)));
        return -1;
    }
    // The rename itself is made durable with the folder.
    const int dir = ::open(QFile::encodeName(QFileInfo(path_).absolutePath()).constData(),
                           O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (dir >= 0) {
        ::fsync(dir);
        ::close(dir);
    }
    return fd;
}

void Writer::create(const QString& path, QByteArray head, const FileBase* base,
                    QByteArray afterBase) {
    path_ = path;
    std::optional<FileBase> file;
    if (base) {
        file = *base;
    }
    post([this, head = std::move(head), file, afterBase = std::move(afterBase)]() mutable {
        if (file) {
            step(Step::Checking);
            // The text's base, as it was read, must still be the file's start. Where it is
            // not, no journal is made: the next flush makes one with a snapshot instead.
            if (checkFile(*file) != FileCheck::Same) {
                std::lock_guard lock(mutex_);
                baseFailed_ = true;
                return;
            }
            head += fileBaseRecord(*file) + afterBase;
        }
        fd_ = writeNew(head, false);
    });
}

void Writer::adopt(const QString& path, int fd, qint64 validLength) {
    path_ = path;
    // A fresh writer's thread has touched nothing yet; posting hands fd_ over to it.
    fd_ = fd;
    post([this, validLength] {
        if (::ftruncate(fd_, validLength) != 0 || ::lseek(fd_, 0, SEEK_END) < 0 ||
            ::fdatasync(fd_) != 0) {
            fail(QString::fromLocal8Bit(strerror(errno)));
        }
    });
}

void Writer::append(QByteArray records) {
    post([this, records = std::move(records)] {
        if (fd_ < 0) {
            return;
        }
        if (writeAll(fd_, records) && ::fdatasync(fd_) != 0) {
            fail(QString::fromLocal8Bit(strerror(errno)));
        }
    });
}

void Writer::replace(QByteArray journal) {
    post([this, journal = std::move(journal)] {
        if (failed()) {
            return;
        }
        // Also the first journal, where the base file could not be used.
        const int fd = writeNew(journal, fd_ >= 0);
        if (fd >= 0) {
            if (fd_ >= 0) {
                ::close(fd_);
            }
            fd_ = fd;
        }
    });
}

void Writer::wait() {
    std::unique_lock lock(mutex_);
    idle_.wait(lock, [this] { return queue_.empty() && !busy_; });
}

void Writer::remove(const QString& savedFile) {
    {
        // What was still to be written no longer matters.
        std::lock_guard lock(mutex_);
        queue_.clear();
    }
    std::promise<void> done;
    post([this, &done, &savedFile] {
        if (!savedFile.isEmpty()) {
            const int dir =
                ::open(QFile::encodeName(QFileInfo(savedFile).absolutePath()).constData(),
                       O_RDONLY | O_DIRECTORY | O_CLOEXEC);
            if (dir >= 0) {
                ::fsync(dir);
                ::close(dir);
                step(Step::FolderSynced);
            }
        }
        if (fd_ >= 0) {
            ::unlink(QFile::encodeName(path_).constData());
            ::close(fd_);
            fd_ = -1;
            step(Step::Removed);
        }
        done.set_value();
    });
    done.get_future().wait();
}

}  // namespace RecoveryJournal
