// SPDX-License-Identifier: GPL-3.0-or-later
#include "editing/EditingKeys.h"

#include "platform/EditingArea.h"

#include <Qsci/qscicommand.h>
#include <Qsci/qscicommandset.h>

#include <QKeyEvent>

#include <algorithm>
#include <iterator>

namespace {

struct KeptKey {
    QKeyCombination key;
    QsciCommand::Command command;
};

constexpr Qt::KeyboardModifier kCtrl = Qt::ControlModifier;
constexpr Qt::KeyboardModifier kShift = Qt::ShiftModifier;
constexpr Qt::KeyboardModifiers kCtrlShift = Qt::ControlModifier | Qt::ShiftModifier;

// Every key the area answers to, and what it does. A command has at most two keys.
const KeptKey kKeptKeys[] = {
    {Qt::Key_Left, QsciCommand::CharLeft},
    {kShift | Qt::Key_Left, QsciCommand::CharLeftExtend},
    {Qt::Key_Right, QsciCommand::CharRight},
    {kShift | Qt::Key_Right, QsciCommand::CharRightExtend},
    {Qt::Key_Up, QsciCommand::LineUp},
    {kShift | Qt::Key_Up, QsciCommand::LineUpExtend},
    {Qt::Key_Down, QsciCommand::LineDown},
    {kShift | Qt::Key_Down, QsciCommand::LineDownExtend},
    {kCtrl | Qt::Key_Left, QsciCommand::WordLeft},
    {kCtrlShift | Qt::Key_Left, QsciCommand::WordLeftExtend},
    {kCtrl | Qt::Key_Right, QsciCommand::WordRight},
    {kCtrlShift | Qt::Key_Right, QsciCommand::WordRightExtend},
    {Qt::Key_Home, QsciCommand::VCHome},
    {kShift | Qt::Key_Home, QsciCommand::VCHomeExtend},
    {Qt::Key_End, QsciCommand::LineEnd},
    {kShift | Qt::Key_End, QsciCommand::LineEndExtend},
    {Qt::Key_PageUp, QsciCommand::PageUp},
    {kShift | Qt::Key_PageUp, QsciCommand::PageUpExtend},
    {Qt::Key_PageDown, QsciCommand::PageDown},
    {kShift | Qt::Key_PageDown, QsciCommand::PageDownExtend},
    {kCtrl | Qt::Key_Home, QsciCommand::DocumentStart},
    {kCtrlShift | Qt::Key_Home, QsciCommand::DocumentStartExtend},
    {kCtrl | Qt::Key_End, QsciCommand::DocumentEnd},
    {kCtrlShift | Qt::Key_End, QsciCommand::DocumentEndExtend},
    {Qt::Key_Backspace, QsciCommand::DeleteBack},
    {Qt::Key_Delete, QsciCommand::Delete},
    {kCtrl | Qt::Key_Backspace, QsciCommand::DeleteWordLeft},
    {kCtrl | Qt::Key_Delete, QsciCommand::DeleteWordRight},
    {Qt::Key_Return, QsciCommand::Newline},
    {kShift | Qt::Key_Return, QsciCommand::Newline},
    {kCtrl | Qt::Key_A, QsciCommand::SelectAll},
    {kCtrl | Qt::Key_Z, QsciCommand::Undo},
    {kCtrl | Qt::Key_Y, QsciCommand::Redo},
    {kCtrlShift | Qt::Key_Z, QsciCommand::Redo},
    // The clipboard keys go through the area's own clipboard, which knows 8-bit text.
    {kCtrl | Qt::Key_X, QsciCommand::SelectionCut},
    {kShift | Qt::Key_Delete, QsciCommand::SelectionCut},
    {kCtrl | Qt::Key_C, QsciCommand::SelectionCopy},
    {kCtrl | Qt::Key_Insert, QsciCommand::SelectionCopy},
    {kCtrl | Qt::Key_V, QsciCommand::Paste},
    {kShift | Qt::Key_Insert, QsciCommand::Paste},
};

QKeyCombination combinationOf(const QKeyEvent& key) {
    // The keypad's Enter is Return; its other keys are the keys they show.
    const Qt::Key k = key.key() == Qt::Key_Enter ? Qt::Key_Return : Qt::Key(key.key());
    return QKeyCombination(key.modifiers() & ~Qt::KeypadModifier, k);
}

bool isKept(QKeyCombination key) {
    return std::any_of(std::begin(kKeptKeys), std::end(kKeptKeys),
                       [key](const KeptKey& kept) { return kept.key == key; });
}

}  // namespace

void EditingKeys::install(EditingArea& area) {
    QsciCommandSet* commands = area.standardCommands();
    commands->clearKeys();
    commands->clearAlternateKeys();
    for (const KeptKey& kept : kKeptKeys) {
        QsciCommand* command = commands->find(kept.command);
        const int key = kept.key.toCombined();
        if (command->key() == 0) {
            command->setKey(key);
        } else {
            command->setAlternateKey(key);
        }
    }
    area.installEventFilter(new EditingKeys(&area));
}

bool EditingKeys::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() != QEvent::KeyPress) {
        return QObject::eventFilter(watched, event);
    }
    const auto* key = static_cast<QKeyEvent*>(event);
    const QKeyCombination combination = combinationOf(*key);
    const Qt::KeyboardModifiers mods = combination.keyboardModifiers();
    // Tab, Shift+Tab and Ctrl+Tab belong to the window.
    if (combination.key() == Qt::Key_Tab || combination.key() == Qt::Key_Backtab) {
        return false;
    }
    if (isKept(combination)) {
        return false;
    }
    // Scintilla types the letter of a key it has no command for, even with Ctrl, Alt or
    // Meta held: such keys are taken here and do nothing.
    if (mods & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier)) {
        event->accept();
        return true;
    }
    return false;
}
