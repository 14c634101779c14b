// SPDX-License-Identifier: GPL-3.0-or-later
#include "document/Recovery.h"

#include "document/DocumentState.h"
#include "platform/Dialogs.h"
#include "platform/EditingArea.h"
#include "platform/WindowHost.h"

#include <QDateTime>
#include <QFile>
#include <QLocale>

#include <unistd.h>

#include <cstdio>
#include <cstring>

namespace {

// Edits reach the disk at most this long after they were made.
constexpr int kFlushMs = 1000;
// Files at least this large are referred to rather than copied into the journal.
constexpr qint64 kFileBaseMinimum = 1 << 20;
// The journal is compacted when its edits outgrow the text by this much.
constexpr qint64 kCompactSlack = 1 << 20;

const QString kTitle = QStringLiteral("Quindo");

// One line on standard error for the whole run, the first time recovery cannot be kept.
void noteOnce(const QString& reason) {
    static bool noted = false;
    if (noted) {
        return;
    }
    noted = true;
    std::fprintf(stderr, "quindo: unsaved text is not kept for recovery: %s\n", qPrintable(reason));
}

// The document as its caption showed it: a file name stays behind after Close, but the
// window showed no document then.
bool named(const RecoveryJournal::Meta& meta) {
    return !isUnnamedDocument(meta.fileName, meta.caption);
}

QString documentName(const RecoveryJournal::Meta& meta) {
    return named(meta) ? meta.fileName : QStringLiteral("an untitled document");
}

}  // namespace

Recovery::Recovery(WindowHost& host, DocumentState& state, QObject* parent)
    : QObject(parent), host_(host), state_(state) {
    EditingArea& area = host_.editingArea();
    connect(&area, &QsciScintillaBase::SCN_MODIFIED, this,
            [this](int position, int type, const char* text, int length, int, int, int, int, int,
                   int) { onModified(position, type, text, length); });
    connect(&area, &EditingArea::textReplaced, this, [this] { onReplaced(); });
    flushTimer_.setSingleShot(true);
    flushTimer_.setInterval(kFlushMs);
    connect(&flushTimer_, &QTimer::timeout, this, [this] { flush(); });
}

// An orderly end that did not go through the way out (a window destroyed with unsaved
// text) leaves the copy behind, to be offered at the next start.
Recovery::~Recovery() {
    if (writer_) {
        takeInsert();
        if (!pending_.isEmpty()) {
            writer_->append(std::move(pending_));
        }
    }
}

QString Recovery::copyPath() const {
    return writer_ ? writer_->path() : QString();
}

bool Recovery::enabled() {
    if (disabled_) {
        return false;
    }
    folder_ = RecoveryJournal::folder();
    QString reason;
    if (!RecoveryJournal::makeFolder(folder_, &reason)) {
        disabled_ = true;
        noteOnce(reason);
        return false;
    }
    return true;
}

RecoveryJournal::Meta Recovery::currentMeta() const {
    return {host_.editingArea().isUtf8(), host_.caption(), state_.CurrentFileName};
}

void Recovery::matchesFile(const QString& path, qint64 length) {
    match_ = {};
    qint64 size = 0;
    qint64 mtime = 0;
    if (RecoveryJournal::statFile(path, &size, &mtime) && length <= size &&
        host_.editingArea().byteLength() == length) {
        match_ = {path, length, size, mtime};
    }
}

// ---- following the editing area ----------------------------------------------------------

void Recovery::onModified(int position, int type, const char* text, int length) {
    if (!(type & (QsciScintillaBase::SC_MOD_INSERTTEXT | QsciScintillaBase::SC_MOD_DELETETEXT)) ||
        restoring_ || disabled_) {
        return;
    }
    QByteArrayView bytes;
    if (type & QsciScintillaBase::SC_MOD_INSERTTEXT) {
        if (text) {
            bytes = QByteArrayView(text, length);
        } else {
            auto* range = reinterpret_cast<const char*>(host_.editingArea().SendScintilla(
                QsciScintillaBase::SCI_GETRANGEPOINTER, static_cast<unsigned long>(position),
                static_cast<long>(length)));
            bytes = QByteArrayView(range, length);
        }
    }
    if (!writer_) {
        const bool insert = type & QsciScintillaBase::SC_MOD_INSERTTEXT;
        const QByteArray edit = insert ? RecoveryJournal::insertRecord(position, bytes)
                                       : RecoveryJournal::deleteRecord(position, length);
        begin(edit, baseMd5(insert, position, length, insert ? nullptr : text));
        return;
    }
    record(type, position, bytes, length);
}

// The MD5 of the text as it was loaded or saved, before the edit just made; empty when the
// text is not known to be a large file's start. It is the text's own, not the file's: the
// file may have changed since it was read.
QByteArray Recovery::baseMd5(bool insert, qint64 position, qint64 length,
                             const char* deleted) const {
    const EditingArea& area = host_.editingArea();
    const qint64 before = area.byteLength() + (insert ? -length : length);
    if (match_.path.isEmpty() || match_.length < kFileBaseMinimum || match_.length != before ||
        (!insert && !deleted)) {
        return {};
    }
    const QByteArrayView text = area.bytes();
    return insert ? RecoveryJournal::md5Before(text, position, length, {})
                  : RecoveryJournal::md5Before(text, position, 0, QByteArrayView(deleted, length));
}

