// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QDateTime>
#include <QList>
#include <QString>

#include <condition_variable>
#include <deque>
#include <functional>
#include <mutex>
#include <thread>

// The recovery copy of an unsaved document: a journal file in the user's state folder.
//
// A journal is the magic line followed by records. Every record is
//     u64 length | u8 kind | payload (length - 1 bytes) | 8 bytes of the payload's MD5
// (integers little-endian), so a record cut short by a crash, or torn, is recognised and
// the journal is read up to the last complete one. The records:
//     'M' meta:     u8 UTF-8 mode, string caption, string file name (strings: u32 length
//                   and UTF-8); the last one counts
//     'S' snapshot: the whole text, the base of the edits that follow
//     'F' file:     the base is the first `length` bytes of a file on disk, identified by
//                   i64 length, i64 size, i64 modification time (ns), 16-byte MD5 of those
//                   `length` bytes as the text held them, string path
//     'I' insert:   i64 position, the bytes
//     'D' delete:   i64 position, i64 length
// A journal holds one meta and one base before its edits. It grows by appending edits; it
// is compacted by writing a new journal with a snapshot of the text beside it and renaming
// that over the old one, so at every moment one whole journal is on disk.
//
// The running program holds an exclusive flock on its journal; a journal whose lock can be
// taken belongs to a program that is no longer running. Every journal, new or compacted, is
// written and locked under a temporary name (ending in .compacting) and only then renamed
// into place, so no journal is ever seen unlocked.
namespace RecoveryJournal {

// $XDG_STATE_HOME/quindo (normally ~/.local/state/quindo); empty when no usable state home
// can be named.
QString folder();
// Creates the folder (owner only) when missing. It must be a folder of the user's own (not a
// link) that no one else may write in; otherwise returns false and the reason.
bool makeFolder(const QString& path, QString* reason);
// The name of a new journal of this process in the folder.
QString newJournalPath(const QString& folder);

struct Meta {
    bool utf8 = true;
    QString caption;
    QString fileName;
    bool operator==(const Meta&) const = default;
};

struct FileBase {
    QString path;
    qint64 length = 0;  // the text is the first length bytes of the file
    qint64 size = -1;
    qint64 mtimeNs = 0;
    QByteArray md5;  // of the first length bytes
};

// The journal's records, encoded.
QByteArray magic();
QByteArray metaRecord(const Meta& meta);
QByteArray snapshotRecord(QByteArrayView text);
QByteArray fileBaseRecord(const FileBase& base);
QByteArray insertRecord(qint64 position, QByteArrayView bytes);
QByteArray deleteRecord(qint64 position, qint64 length);

// Size and modification time of a file; false when it cannot be examined.
bool statFile(const QString& path, qint64* size, qint64* mtimeNs);
// Whether base.path holds base.size bytes whose first base.length have the MD5 base.md5.
enum class FileCheck { Same, Changed, Unavailable };
FileCheck checkFile(const FileBase& base);
// The MD5 of text with the bytes at [at, at + removed) left out and inserted put there: the
// text as it was before an edit.
QByteArray md5Before(QByteArrayView text, qint64 at, qint64 removed, QByteArrayView inserted);

// What a journal brings back.
struct Contents {
    // BaseUnavailable: the file the edits apply to cannot be read now (moved away, not
    // mounted); BaseChanged: it no longer holds the bytes the edits apply to.
    enum class Status { Ok, CutShort, Unreadable, BaseChanged, BaseUnavailable };
    Status status = Status::Unreadable;
    Meta meta;
    QByteArray text;
    QString basePath;        // the file of an 'F' base
    bool fileBase = false;   // the edits apply to basePath, checked unchanged
    qint64 validLength = 0;  // bytes of the journal up to the last complete record
};
Contents read(QByteArrayView journal);

// A journal left by a program that is no longer running, locked by this process until it
// is taken over or let go.
struct Orphan {
    QString path;
    int fd = -1;
    QDateTime modified;
    qint64 modifiedNs = 0;
};
// How long a new file in the folder may be empty or unlocked: one younger than this is
// another program's that is still being made.
constexpr qint64 kYoungNs = 10'000'000'000;
// The modification time of a file in ns, or -1.
qint64 modifiedNs(const QString& path);
// The orphaned journals of the folder, newest first, each locked. Leftovers of a
// compaction that did not finish are removed.
QList<Orphan> takeOrphans(const QString& folder);
void release(Orphan& orphan);
// Reads a locked journal whole.
QByteArray readAll(int fd);

// Writes one journal from a thread of its own, so no write or sync ever holds up the
// window. Every operation is queued in order; failures are counted, not thrown.
class Writer {
  public:
    Writer();
    ~Writer();  // finishes the queued work; the journal stays on disk and its lock goes
    Writer(const Writer&) = delete;
    Writer& operator=(const Writer&) = delete;

    // Creates the journal at path, locked, holding head (synced). When base is set, the file
    // is checked against it first and its record written after head's magic and meta,
    // followed by afterBase; where the file does not match, no journal is made and
    // takeBaseFailed() tells (replace() then makes the first one).
    void create(const QString& path, QByteArray head, const FileBase* base = nullptr,
                QByteArray afterBase = {});
    // Continues a journal taken over from an orphan: cut at validLength.
    void adopt(const QString& path, int fd, qint64 validLength);
    // Appends records and syncs them.
    void append(QByteArray records);
    // Replaces the journal by a whole new one (compaction), atomically.
    void replace(QByteArray journal);
    // Drops the queued work, then deletes the journal; when savedFile is given, its folder
    // is synced first, so the saved file is on disk before its copy goes. Synchronous.
    void remove(const QString& savedFile = {});
    // Waits until everything queued is on disk.
    void wait();

    // A journal that could not be written is deleted at once: a copy that is no longer kept
    // up to date must not be offered later.
    bool failed() const;
    // Whether the base file could not be used (once: the flag is cleared).
    bool takeBaseFailed();
    QString error() const;
    QString path() const { return path_; }

    // Called on the writer's thread between its steps; for tests.
    enum class Step { Checking, Opened, Written, FolderSynced, Removed };
    static inline std::function<void(Step)> stepHook;

  private:
    int writeNew(QByteArrayView journal, bool replacing);
    void step(Step s) {
        if (stepHook) {
            stepHook(s);
        }
    }
    void post(std::function<void()> work);
    void run();
    void fail(const QString& what);
    bool writeAll(int fd, QByteArrayView bytes);

    QString path_;
    int fd_ = -1;  // owned by the thread once it runs

    mutable std::mutex mutex_;
    std::condition_variable wake_;
    std::condition_variable idle_;
    std::deque<std::function<void()>> queue_;
    bool busy_ = false;
    bool stop_ = false;
    bool failed_ = false;
    bool baseFailed_ = false;
    QString error_;
    std::thread thread_;
};

}  // namespace RecoveryJournal
