// SPDX-License-Identifier: GPL-3.0-or-later
// Loading and saving documents: exact bytes both ways, the display mode, atomic saves that
// keep the old file on every failure, and what a killed save leaves behind.
#include "ScriptedDialogs.h"
#include "TestEnvironment.h"
#include "TestFiles.h"
#include "document/DocumentState.h"
#include "ui/frmMain.h"
#include "ui/platform/EditingArea.h"

#include <QProcess>
#include <QRandomGenerator>
#include <QtTest>

#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>
#include <csignal>
#include <cstring>
#include <memory>

namespace {

QString systemError(int code) {
    return QString::fromLocal8Bit(std::strerror(code));
}

}  // namespace

class DocumentFilesTest : public QObject {
    Q_OBJECT

  private:
    TestEnvironment env_;
    ScriptedDialogs dialogs_;
    QTemporaryDir dir_;
    std::unique_ptr<frmMain> w_;

    QString path(const QString& name) const { return dir_.filePath(name); }

    // Loads a file the way Open does after its dialog.
    void load(const QString& file) {
        w_->CurrentFileName = file;
        w_->OpenFile(file);
        w_->setCaption(Caption::forPath(file));
        w_->DocChanged = 0;
    }

  private slots:
    void init() {
        dialogs_.clear();
        w_ = std::make_unique<frmMain>(dialogs_, QString());
    }

    void cleanup() {
        w_.reset();
        QVERIFY2(dialogs_.unexpected().isEmpty(), qPrintable(dialogs_.unexpected().join("; ")));
    }

    void roundTrip_data() {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<bool>("utf8");
        QByteArray high;
        for (int c = 0x80; c <= 0xFF; ++c)
            high.append(char(c));
        QTest::newRow("empty") << QByteArray() << true;
        QTest::newRow("abc") << QByteArray("abc") << true;
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
        const QString source = path("source.html");
        const QString saved = path("saved.html");
        writeFile(source, bytes);
        load(source);
        QCOMPARE(w_->Text1().isUtf8(), utf8);
        QCOMPARE(w_->Text1().bytes().toByteArray(), bytes);
        QVERIFY(w_->SaveFileAs(saved));
        QCOMPARE(readFile(saved), bytes + "\r\n");
        QCOMPARE(w_->DocChanged, qint16(0));
    }

    void randomRoundTrips() {
        // Short strings drawn mostly from the bytes that tend to break things.
        static const char kNasty[] = {'\r',   '\n',   '\0',   '\x80', '\xff', '\xc3', '\xa9',
                                      '\xe2', '\xef', '\xbb', '\xbf', 'a',    '<',    '\t'};
        QRandomGenerator random(20240611);
        const QString source = path("random.bin");
        const QString saved = path("random-saved.bin");
        for (int round = 0; round < 3000; ++round) {
            QByteArray bytes(random.bounded(0, 48), '\0');
            for (char& b : bytes) {
                b = random.bounded(2) ? kNasty[random.bounded(int(sizeof kNasty))]
                                      : char(random.bounded(256));
            }
            writeFile(source, bytes);
            w_->OpenFile(source);
            QVERIFY(w_->SaveFileAs(saved));
            const QByteArray back = readFile(saved);
            if (back != bytes + "\r\n") {
                QFAIL(qPrintable("round " + QString::number(round) + ": " + bytes.toHex()));
            }
        }
    }

    void eachSaveAddsOneLineEnd() {
        w_->Text1().setBytes("abc");
        const QString file = path("abc.html");
        QVERIFY(w_->SaveFileAs(file));
        QCOMPARE(readFile(file), QByteArray("abc\r\n"));
        load(file);
        QVERIFY(w_->mnuFileSave_Click());
        QCOMPARE(readFile(file), QByteArray("abc\r\n\r\n"));
        QCOMPARE(readFile(file).size(), 7);
        w_->Text1().setBytes({});
        QVERIFY(w_->SaveFileAs(file));
        QCOMPARE(readFile(file), QByteArray("\r\n"));
    }

    void emptiedDocumentIsUtf8() {
        writeFile(path("latin.html"), "caf\xe9");
        load(path("latin.html"));
        QVERIFY(!w_->Text1().isUtf8());
        dialogs_.answer(Dialogs::No);
        w_->mnuFileClose_Click();
        QVERIFY(w_->Text1().isEmpty());
        dialogs_.clear();  // the close prompt belongs to the command tests
        QVERIFY(w_->Text1().isUtf8());
    }

