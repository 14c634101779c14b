// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/StartupProbe.h"

#include <QAbstractEventDispatcher>
#include <QCoreApplication>
#include <QWidget>

#include <cstdio>
#include <ctime>

namespace StartupProbe {

void reportWhenIdle(QWidget& window) {
    bool ok = false;
    const qint64 launched = qEnvironmentVariable("QUINDO_BENCH_STARTUP").toLongLong(&ok);
    auto* dispatcher = QAbstractEventDispatcher::instance();
    if (!ok || dispatcher == nullptr) {
        return;
    }
    // aboutToBlock: every pending event, the first paint included, has been handled.
    QObject::connect(dispatcher, &QAbstractEventDispatcher::aboutToBlock, &window,
                     [&window, launched, done = false]() mutable {
                         if (done || !window.isVisible()) {
                             return;
                         }
                         done = true;
                         timespec now{};
                         clock_gettime(CLOCK_MONOTONIC, &now);
                         const qint64 ns = qint64(now.tv_sec) * 1000000000 + now.tv_nsec;
                         std::printf("startup_ns %lld\n", static_cast<long long>(ns - launched));
                         std::fflush(stdout);
                         // exit, not quit: nothing to close or ask about.
                         QCoreApplication::exit(0);
                     });
}

}  // namespace StartupProbe
