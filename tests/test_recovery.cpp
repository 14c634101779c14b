// SPDX-License-Identifier: GPL-3.0-or-later
// Recovery copies of unsaved documents: the journal read back after every possible cut, a
// real editor killed while it types (during journal writes and compactions) and its text
// offered back at the next start, no copy once the document is no longer unsaved, copies of
// files, two editors at once, a large page, and state homes that cannot hold copies.
// The same program, run as "test_recovery child ...", is the editor the tests kill.
#include "MainWindowFixture.h"
#include "document/Document.h"
#include "document/Recovery.h"
#include "platform/EditingArea.h"
#include "recovery/RecoveryJournal.h"
#include "ui/frmMain.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QProcess>
#include <QRandomGenerator>
#include <QScopeGuard>
#include <QSemaphore>
#include <QTimer>

#include <fcntl.h>
#include <algorithm>
#include <atomic>
#include <cstdio>
#include <mutex>
#include <vector>

namespace {

using Step = RecoveryJournal::Writer::Step;
using Status = RecoveryJournal::Contents::Status;

// A reproducible run of edits: the child makes them in the editor, the test replays them on
// plain bytes to know every text the document had. Typing is letters and blanks near one
// place; pastes and deletions are large, so the journal is compacted often.
struct Script {
    struct Edit {
        qint64 position = 0;
        QByteArray bytes;   // inserted (typed when `typed`)
        qint64 length = 0;  // deleted
        bool typed = false;
    };
    QRandomGenerator rng;
    qint64 lastEnd = 0;

    Edit next(qint64 length) {
        Edit e;
        const int roll = static_cast<int>(rng.bounded(100));
        if (roll < 70 || length == 0) {
            if (rng.bounded(10) == 0 || lastEnd > length) {
                lastEnd = rng.bounded(length + 1);
            }
            e = {lastEnd, {}, 0, true};
            for (int n = 1 + static_cast<int>(rng.bounded(4)); n > 0; --n) {
                const int c = static_cast<int>(rng.bounded(27));
                e.bytes.append(c == 26 ? ' ' : char('a' + c));
            }
        } else if (roll < 85) {
            e.position = rng.bounded(length + 1);
            e.bytes = QByteArray(1 + static_cast<int>(rng.bounded(96 * 1024)),
                                 char('A' + rng.bounded(26)));
            e.bytes.replace(0, 2, "\r\n");
        } else {
            e.position = rng.bounded(length);
            e.length = 1 + rng.bounded(std::min<qint64>(length - e.position, 64 * 1024));
        }
        lastEnd = e.position + e.bytes.size();
        return e;
    }
    static void apply(QByteArray& text, const Edit& e) {
        e.length ? text.remove(e.position, e.length) : text.insert(e.position, e.bytes);
    }
};

void perform(EditingArea& area, const Script::Edit& e) {
    area.SendScintilla(QsciScintillaBase::SCI_SETSEL, static_cast<unsigned long>(e.position),
                       static_cast<long>(e.position + e.length));
    if (e.typed) {
        QTest::keyClicks(&area, QString::fromLatin1(e.bytes));
    } else {
        area.setSelText(e.bytes);
    }
}

// The editor in a process of its own:
//   child type SEED [FILE]  edits FILE (or a new document) as Script SEED says, one edit every
//                           few ms, printing "edit N" after the N-th, until it is killed
//   child fill FILE END [full]  types, pastes 256 KiB and takes it away again, then saves and
//                           leaves through Exit (END "exit") or kills itself (END "kill");
//                           with "full" its files may not grow past 128 KiB, so the copy's
//                           writes fail as on a full disk
int child(const QStringList& args) {
    ScriptedDialogs dialogs;
    const bool type = args.value(0) == QLatin1String("type");
    const auto full = args.value(3) == QLatin1String("full")
                          ? std::make_unique<FileSizeLimit>(128 * 1024)
                          : nullptr;
    frmMain window(dialogs, args.value(type ? 2 : 1));
    window.Form_Load();
    window.show();
    EditingArea& area = window.Text1();
    Recovery& recovery = window.document().recovery();
    if (type) {
        Script script{QRandomGenerator(args.value(1).toUInt())};
        int count = 0;
        QTimer tick;
        QObject::connect(&tick, &QTimer::timeout, [&] {
            perform(area, script.next(area.byteLength()));
            std::printf("edit %d\n", ++count);
            std::fflush(stdout);
        });
        tick.start(5);
        return QApplication::exec();
    }
    QTest::keyClicks(&area, QStringLiteral("typed "));
    recovery.flushNow();
    const qint64 at = area.byteLength();
    perform(area, {at, QByteArray(256 * 1024, 'x')});
    recovery.flushNow();
    perform(area, {at, {}, 256 * 1024});
    if (args.value(2) == QLatin1String("kill")) {
        std::raise(SIGKILL);
    }
    const bool saved = window.document().mnuFileSave_Click();
    window.document().mnuFileExit_Click();
    return saved && dialogs.unexpected().isEmpty() ? 0 : 1;
}

// A running "child type" and when it reported each edit.
struct Typist {
    explicit Typist(std::unique_ptr<QProcess> p) : process(std::move(p)) { clock.start(); }
    std::unique_ptr<QProcess> process;
    QElapsedTimer clock;
    QList<qint64> reportedAt;  // ms on clock, by edit number - 1
    QByteArray partial;