    void loadFailure() {
        const QString missing = path("no such file.html");
        w_->Text1().setBytes("kept");
        w_->DocChanged = 1;
        dialogs_.answer(Dialogs::Ok);
        w_->OpenFile(missing);
        QCOMPARE(dialogs_.calls().size(), 1);
        QCOMPARE(dialogs_.calls()[0].text, "Can't open file: " + missing);
        QCOMPARE(dialogs_.calls()[0].buttons, Dialogs::Buttons::Ok);
        QCOMPARE(dialogs_.calls()[0].icon, Dialogs::Icon::None);
        QCOMPARE(dialogs_.calls()[0].title, QString("quindo"));
        QCOMPARE(w_->Text1().bytes().toByteArray(), QByteArray("kept"));
        // A directory cannot be read as a document either.
        dialogs_.answer(Dialogs::Ok);
        w_->OpenFile(dir_.path());
        QCOMPARE(dialogs_.calls().size(), 2);
        QCOMPARE(dialogs_.calls()[1].text, "Can't open file: " + dir_.path());
        QCOMPARE(w_->Text1().bytes().toByteArray(), QByteArray("kept"));
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
        QString target;
        QString reason;
        QByteArray old;
        if (kind == "missing") {
            target = path("no folder/page.html");
            reason = systemError(ENOENT);
        } else if (kind == "directory") {
            target = path("a folder.html");
            QVERIFY(QDir().mkpath(target));
            writeFile(target + "/inside.txt", "inside");
            reason = systemError(EISDIR);
        } else if (kind == "full") {
            target = "/dev/full";
            reason = systemError(ENOSPC);
        } else {
            QVERIFY(QDir().mkpath(path("limit")));
            target = path("limit/limited.html");
            old = QByteArray(1000, 'o');
            writeFile(target, old);
            reason = systemError(EFBIG);
        }
        // Where the file itself cannot be written, another name can be.
        reason = "Can't save " + target + ": " + reason +
                 (kind == "missing" || kind == "directory"
                      ? "\nUse Save As to save the document under another name."
                      : "");
        const QByteArray precious(64 * 1024, 'p');
        w_->Text1().setBytes(precious);
        QCOMPARE(w_->DocChanged, qint16(1));

        dialogs_.answerFile(target);
        dialogs_.answer(Dialogs::Ok);
        bool saved;
        if (kind == "limit") {
            // Root ignores file permissions, but not the file-size limit.
            struct rlimit before {};
            QCOMPARE(getrlimit(RLIMIT_FSIZE, &before), 0);
            struct rlimit limited = before;
            limited.rlim_cur = 4096;
            auto* const oldHandler = std::signal(SIGXFSZ, SIG_IGN);
            QCOMPARE(setrlimit(RLIMIT_FSIZE, &limited), 0);
            saved = w_->mnuFileSaveAs_Click();
            QCOMPARE(setrlimit(RLIMIT_FSIZE, &before), 0);
            std::signal(SIGXFSZ, oldHandler);
        } else {
            saved = w_->mnuFileSaveAs_Click();
        }
        QVERIFY(!saved);
        QCOMPARE(dialogs_.calls().size(), 2);
        QCOMPARE(dialogs_.calls()[1].text, reason);
        QCOMPARE(dialogs_.calls()[1].buttons, Dialogs::Buttons::Ok);
        QCOMPARE(dialogs_.calls()[1].icon, Dialogs::Icon::Exclamation);
        QCOMPARE(dialogs_.calls()[1].title, QString("quindo"));
        QCOMPARE(w_->DocChanged, qint16(1));
        QCOMPARE(w_->CurrentFileName, target);
        QCOMPARE(w_->caption(), "Quindo- " + target);
        QCOMPARE(w_->Text1().bytes().toByteArray(), precious);

        // What was there before is still there, as it was.
        struct stat st {};
        if (kind == "missing") {
            QVERIFY(!QFileInfo::exists(path("no folder")));
        } else if (kind == "directory") {
            QVERIFY(QFileInfo(target).isDir());
            QCOMPARE(readFile(target + "/inside.txt"), QByteArray("inside"));
        } else if (kind == "full") {
            QCOMPARE(::stat("/dev/full", &st), 0);
            QVERIFY(S_ISCHR(st.st_mode));
        } else {
            QCOMPARE(readFile(target), old);
            QCOMPARE(QDir(path("limit")).entryList(QDir::Files | QDir::System),
                     QStringList{"limited.html"});
        }

        // Save (named now) fails the same way and the document still counts as changed.
        dialogs_.clear();
        if (kind != "limit") {
            dialogs_.answer(Dialogs::Ok);
            QVERIFY(!w_->mnuFileSave_Click());
            QCOMPARE(dialogs_.calls().size(), 1);
            QCOMPARE(dialogs_.calls()[0].text, reason);
            QCOMPARE(w_->DocChanged, qint16(1));
            dialogs_.clear();
        }
        // Exit asks; Cancel keeps the program and the text.
        w_->show();
        dialogs_.answer(Dialogs::Cancel);
        w_->mnuFileExit_Click();
        QCOMPARE(dialogs_.calls().size(), 1);
        QCOMPARE(dialogs_.calls()[0].text, QString("Save current document?"));
        QVERIFY(w_->isVisible());
        QCOMPARE(w_->Text1().bytes().toByteArray(), precious);
        QCOMPARE(w_->SaveAnswer, qint16(Dialogs::Cancel));
    }