void Recovery::record(int type, qint64 position, QByteArrayView bytes, qint64 length) {
    if (type & QsciScintillaBase::SC_MOD_INSERTTEXT) {
        if (insertAt_ >= 0 && position == insertAt_ + inserted_.size()) {
            inserted_.append(bytes);
        } else {
            takeInsert();
            insertAt_ = position;
            inserted_ = bytes.toByteArray();
        }
    } else if (insertAt_ >= 0 && position >= insertAt_ &&
               position + length == insertAt_ + inserted_.size()) {
        // Backspace over what was just typed.
        inserted_.truncate(position - insertAt_);
    } else {
        takeInsert();
        pending_ += RecoveryJournal::deleteRecord(position, length);
    }
    if (!flushTimer_.isActive()) {
        flushTimer_.start();
    }
}

void Recovery::takeInsert() {
    if (insertAt_ >= 0 && !inserted_.isEmpty()) {
        pending_ += RecoveryJournal::insertRecord(insertAt_, inserted_);
    }
    insertAt_ = -1;
    inserted_.clear();
}

void Recovery::onReplaced() {
    match_ = {};
    if (restoring_) {
        return;
    }
    // The journal describes a text that is gone. Whatever replaced it (a load, New, the
    // template) decides DocChanged once it is done: look again then.
    drop();
    QTimer::singleShot(0, this, [this] { update(); });
}

// ---- the journal ------------------------------------------------------------------------------

void Recovery::begin(const QByteArray& firstEdit, const QByteArray& baseMd5) {
    const EditingArea& area = host_.editingArea();
    const RecoveryJournal::Meta meta = currentMeta();
    // An empty document without a name holds nothing that could be lost.
    if ((area.isEmpty() && meta.fileName.isEmpty()) || !enabled()) {
        match_ = {};
        return;
    }
    writer_ = std::make_unique<RecoveryJournal::Writer>();
    QByteArray head = RecoveryJournal::magic() + RecoveryJournal::metaRecord(meta);
    const QString path = RecoveryJournal::newJournalPath(folder_);
    if (!firstEdit.isEmpty() && !baseMd5.isEmpty()) {
        RecoveryJournal::FileBase base;
        base.path = match_.path;
        base.length = match_.length;
        base.size = match_.size;
        base.mtimeNs = match_.mtimeNs;
        base.md5 = baseMd5;
        writer_->create(path, std::move(head), &base, firstEdit);
        editBytes_ = firstEdit.size();
    } else {
        head += RecoveryJournal::snapshotRecord(area.bytes());
        writer_->create(path, std::move(head));
        editBytes_ = 0;
    }
    match_ = {};
    written_ = meta;
}

// A copy that could not be written is gone (the writer deleted it): recovery is off for
// this document, said once.
bool Recovery::writing() {
    if (writer_ && writer_->failed()) {
        noteOnce(
            QStringLiteral("recovery copies are off for this document: %1").arg(writer_->error()));
        writer_.reset();
        disabled_ = true;
    }
    return writer_ != nullptr;
}

void Recovery::flush() {
    if (!writer_) {
        return;
    }
    if (state_.DocChanged != 1) {
        drop();
        return;
    }
    if (!writing()) {
        return;
    }
    takeInsert();
    // A base file that could not be used is replaced by a snapshot once.
    if (writer_->takeBaseFailed() ||
        editBytes_ + pending_.size() > host_.editingArea().byteLength() + kCompactSlack) {
        compact();
        return;
    }
    const RecoveryJournal::Meta meta = currentMeta();
    if (!(meta == written_)) {
        pending_ += RecoveryJournal::metaRecord(meta);
        written_ = meta;
    }
    if (!pending_.isEmpty()) {
        editBytes_ += pending_.size();
        writer_->append(std::move(pending_));
        pending_.clear();
    }
}

void Recovery::compact() {
    pending_.clear();
    insertAt_ = -1;
    inserted_.clear();
    written_ = currentMeta();
    writer_->replace(RecoveryJournal::magic() + RecoveryJournal::metaRecord(written_) +
                     RecoveryJournal::snapshotRecord(host_.editingArea().bytes()));
    editBytes_ = 0;
}

void Recovery::flushNow() {
    flushTimer_.stop();
    flush();
    if (writer_) {
        writer_->wait();
        // The base file turned out unusable: the snapshot that replaces it is written now.
        if (writer_->takeBaseFailed()) {
            compact();
            writer_->wait();
        }
    }
}

void Recovery::drop() {
    flushTimer_.stop();
    pending_.clear();
    insertAt_ = -1;
    inserted_.clear();
    editBytes_ = 0;
    if (writing()) {
        // After a save: the saved file's name is made durable before its copy goes.
        writer_->remove(state_.DocChanged == 1 ? QString() : match_.path);
        writer_.reset();
    }
}

