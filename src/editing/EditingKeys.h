// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QObject>

class EditingArea;

// The keys of the editing area: those of a plain multi-line text box on the desktop and
// no others. Moving (arrows, Home/End, Page Up/Down, Ctrl+arrows by word, Ctrl+Home/End,
// each with Shift to select), deleting (Backspace, Delete, Ctrl+Backspace/Delete by word),
// Ctrl+A, undo (Ctrl+Z), redo (Ctrl+Y, Ctrl+Shift+Z), the clipboard (Ctrl+X/C/V,
// Shift+Delete, Ctrl+Insert, Shift+Insert) and Return. Any other key held with Ctrl, Alt
// or Meta changes nothing, nor does Insert; the window's own shortcuts still reach the
// window, and Tab is left to the window's filter.
class EditingKeys : public QObject {
    Q_OBJECT

  public:
    // Sets the area's key map and watches its keys; lives as long as the area.
    static void install(EditingArea& area);

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    using QObject::QObject;
};
