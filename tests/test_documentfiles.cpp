// SPDX-License-Identifier: GPL-3.0-or-later
// Loading and saving documents: exact bytes both ways, the display mode, atomic saves that
// keep the old file on every failure, and what a killed save leaves behind.
#include "MainWindowFixture.h"
#include "document/DocumentState.h"
#include "ui/frmMain.h"
#include "ui/platform/EditingArea.h"

#include <QProcess>
#include <QRandomGenerator>

#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>
#include <csignal>
#include <cstring>

class DocumentFilesTest : public QObject {
    Q_OBJECT

    MainWindowFixture f;

    void checkMessage(int index, const QString& text, Dialogs::Icon icon) {
        QVERIFY(f.dialogs.calls().size() > index);
        const auto& call = f.dialogs.calls()[index];
        QCOMPARE(call.text, text);
        QCOMPARE(call.buttons, Dialogs::Buttons::Ok);
        QCOMPARE(call.icon, icon);
        QCOMPARE(call.title, QString("quindo"));
    }

  private slots:
    void init() {
        f.reset();
        f.start();
    }
    void cleanup() { f.finish(); }

    void roundTrip_data() {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<bool>("utf8");
        QByteArray high;
        for (int c = 0x80; c <= 0xFF; ++c)
            high.append(char(c));
        QTest::newRow("empty") << QByteArray() << true;
        QTest::newRow("CR LF") << QByteArray("one\r\ntwo\r\n") << true;
        QTest::newRow("lone LF") << QByteArray("one\ntwo\n") << true;
        QTest::newRow("lone CR") << QByteArray("one\rtwo\r") << true;
        QTest::newRow("mixed ends") << QByteArray("a\r\nb\nc\rd\n\r") << true;
        QTest::newRow("NUL") << QByteArray("a\0b\0\0c", 6) << true;
        QTest::newRow("only NUL") << QByteArray(1, '\0') << true;
        QTest::newRow("0x80-0xFF") << high << false;
        QTest::newRow("Latin-1 page") << QByteArray("<p>caf\xe9 \xa9 1999</p>") << false;
        QTest::newRow("invalid UTF-8") << QByteArray("ok \xc3\x28 \xed\xa0\x80 \xf8") << false;
        QTest::newRow("truncated UTF-8") << QByteArray("end \xe2\x82") << false;
        QTest::newRow("UTF-8") << QByteArray("caf\xc3\xa9 \xe2\x82\xac \xf0\x9f\x98\x80") << true;
        QTest::newRow("UTF-8 BOM") << QByteArray("\xef\xbb\xbf<html>\r\n") << true;
    }

    void roundTrip() {
        QFETCH(QByteArray, bytes);
        QFETCH(bool, utf8);
        writeFile(f.path("source.html"), bytes);
        f.load(f.path("source.html"));
        QCOMPARE(f.text().isUtf8(), utf8);
        QCOMPARE(f.bytes(), bytes);
        QVERIFY(f.saveFileAs(f.path("saved.html")));
        QCOMPARE(readFile(f.path("saved.html")), bytes + "\r\n");
        QCOMPARE(f.docChanged(), qint16(0));
    }

    void randomRoundTrips() {
        // Short strings drawn mostly from the bytes that tend to break things.
        static const char kNasty[] = "\r\n\0\x80\xff\xc3\xa9\xe2\xef\xbb\xbf" "a<\t";
        QRandomGenerator random(20240611);
        for (int round = 0; round < 3000; ++round) {
            QByteArray bytes(random.bounded(0, 48), '\0');
            for (char& b : bytes)
                b = random.bounded(2) ? kNasty[random.bounded(int(sizeof kNasty) - 1)]
                                      : char(random.bounded(256));
            writeFile(f.path("random.bin"), bytes);
            f.openFile(f.path("random.bin"));
            QVERIFY(f.saveFileAs(f.path("random-saved.bin")));
            if (readFile(f.path("random-saved.bin")) != bytes + "\r\n")
                QFAIL(qPrintable("round " + QString::number(round) + ": " + bytes.toHex()));
        }
    }

    void eachSaveAddsOneLineEnd() {
        const QString file = f.path("abc.html");
        f.text().setBytes("abc");
        QVERIFY(f.saveFileAs(file));
        QCOMPARE(readFile(file), QByteArray("abc\r\n"));
        f.load(file);
        QVERIFY(f.save());
        QCOMPARE(readFile(file), QByteArray("abc\r\n\r\n"));
        f.text().setBytes({});
        QVERIFY(f.saveFileAs(file));
        QCOMPARE(readFile(file), QByteArray("\r\n"));
    }