    void saveKeepsPermissionsOwnerAndLinks() {
        QTemporaryDir own;
        auto path = [&own](const QString& name) { return own.filePath(name); };
        const QString file = path("shared.html");
        writeFile(file, "old");
        QVERIFY(QFile::setPermissions(
            file, QFile::ReadOwner | QFile::WriteOwner | QFile::ReadGroup | QFile::ReadOther));
        const bool root = ::geteuid() == 0;
        if (root) {
            QCOMPARE(::chown(QFile::encodeName(file).constData(), 4321, 4322), 0);
        }
        const QString link = path("link.html");
        QVERIFY(QFile::link(file, link));

        w_->Text1().setBytes("new text");
        QVERIFY(w_->SaveFileAs(link));
        QVERIFY(QFileInfo(link).isSymLink());
        QCOMPARE(readFile(file), QByteArray("new text\r\n"));
        struct stat st {};
        QCOMPARE(::stat(QFile::encodeName(file).constData(), &st), 0);
        QCOMPARE(st.st_mode & 07777, mode_t(0644));
        if (root) {
            QCOMPARE(st.st_uid, uid_t(4321));
            QCOMPARE(st.st_gid, gid_t(4322));
        }
        // No temporary file is left beside it.
        QCOMPARE(QDir(own.path()).entryList(QDir::Files | QDir::System),
                 (QStringList{"link.html", "shared.html"}));
        // A new file gets the usual permissions.
        QVERIFY(w_->SaveFileAs(path("fresh.html")));
        const mode_t mask = ::umask(0);
        ::umask(mask);
        QCOMPARE(::stat(QFile::encodeName(path("fresh.html")).constData(), &st), 0);
        QCOMPARE(st.st_mode & 0777, 0666 & ~mask);
    }

    // A save killed at any moment leaves the old file or the new one, never a mixture.
    void killedSaveLeavesOldOrNew() {
        const QString target = path("large.html");
        const int megabytes = 48;
        const QByteArray old(3 * 1024 * 1024 + 17, 'O');
        const QByteArray line = QByteArray(78, 'N') + "\r\n";
        const QByteArray fresh =
            line.repeated(qsizetype(megabytes) * 1024 * 1024 / line.size()) + "\r\n";

        auto start = [&](QProcess& child) {
            child.setProgram(QStringLiteral(SAVE_CHILD));
            child.setArguments({target, QString::number(megabytes), "N"});
            child.start();
            QVERIFY(child.waitForStarted());
            QVERIFY(child.waitForReadyRead(60000));
            QCOMPARE(child.readLine().trimmed(), QByteArray("saving"));
        };

        // How long a whole save takes here, to spread the kills over it.
        writeFile(target, old);
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
            writeFile(target, old);
            QProcess child;
            start(child);
            QTest::qSleep(int(random.bounded(fullSave + 1)));
            ::kill(child.processId(), SIGKILL);
            QVERIFY(child.waitForFinished(60000));
            const QByteArray now = readFile(target);
            if (now == old) {
                ++sawOld;
            } else {
                QVERIFY2(now == fresh,
                         qPrintable(QString("round %1: %2 bytes").arg(round).arg(now.size())));
                ++sawNew;
            }
        }
        qInfo("full save %lld ms; killed saves left the old file %d times, the new %d times",
              fullSave, sawOld, sawNew);
    }
};

QTEST_MAIN(DocumentFilesTest)
#include "test_documentfiles.moc"
