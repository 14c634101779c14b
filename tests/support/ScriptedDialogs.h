// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "platform/Dialogs.h"

#include <QList>
#include <QString>
#include <QStringList>
#include <QVariant>

#include <functional>

// Dialogs answered by a script. Every call is recorded; answers come from a queue in the
// order the test gave them. A dialog that the script did not expect is recorded in
// unexpected() and answered with Cancel (or an empty path / no colour).
class QWidget;

// For the real dialogs: runs what() on the next modal box or dialog once it is up (null
// when none came).
void whenModal(std::function<void(QWidget*)> what);

class ScriptedDialogs final : public Dialogs {
  public:
    enum class Kind { Message, OpenFile, SaveFile, ChooseProgram, ChooseColor };

    struct Call {
        Kind kind;
        QString text;
        Buttons buttons = Buttons::Ok;
        Icon icon = Icon::None;
        QString title;
        FileRequest request;
        QColor initialColor;
    };

    // Queue answers: an int for a message box, a QString for a file dialog (empty =
    // cancel), a QColor for the colour dialog (invalid = cancel).
    void answer(int messageAnswer) { answers_.append(QVariant(messageAnswer)); }
    void answerFile(const QString& path) { answers_.append(QVariant(path)); }
    void answerColor(const QColor& color) { answers_.append(QVariant(color)); }

    // Runs before each message box is answered (to see the state it came up on).
    std::function<void()> onMessage;

    const QList<Call>& calls() const { return calls_; }
    // A message box as one line, "title|text|buttons|icon", for one-line checks.
    static QString box(const QString& text, const QString& title = applicationTitle(),
                       Buttons buttons = Buttons::Ok, Icon icon = Icon::None) {
        return QStringLiteral("%1|%2|%3|%4").arg(title, text).arg(int(buttons)).arg(int(icon));
    }
    QString shown(int i) const {
        const Call c = calls_.value(i);
        return box(c.text, c.title, c.buttons, c.icon);
    }
    const QStringList& unexpected() const { return unexpected_; }
    int pending() const { return static_cast<int>(answers_.size()); }
    void clear() {
        calls_.clear();
        answers_.clear();
        unexpected_.clear();
    }

    int messageBox(const QString& text, Buttons buttons, Icon icon,
                   const QString& title = applicationTitle()) override;
    QString openFile(const FileRequest& request) override;
    QString saveFile(const FileRequest& request) override;
    QString chooseProgram(const FileRequest& request) override;
    std::optional<QColor> chooseColor(const QColor& initial) override;

  private:
    QVariant take(Kind kind, const QString& what, int type);
    QString takeFile(Kind kind, const FileRequest& request);

    QList<Call> calls_;
    QList<QVariant> answers_;
    QStringList unexpected_;
};
