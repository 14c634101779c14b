// SPDX-License-Identifier: GPL-3.0-or-later
#include "editing/EditingCommands.h"

#include "document/Document.h"
#include "editing/FindReplace.h"
#include "editing/GoToLine.h"
#include "editing/PageCheck.h"
#include "platform/EditingArea.h"

#include <QAction>
#include <QClipboard>
#include <QGuiApplication>
#include <QMenu>
#include <QShortcut>

namespace {

using T = EditingCommands::Targets;
using P = EditingCommands::Place;

bool selection(T& t) {
    return t.area.hasSelectedText();
}

// An empty page has nothing to find or go to.
bool text(T& t) {
    return !t.area.isEmpty();
}

constexpr EditingCommands::Row kRows[] = {
    {"Undo", "Undo", "Ctrl+Z", P::Menu, [](T& t) { t.area.undo(); },
     [](T& t) { return t.area.isUndoAvailable(); }},
    {"Redo", "Redo", "Ctrl+Y", P::Menu, [](T& t) { t.area.redo(); },
     [](T& t) { return t.area.isRedoAvailable(); }},
    {"", "", "", P::Separator, nullptr, nullptr},
    // As the Edit menu's: 8-bit documents go through the same clipboard code.
    {"Cut", "Cut", "Ctrl+X", P::Menu, [](T& t) { t.document.mnuEditCut_Click(); }, selection},
    {"Copy", "Copy", "Ctrl+C", P::Menu, [](T& t) { t.document.mnuEditCopy_Click(); }, selection},
    {"Paste", "Paste", "Ctrl+V", P::Menu, [](T& t) { t.document.mnuEditPaste_Click(); },
     [](T&) { return !QGuiApplication::clipboard()->text().isEmpty(); }},
    {"Delete", "Delete", "Del", P::Menu, [](T& t) { t.area.removeSelectedText(); }, selection},
    {"", "", "", P::Separator, nullptr, nullptr},
    {"SelectAll", "Select All", "Ctrl+A", P::Menu, [](T& t) { t.area.selectAll(); }, text},
    {"", "", "", P::Separator, nullptr, nullptr},
    {"Find", "Find...", "Ctrl+F", P::MenuAndKey, [](T& t) { t.find.showFind(); }, text},
    {"Replace", "Replace...", "Ctrl+H", P::MenuAndKey, [](T& t) { t.find.showReplace(); }, text},
    {"GoToLine", "Go to Line...", "Ctrl+G", P::MenuAndKey, [](T& t) { t.goTo.show(); }, text},
    {"CheckPage", "Check Page...", "F7", P::MenuAndKey, [](T& t) { t.check.run(); }, nullptr},
    {"FindNext", "", "F3", P::KeyOnly, [](T& t) { t.find.findNext(); }, nullptr},
    {"FindPrevious", "", "Shift+F3", P::KeyOnly, [](T& t) { t.find.findPrevious(); }, nullptr},
};

}  // namespace

std::span<const EditingCommands::Row> EditingCommands::rows() {
    return kRows;
}

EditingCommands::EditingCommands(const Targets& targets, QWidget& window)
    : QObject(&targets.area), targets_(targets) {
    for (const Row& row : kRows) {
        if (row.place == Place::MenuAndKey || row.place == Place::KeyOnly) {
            auto* key = new QShortcut(QKeySequence(QString::fromLatin1(row.key)), &window);
            key->setObjectName(QString::fromLatin1(row.name));
            connect(key, &QShortcut::activated, this, [this, &row] { row.run(targets_); });
        }
    }
    targets_.area.setContextMenuPolicy(Qt::CustomContextMenu);
    connect(&targets_.area, &QWidget::customContextMenuRequested, this, &EditingCommands::popUp);
}

std::unique_ptr<QMenu> EditingCommands::makeMenu(QWidget* parent) {
    auto menu = std::make_unique<QMenu>(parent);
    menu->setObjectName(QStringLiteral("EditingMenu"));
    for (const Row& row : kRows) {
        if (row.place == Place::Separator) {
            menu->addSeparator();
            continue;
        }
        if (row.place == Place::KeyOnly) {
            continue;
        }
        // The key after a tab is shown at the right of the item, and is no shortcut.
        QAction* item = menu->addAction(QString::fromLatin1(row.caption) + QLatin1Char('\t') +
                                        QString::fromLatin1(row.key));
        item->setObjectName(QString::fromLatin1(row.name));
        item->setEnabled(!row.enabled || row.enabled(targets_));
        connect(item, &QAction::triggered, this, [this, &row] { row.run(targets_); });
    }
    return menu;
}

void EditingCommands::popUp(const QPoint& where) {
    const std::unique_ptr<QMenu> menu = makeMenu(&targets_.area);
    menu->exec(targets_.area.mapToGlobal(where));
}
