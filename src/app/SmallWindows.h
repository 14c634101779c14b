// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

class WindowHost;

// The small windows beside the editing area (scratch pad, list examples, about box,
// first-run welcome) and further editor windows. None of them reads or changes the
// document.
class SmallWindows {
  public:
    explicit SmallWindows(WindowHost& host) : host_(host) {}

    void mnuPad_Click();
    void mnulistex_Click();
    void mnunewwin_Click();
    void mnuabout_Click();
    void showFirstRunWelcome();

  private:
    WindowHost& host_;
};