    void emptiedDocumentIsUtf8() {
        writeFile(f.path("latin.html"), "caf\xe9");
        f.load(f.path("latin.html"));
        QVERIFY(!f.text().isUtf8());
        f.dialogs.answer(Dialogs::No);
        f->runCommand("mnuFileClose");
        QVERIFY(f.text().isEmpty());
        QVERIFY(f.text().isUtf8());
    }

    void loadFailure() {
        const QString missing = f.path("no such file.html");
        f.setText("kept", 0, 0, 1);
        f.dialogs.answer(Dialogs::Ok);
        f.openFile(missing);
        checkMessage(0, "Can't open file: " + missing, Dialogs::Icon::None);
        QCOMPARE(f.bytes(), QByteArray("kept"));
        // A directory cannot be read as a document either.
        f.dialogs.answer(Dialogs::Ok);
        f.openFile(f.dir.path());
        checkMessage(1, "Can't open file: " + f.dir.path(), Dialogs::Icon::None);
        QCOMPARE(f.bytes(), QByteArray("kept"));
    }

    void saveFailure_data() {
        QTest::addColumn<QString>("kind");
        QTest::newRow("folder missing") << "missing";
        QTest::newRow("target is a directory") << "directory";
        QTest::newRow("device full") << "full";
        QTest::newRow("file too large") << "limit";
    }

    // Every failed write leaves the target as it was, reports the system's reason and
    // keeps the document changed, so Exit still asks.
    void saveFailure() {
        QFETCH(QString, kind);
        const QByteArray old(1000, 'o');
        const QHash<QString, QString> targets{{"missing", f.path("no folder/page.html")},
                                              {"directory", f.path("a folder.html")},
                                              {"full", "/dev/full"},
                                              {"limit", f.path("limit/limited.html")}};
        const QString target = targets[kind];
        QString reason = QString::fromLocal8Bit(std::strerror(
            kind == "missing" ? ENOENT : kind == "full" ? ENOSPC : EFBIG));
        if (kind == "directory") {
            QVERIFY(QDir().mkpath(target));
            writeFile(target + "/inside.txt", "inside");
            reason = QString::fromLocal8Bit(std::strerror(EISDIR));
        } else if (kind == "limit") {
            QVERIFY(QDir().mkpath(f.path("limit")));
            writeFile(target, old);
        }
        // Where the file itself cannot be written, another name can be.
        reason = "Can't save " + target + ": " + reason +
                 (kind == "missing" || kind == "directory"
                      ? "\nUse Save As to save the document under another name."
                      : "");
        const QByteArray precious(64 * 1024, 'p');
        f.text().setBytes(precious);
        f.dialogs.answerFile(target);
        f.dialogs.answer(Dialogs::Ok);
        bool saved;
        if (kind == "limit") {
            // Root ignores file permissions, but not the file-size limit.
            struct rlimit before {};
            QCOMPARE(getrlimit(RLIMIT_FSIZE, &before), 0);
            struct rlimit limited = before;
            limited.rlim_cur = 4096;
            auto* const oldHandler = std::signal(SIGXFSZ, SIG_IGN);
            QCOMPARE(setrlimit(RLIMIT_FSIZE, &limited), 0);
            saved = f.saveAs();
            QCOMPARE(setrlimit(RLIMIT_FSIZE, &before), 0);
            std::signal(SIGXFSZ, oldHandler);
        } else {
            saved = f.saveAs();
        }
        QVERIFY(!saved);
        checkMessage(1, reason, Dialogs::Icon::Exclamation);
        QCOMPARE(f.docChanged(), qint16(1));
        // Nothing was written there: the document keeps its (lack of a) name and caption.
        QCOMPARE(f.fileName(), QString());
        QCOMPARE(f->caption(), Caption::kNoDocument);
        QCOMPARE(f.bytes(), precious);

        // What was there before is still there, as it was.
        struct stat st {};
        if (kind == "missing") {
            QVERIFY(!QFileInfo::exists(f.path("no folder")));
        } else if (kind == "directory") {
            QCOMPARE(readFile(target + "/inside.txt"), QByteArray("inside"));
        } else if (kind == "full") {
            QVERIFY(::stat("/dev/full", &st) == 0 && S_ISCHR(st.st_mode));
        } else {
            QCOMPARE(readFile(target), old);
            QCOMPARE(QDir(f.path("limit")).entryList(QDir::Files | QDir::System),
                     QStringList{"limited.html"});
        }
        // Save asks for a name again (the failed one was not taken), starting on it, and
        // fails the same way; the document still counts as changed.
        f.dialogs.clear();
        if (kind != "limit") {
            f.dialogs.answerFile(target);
            f.dialogs.answer(Dialogs::Ok);
            QVERIFY(!f.save());
            QCOMPARE(f.dialogs.calls()[0].request.fileName, target);
            checkMessage(1, reason, Dialogs::Icon::Exclamation);
            QCOMPARE(f.docChanged(), qint16(1));
            f.dialogs.clear();
        }
        // Exit asks; Cancel keeps the program and the text.
        f->show();
        f.dialogs.answer(Dialogs::Cancel);
        f->runCommand("mnuFileExit");
        QCOMPARE(f.dialogs.calls().size(), 1);
        QCOMPARE(f.dialogs.calls()[0].text, QString("Save current document?"));
        QVERIFY(f->isVisible());
        QCOMPARE(f.bytes(), precious);
        QCOMPARE(f.saveAnswer(), qint16(Dialogs::Cancel));
    }

