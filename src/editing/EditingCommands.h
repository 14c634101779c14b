// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QObject>

#include <memory>
#include <span>

class Document;
class EditingArea;
class FindReplace;
class GoToLine;
class PageCheck;
class QMenu;
class QPoint;
class QWidget;

// The editing area's commands as one table: its right-click menu (Undo, Redo, Cut, Copy,
// Paste, Delete, Select All, Find..., Replace..., Go to Line..., Check Page...) and the
// keys of the window that reach Find, Replace, Go to Line, Check Page and the repeated
// search. Each row names its caption, its key and the object that does the work; the
// menu shows the keys beside the captions, and no menu item has a shortcut of its own
// (the area's own keys are EditingKeys').
class EditingCommands : public QObject {
    Q_OBJECT

  public:
    struct Targets {
        EditingArea& area;
        Document& document;
        FindReplace& find;
        GoToLine& goTo;
        PageCheck& check;
    };
    enum class Place {
        Menu,        // in the menu; its key is the area's own
        MenuAndKey,  // in the menu, and its key is a key of the window
        KeyOnly,     // a key of the window only
        Separator,
    };
    struct Row {
        const char* name;  // the item's object name
        const char* caption;
        const char* key;
        Place place;
        void (*run)(Targets&);
        bool (*enabled)(Targets&);  // null: always
    };
    static std::span<const Row> rows();

    // Shows the menu on the area's right click and puts the window's keys on window.
    EditingCommands(const Targets& targets, QWidget& window);

    // The menu as it stands now, greyed where a row can do nothing.
    std::unique_ptr<QMenu> makeMenu(QWidget* parent = nullptr);

  private:
    void popUp(const QPoint& where);

    Targets targets_;
};
