// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "platform/DialogTypes.h"

#include <QColor>
#include <QString>

#include <optional>

class QWidget;

// Everything modal that the program shows goes through this interface, so the logic can
// be driven by a script in tests and by the real Qt dialogs in the program.
class Dialogs {
  public:
    using Buttons = DialogTypes::Buttons;
    using Icon = DialogTypes::Icon;
    // The answers carry the numbers the program stores (SaveAnswer).
    using Answer = DialogTypes::Answer;
    using enum DialogTypes::Answer;

    // The application title, carried by every box that names no title of its own.
    static QString applicationTitle() { return QStringLiteral("quindo"); }

    struct FileRequest {
        QString filter;         // Qt syntax, e.g. "HTML Files (*.HTM*)"
        QString fileName;       // the name the dialog starts with
        QString defaultSuffix;  // added to a typed name that has none
        QString directory;      // the folder the dialog starts in, when no name is given
    };

    virtual ~Dialogs() = default;

    // Shows text as plain text. Escape or the close box answers Cancel, also on a Yes/No
    // box (which has no Cancel button), and OK on a box with only OK.
    virtual int messageBox(const QString& text, Buttons buttons, Icon icon,
                           const QString& title = applicationTitle()) = 0;
    // Each returns the chosen full path, or an empty string when the user cancelled.
    virtual QString openFile(const FileRequest& request) = 0;
    virtual QString saveFile(const FileRequest& request) = 0;
    virtual QString chooseProgram(const FileRequest& request) = 0;
    // The chosen colour, or nothing when the user cancelled.
    virtual std::optional<QColor> chooseColor(const QColor& initial) = 0;
};

// The real dialogs of the desktop.
class QtDialogs final : public Dialogs {
  public:
    explicit QtDialogs(QWidget* parent = nullptr) : parent_(parent) {}
    void setParent(QWidget* parent) { parent_ = parent; }

    int messageBox(const QString& text, Buttons buttons, Icon icon,
                   const QString& title = applicationTitle()) override;
    QString openFile(const FileRequest& request) override;
    QString saveFile(const FileRequest& request) override;
    QString chooseProgram(const FileRequest& request) override;
    std::optional<QColor> chooseColor(const QColor& initial) override;

  private:
    QWidget* parent_;
};
