// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

class WindowHost;

// Go to Line: a small window with the line number (1 to the line count, the caret's line
// filled in and selected) and OK / Cancel. OK puts the caret at the start of that line,
// scrolled into view, and gives the editing area the focus.
class GoToLine {
  public:
    explicit GoToLine(WindowHost& host) : host_(host) {}

    // The name the window is kept under by the host.
    static const QString kWindowName;

    // Opens (or raises) the window.
    void show();
    // What OK does: the caret to the start of that line (1-based, kept within the page).
    void go(int line);

  private:
    WindowHost& host_;
};
