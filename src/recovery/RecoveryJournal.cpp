// SPDX-License-Identifier: GPL-3.0-or-later
#include "recovery/RecoveryJournal.h"
#include "recovery/RecoveryJournalNames.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>
#include <QtEndian>

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <future>
#include <optional>

namespace RecoveryJournal {

namespace {

const QByteArray kMagic = QByteArrayLiteral("QUINDO-RECOVERY-1\n");
constexpr qsizetype kChecksum = 8;

void putU64(QByteArray& out, quint64 value) {
    char bytes[8];
    qToLittleEndian(value, bytes);
    out.append(bytes, 8);
}

void putU32(QByteArray& out, quint32 value) {
    char bytes[4];
    qToLittleEndian(value, bytes);
    out.append(bytes, 4);
}

void putString(QByteArray& out, const QString& text) {
    const QByteArray utf8 = text.toUtf8();
    putU32(out, static_cast<quint32>(utf8.size()));
    out.append(utf8);
}

QByteArray checksum(QByteArrayView data) {
    return QCryptographicHash::hash(data, QCryptographicHash::Md5).left(kChecksum);
}

// One record around a payload whose first byte is the kind.
QByteArray record(char kind, QByteArrayView payload) {
    QByteArray out;
    out.reserve(8 + 1 + payload.size() + kChecksum);
    putU64(out, static_cast<quint64>(payload.size() + 1));
    const qsizetype start = out.size();
    out.append(kind);
    out.append(payload);
    out.append(checksum(QByteArrayView(out).sliced(start)));
    return out;
}

// Reads fields from a payload; any read past its end marks it bad.
class Reader {
  public:
    explicit Reader(QByteArrayView data) : data_(data) {}
    bool ok() const { return ok_; }
    qint64 i64() { return number<qint64>(); }
    quint32 u32() { return number<quint32>(); }
    quint8 u8() {
        if (!need(1)) {
            return 0;
        }
        return static_cast<quint8>(data_[at_++]);
    }
    QByteArrayView bytes(qsizetype n) {
        if (!need(n)) {
            return {};
        }
        const QByteArrayView v = data_.sliced(at_, n);
        at_ += n;
        return v;
    }
    QString string() {
        const quint32 n = u32();
        return QString::fromUtf8(bytes(static_cast<qsizetype>(n)));
    }
    QByteArrayView rest() {
        const QByteArrayView v = data_.sliced(at_);
        at_ = data_.size();
        return v;
    }

  private:
    template <typename T>
    T number() {
        if (!need(sizeof(T))) {
            return 0;
        }
        const auto v = qFromLittleEndian<T>(data_.data() + at_);
        at_ += sizeof(T);
        return v;
    }

