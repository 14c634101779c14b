// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QStatusBar>

class WindowHost;

// The main window's status bar: the credit, a clock and two fixed panels. "View Status
// Bar" shows and hides it and sets its own tick.
class StatusBar : public QStatusBar {
    Q_OBJECT

  public:
    StatusBar(WindowHost& host, QWidget* parent);

    void mnuViewStatusBar_Click();

  private:
    WindowHost& host_;
};
