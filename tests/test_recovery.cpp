// SPDX-License-Identifier: GPL-3.0-or-later
// Recovery copies of unsaved documents: the journal read back after every possible cut, a
// real editor killed while it types (during journal writes and compactions) and its text
// offered back at the next start, no copy once the document is no longer unsaved, two
// editors at once, a large page, and state homes that cannot hold copies.
#include "RecoveryScript.h"
#include "ScriptedDialogs.h"
#include "TestEnvironment.h"
#include "TestFiles.h"
#include "document/Document.h"
#include "document/Recovery.h"
#include "platform/EditingArea.h"
#include "recovery/RecoveryJournal.h"
#include "ui/frmMain.h"

#include <QElapsedTimer>
#include <QProcess>
#include <QRandomGenerator>
#include <QScopeGuard>
#include <QSemaphore>
#include <QtTest>

#include <fcntl.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>
#include <algorithm>
#include <atomic>
#include <csignal>
#include <memory>
#include <mutex>
#include <vector>

namespace {

// A running recovery_child and the edits it reported, with when they were reported.
struct Typist {
    std::unique_ptr<QProcess> process = std::make_unique<QProcess>();
    QElapsedTimer clock;
    QList<qint64> reportedAt;  // ms on clock, by edit number - 1
    QByteArray partial;

    void read() {
        partial += process->readAllStandardOutput();
        qsizetype end;
        while ((end = partial.indexOf('\n')) >= 0) {
            if (partial.startsWith("edit ")) {
                reportedAt.append(clock.elapsed());
            }
            partial.remove(0, end + 1);
        }
    }
};

QStringList journals(const QString& folder) {
    return QDir(folder).entryList({QStringLiteral("*.journal")}, QDir::Files);
}

// Gives a file other bytes under its old modification time.
void rewriteKeepingTime(const QString& path, const QByteArray& bytes) {
    struct stat st {};
    QCOMPARE(::stat(QFile::encodeName(path).constData(), &st), 0);
    writeFile(path, bytes);
    const struct timespec times[2] = {st.st_atim, st.st_mtim};
    QCOMPARE(::utimensat(AT_FDCWD, QFile::encodeName(path).constData(), times, 0), 0);
}

using Step = RecoveryJournal::Writer::Step;

}  // namespace

class RecoveryTest : public QObject {
    Q_OBJECT

  private:
    TestEnvironment env_;
    QTemporaryDir dir_;
    ScriptedDialogs dialogs_;
    QString stateHome_;

    QString folder() const { return stateHome_ + QStringLiteral("/quindo"); }

    QProcessEnvironment childEnvironment() const {
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
        env.insert(QStringLiteral("XDG_STATE_HOME"), stateHome_);
        env.insert(QStringLiteral("XDG_CONFIG_HOME"), env_.configHome());
        return env;
    }

    std::unique_ptr<Typist> startTypist(quint32 seed, const QString& file) {
        auto typist = std::make_unique<Typist>();
        typist->process->setProcessEnvironment(childEnvironment());
        typist->process->setProcessChannelMode(QProcess::ForwardedErrorChannel);
        QStringList args{QStringLiteral("type"), QString::number(seed)};
        if (!file.isEmpty()) {
            args << file;
        }
        typist->process->start(QStringLiteral(RECOVERY_CHILD), args);
        typist->clock.start();
        return typist;
    }

    // Waits until the typist reported at least n edits.
    static bool waitForEdits(Typist& typist, int n) {
        QElapsedTimer t;
        t.start();
        while (typist.reportedAt.size() < n && t.elapsed() < 30000) {
            typist.process->waitForReadyRead(100);
            typist.read();
        }
        return typist.reportedAt.size() >= n;
    }

    static void kill(Typist& typist) {
        ::kill(static_cast<pid_t>(typist.process->processId()), SIGKILL);
        typist.process->waitForFinished(10000);
        typist.read();
    }

    // A new window of the program, as the next start makes it.
    std::unique_ptr<frmMain> newWindow(const QString& commandLine = {}) {
        auto w = std::make_unique<frmMain>(dialogs_, commandLine);
        w->Form_Load();
        w->show();
        return w;
    }

  private slots:
    void initTestCase() {
        QVERIFY(dir_.isValid());
        // A returning user: no welcome window.
        QVERIFY(QDir().mkpath(QFileInfo(env_.settingsFile()).absolutePath()));
        writeFile(env_.settingsFile(), "[Run]\nValue=5\n");
    }

    void init() {
        dialogs_.clear();
        static int n = 0;
        stateHome_ = dir_.filePath(QStringLiteral("state%1").arg(++n));
        QVERIFY(QDir().mkpath(stateHome_));
        qputenv("XDG_STATE_HOME", stateHome_.toLocal8Bit());
    }

    void cleanup() {
        QVERIFY2(dialogs_.unexpected().isEmpty(), qPrintable(dialogs_.unexpected().join("; ")));
    }

    // ---- the journal itself ------------------------------------------------------------------

