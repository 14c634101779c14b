// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "platform/SecondaryWindow.h"

#include <functional>

class WindowHost;

// The new-document window: an empty untitled document, one made from the template beside
// the program, or back to the current document. It holds no state of its own: its two
// choices are the document's, and each says whether it went ahead (the window then
// closes) or the user stopped it.
class frmNew : public SecondaryWindow {
    Q_OBJECT

  public:
    struct Choices {
        std::function<bool()> empty;      // "New"
        std::function<bool()> template_;  // "Load Blank"
    };
    frmNew(WindowHost& host, Choices choices);

    void Command1_Click();  // "New"
    void Command2_Click();  // "Cancel"
    void Command4_Click();  // "Load Blank"

  private:
    Choices choices_;
};
