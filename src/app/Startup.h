// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QtGlobal>

class DisplayPreferences;
class SmallWindows;
class WindowHost;

namespace Startup {

// The main window's load up to the command line's file, in this order: the start-up
// counter (the very first run shows the welcome window), the "View Status Bar" tick, the
// stored font size and face. Returns the count this run stored.
qint16 load(WindowHost& host, SmallWindows& windows, DisplayPreferences& display);

}  // namespace Startup