    // Every prefix of a journal reads back as the text after its last complete record, and
    // says whether anything was cut.
    void journalCutAnywhere_data() {
        QTest::addColumn<bool>("utf8");
        QTest::addRow("UTF-8") << true;
        QTest::addRow("8-bit") << false;
    }
    void journalCutAnywhere() {
        QFETCH(bool, utf8);
        using namespace RecoveryJournal;
        const Meta meta{utf8, QStringLiteral("Quindo- /tmp/page.html"),
                        QStringLiteral("/tmp/page.html")};
        QByteArray text =
            utf8 ? QByteArray("<p>caf\xc3\xa9</p>\r\n") : QByteArray("<p>caf\xe9\0x</p>", 12);
        QByteArray journal = magic() + metaRecord(meta) + snapshotRecord(text);
        // The text after each complete record, by the journal's length there.
        QMap<qsizetype, QByteArray> after{{journal.size(), text}};
        const QList<QByteArray> edits{
            insertRecord(3, "new "), deleteRecord(0, 2),
            insertRecord(text.size() + 2, QByteArray("\0\r", 2)),
            metaRecord({utf8, QStringLiteral("Quindo- New Untitled Document."), {}})};
        text.insert(3, "new ");
        after.insert(journal.size() + edits[0].size(), text);
        text.remove(0, 2);
        after.insert(journal.size() + edits[0].size() + edits[1].size(), text);
        text.insert(text.size(), QByteArray("\0\r", 2));
        after.insert(journal.size() + edits[0].size() + edits[1].size() + edits[2].size(), text);
        for (const QByteArray& e : edits) {
            journal += e;
        }
        after.insert(journal.size(), text);
        for (qsizetype cut = 0; cut <= journal.size(); ++cut) {
            const Contents c = read(QByteArrayView(journal).first(cut));
            auto whole = after.upperBound(cut);
            if (whole == after.begin()) {
                QVERIFY2(c.status == Contents::Status::Unreadable,
                         qPrintable(QString::number(cut)));
                continue;
            }
            --whole;
            QCOMPARE(c.text, whole.value());
            QCOMPARE(c.validLength, whole.key());
            QCOMPARE(c.status,
                     cut == whole.key() ? Contents::Status::Ok : Contents::Status::CutShort);
            QCOMPARE(c.meta.utf8, utf8);
        }
        // The last meta counts; a damaged byte ends the journal there.
        QCOMPARE(read(journal).meta.caption, QStringLiteral("Quindo- New Untitled Document."));
        QByteArray damaged = journal;
        damaged[journal.size() - edits[3].size() - 3] ^= 0x20;
        QCOMPARE(read(damaged).status, Contents::Status::CutShort);
    }

    // ---- a real editor killed while it types ---------------------------------------------------

    void killedWhileTyping_data() {
        QTest::addColumn<QString>("file");
        QTest::addColumn<QByteArray>("content");
        QTest::addColumn<bool>("utf8");
        QTest::addColumn<quint32>("seed");
        QByteArray latin1;
        for (int i = 0; latin1.size() < (3 << 20); ++i) {
            latin1 += "<p>Gr\xfc\xdf " + QByteArray::number(i) + "</p>\r\n";
        }
        for (quint32 seed : {1u, 2u, 3u}) {
            QTest::addRow("new document, run %u", seed)
                << QString() << QByteArray() << true << seed;
            QTest::addRow("small UTF-8 file, run %u", seed)
                << QStringLiteral("small.html")
                << QByteArray("<html>\r\n<b>\xe2\x82\xac</b>\r\n</html>\r\n") << true << seed;
            QTest::addRow("3 MB 8-bit file, run %u", seed)
                << QStringLiteral("large.html") << latin1 << false << seed;
        }
    }
    void killedWhileTyping() {
        QFETCH(QString, file);
        QFETCH(QByteArray, content);
        QFETCH(bool, utf8);
        QFETCH(quint32, seed);
        QString path;
        if (!file.isEmpty()) {
            path = dir_.filePath(file);
            writeFile(path, content);
        }
        auto typist = startTypist(seed, path);
        QVERIFY(waitForEdits(*typist, 1));
        // Somewhere between 2.5 and 5 s into the typing: in the middle of a write, a
        // compaction or nothing, as it falls.
        const qint64 killAt =
            typist->reportedAt.first() + 2500 + QRandomGenerator::global()->bounded(2500);
        while (typist->clock.elapsed() < killAt) {
            typist->process->waitForReadyRead(10);
            typist->read();
        }
        kill(*typist);
        const qint64 killed = typist->clock.elapsed();
        // Every edit reported more than 2 s before the kill must be on disk; the ones after
        // may be. The one being made when it died was not reported yet.
        int mustHave = 0;
        while (mustHave < typist->reportedAt.size() &&
               typist->reportedAt[mustHave] < killed - 2000) {
            ++mustHave;
        }
        const int mayHave = static_cast<int>(typist->reportedAt.size()) + 1;
        QVERIFY(mustHave > 0);
        QCOMPARE(journals(folder()).size(), 1);
        const QString copy = folder() + QLatin1Char('/') + journals(folder()).constFirst();

        // The next start offers it; Yes brings back one of the texts it could have kept.
        dialogs_.answer(Dialogs::Yes);
        auto w = newWindow();
        w->document().offerRecovery();
        QCOMPARE(dialogs_.calls().size(), 1);
        const ScriptedDialogs::Call& offer = dialogs_.calls().constFirst();
        QCOMPARE(offer.title, QStringLiteral("Quindo"));
        QCOMPARE(offer.buttons, Dialogs::Buttons::YesNo);
        QVERIFY2(offer.text.contains(QStringLiteral("recover"), Qt::CaseInsensitive),
                 qPrintable(offer.text));
        QVERIFY2(
            offer.text.contains(path.isEmpty() ? QStringLiteral("an untitled document") : path),
            qPrintable(offer.text));
        const QByteArray recovered = w->Text1().bytes().toByteArray();
        RecoveryScript script(seed);
        QByteArray text = content;
        int found = -1;
        for (int n = 1; n <= mayHave; ++n) {
            RecoveryScript::apply(text, script.next(text.size()));
            if (n >= mustHave && text == recovered) {
                found = n;
                break;
            }
        }
        QVERIFY2(found >= 0, qPrintable(QStringLiteral("recovered %1 bytes, not the text after any "
                                                       "edit from %2 to %3")
                                            .arg(recovered.size())
                                            .arg(mustHave)
                                            .arg(mayHave)));
        QCOMPARE(w->caption(), path.isEmpty() ? Caption::kNoDocument : Caption::forPath(path));
        QCOMPARE(w->document().state().CurrentFileName, path);
        QCOMPARE(w->document().state().DocChanged, qint16(1));
        QCOMPARE(w->Text1().isUtf8(), utf8);
        // The user's file is as it was; the copy is this window's own now.
        if (!path.isEmpty()) {
            QCOMPARE(readFile(path), content);
        }
        QCOMPARE(w->document().recovery().copyPath(), copy);
        // It goes on keeping the text: typed more, it reads back as the window's text.
        QTest::keyClicks(&w->Text1(), QStringLiteral("after"));
        w->document().recovery().flushNow();
        const RecoveryJournal::Contents again = RecoveryJournal::read(readFile(copy));
        QCOMPARE(again.status, RecoveryJournal::Contents::Status::Ok);
        QCOMPARE(again.text, w->Text1().bytes().toByteArray());
        // Exit asks, because the text is unsaved; No lets it go with its copy.
        dialogs_.answer(Dialogs::No);
        w->document().mnuFileExit_Click();
        QCOMPARE(dialogs_.calls().size(), 2);
        QCOMPARE(dialogs_.calls().last().text, QStringLiteral("Save current document?"));
        QVERIFY(journals(folder()).isEmpty());
    }