    void read() {
        partial += process->readAllStandardOutput();
        for (qsizetype end; (end = partial.indexOf('\n')) >= 0; partial.remove(0, end + 1)) {
            if (partial.startsWith("edit ")) {
                reportedAt.append(clock.elapsed());
            }
        }
    }
    bool waitForEdits(int n) {
        return QTest::qWaitFor(
            [&] {
                process->waitForReadyRead(100);
                read();
                return reportedAt.size() >= n;
            },
            30000);
    }
    void kill() {
        ::kill(static_cast<pid_t>(process->processId()), SIGKILL);
        process->waitForFinished(10000);
        read();
    }
};

// Gives a file other bytes under its old modification time.
void rewriteKeepingTime(const QString& path, const QByteArray& bytes) {
    struct stat st {};
    QCOMPARE(::stat(QFile::encodeName(path).constData(), &st), 0);
    writeFile(path, bytes);
    const struct timespec times[2] = {st.st_atim, st.st_mtim};
    QCOMPARE(::utimensat(AT_FDCWD, QFile::encodeName(path).constData(), times, 0), 0);
}

// The copy reads back whole as the window's text.
void readsBack(const QString& copy, frmMain& w) {
    const RecoveryJournal::Contents c = RecoveryJournal::read(readFile(copy));
    QCOMPARE(c.status, Status::Ok);
    QCOMPARE(c.text, w.Text1().bytes().toByteArray());
}

void setTime(const QString& path, int secondsFromNow) {
    QFile f(path);
    QVERIFY(f.open(QIODevice::ReadWrite));
    QVERIFY(f.setFileTime(QDateTime::currentDateTime().addSecs(secondsFromNow),
                          QFileDevice::FileModificationTime));
}

}  // namespace

class RecoveryTest : public QObject {
    Q_OBJECT

    MainWindowFixture f_;
    ScriptedDialogs& dialogs_ = f_.dialogs;
    QString stateHome_;

    QString folder() const { return stateHome_ + QStringLiteral("/quindo"); }
    QStringList journals() const {
        return QDir(folder()).entryList({QStringLiteral("*.journal")}, QDir::Files);
    }
    QString path(const QString& name) const { return f_.path(QString(name).replace(' ', '-')); }

    // A new window of the program, as the next start makes it.
    std::unique_ptr<frmMain> window(const QString& commandLine = {}) {
        auto w = f_.another(commandLine);
        w->Form_Load();
        w->show();
        return w;
    }
    // A new start that answers its offers as given.
    std::unique_ptr<frmMain> offer(const QList<int>& answers, const QString& commandLine = {}) {
        for (int a : answers) {
            dialogs_.answer(a);
        }
        auto w = window(commandLine);
        w->document().offerRecovery();
        return w;
    }
    // Types into a window on the page and destroys it without the way out, as in a crash:
    // the copy stays, unlocked. Every flush after the first appends only its edits (also where
    // the base file could not be used and a snapshot replaced it once). The text it had.
    QByteArray crash(const QString& page, const std::function<void(frmMain&)>& before = {},
                     QString* caption = nullptr) {
        auto w = window(page);
        if (before) {
            before(*w);
        }
        QTest::keyClicks(&w->Text1(), QStringLiteral("typed "));
        w->document().recovery().flushNow();
        const QString copy = w->document().recovery().copyPath();
        for (int i = 0; i < 3; ++i) {
            const qint64 before = QFileInfo(copy).size();
            QTest::keyClick(&w->Text1(), 'b');
            w->document().recovery().flushNow();
            [&] {
                QCOMPARE(QFileInfo(copy).size() - before,
                         RecoveryJournal::insertRecord(0, "b").size());
            }();
        }
        if (caption) {
            *caption = w->caption();
        }
        return w->Text1().bytes().toByteArray();
    }

