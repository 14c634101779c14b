// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QPlainTextEdit>

// A multi-line plain text box for the small windows. A paste or drop that carries no
// text does nothing: Qt 6.4's own box crashes the program on Ctrl+V when the X clipboard
// has no owner.
class PlainTextBox : public QPlainTextEdit {
    Q_OBJECT

  public:
    using QPlainTextEdit::QPlainTextEdit;

  protected:
    bool canInsertFromMimeData(const QMimeData* source) const override;
    void insertFromMimeData(const QMimeData* source) override;
};