    // A copy cut short by the crash is offered with what it holds up to its last whole
    // record, and the box says so.
    void cutShortCopy() {
        using namespace RecoveryJournal;
        QVERIFY(QDir().mkpath(folder()));
        const QByteArray whole = magic() +
                                 metaRecord({true, QStringLiteral("Quindo HTML Editor"), {}}) +
                                 snapshotRecord("<p>one</p>") + insertRecord(6, " two");
        writeFile(folder() + QStringLiteral("/1-cut.journal"),
                  whole + insertRecord(0, "lost").left(9));
        dialogs_.answer(Dialogs::Yes);
        auto w = newWindow();
        w->document().offerRecovery();
        QCOMPARE(dialogs_.calls().size(), 1);
        QVERIFY(dialogs_.calls().constFirst().text.contains(QStringLiteral("lost")));
        QCOMPARE(w->Text1().bytes(), QByteArrayView("<p>one two</p>"));
        w->document().recovery().discard();
    }

    // ---- no copy once the document is no longer unsaved
    // -------------------------------------------

    void noCopyLeft_data() {
        QTest::addColumn<QString>("how");
        for (const char* how : {"save", "save as", "exit answered no", "close request answered no",
                                "close", "new", "open", "drop"}) {
            QTest::addRow("%s", how) << QString::fromLatin1(how);
        }
    }
    void noCopyLeft() {
        QFETCH(QString, how);
        // After a save, the saved file's folder is on disk before the copy goes.
        std::mutex stepsLock;
        QList<Step> steps;
        RecoveryJournal::Writer::stepHook = [&](Step step) {
            std::lock_guard lock(stepsLock);
            steps.append(step);
        };
        auto noHook = qScopeGuard([] { RecoveryJournal::Writer::stepHook = nullptr; });
        const QString page = dir_.filePath(
            QStringLiteral("page-%1.html").arg(QTest::currentDataTag()).replace(' ', '-'));
        writeFile(page, "<p>on disk</p>");
        auto w = newWindow(page);
        QTest::keyClicks(&w->Text1(), QStringLiteral("typed "));
        w->document().recovery().flushNow();
        QCOMPARE(journals(folder()).size(), 1);
        Document& doc = w->document();
        if (how == QLatin1String("save")) {
            QVERIFY(doc.mnuFileSave_Click());
        } else if (how == QLatin1String("save as")) {
            dialogs_.answerFile(page + QStringLiteral(".copy.html"));
            QVERIFY(doc.mnuFileSaveAs_Click());
        } else if (how == QLatin1String("exit answered no")) {
            dialogs_.answer(Dialogs::No);
            doc.mnuFileExit_Click();
        } else if (how == QLatin1String("close request answered no")) {
            dialogs_.answer(Dialogs::No);
            QVERIFY(w->close());
        } else if (how == QLatin1String("close")) {
            dialogs_.answer(Dialogs::No);
            doc.mnuFileClose_Click();
        } else if (how == QLatin1String("new")) {
            dialogs_.answer(Dialogs::No);
            doc.mnuFileNew_Click();
        } else if (how == QLatin1String("open")) {
            dialogs_.answer(Dialogs::No);
            dialogs_.answerFile(page);
            doc.mnuFileOpen_Click();
        } else if (how == QLatin1String("drop")) {
            dialogs_.answer(Dialogs::No);
            doc.loadDrop(true, {QUrl::fromLocalFile(page)});
        }
        QCOMPARE(dialogs_.pending(), 0);
        QVERIFY2(journals(folder()).isEmpty(), qPrintable(journals(folder()).join(' ')));
        QVERIFY(doc.recovery().copyPath().isEmpty());
        {
            std::lock_guard lock(stepsLock);
            QVERIFY(steps.contains(Step::Removed));
            QCOMPARE(steps.indexOf(Step::FolderSynced) + 1,
                     how.startsWith(QLatin1String("save")) ? steps.indexOf(Step::Removed) : 0);
        }
        // And the next start offers nothing.
        dialogs_.clear();
        auto next = newWindow();
        next->document().offerRecovery();
        QVERIFY(dialogs_.calls().isEmpty());
        w.reset();
    }

