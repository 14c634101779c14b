// SPDX-License-Identifier: GPL-3.0-or-later
#include "editing/EditingCommands.h"

#include "ui/platform/EditingArea.h"

#include <QAction>
#include <QClipboard>
#include <QGuiApplication>
#include <QMenu>

EditingCommands::EditingCommands(EditingArea& area) : QObject(&area), area_(area) {
    auto selection = [this] { return area_.hasSelectedText(); };
    auto clipboardText = [] { return !QGuiApplication::clipboard()->text().isEmpty(); };
    auto row = [](const char* name, const char* caption, const char* key,
                  std::function<bool()> enabled) {
        return Row{QString::fromLatin1(name),
                   QString::fromLatin1(caption),
                   QString::fromLatin1(key),
                   {},
                   std::move(enabled)};
    };
    rows_ = {
        row("Undo", "Undo", "Ctrl+Z", [this] { return area_.isUndoAvailable(); }),
        row("Redo", "Redo", "Ctrl+Y", [this] { return area_.isRedoAvailable(); }),
        Row{},
        row("Cut", "Cut", "Ctrl+X", selection),
        row("Copy", "Copy", "Ctrl+C", selection),
        row("Paste", "Paste", "Ctrl+V", clipboardText),
        row("Delete", "Delete", "Del", selection),
        Row{},
        row("SelectAll", "Select All", "Ctrl+A", [this] { return !area_.isEmpty(); }),
        Row{},
        row("Find", "Find...", "Ctrl+F", {}),
        row("Replace", "Replace...", "Ctrl+H", {}),
        row("GoToLine", "Go to Line...", "Ctrl+G", {}),
        row("CheckPage", "Check Page...", "F7", {}),
    };
    bind(QStringLiteral("Undo"), [this] { area_.undo(); });
    bind(QStringLiteral("Redo"), [this] { area_.redo(); });
    bind(QStringLiteral("Delete"), [this] { area_.removeSelectedText(); });
    bind(QStringLiteral("SelectAll"), [this] { area_.selectAll(); });

    area_.setContextMenuPolicy(Qt::CustomContextMenu);
    connect(&area_, &QWidget::customContextMenuRequested, this, &EditingCommands::popUp);
}

void EditingCommands::bind(const QString& name, std::function<void()> run,
                           std::function<bool()> enabled) {
    for (Row& row : rows_) {
        if (row.name == name) {
            row.run = std::move(run);
            if (enabled && row.enabled) {
                row.enabled = [own = row.enabled, more = std::move(enabled)] {
                    return own() && more();
                };
            } else if (enabled) {
                row.enabled = std::move(enabled);
            }
            return;
        }
    }
    qFatal("no row %s in the editing area's menu", qPrintable(name));
}

std::unique_ptr<QMenu> EditingCommands::makeMenu(QWidget* parent) const {
    auto menu = std::make_unique<QMenu>(parent);
    menu->setObjectName(QStringLiteral("EditingMenu"));
    for (const Row& row : rows_) {
        if (row.separator()) {
            menu->addSeparator();
            continue;
        }
        // The key after a tab is shown at the right of the item, and is no shortcut.
        QAction* item = menu->addAction(row.caption + QLatin1Char('\t') + row.key);
        item->setObjectName(row.name);
        item->setEnabled(row.run && (!row.enabled || row.enabled()));
        if (row.run) {
            connect(item, &QAction::triggered, this, row.run);
        }
    }
    return menu;
}

void EditingCommands::popUp(const QPoint& where) {
    const std::unique_ptr<QMenu> menu = makeMenu(&area_);
    menu->exec(area_.mapToGlobal(where));
}
