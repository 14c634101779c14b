// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QObject>
#include <QString>

#include <functional>
#include <memory>
#include <vector>

class EditingArea;
class QMenu;
class QPoint;
class QWidget;

// The editing area's right-click menu, built from a table of rows: Undo, Redo, Cut,
// Copy, Paste, Delete, Select All, Find..., Replace..., Go to Line..., Check Page...
// Each row has a name, a caption, the key that does the same, a handler and a check of
// whether it can do anything now; a row whose handler is not bound yet is greyed out.
// The menu shows the keys beside the captions; the items themselves have no shortcuts.
class EditingCommands : public QObject {
    Q_OBJECT

  public:
    struct Row {
        QString name;  // the item's object name
        QString caption;
        QString key;  // shown beside the caption; empty for a separator
        std::function<void()> run;
        std::function<bool()> enabled;
        bool separator() const { return caption.isEmpty(); }
    };

    // The area's own rows (Undo, Redo, Delete, Select All) are bound here; the others are
    // bound by the window.
    explicit EditingCommands(EditingArea& area);

    // Binds a row by name: "Cut", "Copy", "Paste", "Find", "Replace", "GoToLine",
    // "CheckPage". enabled, when given, is asked besides the row's own check.
    void bind(const QString& name, std::function<void()> run, std::function<bool()> enabled = {});
    const std::vector<Row>& rows() const { return rows_; }

    // The menu as it stands now, greyed where a row can do nothing.
    std::unique_ptr<QMenu> makeMenu(QWidget* parent = nullptr) const;

  private:
    void popUp(const QPoint& where);

    EditingArea& area_;
    std::vector<Row> rows_;
};
