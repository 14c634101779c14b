// SPDX-License-Identifier: GPL-3.0-or-later
// Load and save of a large document against a plain read and write of the same bytes.
//   bench_documentfiles [MEGABYTES]   (default 100)
#include "ScriptedDialogs.h"
#include "ui/frmMain.h"
#include "ui/platform/EditingArea.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>

#include <cstdio>

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    const qsizetype megabytes = argc > 1 ? QByteArray(argv[1]).toLongLong() : 100;
    QTemporaryDir dir;
    const QString source = dir.filePath("large.html");
    const QString target = dir.filePath("saved.html");
    const QByteArray line = "<p>A line of a long page, with some words in it.</p>\r\n";
    const QByteArray bytes = line.repeated(megabytes * 1024 * 1024 / line.size());
    {
        QFile f(source);
        if (!f.open(QIODevice::WriteOnly) || f.write(bytes) != bytes.size())
            return 1;
    }
    QElapsedTimer clock;

    clock.start();
    QFile plain(source);
    if (!plain.open(QIODevice::ReadOnly))
        return 1;
    const QByteArray read = plain.readAll();
    const qint64 plainRead = clock.elapsed();

    ScriptedDialogs dialogs;
    frmMain window(dialogs, {});
    clock.restart();
    window.Text1().setBytes(read);
    const qint64 scintilla = clock.elapsed();

    clock.restart();
    window.OpenFile(source);
    const qint64 load = clock.elapsed();

    clock.restart();
    {
        QFile out(dir.filePath("plain.html"));
        if (!out.open(QIODevice::WriteOnly) || out.write(read) != read.size() || !out.flush())
            return 1;
        out.close();
    }
    const qint64 plainWrite = clock.elapsed();

    clock.restart();
    if (!window.SaveFileAs(target))
        return 1;
    const qint64 save = clock.elapsed();

    std::printf("%lld MB: read %lld ms + editing area %lld ms; OpenFile %lld ms\n",
                static_cast<long long>(megabytes), static_cast<long long>(plainRead),
                static_cast<long long>(scintilla), static_cast<long long>(load));
    std::printf("%lld MB: plain write %lld ms; SaveFileAs (with sync to disk) %lld ms\n",
                static_cast<long long>(megabytes), static_cast<long long>(plainWrite),
                static_cast<long long>(save));
    return 0;
}