    std::unique_ptr<QProcess> start(const QStringList& args, const QString& home = {}) {
        auto p = std::make_unique<QProcess>();
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
        env.insert(QStringLiteral("XDG_STATE_HOME"), home.isEmpty() ? stateHome_ : home);
        env.insert(QStringLiteral("XDG_CONFIG_HOME"), f_.env.configHome());
        p->setProcessEnvironment(env);
        p->start(QCoreApplication::applicationFilePath(),
                 QStringList{QStringLiteral("child")} + args);
        return p;
    }
    Typist typist(quint32 seed, const QString& file = {}) {
        return Typist(
            start(QStringList{QStringLiteral("type"), QString::number(seed)} + QStringList(file)));
    }
  private slots:
    void initTestCase() { f_.reset(QStringLiteral("5")); }  // a returning user: no welcome

    void init() {
        dialogs_.clear();
        static int n = 0;
        stateHome_ = f_.path(QStringLiteral("state%1").arg(++n));
        QVERIFY(QDir().mkpath(stateHome_));
        qputenv("XDG_STATE_HOME", stateHome_.toLocal8Bit());
    }

    void cleanup() {
        QVERIFY2(dialogs_.unexpected().isEmpty(), qPrintable(dialogs_.unexpected().join("; ")));
        RecoveryJournal::Writer::stepHook = nullptr;
    }

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
        QByteArray text =
            utf8 ? QByteArray("<p>caf\xc3\xa9</p>\r\n") : QByteArray("<p>caf\xe9\0x</p>", 12);
        QByteArray journal = magic() +
                             metaRecord({utf8, QStringLiteral("Quindo- /tmp/page.html"),
                                         QStringLiteral("/tmp/page.html")}) +
                             snapshotRecord(text);
        QMap<qsizetype, QByteArray> after{{journal.size(), text}};  // by the journal's length
        const auto add = [&](const QByteArray& record) {
            journal += record;
            after.insert(journal.size(), text);
        };
        text.insert(3, "new ");  // the text changes before each add
        add(insertRecord(3, "new "));
        text.remove(0, 2);
        add(deleteRecord(0, 2));
        text.append("\0\r", 2);
        add(insertRecord(text.size() - 2, QByteArray("\0\r", 2)));
        const QByteArray lastMeta =
            metaRecord({utf8, QStringLiteral("Quindo- New Untitled Document."), {}});
        add(lastMeta);
        for (qsizetype cut = 0; cut <= journal.size(); ++cut) {
            const Contents c = read(QByteArrayView(journal).first(cut));
            auto whole = after.upperBound(cut);
            if (whole == after.begin()) {
                QVERIFY2(c.status == Status::Unreadable, qPrintable(QString::number(cut)));
                continue;
            }
            --whole;
            QCOMPARE(c.text, whole.value());
            QCOMPARE(c.validLength, whole.key());
            QCOMPARE(c.status, cut == whole.key() ? Status::Ok : Status::CutShort);
            QCOMPARE(c.meta.utf8, utf8);
        }
        // The last meta counts; a damaged byte ends the journal there.
        QCOMPARE(read(journal).meta.caption, QStringLiteral("Quindo- New Untitled Document."));
        journal[journal.size() - lastMeta.size() - 3] ^= 0x20;
        QCOMPARE(read(journal).status, Status::CutShort);
    }

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
                << "small.html" << QByteArray("<html>\r\n<b>\xe2\x82\xac</b>\r\n</html>\r\n")
                << true << seed;
            QTest::addRow("3 MB 8-bit file, run %u", seed)
                << "large.html" << latin1 << false << seed;
        }
    }
    void killedWhileTyping() {
        QFETCH(QString, file);
        QFETCH(QByteArray, content);
        QFETCH(bool, utf8);
        QFETCH(quint32, seed);
        const QString page = file.isEmpty() ? QString() : path(file);
        if (!page.isEmpty()) {
            writeFile(page, content);
        }
        Typist t = typist(seed, page);
        QVERIFY(t.waitForEdits(1));
        // Somewhere between 2.5 and 5 s into the typing: in the middle of a write, a
        // compaction or nothing, as it falls.
        const qint64 killAt =
            t.reportedAt.first() + 2500 + QRandomGenerator::global()->bounded(2500);
        while (t.clock.elapsed() < killAt) {
            t.process->waitForReadyRead(10);
            t.read();
        }
        t.kill();
        // Every edit reported more than 2 s before the kill must be on disk; the ones after
        // may be. The one being made when it died was not reported yet.
        const qint64 killed = t.clock.elapsed();
        const int mustHave =
            static_cast<int>(std::count_if(t.reportedAt.begin(), t.reportedAt.end(),
                                           [killed](qint64 at) { return at < killed - 2000; }));
        const int mayHave = static_cast<int>(t.reportedAt.size()) + 1;
        QVERIFY(mustHave > 0);
        QCOMPARE(journals().size(), 1);
        const QString copy = folder() + QLatin1Char('/') + journals().constFirst();

        // The next start offers it; Yes brings back one of the texts it could have kept.
        auto w = offer({Dialogs::Yes});
        QCOMPARE(dialogs_.calls().size(), 1);
        const ScriptedDialogs::Call& shown = dialogs_.calls().constFirst();
        QCOMPARE(shown.title, QStringLiteral("Quindo"));
        QCOMPARE(shown.buttons, Dialogs::Buttons::YesNo);
        QVERIFY2(shown.text.contains(QStringLiteral("recover"), Qt::CaseInsensitive) &&
                     shown.text.contains(page.isEmpty() ? "an untitled document" : page),
                 qPrintable(shown.text));
        const QByteArray recovered = w->Text1().bytes().toByteArray();
        Script script{QRandomGenerator(seed)};
        QByteArray text = content;
        int n = 1;
        for (; n <= mayHave; ++n) {
            Script::apply(text, script.next(text.size()));
            if (n >= mustHave && text == recovered) {
                break;
            }
        }
        QVERIFY2(n <= mayHave, qPrintable(QStringLiteral("recovered %1 bytes, not the text after "
                                                         "any edit from %2 to %3")
                                              .arg(recovered.size())
                                              .arg(mustHave)
                                              .arg(mayHave)));
        QCOMPARE(w->caption(), page.isEmpty() ? Caption::kNoDocument : Caption::forPath(page));
        QCOMPARE(w->document().state().CurrentFileName, page);
        QCOMPARE(w->document().state().DocChanged, qint16(1));
        QCOMPARE(w->Text1().isUtf8(), utf8);
        if (!page.isEmpty()) {
            QCOMPARE(readFile(page), content);  // the user's file is as it was
        }
        // The copy is this window's own now and goes on keeping the text; Exit answered No
        // lets it go with its copy.
        QCOMPARE(w->document().recovery().copyPath(), copy);
        QTest::keyClicks(&w->Text1(), QStringLiteral("after"));
        w->document().recovery().flushNow();
        readsBack(copy, *w);
        dialogs_.answer(Dialogs::No);
        w->document().mnuFileExit_Click();
        QCOMPARE(dialogs_.calls().size(), 2);
        QVERIFY(journals().isEmpty());
    }

    // The copy goes once the document is no longer unsaved (after a save, once the saved
    // file's folder is on disk), and stays while it is, when the way out is cancelled.
    void copyLeftBehind_data() {
        QTest::addColumn<QString>("how");
        QTest::addColumn<int>("answer");
        for (const char* how :
             {"save", "save as", "exit", "close request", "close", "new", "open", "drop"}) {
            QTest::addRow("%s", how) << QString::fromLatin1(how) << int(Dialogs::No);
        }
        QTest::addRow("exit cancelled") << "exit" << int(Dialogs::Cancel);
        QTest::addRow("close request cancelled") << "close request" << int(Dialogs::Cancel);
    }
    void copyLeftBehind() {
        QFETCH(QString, how);
        QFETCH(int, answer);
        std::mutex stepsLock;
        QList<Step> steps;
        RecoveryJournal::Writer::stepHook = [&](Step step) {
            std::lock_guard lock(stepsLock);
            steps.append(step);
        };
        auto noHook = qScopeGuard([] { RecoveryJournal::Writer::stepHook = nullptr; });
        const QString page = path(QStringLiteral("page-%1.html").arg(QTest::currentDataTag()));
        writeFile(page, "<p>on disk</p>");
        auto w = window(page);
        Document& doc = w->document();
        QTest::keyClicks(&w->Text1(), QStringLiteral("typed "));
        doc.recovery().flushNow();
        const QString copy = doc.recovery().copyPath();
        QCOMPARE(journals().size(), 1);
        if (!how.startsWith(QLatin1String("save"))) {
            dialogs_.answer(answer);
        }
        const QMap<QString, std::function<void()>> ways{
            {"save", [&] { QVERIFY(doc.mnuFileSave_Click()); }},
            {"save as",
             [&] {
                 dialogs_.answerFile(page + QStringLiteral(".copy.html"));
                 QVERIFY(doc.mnuFileSaveAs_Click());
             }},
            {"exit", [&] { doc.mnuFileExit_Click(); }},
            {"close request", [&] { QCOMPARE(w->close(), answer == Dialogs::No); }},
            {"close", [&] { doc.mnuFileClose_Click(); }},
            {"new", [&] { doc.mnuFileNew_Click(); }},
            {"open",
             [&] {
                 dialogs_.answerFile(page);
                 doc.mnuFileOpen_Click();
             }},
            {"drop", [&] { doc.loadDrop(true, {QUrl::fromLocalFile(page)}); }}};
        ways[how]();
        QCOMPARE(dialogs_.pending(), 0);
        const QList<Step> seen = [&] {
            std::lock_guard lock(stepsLock);
            return steps;
        }();
        if (answer == Dialogs::Cancel) {
            doc.recovery().flushNow();
            readsBack(copy, *w);
            QVERIFY(!seen.contains(Step::Removed));
            return doc.recovery().discard();
        }
        QVERIFY2(journals().isEmpty(), qPrintable(journals().join(' ')));
        QVERIFY(doc.recovery().copyPath().isEmpty());
        QVERIFY(seen.contains(Step::Removed));
        QCOMPARE(seen.indexOf(Step::FolderSynced) + 1,
                 how.startsWith(QLatin1String("save")) ? seen.indexOf(Step::Removed) : 0);
    }

    // A large page's copy holds only the edits on the page: the page's bytes decide whether it
    // is offered, never its time stamp; a page away for now keeps its copy for a later start;
    // a page that really changed keeps the copy on disk and says where. A small page's copy
    // holds the text, but is not offered once its page was saved after it. The command line's
    // file is loaded first; its copy replaces it on Yes only.
    void copyOfAFile_data() {
        QTest::addColumn<bool>("large");
        QTest::addColumn<QString>("change");  // made after the crash, or "before" the typing
        QTest::addColumn<bool>("commandLine");
        QTest::addColumn<int>("answer");  // Yes: offered; Ok: the copy is only named
        QTest::addRow("touched") << true << "touch" << false << int(Dialogs::Yes);
        QTest::addRow("away for now") << true << "away" << false << int(Dialogs::Yes);
        QTest::addRow("same size and time, other bytes before the first edit")
            << true << "before" << false << int(Dialogs::Yes);
        QTest::addRow("removed while the copy is made")
            << true << "check" << false << int(Dialogs::Yes);
        QTest::addRow("really changed") << true << "rewrite" << false << int(Dialogs::Ok);
        QTest::addRow("small page saved after the copy")
            << false << "rewrite" << false << int(Dialogs::Ok);
        QTest::addRow("on the command line, taken") << false << "" << true << int(Dialogs::Yes);
        QTest::addRow("on the command line, refused") << false << "" << true << int(Dialogs::No);
    }
    void copyOfAFile() {
        QFETCH(bool, large);
        QFETCH(QString, change);
        QFETCH(bool, commandLine);
        QFETCH(int, answer);
        const QString page = path(QStringLiteral("base-%1.html").arg(QTest::currentDataTag()));
        const QByteArray loaded = QByteArray("<p>page</p>\r\n").repeated(large ? 160 * 1024 : 4);
        QByteArray other = loaded;
        other.replace("page", "PAGE");
        writeFile(page, loaded);
        const QByteArray typed = crash(page, [&](frmMain&) {
            if (change == QLatin1String("before")) {
                rewriteKeepingTime(page, other);
            } else if (change == QLatin1String("check")) {
                RecoveryJournal::Writer::stepHook = [&page](Step step) {
                    if (step == Step::Checking) {
                        QFile::remove(page);
                    }
                };
            }
        });
        RecoveryJournal::Writer::stepHook = nullptr;
        QCOMPARE(QFileInfo::exists(page), change != QLatin1String("check"));
        QCOMPARE(journals().size(), 1);
        const QString copy = folder() + QLatin1Char('/') + journals().constFirst();
        if (change == QLatin1String("touch")) {
            setTime(page, 60);
        } else if (change == QLatin1String("away")) {
            QVERIFY(QFile::rename(page, page + QStringLiteral(".away")));
        } else if (change == QLatin1String("rewrite")) {
            writeFile(page, other);
            setTime(page, 60);
        }
        auto w = window(commandLine ? page : QString());
        QVERIFY(w->Text1().bytes() == (commandLine ? loaded : QByteArray()));
        dialogs_.answer(answer);
        w->document().offerRecovery();
        if (change == QLatin1String("away")) {
            QVERIFY(dialogs_.calls().isEmpty());
            // Back in place, it is offered as it was.
            QVERIFY(QFile::rename(page + QStringLiteral(".away"), page));
            w->document().offerRecovery();
        }
        QCOMPARE(dialogs_.calls().size(), 1);
        const ScriptedDialogs::Call shown = dialogs_.calls().constFirst();
        QVERIFY2(shown.text.contains(page), qPrintable(shown.text));
        QCOMPARE(shown.buttons,
                 answer == Dialogs::Ok ? Dialogs::Buttons::Ok : Dialogs::Buttons::YesNo);
        QVERIFY2(shown.text.contains(copy) == (answer == Dialogs::Ok), qPrintable(shown.text));
        QVERIFY(w->Text1().bytes() == (answer == Dialogs::Yes ? typed
                                       : commandLine          ? loaded
                                                              : QByteArray()));
        QCOMPARE(w->document().state().DocChanged, qint16(answer == Dialogs::Yes));
        QCOMPARE(w->document().recovery().copyPath(), answer == Dialogs::Yes ? copy : QString());
        QCOMPARE(QFileInfo::exists(copy), answer != Dialogs::No);
        w->document().recovery().discard();
        QFile::remove(copy);
    }

    // The offer names the document as the window's caption did: a file closed with Close
    // leaves its name behind, but what was typed after it is an untitled document, and is
    // brought back as one (Save asks for a name).
    void offerNamesTheDocument() {
        const QString page = path(QStringLiteral("pets.html"));
        writeFile(page, "<p>pets</p>");
        QString caption;
        crash(
            page,
            [this](frmMain& before) {
                dialogs_.answer(Dialogs::No);  // Close asks about the loaded page
                before.document().mnuFileClose_Click();
            },
            &caption);
        dialogs_.clear();
        auto w = offer({Dialogs::Yes});
        QCOMPARE(dialogs_.calls().size(), 1);
        const QString shown = dialogs_.calls().constFirst().text;
        QVERIFY2(!shown.contains(page) && shown.contains(QStringLiteral("an untitled document")),
                 qPrintable(shown));
        QCOMPARE(w->caption(), caption);
        dialogs_.answerFile({});
        QVERIFY(!w->document().mnuFileSave_Click());
        QCOMPARE(dialogs_.calls().size(), 2);
        QCOMPARE(readFile(page), QByteArray("<p>pets</p>"));
        w->document().recovery().discard();
    }

    // A copy is never seen unlocked by another start, nor written through a planted link.
    void copyNeverExposed_data() {
        QTest::addColumn<bool>("compaction");
        QTest::addColumn<int>("held");  // the writer's step where another start looks
        QTest::addRow("new copy, file opened") << false << int(Step::Opened);
        QTest::addRow("new copy, file written") << false << int(Step::Written);
        QTest::addRow("compaction, file opened") << true << int(Step::Opened);
        QTest::addRow("compaction, file written") << true << int(Step::Written);
        QTest::addRow("compaction beside a planted link") << true << -1;
    }
    void copyNeverExposed() {
        QFETCH(bool, compaction);
        QFETCH(int, held);
        QSemaphore reached;
        QSemaphore go;
        std::atomic<bool> armed = !compaction;
        RecoveryJournal::Writer::stepHook = [&](Step step) {
            if (int(step) == held && armed.exchange(false)) {
                reached.release();
                go.acquire();
            }
        };
        auto release = qScopeGuard([&] {
            armed = false;
            go.release(10);
        });
        auto w = window();
        auto other = window();
        EditingArea& area = w->Text1();
        Recovery& recovery = w->document().recovery();
        QTest::keyClicks(&area, QStringLiteral("<p>draft</p>"));
        const QString victim = path(QStringLiteral("victim"));
        if (compaction) {
            // Edits that outgrow the text make the next flush compact.
            recovery.flushNow();
            if (held < 0) {
                writeFile(victim, "not the journal's");
                QVERIFY(QFile::link(victim, recovery.copyPath() + QStringLiteral(".compacting")));
            }
            const qint64 at = area.byteLength();
            perform(area, {at, QByteArray(1536 * 1024, 'x')});
            recovery.flushNow();
            armed = true;
            perform(area, {at, {}, 1536 * 1024});
        }
        if (held >= 0) {
            QVERIFY(QTest::qWaitFor([&] { return reached.tryAcquire(1, 10); }, 10000));
            other->document().offerRecovery();
            QVERIFY(dialogs_.calls().isEmpty());
            go.release();
        }
        recovery.flushNow();
        RecoveryJournal::Writer::stepHook = nullptr;
        const QString copy = recovery.copyPath();
        QVERIFY(!copy.isEmpty() && !QFileInfo(copy).isSymLink());
        readsBack(copy, *w);
        if (held < 0) {
            QCOMPARE(readFile(victim), QByteArray("not the journal's"));
        }
        QCOMPARE(QDir(folder()).entryList(QDir::Files | QDir::System),
                 QStringList{QFileInfo(copy).fileName()});
        recovery.discard();
    }

    // While two editors run, nothing is offered or touched; a dead one's copy, and only its, is
    // offered, and No deletes it.
    void twoEditors() {
        Typist first = typist(11);
        Typist second = typist(12);
        QVERIFY(first.waitForEdits(50) && second.waitForEdits(50));
        QVERIFY(QTest::qWaitFor([&] { return journals().size() == 2; }, 5000));
        auto w = offer({});
        QVERIFY(dialogs_.calls().isEmpty());
        QCOMPARE(journals().size(), 2);
        first.kill();
        dialogs_.answer(Dialogs::No);
        w->document().offerRecovery();
        QCOMPARE(dialogs_.calls().size(), 1);
        QCOMPARE(journals().size(), 1);
        second.kill();
    }

    // Several orphans: the newest is offered first; once one is taken the others wait; Escape
    // answers nothing. A copy cut short by the crash brings back what it holds up to its last
    // whole record, and the box says so.
    void severalOrphans() {
        using namespace RecoveryJournal;
        QVERIFY(QDir().mkpath(folder()));
        const QStringList names{QStringLiteral("old"), QStringLiteral("middle"),
                                QStringLiteral("new")};
        for (int i = 0; i < names.size(); ++i) {
            const QString file = folder() + QStringLiteral("/%1.journal").arg(names[i]);
            writeFile(file, magic() +
                                metaRecord({true, QStringLiteral("Quindo- /x/%1").arg(names[i]),
                                            QStringLiteral("/x/%1").arg(names[i])}) +
                                snapshotRecord(names[i].toLatin1()) +
                                (i == 1 ? insertRecord(6, " two") + insertRecord(0, "lost").left(9)
                                        : QByteArray()));
            setTime(file, -100 + i * 10);
        }
        offer({Dialogs::Cancel});
        QCOMPARE(journals().size(), 3);
        dialogs_.clear();
        auto w = offer({Dialogs::No, Dialogs::Yes});
        QCOMPARE(dialogs_.calls().size(), 2);
        QVERIFY(dialogs_.calls()[0].text.contains(QStringLiteral("/x/new")));
        QVERIFY(dialogs_.calls()[1].text.contains(QStringLiteral("/x/middle")));
        QVERIFY(dialogs_.calls()[1].text.contains(QStringLiteral("lost")));
        QCOMPARE(w->Text1().bytes(), QByteArrayView("middle two"));
        QCOMPARE(w->document().state().CurrentFileName, QStringLiteral("/x/middle"));
        QCOMPARE(journals(),
                 (QStringList{QStringLiteral("middle.journal"), QStringLiteral("old.journal")}));
        dialogs_.clear();
        offer({Dialogs::No});
        QCOMPARE(dialogs_.calls().size(), 1);
        QVERIFY(dialogs_.calls()[0].text.contains(QStringLiteral("/x/old")));
        w->document().recovery().discard();
    }

    // 1 000 keystrokes near the end of a 100 MB page leave a journal of kilobytes that reads
    // back as the page.
    void largePage() {
        const QString page = path(QStringLiteral("large.html"));
        writeFile(page, (QByteArray(78, 'x') + "\r\n").repeated(1342178));  // 100 MiB and a bit
        auto w = window(page);
        const qint64 size = w->Text1().byteLength();
        QVERIFY(size >= 100 * 1024 * 1024);
        w->Text1().SendScintilla(QsciScintillaBase::SCI_GOTOPOS,
                                 static_cast<unsigned long>(size - 400));
        std::vector<qint64> times;
        for (int i = 0; i < 1000; ++i) {
            QElapsedTimer clock;
            clock.start();
            QTest::keyClick(&w->Text1(), char('a' + i % 26));
            times.push_back(clock.nsecsElapsed());
            if (i % 100 == 0) {
                QTest::qWait(i % 300 == 0 ? 1100 : 0);  // lets the journal's timer write
            }
        }
        std::sort(times.begin(), times.end());
        qInfo("typed key near the end of 100 MB with recovery on: median %.3f ms, max %.3f ms",
              double(times[times.size() / 2]) / 1e6, double(times.back()) / 1e6);
        QVERIFY(times[times.size() / 2] < 1000000);
        w->document().recovery().flushNow();
        const QString copy = w->document().recovery().copyPath();
        QVERIFY2(QFileInfo(copy).size() < 64 * 1024,
                 qPrintable(QString::number(QFileInfo(copy).size())));
        readsBack(copy, *w);
        w->document().recovery().discard();
        QFile::remove(page);
    }

    // Where copies cannot be kept the program works as before, with one note on standard error:
    // a state home that cannot hold copies, or a folder in it that is not the user's own. A copy
    // that could not be written (a full disk) goes at once and is never offered: neither after
    // the document was saved and the program ended, nor after a crash.
    void notKept_data() {
        QTest::addColumn<QString>("home");
        QTest::addColumn<QByteArray>("made");  // what is made there first
        QTest::addColumn<QString>("end");
        QTest::addRow("disk full, saved, then Exit") << "state" << QByteArray("full") << "exit";
        QTest::addRow("disk full, killed") << "state" << QByteArray("full") << "kill";
        QTest::addRow("missing and cannot be made")
            << "/proc/quindo-missing/state" << QByteArray() << "exit";
        QTest::addRow("not writable") << "/proc" << QByteArray() << "exit";
        QTest::addRow("state home is a file") << "home-file" << QByteArray("home") << "exit";
        QTest::addRow("quindo folder is a file")
            << "home-with-file" << QByteArray("quindo") << "exit";
        QTest::addRow("quindo folder writable by all")
            << "home-open" << QByteArray("open") << "exit";
        QTest::addRow("quindo folder of another user")
            << "home-foreign" << QByteArray("foreign") << "exit";
        QTest::addRow("quindo folder is a link") << "home-link" << QByteArray("link") << "exit";
    }
    void notKept() {
        QFETCH(QString, home);
        QFETCH(QByteArray, made);
        QFETCH(QString, end);
        home = made == "full" ? stateHome_ : home.startsWith('/') ? home : path(home);
        const QByteArray quindo = QFile::encodeName(home + QStringLiteral("/quindo"));
        if (made == "home") {
            writeFile(home, "not a folder");
        } else if (!made.isEmpty() && made != "full") {
            QVERIFY(QDir().mkpath(home + QStringLiteral("/elsewhere")));
            if (made == "quindo") {
                writeFile(QFile::decodeName(quindo), "not a folder");
            } else if (made == "link") {
                QVERIFY(
                    QFile::link(home + QStringLiteral("/elsewhere"), QFile::decodeName(quindo)));
            } else {
                if (made == "foreign" && ::geteuid() != 0) {
                    QSKIP("only root can give a folder to another user");
                }
                QCOMPARE(::mkdir(quindo.constData(), 0700), 0);
                QCOMPARE(made == "open" ? ::chmod(quindo.constData(), 0777)
                                        : ::chown(quindo.constData(), 65534, 65534),
                         0);
            }
        }
        const QString page = path(QStringLiteral("fill-%1.html").arg(QTest::currentDataTag()));
        writeFile(page, "<p>small</p>");
        auto p = start({QStringLiteral("fill"), page, end, QString::fromLatin1(made)}, home);
        QVERIFY(p->waitForFinished(30000));
        const QStringList notes =
            QString::fromLocal8Bit(p->readAllStandardError()).split('\n').filter("recovery");
        if (end == QLatin1String("exit")) {
            QCOMPARE(p->exitStatus(), QProcess::NormalExit);
            QCOMPARE(p->exitCode(), 0);
            QCOMPARE(readFile(page), QByteArray("typed <p>small</p>\r\n"));
            QCOMPARE(notes.size(), 1);
            QVERIFY(notes.constFirst().startsWith(QStringLiteral("quindo: ")));
        }
        QVERIFY2(journals().isEmpty(), qPrintable(journals().join(' ')));
        offer({});
        QVERIFY(dialogs_.calls().isEmpty());
    }
};

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    if (argc > 1 && qstrcmp(argv[1], "child") == 0) {
        return child(QCoreApplication::arguments().mid(2));
    }
    RecoveryTest test;
    QTEST_SET_MAIN_SOURCE_PATH
    return QTest::qExec(&test, argc, argv);
}

#include "test_recovery.moc"
