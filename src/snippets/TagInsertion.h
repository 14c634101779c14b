// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "snippets/RGB.h"

#include <QByteArray>
#include <QColor>
#include <QString>

#include <optional>

class WindowHost;

// Tag insertion: the caret rule, the catalogue's snippets (guided ones ask first) and the
// colour selector. It remembers the caret position of the last stepping insertion and the
// colour the selector last confirmed.
class TagInsertion {
  public:
    explicit TagInsertion(WindowHost& host) : host_(host) {}

    // Replaces the selection by the text as one undoable edit, steps the caret back that
    // many characters when asked, and gives the editing area the focus.
    void InsertAtCaret(const QByteArray& text, std::optional<qint64> stepBack);
    // Inserts the catalogue snippet of a control; false when the control has none.
    bool runSnippet(const QString& controlName);
    // The colour selector: the chosen colour's "#RRGGBB" replaces the selection.
    void Command10_Click();
    void mnucolorf_Click();

  private:
    WindowHost& host_;
    // The caret position a stepping insertion remembers (as a byte position, full width, so
    // it holds any position of any document; nothing reads it back), the selector's splitter and
    // the colour its dialog opens on (the last one confirmed; black before the first).
    qint64 rememberedCaret_ = 0;
    RGB rgb_;
    QColor selectorColor_{Qt::black};
};
