// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStringList>
#include <QtTest>

#include <optional>

// A stand-in "browser": a shell script that writes what it was started with (its argv and
// then its working folder, each field NUL-ended) to the file named by $QUINDO_TEST_RECORD,
// written aside and renamed, so the record appears whole.
class StubBrowser {
  public:
    struct Run {
        QStringList argv;  // argv[0] as the program was started, then its arguments
        QString workingFolder;
    };

    // Writes the script at path (its folder is created).
    static bool create(const QString& path) {
        QDir().mkpath(QFileInfo(path).absolutePath());
        QFile script(path);
        return script.open(QIODevice::WriteOnly | QIODevice::Truncate) &&
               script.write(
                   "#!/bin/sh\nout=\"$QUINDO_TEST_RECORD\"\n"
                   "printf '%s\\0' \"$0\" \"$@\" \"$(pwd)\" > \"$out.part\"\n"
                   "mv \"$out.part\" \"$out\"\n") > 0 &&
               script.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner |
                                     QFile::ReadGroup | QFile::ExeGroup);
    }

    // Points the next started stubs at a fresh record file.
    explicit StubBrowser(const QString& recordPath) : record_(recordPath) {
        QFile::remove(record_);
        qputenv("QUINDO_TEST_RECORD", QFile::encodeName(record_));
    }

    // Waits for the record of one start; nothing when none came within the time.
    std::optional<Run> waitForRun(int timeoutMs = 10000) const {
        QFile file(record_);
        if (!QTest::qWaitFor([&] { return file.exists(); }, timeoutMs) ||
            !file.open(QIODevice::ReadOnly))
            return std::nullopt;
        QList<QByteArray> fields = file.readAll().split('\0');
        fields.removeLast();  // after the last NUL
        Run run;
        for (const QByteArray& field : fields)
            run.argv << QFile::decodeName(field);
        if (!run.argv.isEmpty())
            run.workingFolder = run.argv.takeLast();
        return run;
    }

    // True when no stub started within the time (for commands that must start nothing).
    bool nothingStarted(int waitMs = 700) const {
        QTest::qWait(waitMs);
        return !QFile::exists(record_) && !QFile::exists(record_ + ".part");
    }

  private:
    QString record_;
};