    // While it is unsaved the copy stays, also when the close request is refused; it
    // follows the document's name.
    void copyKeptWhileUnsaved() {
        auto w = newWindow();
        QTest::keyClicks(&w->Text1(), QStringLiteral("<p>draft</p>"));
        w->document().recovery().flushNow();
        const QString copy = w->document().recovery().copyPath();
        QVERIFY(QFileInfo::exists(copy));
        dialogs_.answer(Dialogs::Cancel);
        QVERIFY(!w->close());
        dialogs_.answer(Dialogs::Cancel);
        w->document().mnuFileExit_Click();
        w->document().recovery().flushNow();
        QVERIFY(QFileInfo::exists(copy));
        QCOMPARE(RecoveryJournal::read(readFile(copy)).text, QByteArray("<p>draft</p>"));
        w->document().recovery().discard();
    }

    // ---- a copy that refers to its file ------------------------------------------------------

    // A large page's copy holds only the edits on the page: the page's bytes decide whether it
    // is offered, never its time stamp; a page away for now keeps its copy for a later start;
    // a page that really changed keeps the copy on disk and says where. A small page's copy
    // holds the text, but is not offered once its page was saved after it.
    void copyOfAFile_data() {
        QTest::addColumn<bool>("large");
        QTest::addColumn<QString>("change");   // made after the editor is gone, or "before"
        QTest::addColumn<QString>("outcome");  // "offered", "later", "kept"
        QTest::addRow("touched") << true << "touch"
                                 << "offered";
        QTest::addRow("away for now") << true << "away"
                                      << "later";
        QTest::addRow("same size and time, other bytes before the first edit") << true << "before"
                                                                               << "offered";
        QTest::addRow("really changed") << true << "rewrite"
                                        << "kept";
        QTest::addRow("small page saved after the copy") << false << "rewrite"
                                                         << "kept";
    }
    void copyOfAFile() {
        QFETCH(bool, large);
        QFETCH(QString, change);
        QFETCH(QString, outcome);
        const QString page = dir_.filePath(
            QStringLiteral("base-%1.html").arg(QTest::currentDataTag()).replace(' ', '-'));
        const QByteArray loaded = QByteArray("<p>page</p>\r\n").repeated(large ? 160 * 1024 : 4);
        QByteArray other = loaded;
        other.replace("page", "PAGE");
        writeFile(page, loaded);
        QByteArray typed;
        {
            auto before = newWindow(page);
            if (change == QLatin1String("before")) {
                rewriteKeepingTime(page, other);
            }
            QTest::keyClicks(&before->Text1(), QStringLiteral("typed "));
            before->document().recovery().flushNow();
            typed = before->Text1().bytes().toByteArray();
            // Destroyed without the way out, as in a crash.
        }
        QCOMPARE(journals(folder()).size(), 1);
        const QString copy = folder() + QLatin1Char('/') + journals(folder()).constFirst();
        const QDateTime later = QDateTime::currentDateTime().addSecs(60);
        if (change == QLatin1String("touch")) {
            QFile f(page);
            QVERIFY(f.open(QIODevice::ReadWrite));
            QVERIFY(f.setFileTime(later, QFileDevice::FileModificationTime));
        } else if (change == QLatin1String("away")) {
            QVERIFY(QFile::rename(page, page + QStringLiteral(".away")));
        } else if (change == QLatin1String("rewrite")) {
            writeFile(page, other);
            QFile f(page);
            QVERIFY(f.open(QIODevice::ReadWrite));
            QVERIFY(f.setFileTime(later, QFileDevice::FileModificationTime));
        }
        dialogs_.answer(outcome == QLatin1String("offered") ? Dialogs::Yes : Dialogs::Ok);
        auto w = newWindow();
        w->document().offerRecovery();
        if (outcome == QLatin1String("later")) {
            QVERIFY(dialogs_.calls().isEmpty());
            QVERIFY(QFileInfo::exists(copy));
            // Back in place, it is offered as it was.
            QVERIFY(QFile::rename(page + QStringLiteral(".away"), page));
            dialogs_.clear();
            dialogs_.answer(Dialogs::Yes);
            w->document().offerRecovery();
            outcome = QStringLiteral("offered");
        }
        QCOMPARE(dialogs_.calls().size(), 1);
        const QString shown = dialogs_.calls().constFirst().text;
        QVERIFY2(shown.contains(page), qPrintable(shown));
        if (outcome == QLatin1String("offered")) {
            QCOMPARE(dialogs_.calls().constFirst().buttons, Dialogs::Buttons::YesNo);
            QVERIFY(w->Text1().bytes() == typed);
            QCOMPARE(w->document().recovery().copyPath(), copy);
        } else {
            QCOMPARE(dialogs_.calls().constFirst().buttons, Dialogs::Buttons::Ok);
            QVERIFY2(shown.contains(copy), qPrintable(shown));
            QVERIFY(QFileInfo::exists(copy));
            QVERIFY(w->Text1().isEmpty());
        }
        w->document().recovery().discard();
        QFile::remove(copy);
    }

