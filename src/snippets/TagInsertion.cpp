// SPDX-License-Identifier: GPL-3.0-or-later
// Tag insertion: the caret rule, the snippet catalogue and the colour selector.
#include "snippets/TagInsertion.h"

#include "platform/Dialogs.h"
#include "platform/EditingArea.h"
#include "platform/WindowHost.h"
#include "snippets/SnippetCatalogue.h"

namespace {

// A colour in colour-reference layout: red in the lowest byte, then green, then blue.
qint32 colorReference(const QColor& color) {
    const QColor rgb = color.toRgb();
    return static_cast<qint32>(rgb.red()) | (static_cast<qint32>(rgb.green()) << 8) |
           (static_cast<qint32>(rgb.blue()) << 16);
}

// "#" and two upper-case hexadecimal digits each for red, green and blue.
QByteArray colorString(const RGB& rgb) {
    QByteArray text("#");
    for (const quint8 component : {rgb.Red(), rgb.Green(), rgb.Blue()}) {
        text += QByteArray::number(component, 16).rightJustified(2, '0').toUpper();
    }
    return text;
}

}  // namespace

void TagInsertion::InsertAtCaret(const QByteArray& text, std::optional<qint64> stepBack) {
    EditingArea& area = host_.editingArea();
    // One replacement, one step of the editing area's undo, like typing over a selection.
    area.beginUndoAction();
    area.setSelText(text);
    area.endUndoAction();
    if (stepBack) {
        // The caret stands right after the inserted text; it steps back from there without
        // counting the characters of the whole text before it.
        rememberedCaret_ = area.SendScintilla(QsciScintillaBase::SCI_GETCURRENTPOS);
        area.stepCaretBack(*stepBack);
    }
    area.SetFocus();
}

bool TagInsertion::runSnippet(const QString& controlName) {
    const SnippetCatalogue::Entry* entry = SnippetCatalogue::find(controlName);
    if (!entry) {
        return false;
    }
    if (const SnippetCatalogue::Guide* guide = entry->guide) {
        const int answer = host_.dialogs().messageBox(
            QString::fromLatin1(guide->text), guide->buttons, Dialogs::Icon::None,
            QString::fromLatin1(SnippetCatalogue::kGuideTitle));
        if (guide->insertOnlyOnYes && answer != Dialogs::Yes) {
            return true;
        }
    }
    std::optional<qint64> stepBack;
    if (entry->stepBack) {
        stepBack = *entry->stepBack;
    }
    InsertAtCaret(entry->text.toByteArray(), stepBack);
    return true;
}

// The colour selector: the string of the chosen colour replaces the selection. The focus
// stays where it is. A cancelled dialog inserts nothing.
void TagInsertion::Command10_Click() {
    const std::optional<QColor> chosen = host_.dialogs().chooseColor(selectorColor_);
    if (!chosen) {
        return;
    }
    selectorColor_ = *chosen;
    rgb_.Color(colorReference(*chosen));
    EditingArea& area = host_.editingArea();
    area.beginUndoAction();
    area.setSelText(colorString(rgb_));
    area.endUndoAction();
}

void TagInsertion::mnucolorf_Click() {
    InsertAtCaret(QByteArrayLiteral("<FONT COLOR=>"), 1);
    Command10_Click();
}
