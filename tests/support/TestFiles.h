// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QString>
#include <QTest>

#include <sys/resource.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

#include <csignal>
#include <cstring>

// Whole-file reads and writes for test set-up and checks.
inline QByteArray readFile(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<unreadable>");
}

// QVERIFY needs a void function: failures end the calling test through QTest's state.
inline void writeFile(const QString& path, const QByteArray& bytes) {
    QFile f(path);
    QVERIFY(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
    QCOMPARE(f.write(bytes), bytes.size());
}

// Makes a node of the given kind at path (kinds that are no file are made here, never
// taken from /dev).
inline void makeNode(const QString& kind, const QString& path) {
    const QByteArray name = QFile::encodeName(path);
    if (kind == "fifo") {
        QCOMPARE(::mkfifo(name.constData(), 0644), 0);
    } else if (kind == "socket") {
        const int fd = ::socket(AF_UNIX, SOCK_STREAM, 0);
        sockaddr_un address{};
        address.sun_family = AF_UNIX;
        std::strncpy(address.sun_path, name.constData(), sizeof address.sun_path - 1);
        QCOMPARE(::bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address), 0);
        ::close(fd);
    } else if (kind == "directory") {
        QVERIFY(QDir().mkpath(path));
    } else if (kind == "symlink loop" || kind == "link loop") {
        QVERIFY(QFile::link(path, path));
    } else if (kind == "link to fifo") {
        makeNode("fifo", path + ".fifo");
        QVERIFY(QFile::link(path + ".fifo", path));
    } else if (kind == "dangling link") {
        QVERIFY(QFile::link(path + ".nowhere", path));
    } else if (kind == "2 MB of junk") {
        writeFile(path, QByteArray(2 << 20, '\x01') + "\n[Run]\nValue=5\n");
    } else {
        QFAIL(qPrintable("unknown kind " + kind));
    }
}

// Files this process writes may not grow past `bytes` while it lives (root ignores file
// permissions, but not this limit); a write past it fails instead of raising a signal.
class FileSizeLimit {
  public:
    explicit FileSizeLimit(rlim_t bytes) : oldHandler_(std::signal(SIGXFSZ, SIG_IGN)) {
        ::getrlimit(RLIMIT_FSIZE, &before_);
        struct rlimit limited = before_;
        limited.rlim_cur = bytes;
        ::setrlimit(RLIMIT_FSIZE, &limited);
    }
    ~FileSizeLimit() {
        ::setrlimit(RLIMIT_FSIZE, &before_);
        std::signal(SIGXFSZ, oldHandler_);
    }
    FileSizeLimit(const FileSizeLimit&) = delete;
    FileSizeLimit& operator=(const FileSizeLimit&) = delete;

  private:
    struct rlimit before_ {};
    void (*oldHandler_)(int);
};