    // A base file that cannot be used is replaced by a snapshot once; after that, every flush
    // appends only its edits.
    void unusableBaseFile_data() {
        QTest::addColumn<QString>("how");
        QTest::addRow("removed while the copy is made") << "remove";
        QTest::addRow("rewritten before the first edit") << "rewrite";
    }
    void unusableBaseFile() {
        QFETCH(QString, how);
        const QString page = dir_.filePath(QStringLiteral("unusable-%1.html").arg(how));
        const QByteArray loaded = QByteArray("<p>page</p>\r\n").repeated(160 * 1024);
        writeFile(page, loaded);
        auto w = newWindow(page);
        if (how == QLatin1String("remove")) {
            RecoveryJournal::Writer::stepHook = [&page](Step step) {
                if (step == Step::Checking) {
                    QFile::remove(page);
                }
            };
        } else {
            rewriteKeepingTime(page, QByteArray(loaded.size(), 'x'));
        }
        auto noHook = qScopeGuard([] { RecoveryJournal::Writer::stepHook = nullptr; });
        Recovery& recovery = w->document().recovery();
        QTest::keyClick(&w->Text1(), 'a');
        recovery.flushNow();
        QVERIFY(!QFileInfo::exists(page) || how != QLatin1String("remove"));
        const QString copy = recovery.copyPath();
        for (int i = 0; i < 3; ++i) {
            const qint64 before = QFileInfo(copy).size();
            QTest::keyClick(&w->Text1(), 'b');
            recovery.flushNow();
            QCOMPARE(QFileInfo(copy).size() - before, RecoveryJournal::insertRecord(0, "b").size());
        }
        const RecoveryJournal::Contents c = RecoveryJournal::read(readFile(copy));
        QCOMPARE(c.status, RecoveryJournal::Contents::Status::Ok);
        QVERIFY(c.text == w->Text1().bytes());
        recovery.discard();
    }

    // The offer names the document as the window's caption did: a file closed with Close
    // leaves its name behind, but what was typed after it is an untitled document, and is
    // brought back as one (Save asks for a name).
    void offerNamesTheDocument_data() {
        QTest::addColumn<bool>("closed");
        QTest::addRow("file open") << false;
        QTest::addRow("file closed, then a new text") << true;
    }
    void offerNamesTheDocument() {
        QFETCH(bool, closed);
        const QString page = dir_.filePath(QStringLiteral("pets-%1.html").arg(closed));
        writeFile(page, "<p>pets</p>");
        QString caption;
        {
            auto before = newWindow(page);
            QTest::keyClicks(&before->Text1(), QStringLiteral("changed "));
            if (closed) {
                dialogs_.answer(Dialogs::No);
                before->document().mnuFileClose_Click();
                QTest::keyClicks(&before->Text1(), QStringLiteral("<p>draft</p>"));
            }
            before->document().recovery().flushNow();
            caption = before->caption();
        }
        dialogs_.clear();
        dialogs_.answer(Dialogs::Yes);
        auto w = newWindow();
        w->document().offerRecovery();
        QCOMPARE(dialogs_.calls().size(), 1);
        const QString offer = dialogs_.calls().constFirst().text;
        QVERIFY2(offer.contains(page) != closed, qPrintable(offer));
        QVERIFY2(offer.contains(QStringLiteral("an untitled document")) == closed,
                 qPrintable(offer));
        QCOMPARE(w->caption(), caption);
        if (closed) {
            dialogs_.answerFile({});
        }
        w->document().mnuFileSave_Click();
        QCOMPARE(dialogs_.calls().size(), closed ? 2 : 1);
        QCOMPARE(readFile(page),
                 closed ? QByteArray("<p>pets</p>") : QByteArray("changed <p>pets</p>\r\n"));
        w->document().recovery().discard();
    }

