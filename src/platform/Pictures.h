// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QAbstractButton>
#include <QImage>
#include <QLabel>
#include <QPixmap>

#include <optional>

// Pictures drawn by the program itself: the button faces, the logo and the program icon.
// They are drawn once when the program is built, at one and at two device pixels a pixel
// (src/RenderPictures.cpp), and loaded from there at start-up, which costs a fraction of
// drawing them; a size that was not drawn then is drawn when asked for.
namespace Pictures {

// The logo's side in the windows that show it, in twips; the program icon's in pixels.
constexpr int kLogoTwips = 540;
constexpr int kIconPixels = 128;
// A button face's side in pixels.
constexpr int kFacePixels = 36;

// A 36 x 36 button face: a dark picture with the word on it, or its lighter, inverted
// variant that shows while the button is held down; drawn for that pixel density.
QPixmap buttonFace(const QString& word, bool pressed, qreal devicePixelRatio = 1.0);
QPixmap logo(int size);
QIcon programIcon();

// The drawings themselves.
QImage drawButtonFace(const QString& word, bool pressed, qreal devicePixelRatio);
QImage drawLogo(int size);
// Names of the button faces among the stored pictures.
QString faceName(const QString& word, bool pressed);

// The picture of that name drawn at build time at exactly this size in device pixels, if
// there is one.
std::optional<QImage> stored(const QString& name, QSize devicePixels);

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
    // Return and Enter press the button, as Space does.
    void keyPressEvent(QKeyEvent* event) override;

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