void Recovery::update() {
    if (state_.DocChanged != 1) {
        drop();
        return;
    }
    if (!writing()) {
        begin({});
    } else if (!(currentMeta() == written_) && !flushTimer_.isActive()) {
        flushTimer_.start();
    }
}

void Recovery::discard() {
    drop();
}

// ---- the offer at start-up
// -----------------------------------------------------------------------

void Recovery::offerOrphans() {
    using RecoveryJournal::Contents;
    const QString folder = RecoveryJournal::folder();
    if (folder.isEmpty()) {
        return;
    }
    QList<RecoveryJournal::Orphan> orphans = RecoveryJournal::takeOrphans(folder);
    bool taken = false;
    for (RecoveryJournal::Orphan& orphan : orphans) {
        if (taken) {
            RecoveryJournal::release(orphan);
            continue;
        }
        const Contents contents = RecoveryJournal::read(RecoveryJournal::readAll(orphan.fd));
        const QString when = QLocale::system().toString(orphan.modified, QLocale::ShortFormat);
        const QString what =
            QStringLiteral("Quindo was closed without saving the changes to %1 (%2)")
                .arg(documentName(contents.meta), when);
        const bool young = QDateTime::currentMSecsSinceEpoch() * 1000000 - orphan.modifiedNs <
                           RecoveryJournal::kYoungNs;
        // A named file saved after the copy's last edit (its bytes are not the ones the
        // copy's edits apply to) holds newer text than the copy.
        const qint64 fileModified =
            named(contents.meta) ? RecoveryJournal::modifiedNs(contents.meta.fileName) : -1;
        const bool older = !contents.fileBase && fileModified > orphan.modifiedNs;
        if ((contents.status == Contents::Status::Unreadable && young) ||
            contents.status == Contents::Status::BaseUnavailable) {
            // Still being made by another program, or its file is away for now (another
            // start may find it): nothing to offer now, nothing to delete.
            RecoveryJournal::release(orphan);
            continue;
        }
        if (contents.status == Contents::Status::BaseChanged ||
            (contents.status != Contents::Status::Unreadable && older)) {
            const QString why =
                contents.status == Contents::Status::BaseChanged
                    ? QStringLiteral(", but %1 has changed since, so they cannot be recovered.")
                          .arg(contents.basePath)
                    : QStringLiteral(", but %1 was saved after that, so they are not offered.")
                          .arg(contents.meta.fileName);
            host_.dialogs().messageBox(
                what + why + QStringLiteral(" The recovery copy is kept as %1.").arg(orphan.path),
                Dialogs::Buttons::Ok, Dialogs::Icon::Exclamation, kTitle);
            RecoveryJournal::release(orphan);
            continue;
        }
        bool keep = false;
        if (contents.status != Contents::Status::Unreadable &&
            !(contents.text.isEmpty() && contents.meta.fileName.isEmpty())) {
            QString text = what + QStringLiteral(". Recover them?");
            if (contents.status == Contents::Status::CutShort) {
                text += QStringLiteral(
                    "\n\nThe end of the recovery copy was lost: the changes can be recovered "
                    "only up to that point.");
            }
            const int answer = host_.dialogs().messageBox(text, Dialogs::Buttons::YesNo,
                                                          Dialogs::Icon::None, kTitle);
            if (answer == Dialogs::Yes) {
                // One document per window: whatever happens to this one, the others wait.
                taken = true;
                keep = restore(contents, orphan);
            } else if (answer != Dialogs::No) {
                // Escape or the box's close button answers nothing: only No deletes the
                // copy, so it is offered again at the next start.
                RecoveryJournal::release(orphan);
                continue;
            }
        }
        if (!keep) {
            ::unlink(QFile::encodeName(orphan.path).constData());
            RecoveryJournal::release(orphan);
        }
    }
}

bool Recovery::restore(const RecoveryJournal::Contents& contents, RecoveryJournal::Orphan& orphan) {
    EditingArea& area = host_.editingArea();
    drop();
    qsizetype at = 0;
    restoring_ = true;
    // Shown as it was, even where the bytes alone would suggest the other mode.
    area.streamBytes(
        contents.text.size(),
        [&](char* buffer, qint64 capacity) -> qint64 {
            const qsizetype n = std::min<qsizetype>(capacity, contents.text.size() - at);
            if (n > 0) {
                std::memcpy(buffer, contents.text.constData() + at, static_cast<size_t>(n));
            }
            at += n;
            return n;
        },
        contents.meta.utf8);
    restoring_ = false;
    host_.setCaption(contents.meta.caption);
    state_.CurrentFileName = contents.meta.fileName;
    state_.DocChanged = 1;
    match_ = {};
    if (!enabled()) {
        return false;
    }
    // The copy is this window's own from now on.
    writer_ = std::make_unique<RecoveryJournal::Writer>();
    writer_->adopt(orphan.path, orphan.fd, contents.validLength);
    orphan.fd = -1;
    written_ = contents.meta;
    editBytes_ = contents.validLength;
    return true;
}