    // ---- a copy is never seen unlocked, nor written through a planted link ---------------------

    void copyNeverExposed_data() {
        QTest::addColumn<bool>("compaction");
        QTest::addColumn<int>("held");  // the writer's step where another start looks
        QTest::addColumn<bool>("planted");
        QTest::addRow("new copy, file opened") << false << int(Step::Opened) << false;
        QTest::addRow("new copy, file written") << false << int(Step::Written) << false;
        QTest::addRow("compaction, file opened") << true << int(Step::Opened) << false;
        QTest::addRow("compaction, file written") << true << int(Step::Written) << false;
        QTest::addRow("compaction beside a planted link") << true << -1 << true;
    }
    void copyNeverExposed() {
        QFETCH(bool, compaction);
        QFETCH(int, held);
        QFETCH(bool, planted);
        QSemaphore reached;
        QSemaphore go;
        std::atomic<bool> armed = !compaction;
        RecoveryJournal::Writer::stepHook = [&](Step step) {
            if (int(step) == held && armed.exchange(false)) {
                reached.release();
                go.acquire();
            }
        };
        auto cleanup = qScopeGuard([&] {
            armed = false;
            go.release(10);
        });
        auto w = newWindow();
        auto other = newWindow();
        Recovery& recovery = w->document().recovery();
        QTest::keyClicks(&w->Text1(), QStringLiteral("<p>draft</p>"));
        const QString victim = dir_.filePath(QStringLiteral("victim"));
        if (compaction) {
            // Edits that outgrow the text make the next flush compact.
            recovery.flushNow();
            if (planted) {
                writeFile(victim, "not the journal's");
                QVERIFY(QFile::link(victim, recovery.copyPath() + QStringLiteral(".compacting")));
            }
            const qint64 at = w->Text1().byteLength();
            w->Text1().setSelText(QByteArray(1536 * 1024, 'x'));
            recovery.flushNow();
            armed = true;
            w->Text1().SendScintilla(QsciScintillaBase::SCI_SETSEL, static_cast<unsigned long>(at),
                                     static_cast<long>(w->Text1().byteLength()));
            w->Text1().setSelText({});
        }
        if (held >= 0) {
            // Another start looks while the writer is held there.
            QElapsedTimer t;
            t.start();
            while (!reached.tryAcquire(1, 10) && t.elapsed() < 10000) {
                QCoreApplication::processEvents();
            }
            QVERIFY(t.elapsed() < 10000);
            other->document().offerRecovery();
            QVERIFY(dialogs_.calls().isEmpty());
            go.release();
        }
        recovery.flushNow();
        RecoveryJournal::Writer::stepHook = nullptr;
        const QString copy = recovery.copyPath();
        QVERIFY(!copy.isEmpty());
        QVERIFY(!QFileInfo(copy).isSymLink());
        QCOMPARE(RecoveryJournal::read(readFile(copy)).text, w->Text1().bytes().toByteArray());
        if (planted) {
            QCOMPARE(readFile(victim), QByteArray("not the journal's"));
        }
        QCOMPARE(QDir(folder()).entryList(QDir::Files | QDir::System),
                 QStringList{QFileInfo(copy).fileName()});
        recovery.discard();
    }

    // A copy that could not be written goes at once and is never offered: neither after the
    // document was saved and the program ended, nor after a crash.
    void copyThatCannotBeKept_data() {
        QTest::addColumn<QString>("end");
        QTest::addRow("saved, then Exit") << "exit";
        QTest::addRow("killed") << "kill";
    }
    void copyThatCannotBeKept() {
        QFETCH(QString, end);
        const QString page = dir_.filePath(QStringLiteral("full-%1.html").arg(end));
        writeFile(page, "<p>small</p>");
        QProcess child;
        child.setProcessEnvironment(childEnvironment());
        // The copy's file may not grow past 128 KiB: its write fails as on a full disk.
        child.setChildProcessModifier([] {
            ::signal(SIGXFSZ, SIG_IGN);
            const struct rlimit limit { 128 * 1024, 128 * 1024 };
            ::setrlimit(RLIMIT_FSIZE, &limit);
        });
        child.start(QStringLiteral(RECOVERY_CHILD), {QStringLiteral("fill"), page, end});
        QVERIFY(child.waitForFinished(30000));
        const QStringList notes = QString::fromLocal8Bit(child.readAllStandardError())
                                      .split('\n')
                                      .filter(QStringLiteral("recovery"));
        if (end == QLatin1String("exit")) {
            QCOMPARE(child.exitStatus(), QProcess::NormalExit);
            QCOMPARE(child.exitCode(), 0);
            QCOMPARE(readFile(page), QByteArray("typed <p>small</p>\r\n"));
            QCOMPARE(notes.size(), 1);
        }
        QVERIFY2(journals(folder()).isEmpty(), qPrintable(journals(folder()).join(' ')));
        auto w = newWindow();
        w->document().offerRecovery();
        QVERIFY(dialogs_.calls().isEmpty());
    }

    // ---- two editors at once --------------------------------------------------------------------