    bool need(qsizetype n) {
        if (n < 0 || data_.size() - at_ < n) {
            ok_ = false;
        }
        return ok_;
    }
    QByteArrayView data_;
    qsizetype at_ = 0;
    bool ok_ = true;
};

// Reads the base of a journal from its file, decided by content alone: a file touched,
// copied back or restored with the same bytes is the same file.
FileCheck loadBase(const FileBase& base, QByteArray* text) {
    QFile file(base.path);
    if (!file.open(QIODevice::ReadOnly)) {
        return FileCheck::Unavailable;
    }
    struct stat st {};
    if (::fstat(file.handle(), &st) != 0 || !S_ISREG(st.st_mode)) {
        return FileCheck::Unavailable;
    }
    if (st.st_size != base.size || base.length > base.size) {
        return FileCheck::Changed;
    }
    QByteArray part = file.read(base.length);
    if (part.size() != base.length) {
        return file.error() == QFileDevice::NoError ? FileCheck::Changed : FileCheck::Unavailable;
    }
    if (QCryptographicHash::hash(part, QCryptographicHash::Md5) != base.md5) {
        return FileCheck::Changed;
    }
    *text = std::move(part);
    return FileCheck::Same;
}

}  // namespace

QString folder() {
    // A relative XDG_STATE_HOME is not a valid state home on the desktop and is ignored.
    QString home = qEnvironmentVariable("XDG_STATE_HOME");
    if (home.isEmpty() || !QDir::isAbsolutePath(home)) {
        const QString user = QDir::homePath();
        if (user.isEmpty()) {
            return {};
        }
        home = user + QStringLiteral("/.local/state");
    }
    return home + QStringLiteral("/quindo");
}

bool makeFolder(const QString& path, QString* reason) {
    if (path.isEmpty()) {
        *reason = QStringLiteral("no state folder");
        return false;
    }
    const QByteArray native = QFile::encodeName(path);
    struct stat st {};
    if (::lstat(native.constData(), &st) != 0) {
        // Created for the owner only: the copies hold the user's unsaved text.
        if (!QDir().mkpath(QFileInfo(path).absolutePath()) ||
            (::mkdir(native.constData(), 0700) != 0 && errno != EEXIST)) {
            *reason = QStringLiteral("%1 cannot be created").arg(path);
            return false;
        }
        if (::lstat(native.constData(), &st) != 0) {
            *reason = QStringLiteral("%1: %2").arg(path, QString::fromLocal8Bit(strerror(errno)));
            return false;
        }
    }
    if (!S_ISDIR(st.st_mode)) {
        *reason = QStringLiteral("%1 is not a folder").arg(path);
        return false;
    }
    // Whoever may write in the folder may replace the copies or plant links among them.
    if (st.st_uid != ::geteuid() || (st.st_mode & (S_IWGRP | S_IWOTH)) != 0) {
        *reason = QStringLiteral("%1 is not a folder of this user's own").arg(path);
        return false;
    }
    if (::access(native.constData(), W_OK | X_OK) != 0) {
        *reason = QStringLiteral("%1 is not writable").arg(path);
        return false;
    }
    return true;
}

QString newJournalPath(const QString& folder) {
    return QStringLiteral("%1/%2-%3%4")
        .arg(folder)
        .arg(::getpid())
        .arg(QRandomGenerator::global()->generate64(), 16, 16, QLatin1Char('0'))
        .arg(kSuffix);
}

QByteArray magic() {
    return kMagic;
}

QByteArray metaRecord(const Meta& meta) {
    QByteArray payload;
    payload.append(meta.utf8 ? '\1' : '\0');
    putString(payload, meta.caption);
    putString(payload, meta.fileName);
    return record('M', payload);
}

QByteArray snapshotRecord(QByteArrayView text) {
    return record('S', text);
}

QByteArray fileBaseRecord(const FileBase& base) {
    QByteArray payload;
    putU64(payload, static_cast<quint64>(base.length));
    putU64(payload, static_cast<quint64>(base.size));
    putU64(payload, static_cast<quint64>(base.mtimeNs));
    payload.append(base.md5.leftJustified(16, '\0', true));
    putString(payload, base.path);
    return record('F', payload);
}

QByteArray insertRecord(qint64 position, QByteArrayView bytes) {
    QByteArray payload;
    payload.reserve(8 + bytes.size());
    putU64(payload, static_cast<quint64>(position));
    payload.append(bytes);
    return record('I', payload);
}

QByteArray deleteRecord(qint64 position, qint64 length) {
    QByteArray payload;
    putU64(payload, static_cast<quint64>(position));
    putU64(payload, static_cast<quint64>(length));
    return record('D', payload);
}

bool statFile(const QString& path, qint64* size, qint64* mtimeNs) {
    struct stat st {};
    if (::stat(QFile::encodeName(path).constData(), &st) != 0 || !S_ISREG(st.st_mode)) {
        return false;
    }
    *size = st.st_size;
    *mtimeNs = mtimeOf(st);
    return true;
}

FileCheck checkFile(const FileBase& base) {
    QByteArray ignored;
    return loadBase(base, &ignored);
}

QByteArray md5Before(QByteArrayView text, qint64 at, qint64 removed, QByteArrayView inserted) {
    QCryptographicHash hash(QCryptographicHash::Md5);
    hash.addData(text.first(at));
    hash.addData(inserted);
    hash.addData(text.sliced(at + removed));
    return hash.result();
}

namespace {

// The body (kind and payload) of the whole record at `at`, or nothing when the record does
// not fit or its checksum fails: a journal cut short or torn ends there.
std::optional<QByteArrayView> wholeRecord(QByteArrayView journal, qsizetype at) {
    const qint64 room = journal.size() - at - 8 - kChecksum;
    if (room < 1) {
        return std::nullopt;
    }
    const auto length = qFromLittleEndian<quint64>(journal.data() + at);
    if (length < 1 || length > quint64(room)) {
        return std::nullopt;
    }
    const QByteArrayView body = journal.sliced(at + 8, static_cast<qsizetype>(length));
    if (checksum(body) != journal.sliced(at + 8 + body.size(), kChecksum)) {
        return std::nullopt;
    }
    return body;
}

// What reading the records has found so far.
struct Progress {
    Contents& result;
    bool haveMeta = false;
    bool haveBase = false;
};

enum class Applied { Yes, No, BaseNotHere };

Applied applyFileBase(Reader& in, Progress& p) {
    FileBase base;
    base.length = in.i64();
    base.size = in.i64();
    base.mtimeNs = in.i64();
    base.md5 = in.bytes(16).toByteArray();
    base.path = in.string();
    if (!in.ok()) {
        return Applied::No;
    }
    p.result.basePath = base.path;
    const FileCheck check = loadBase(base, &p.result.text);
    if (check != FileCheck::Same) {
        p.result.status = check == FileCheck::Changed ? Contents::Status::BaseChanged
                                                      : Contents::Status::BaseUnavailable;
        return Applied::BaseNotHere;
    }
    p.result.fileBase = true;
    p.haveBase = true;
    return Applied::Yes;
}

// Applies one record to what was read before it.
Applied apply(QByteArrayView body, Progress& p) {
    Reader in(body.sliced(1));
    QByteArray& text = p.result.text;
    switch (body[0]) {
        case 'M': {
            Meta meta;
            meta.utf8 = in.u8() != 0;
            meta.caption = in.string();
            meta.fileName = in.string();
            if (!in.ok()) {
                return Applied::No;
            }
            p.result.meta = meta;
            p.haveMeta = true;
            return Applied::Yes;
        }
        case 'S':
            text = in.rest().toByteArray();
            p.result.fileBase = false;
            p.haveBase = true;
            return Applied::Yes;
        case 'F':
            return applyFileBase(in, p);
        case 'I': {
            const qint64 position = in.i64();
            const QByteArrayView bytes = in.rest();
            if (!in.ok() || !p.haveBase || position < 0 || position > text.size()) {
                return Applied::No;
            }
            text.insert(position, bytes);
            return Applied::Yes;
        }
        case 'D': {
            const qint64 position = in.i64();
            const qint64 length = in.i64();
            if (!in.ok() || !p.haveBase || position < 0 || length < 0 ||
                position > text.size() - length) {
                return Applied::No;
            }
            text.remove(position, length);
            return Applied::Yes;
        }
        default:
            return Applied::No;
    }
}

}  // namespace

Contents read(QByteArrayView journal) {
    Contents result;
    if (!journal.startsWith(kMagic)) {
        return result;
    }
    Progress progress{result};
    qsizetype at = kMagic.size();
    result.validLength = at;
    bool cut = false;
    while (at < journal.size()) {
        const std::optional<QByteArrayView> body = wholeRecord(journal, at);
        const Applied applied = body ? apply(*body, progress) : Applied::No;
        if (applied == Applied::BaseNotHere) {
            return result;
        }
        if (applied == Applied::No) {
            cut = true;
            break;
        }
        at += 8 + body->size() + kChecksum;
        if (progress.haveBase && progress.haveMeta) {
            result.validLength = at;
        }
    }
    if (!progress.haveBase || !progress.haveMeta) {
        result.status = Contents::Status::Unreadable;
        result.text.clear();
        return result;
    }
    result.status = cut ? Contents::Status::CutShort : Contents::Status::Ok;
    return result;
}

}  // namespace RecoveryJournal
