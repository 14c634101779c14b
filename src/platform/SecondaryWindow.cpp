// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/SecondaryWindow.h"

#include "platform/Twips.h"

#include <QAbstractButton>
#include <QFont>
#include <QFrame>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>
#include <QScreen>

SecondaryWindow::SecondaryWindow(QWidget* owner, const QString& caption, QSize innerTwips,
                                 Place place, bool topmost)
    : QWidget(owner,
              Qt::Tool | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint),
      place_(place) {
    setWindowTitle(caption);
    // The layouts in twips are drawn for a small sans face of 8 points; wider desktop
    // defaults would clip the labels. (Arial resolves to Liberation Sans via fontconfig.)
    setFont(QFont(QStringLiteral("Arial"), 8));
    if (topmost) {
        setWindowFlag(Qt::WindowStaysOnTopHint, true);
    }
    setFixedSize(Twips::toPixels(innerTwips));
}

void SecondaryWindow::placeWidget(QWidget* widget, const QString& name, int left, int top,
                                  int width, int height) {
    widget->setParent(this);
    widget->setObjectName(name);
    widget->setGeometry(Twips::rect(left, top, width, height));
}

QLabel* SecondaryWindow::addLabel(const QString& name, const QString& text, int left, int top,
                                  int width, int height, bool plain) {
    auto* label = new QLabel(text, this);
    placeWidget(label, name, left, top, width, height);
    label->setWordWrap(true);
    label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    label->setTextFormat(Qt::PlainText);
    if (!plain) {
        label->setAutoFillBackground(true);
        QPalette colours = label->palette();
        colours.setColor(QPalette::Window, colours.color(QPalette::Base));
        colours.setColor(QPalette::WindowText, colours.color(QPalette::Text));
        label->setPalette(colours);
    }
    return label;
}

QPushButton* SecondaryWindow::addButton(const QString& name, const QString& text, int left, int top,
                                        int width, int height) {
    auto* button = new QPushButton(text, this);
    placeWidget(button, name, left, top, width, height);
    button->setAutoDefault(false);
    return button;
}

QFrame* SecondaryWindow::addHorizontalLine(const QString& name, int x1, int y, int x2) {
    auto* line = new QFrame(this);
    line->setFrameShape(QFrame::HLine);
    line->setFrameShadow(QFrame::Sunken);
    placeWidget(line, name, x1, y - 15, x2 - x1, 30);
    return line;
}

void SecondaryWindow::setFocusOrder(const QList<QWidget*>& order) {
    QWidget* previous = nullptr;
    for (QWidget* w : order) {
        if (qobject_cast<QLabel*>(w) || w->focusPolicy() == Qt::NoFocus) {
            continue;
        }
        if (!previous) {
            firstFocus_ = w;
        } else {
            setTabOrder(previous, w);
        }
        previous = w;
    }
}

void SecondaryWindow::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    if (!placed_) {
        placed_ = true;
        if (place_ == Place::Centred) {
            if (const QScreen* screen = QGuiApplication::primaryScreen()) {
                QRect frame = frameGeometry();
                frame.moveCenter(screen->availableGeometry().center());
                move(frame.topLeft());
            }
        }
    }
    // A small window takes the keyboard when it is shown, on the first control of its
    // focus order, so keys no longer go on into the window behind it.
    activateWindow();
    raise();
    if (firstFocus_) {
        firstFocus_->setFocus(Qt::OtherFocusReason);
    }
}

void SecondaryWindow::keyPressEvent(QKeyEvent* event) {
    switch (event->key()) {
        case Qt::Key_Return:
        case Qt::Key_Enter:
            // Return presses the button that has the focus, as Space does.
            if (auto* button = qobject_cast<QAbstractButton*>(focusWidget())) {
                button->click();
                return;
            }
            break;
        case Qt::Key_Escape:
            if (closesOnEscape_) {
                close();
                return;
            }
            break;
        default:
            break;
    }
    QWidget::keyPressEvent(event);
}
