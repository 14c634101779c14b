// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/PlainTextBox.h"

#include <QMimeData>

bool PlainTextBox::canInsertFromMimeData(const QMimeData* source) const {
    return source && source->hasText() && QPlainTextEdit::canInsertFromMimeData(source);
}

void PlainTextBox::insertFromMimeData(const QMimeData* source) {
    if (!source || !source->hasText()) {
        return;
    }
    QPlainTextEdit::insertFromMimeData(source);
}
