// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QList>
#include <QSize>
#include <QWidget>

class QFrame;
class QLabel;
class QPushButton;

// The frame shared by the small windows: a fixed-size tool window (thin title bar with the
// caption and a close box, no minimise or maximise box, no task-bar entry) whose inner
// size and controls are designed in twips. It is either centred on the screen or placed
// where the system places new windows.
class SecondaryWindow : public QWidget {
    Q_OBJECT

  public:
    enum class Place { Centred, System };

    SecondaryWindow(QWidget* owner, const QString& caption, QSize innerTwips, Place place,
                    bool topmost = false);

    // Controls placed in twips. Labels are drawn in the window colours (window background
    // and window text) unless plain is set.
    QLabel* addLabel(const QString& name, const QString& text, int left, int top, int width,
                     int height, bool plain = false);
    QPushButton* addButton(const QString& name, const QString& text, int left, int top, int width,
                           int height);
    QFrame* addHorizontalLine(const QString& name, int x1, int y, int x2);
    template <typename W>
    W* place(W* widget, const QString& name, int left, int top, int width, int height) {
        placeWidget(widget, name, left, top, width, height);
        return widget;
    }

    // The focus order, first to last; labels in the list are skipped, as they never take
    // the focus.
    void setFocusOrder(const QList<QWidget*>& order);

  protected:
    // A window that holds text the user typed keeps it on Escape: only its close box
    // closes it.
    void setClosesOnEscape(bool closes) { closesOnEscape_ = closes; }
    void showEvent(QShowEvent* event) override;
    // Return presses the focused button; Escape closes the window (unless told not to).
    void keyPressEvent(QKeyEvent* event) override;

  private:
    void placeWidget(QWidget* widget, const QString& name, int left, int top, int width,
                     int height);
    Place place_;
    bool placed_ = false;
    bool closesOnEscape_ = true;
    QWidget* firstFocus_ = nullptr;
};