    void twoEditors() {
        auto first = startTypist(11, {});
        auto second = startTypist(12, {});
        QVERIFY(waitForEdits(*first, 50));
        QVERIFY(waitForEdits(*second, 50));
        QElapsedTimer t;
        t.start();
        while (journals(folder()).size() < 2 && t.elapsed() < 5000) {
            QTest::qWait(50);
        }
        QCOMPARE(journals(folder()).size(), 2);
        // Both are running: nothing is offered, nothing is touched.
        auto w = newWindow();
        w->document().offerRecovery();
        QVERIFY(dialogs_.calls().isEmpty());
        QCOMPARE(journals(folder()).size(), 2);
        // The first one dies: its copy, and only its, is offered; No deletes it.
        kill(*first);
        dialogs_.answer(Dialogs::No);
        w->document().offerRecovery();
        QCOMPARE(dialogs_.calls().size(), 1);
        QCOMPARE(journals(folder()).size(), 1);
        kill(*second);
    }

    // Several orphans: the newest is offered first; once one is taken the others wait.
    void severalOrphans() {
        using namespace RecoveryJournal;
        QVERIFY(QDir().mkpath(folder()));
        const QStringList names{QStringLiteral("old"), QStringLiteral("middle"),
                                QStringLiteral("new")};
        for (int i = 0; i < names.size(); ++i) {
            const QString path = folder() + QStringLiteral("/%1.journal").arg(names[i]);
            writeFile(path, magic() +
                                metaRecord({true, QStringLiteral("Quindo- /x/%1").arg(names[i]),
                                            QStringLiteral("/x/%1").arg(names[i])}) +
                                snapshotRecord(names[i].toLatin1()));
            QFile f(path);
            QVERIFY(f.open(QIODevice::ReadWrite));
            QVERIFY(f.setFileTime(QDateTime::currentDateTime().addSecs(-100 + i * 10),
                                  QFileDevice::FileModificationTime));
        }
        // Escape (Cancel) answers nothing: the copy stays and is offered again.
        dialogs_.answer(Dialogs::Cancel);
        auto first = newWindow();
        first->document().offerRecovery();
        QCOMPARE(journals(folder()).size(), 3);
        first.reset();
        dialogs_.clear();
        dialogs_.answer(Dialogs::No);
        dialogs_.answer(Dialogs::Yes);
        auto w = newWindow();
        w->document().offerRecovery();
        QCOMPARE(dialogs_.calls().size(), 2);
        QVERIFY(dialogs_.calls()[0].text.contains(QStringLiteral("/x/new")));
        QVERIFY(dialogs_.calls()[1].text.contains(QStringLiteral("/x/middle")));
        QCOMPARE(w->Text1().bytes(), QByteArrayView("middle"));
        QCOMPARE(w->document().state().CurrentFileName, QStringLiteral("/x/middle"));
        QCOMPARE(journals(folder()),
                 (QStringList{QStringLiteral("middle.journal"), QStringLiteral("old.journal")}));
        // The one left is offered to the next window.
        dialogs_.clear();
        dialogs_.answer(Dialogs::No);
        auto other = newWindow();
        other->document().offerRecovery();
        QCOMPARE(dialogs_.calls().size(), 1);
        QVERIFY(dialogs_.calls()[0].text.contains(QStringLiteral("/x/old")));
        w->document().recovery().discard();
    }

    // The command line's file is loaded first; its recovered copy replaces it on Yes only.
    void commandLineFileThenOffer_data() {
        QTest::addColumn<int>("answer");
        QTest::addRow("yes") << int(Dialogs::Yes);
        QTest::addRow("no") << int(Dialogs::No);
    }
    void commandLineFileThenOffer() {
        QFETCH(int, answer);
        const QString page = dir_.filePath(QStringLiteral("cmdline-%1.html").arg(answer));
        writeFile(page, "<p>saved</p>");
        {
            auto before = newWindow(page);
            QTest::keyClicks(&before->Text1(), QStringLiteral("unsaved "));
            before->document().recovery().flushNow();
            // Destroyed without the way out, as in a crash: the copy stays, unlocked.
        }
        dialogs_.answer(answer);
        auto w = newWindow(page);
        QCOMPARE(w->Text1().bytes(), QByteArrayView("<p>saved</p>"));
        w->document().offerRecovery();
        QCOMPARE(w->Text1().bytes(), answer == Dialogs::Yes ? QByteArrayView("unsaved <p>saved</p>")
                                                            : QByteArrayView("<p>saved</p>"));
        QCOMPARE(w->document().state().DocChanged, qint16(answer == Dialogs::Yes ? 1 : 0));
        QCOMPARE(readFile(page), QByteArray("<p>saved</p>"));
        QCOMPARE(journals(folder()).size(), answer == Dialogs::Yes ? 1 : 0);
        w->document().recovery().discard();
    }

    // ---- a large page
    // -----------------------------------------------------------------------------

