// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

#include <functional>
#include <memory>

class BrowserCommands;
class DisplayPreferences;
class Document;
class EditingCommands;
class FindReplace;
class GoToLine;
class PageCheck;
class SmallWindows;
class TagInsertion;
class WindowHost;

// The features of one main window, made and wired to each other in this one place: the
// document (document/), tag insertion (snippets/), the browser, help and options
// (browser/), the display preferences and the small windows (app/), and the editing
// area's keys, its right-click menu, find and replace, go to line and the page check
// (editing/). Each sees the window
// only as a WindowHost.
class Features {
  public:
    explicit Features(WindowHost& host);
    ~Features();
    Features(const Features&) = delete;
    Features& operator=(const Features&) = delete;

    Document& document() { return *document_; }
    TagInsertion& tags() { return *tags_; }
    BrowserCommands& browser() { return *browser_; }
    DisplayPreferences& display() { return *display_; }
    SmallWindows& smallWindows() { return *smallWindows_; }
    FindReplace& findReplace() { return *findReplace_; }
    GoToLine& goToLine() { return *goToLine_; }
    PageCheck& pageCheck() { return *pageCheck_; }
    EditingCommands& editingCommands() { return *editingCommands_; }

    // The window's load, before it is first shown: the stored preferences and the command
    // line's file. Returns the start-up count it stored.
    qint16 load(const QString& commandLine);
    // Only the program (not a test) ends the process on Exit and, once the window is up,
    // offers the unsaved documents of programs that ended without saving them.
    void runAsProgram(std::function<void()> endProgram);

  private:
    WindowHost& host_;
    Document* document_ = nullptr;  // a child QObject of the window
    std::unique_ptr<TagInsertion> tags_;
    std::unique_ptr<BrowserCommands> browser_;
    std::unique_ptr<DisplayPreferences> display_;
    std::unique_ptr<SmallWindows> smallWindows_;
    std::unique_ptr<FindReplace> findReplace_;
    std::unique_ptr<GoToLine> goToLine_;
    std::unique_ptr<PageCheck> pageCheck_;
    EditingCommands* editingCommands_ = nullptr;  // a child QObject of the editing area
};
