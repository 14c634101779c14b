// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QAbstractButton>
#include <QLabel>
#include <QPixmap>

// Pictures drawn by the program itself: the button faces, the logo and the program icon.
namespace Pictures {

// A 36 x 36 button face: a dark picture with the word on it, or its lighter, inverted
// variant that shows while the button is held down; drawn for that pixel density.
QPixmap buttonFace(const QString& word, bool pressed, qreal devicePixelRatio = 1.0);
QPixmap logo(int size);
QIcon programIcon();

}  // namespace Pictures

// A button that shows one picture normally and another while it is held down.
class PictureButton : public QAbstractButton {
    Q_OBJECT

  public:
    PictureButton(const QString& word, QWidget* parent = nullptr);
    QSize sizeHint() const override;
    // The picture shown while the button is up.
    const QPixmap& face() const { return normal_; }

  protected:
    void paintEvent(QPaintEvent* event) override;

  private:
    QPixmap normal_;
    QPixmap pressed_;
    QString word_;
};

// A picture that reports clicks (the logo).
class PictureLabel : public QLabel {
    Q_OBJECT

  public:
    using QLabel::QLabel;

  signals:
    void clicked();

  protected:
    void mouseReleaseEvent(QMouseEvent* event) override;
};