    // 1 000 keystrokes near the end of a 100 MB page leave a journal of kilobytes that
    // reads back as the page.
    void largePage() {
        const QString page = dir_.filePath(QStringLiteral("large.html"));
        {
            QByteArray line = QByteArray(78, 'x') + "\r\n";
            QFile f(page);
            QVERIFY(f.open(QIODevice::WriteOnly));
            const QByteArray block = line.repeated(1 << 14);
            for (qint64 written = 0; written < 100 * 1024 * 1024; written += block.size()) {
                QCOMPARE(f.write(block), block.size());
            }
        }
        auto w = newWindow(page);
        const qint64 size = w->Text1().byteLength();
        QVERIFY(size >= 100 * 1024 * 1024);
        w->Text1().SendScintilla(QsciScintillaBase::SCI_GOTOPOS,
                                 static_cast<unsigned long>(size - 400));
        std::vector<qint64> times;
        QElapsedTimer clock;
        for (int i = 0; i < 1000; ++i) {
            clock.start();
            QTest::keyClick(&w->Text1(), char('a' + i % 26));
            times.push_back(clock.nsecsElapsed());
            if (i % 100 == 0) {
                // Lets the journal's timer write what was typed so far.
                QTest::qWait(i % 300 == 0 ? 1100 : 0);
            }
        }
        std::sort(times.begin(), times.end());
        qInfo("typed key near the end of 100 MB with recovery on: median %.3f ms, max %.3f ms",
              double(times[times.size() / 2]) / 1e6, double(times.back()) / 1e6);
        QVERIFY(times[times.size() / 2] < 1000000);
        w->document().recovery().flushNow();
        const QString copy = w->document().recovery().copyPath();
        qInfo("journal after 1000 keys: %lld bytes", QFileInfo(copy).size());
        QVERIFY2(QFileInfo(copy).size() < 64 * 1024,
                 qPrintable(QString::number(QFileInfo(copy).size())));
        const RecoveryJournal::Contents c = RecoveryJournal::read(readFile(copy));
        QCOMPARE(c.status, RecoveryJournal::Contents::Status::Ok);
        QVERIFY(c.text == w->Text1().bytes());
        w->document().recovery().discard();
        QFile::remove(page);
    }

    // ---- state homes that cannot hold copies
    // ------------------------------------------------------

    void badStateHome_data() {
        QTest::addColumn<QString>("home");
        QTest::addColumn<QByteArray>("fileAt");  // a file made at this path first
        QTest::addRow("missing and cannot be made")
            << QStringLiteral("/proc/quindo-missing/state") << QByteArray();
        QTest::addRow("not writable") << QStringLiteral("/proc") << QByteArray();
        QTest::addRow("state home is a file")
            << dir_.filePath(QStringLiteral("home-file")) << QByteArray("home");
        QTest::addRow("quindo folder is a file")
            << dir_.filePath(QStringLiteral("home-with-file")) << QByteArray("quindo");
        QTest::addRow("quindo folder writable by all")
            << dir_.filePath(QStringLiteral("home-open")) << QByteArray("open");
        QTest::addRow("quindo folder of another user")
            << dir_.filePath(QStringLiteral("home-foreign")) << QByteArray("foreign");
        QTest::addRow("quindo folder is a link")
            << dir_.filePath(QStringLiteral("home-link")) << QByteArray("link");
    }
    void badStateHome() {
        QFETCH(QString, home);
        QFETCH(QByteArray, fileAt);
        if (fileAt == "home") {
            writeFile(home, "not a folder");
        } else if (fileAt == "quindo") {
            QVERIFY(QDir().mkpath(home));
            writeFile(home + QStringLiteral("/quindo"), "not a folder");
        } else if (!fileAt.isEmpty()) {
            if (fileAt == "foreign" && ::geteuid() != 0) {
                QSKIP("only root can give a folder to another user");
            }
            const QByteArray quindo = QFile::encodeName(home + QStringLiteral("/quindo"));
            QVERIFY(QDir().mkpath(home + QStringLiteral("/elsewhere")));
            if (fileAt == "link") {
                QVERIFY(QFile::link(home + QStringLiteral("/elsewhere"), quindo));
            } else {
                QCOMPARE(::mkdir(quindo.constData(), 0700), 0);
                QCOMPARE(fileAt == "open" ? ::chmod(quindo.constData(), 0777)
                                          : ::chown(quindo.constData(), 65534, 65534),
                         0);
            }
        }
        const QString target = dir_.filePath(
            QStringLiteral("saved-%1.html").arg(QTest::currentDataTag()).replace(' ', '-'));
        QProcess child;
        QProcessEnvironment env = childEnvironment();
        env.insert(QStringLiteral("XDG_STATE_HOME"), home);
        child.setProcessEnvironment(env);
        child.start(QStringLiteral(RECOVERY_CHILD), {QStringLiteral("save"), target});
        QVERIFY(child.waitForFinished(30000));
        const QStringList errors = QString::fromLocal8Bit(child.readAllStandardError()).split('\n');
        QCOMPARE(child.exitStatus(), QProcess::NormalExit);
        QCOMPARE(child.exitCode(), 0);
        // It worked as before: the document was saved.
        QCOMPARE(readFile(target), QByteArray("<p>kept</p>\r\n"));
        const QStringList notes = errors.filter(QStringLiteral("recovery"));
        QCOMPARE(notes.size(), 1);
        QVERIFY(notes.constFirst().startsWith(QStringLiteral("quindo: ")));
    }
};

QTEST_MAIN(RecoveryTest)
#include "test_recovery.moc"
