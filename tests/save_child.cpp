// SPDX-License-Identifier: GPL-3.0-or-later
// Saves a large document through the main window and reports its progress on stdout, so a
// test can kill it in the middle of the save.
//   save_child TARGET MEGABYTES FILLBYTE
#include "MainWindowFixture.h"
#include "platform/EditingArea.h"

#include <QApplication>

#include <cstdio>

int main(int argc, char** argv) {
    if (argc != 4) {
        std::fprintf(stderr, "usage: save_child TARGET MEGABYTES FILLBYTE\n");
        return 2;
    }
    QApplication app(argc, argv);
    MainWindowFixture f;
    f.start();
    const qsizetype size = QByteArray(argv[2]).toLongLong() * 1024 * 1024;
    // Lines of 80 bytes, as a real page has them.
    const QByteArray line = QByteArray(78, argv[3][0]) + "\r\n";
    f.text().setBytes(line.repeated(size / line.size()));
    std::printf("saving\n");
    std::fflush(stdout);
    const bool written = f.saveFileAs(QString::fromLocal8Bit(argv[1]));
    std::printf(written ? "saved\n" : "failed\n");
    std::fflush(stdout);
    return written ? 0 : 1;
}
