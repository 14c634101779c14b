// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QPointer>
#include <QString>

#include <optional>

class FindWindow;
class WindowHost;

// Find and Replace in the editing area, with Scintilla's own search. The small window
// "Find and Replace" (one at a time, kept above the main window) edits the search held
// here; F3 and Shift+F3 repeat it without the window. Positions are bytes; the search text
// goes into the document's bytes as the area shows them (UTF-8, or Windows-1252 in 8-bit
// mode). Searching only moves the selection; replacing is an ordinary edit of the text.
class FindReplace {
  public:
    explicit FindReplace(WindowHost& host);
    ~FindReplace();

    // The name the window is kept under by the host.
    static const QString kWindowName;

    // Opens (or raises) the window with the find field focused, holding the selected text
    // when the selection lies on one line.
    void showFind();
    // The same with the replace field focused.
    void showReplace();
    // The next match after the selection (or before it), wrapping past the end (start) of
    // the page; with no search yet, the window opens instead. True when a match is
    // selected.
    bool findNext();
    bool findPrevious();
    // Replaces the selection when it is a match, then selects the next match.
    void replace();
    // Replaces every match as one undoable edit; answers the count.
    qint64 replaceAll();

    // The search the window edits.
    QString findWhat;
    QString replaceWith;
    bool matchCase = false;
    bool wholeWord = false;

    // The window's line of outcome ("Not found.", ...); empty after a plain match.
    QString outcome() const { return outcome_; }

  private:
    struct Match {
        qint64 start;
        qint64 end;
    };
    bool find(bool forwards);
    void show(bool replaceField);
    void setOutcome(const QString& text);
    // The search text as the document's bytes; nothing when the document cannot hold it.
    std::optional<QByteArray> encode(const QString& text) const;
    int flags() const;
    // The first match in [from, to) (backwards when from > to), skipping any that would
    // split a CR LF.
    std::optional<Match> search(const QByteArray& what, qint64 from, qint64 to);
    bool selectionIsMatch(const QByteArray& what);

    WindowHost& host_;
    QPointer<FindWindow> window_;
    QString outcome_;
};
