// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

class QWidget;

// Start-up timing for the benchmark. When the environment variable QUINDO_BENCH_STARTUP
// holds the CLOCK_MONOTONIC time (in nanoseconds) at which the process was launched,
// prints "startup_ns N" on standard output the first time the event loop goes idle with
// the window shown, and ends the program. Without the variable it does nothing.
namespace StartupProbe {

void reportWhenIdle(QWidget& window);

}  // namespace StartupProbe
