// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "recovery/RecoveryJournal.h"

#include <QObject>
#include <QTimer>

#include <memory>

struct DocumentState;
class WindowHost;

// Keeps a recovery copy of the document while it has unsaved changes (DocChanged is 1),
// and offers the copies of programs that ended without saving at the next start.
//
// The copy is a journal (RecoveryJournal): a base, either the file the text was loaded
// from or a snapshot of the text, followed by the edits the editing area reports. Edits
// are collected in memory and handed to the journal's writing thread at most a second
// after they were made; the journal is compacted into a new snapshot once its edits
// outgrow the text.
class Recovery : public QObject {
    Q_OBJECT

  public:
    Recovery(WindowHost& host, DocumentState& state, QObject* parent);
    ~Recovery() override;

    // The text is now the first length bytes of the file at path: it was loaded from it,
    // or saved to it (a save adds CR LF).
    void matchesFile(const QString& path, qint64 length);
    // Called after anything that may change DocChanged or the document's name: a document
    // that is no longer unsaved loses its copy; an unsaved one without a copy gets one.
    void update();
    // The program ends: the copy goes, whatever became of the text.
    void discard();
    // Offers the copies left by programs that are no longer running, newest first, until
    // one is taken; the ones left are offered at a later start.
    void offerOrphans();

    // The path of this window's copy, empty while there is none.
    QString copyPath() const;
    // Hands what is pending to the journal now and waits until it is on disk.
    void flushNow();

  private:
    void onModified(int position, int type, const char* text, int length);
    void onReplaced();
    QByteArray baseMd5(bool insert, qint64 position, qint64 length, const char* deleted) const;
    void begin(const QByteArray& firstEdit, const QByteArray& baseMd5 = {});
    bool writing();
    void record(int type, qint64 position, QByteArrayView bytes, qint64 length);
    void takeInsert();
    void flush();
    void compact();
    void drop();
    bool enabled();
    RecoveryJournal::Meta currentMeta() const;
    bool restore(const RecoveryJournal::Contents& contents, RecoveryJournal::Orphan& orphan);

    WindowHost& host_;
    DocumentState& state_;
    std::unique_ptr<RecoveryJournal::Writer> writer_;
    QString folder_;
    bool disabled_ = false;
    bool restoring_ = false;
    // Edits not yet handed to the writer; the last insertion grows while typing goes on.
    QByteArray pending_;
    qint64 insertAt_ = -1;
    QByteArray inserted_;
    RecoveryJournal::Meta written_;
    qint64 editBytes_ = 0;  // edits in the journal since its base
    // The file the text is a prefix of, while it has not changed since.
    struct FileMatch {
        QString path;
        qint64 length = -1;
        qint64 size = -1;
        qint64 mtimeNs = 0;
    } match_;
    QTimer flushTimer_;
};