    void saveKeepsPermissionsOwnerAndLinks() {
        QTemporaryDir own;
        const QString file = own.filePath("shared.html");
        writeFile(file, "old");
        QVERIFY(QFile::setPermissions(
            file, QFile::ReadOwner | QFile::WriteOwner | QFile::ReadGroup | QFile::ReadOther));
        const bool root = ::geteuid() == 0;
        if (root)
            QCOMPARE(::chown(QFile::encodeName(file).constData(), 4321, 4322), 0);
        const QString link = own.filePath("link.html");
        QVERIFY(QFile::link(file, link));
        f.text().setBytes("new text");
        QVERIFY(f.saveFileAs(link));
        QVERIFY(QFileInfo(link).isSymLink());
        QCOMPARE(readFile(file), QByteArray("new text\r\n"));
        struct stat st {};
        QCOMPARE(::stat(QFile::encodeName(file).constData(), &st), 0);
        QCOMPARE(st.st_mode & 07777, mode_t(0644));
        if (root)
            QVERIFY(st.st_uid == 4321 && st.st_gid == 4322);
        // No temporary file is left beside it.
        QCOMPARE(QDir(own.path()).entryList(QDir::Files | QDir::System),
                 (QStringList{"link.html", "shared.html"}));
        // A new file gets the usual permissions.
        QVERIFY(f.saveFileAs(own.filePath("fresh.html")));
        const mode_t mask = ::umask(0);
        ::umask(mask);
        QCOMPARE(::stat(QFile::encodeName(own.filePath("fresh.html")).constData(), &st), 0);
        QCOMPARE(st.st_mode & 0777, 0666 & ~mask);
    }

    // A save killed at any moment leaves the old file or the new one, never a mixture.
    void killedSaveLeavesOldOrNew() {
        const QString target = f.path("large.html");
        const int megabytes = 48;
        const QByteArray old(3 * 1024 * 1024 + 17, 'O');
        const QByteArray line = QByteArray(78, 'N') + "\r\n";
        const QByteArray fresh =
            line.repeated(qsizetype(megabytes) * 1024 * 1024 / line.size()) + "\r\n";
        auto start = [&](QProcess& child) {
            writeFile(target, old);
            child.start(QStringLiteral(SAVE_CHILD), {target, QString::number(megabytes), "N"});
            QVERIFY(child.waitForStarted() && child.waitForReadyRead(60000));
            QCOMPARE(child.readLine().trimmed(), QByteArray("saving"));
        };
        // How long a whole save takes here, to spread the kills over it.
        QElapsedTimer clock;
        qint64 fullSave = 0;
        {
            QProcess child;
            start(child);
            clock.start();
            QVERIFY(child.waitForFinished(120000));
            fullSave = clock.elapsed();
            QCOMPARE(child.exitCode(), 0);
            QCOMPARE(readFile(target).size(), fresh.size());
        }
        QRandomGenerator random(7);
        int sawOld = 0;
        int sawNew = 0;
        for (int round = 0; round < 8; ++round) {
            QProcess child;
            start(child);
            QTest::qSleep(int(random.bounded(fullSave + 1)));
            ::kill(child.processId(), SIGKILL);
            QVERIFY(child.waitForFinished(60000));
            const QByteArray now = readFile(target);
            QVERIFY2(now == old || now == fresh,
                     qPrintable(QString("round %1: %2 bytes").arg(round).arg(now.size())));
            ++(now == old ? sawOld : sawNew);
        }
        qInfo("full save %lld ms; killed saves left the old file %d times, the new %d times",
              fullSave, sawOld, sawNew);
    }
};

QTEST_MAIN(DocumentFilesTest)
#include "test_documentfiles.moc"
