// SPDX-License-Identifier: GPL-3.0-or-later
#include "ScriptedDialogs.h"

#include <QApplication>
#include <QTest>
#include <QTimer>

QVariant ScriptedDialogs::take(Kind, const QString& what, int type) {
    if (answers_.isEmpty() || answers_.constFirst().typeId() != type) {
        unexpected_ << what;
        return {};
    }
    return answers_.takeFirst();
}

int ScriptedDialogs::messageBox(const QString& text, Buttons buttons, Icon icon,
                                const QString& title) {
    calls_.append({Kind::Message, text, buttons, icon, title, {}, {}});
    if (onMessage) {
        onMessage();
    }
    const QVariant v = take(Kind::Message, QStringLiteral("message: ") + text, QMetaType::Int);
    return v.isValid() ? v.toInt() : Cancel;
}

QString ScriptedDialogs::takeFile(Kind kind, const FileRequest& request) {
    calls_.append({kind, {}, Buttons::Ok, Icon::None, {}, request, {}});
    const QVariant v =
        take(kind, QStringLiteral("file dialog: ") + request.filter, QMetaType::QString);
    return v.isValid() ? v.toString() : QString();
}

QString ScriptedDialogs::openFile(const FileRequest& request) {
    return takeFile(Kind::OpenFile, request);
}

QString ScriptedDialogs::saveFile(const FileRequest& request) {
    return takeFile(Kind::SaveFile, request);
}

QString ScriptedDialogs::chooseProgram(const FileRequest& request) {
    return takeFile(Kind::ChooseProgram, request);
}

std::optional<QColor> ScriptedDialogs::chooseColor(const QColor& initial) {
    calls_.append({Kind::ChooseColor, {}, Buttons::Ok, Icon::None, {}, {}, initial});
    const QVariant v = take(Kind::ChooseColor, QStringLiteral("colour dialog"), QMetaType::QColor);
    if (!v.isValid() || !v.value<QColor>().isValid()) {
        return std::nullopt;
    }
    return v.value<QColor>();
}

void whenModal(std::function<void(QWidget*)> what) {
    QTimer::singleShot(0, [what = std::move(what)] {
        QWidget* modal = nullptr;
        for (int i = 0; i < 500 && !(modal = QApplication::activeModalWidget()); ++i) {
            QTest::qWait(10);
        }
        what(modal);
    });
}
