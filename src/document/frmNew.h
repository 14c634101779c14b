// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "ui/platform/SecondaryWindow.h"

class Document;
class WindowHost;

// The new-document window: an empty untitled document, one made from the template beside
// the program, or back to the current document. It holds no state of its own; its buttons
// act on the document.
class frmNew : public SecondaryWindow {
    Q_OBJECT

  public:
    frmNew(Document& document, WindowHost& host);

    void Command1_Click();  // "New"
    void Command2_Click();  // "Cancel"
    void Command4_Click();  // "Load Blank"

  private:
    Document& document_;
    WindowHost& host_;
};
