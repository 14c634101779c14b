// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "ui/SecondaryWindow.h"

class frmMain;

// The new-document window: an empty untitled document, one made from the template beside
// the program, or back to the current document. It holds no state of its own; its buttons
// act on the main window's document.
class frmNew : public SecondaryWindow {
    Q_OBJECT

  public:
    explicit frmNew(frmMain& main);

    void Command1_Click();  // "New"
    void Command2_Click();  // "Cancel"
    void Command4_Click();  // "Load Blank"
    // Reads a template into the main window's editing area; reports a file that cannot be
    // opened (without the beep of the main window's load).
    void OpenFile(const QString& filename);

  private:
    frmMain& main_;
};
