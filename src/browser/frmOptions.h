// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "platform/SecondaryWindow.h"

class WindowHost;
class QLabel;
class QPushButton;

// The Options window: picks the browser program ("Select") and adds "Edit with Quindo" for
// HTML files to the desktop ("Install"). It is modeless and keeps nothing of its own: the
// choice lives in the settings store, the entry in the user's desktop files.
class frmOptions : public SecondaryWindow {
    Q_OBJECT

  public:
    explicit frmOptions(WindowHost& host);

    void Command1_Click();  // Select
    void Command2_Click();  // Install
    void Command3_Click();  // Close

    QPushButton* Command1() const { return command1_; }
    QPushButton* Command2() const { return command2_; }
    QPushButton* Command3() const { return command3_; }

  private:
    WindowHost& host_;
    QPushButton* command1_;
    QPushButton* command2_;
    QPushButton* command3_;
};

// Shows the Options window (the one that is open, or a new one) and returns at once.
void ShowOptionsWindow(WindowHost& host);
