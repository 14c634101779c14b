// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

class Document;
class WindowHost;

// The browser preview, the help documents, the sample page and the Options window.
class BrowserCommands {
  public:
    BrowserCommands(WindowHost& host, Document& document) : host_(host), document_(document) {}

    void mnuTest_Click();
    void mnuprimer_Click();
    void mnusample_Click();
    void mnuusing_Click();
    void mnuset_Click();
    void mnukeys_Click();

  private:
    WindowHost& host_;
    Document& document_;
};
