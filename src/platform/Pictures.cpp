// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/Pictures.h"

#include <QFile>
#include <QFontMetricsF>
#include <QHash>
#include <QIcon>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>
#include <QResource>
#include <QStyleOptionFocusRect>
#include <QStylePainter>

namespace Pictures {

namespace {

// Where each stored picture lies in the picture sheet of its pixel density.
struct Place {
    int ratio;
    QRect rect;
};

const QHash<QString, QList<Place>>& storedPlaces() {
    static const QHash<QString, QList<Place>> places = [] {
        QHash<QString, QList<Place>> result;
        QFile index(QStringLiteral(":/pictures/pictures.index"));
        if (!index.open(QIODevice::ReadOnly)) {
            return result;
        }
        // One line a picture: name, density, x, y, width, height; tab-separated.
        for (const QByteArray& line : index.readAll().split('\n')) {
            const QList<QByteArray> f = line.split('\t');
            if (f.size() == 6) {
                result[QString::fromUtf8(f[0])].append(
                    {f[1].toInt(), QRect(f[2].toInt(), f[3].toInt(), f[4].toInt(), f[5].toInt())});
            }
        }
        return result;
    }();
    return places;
}

// The sheets read so far, by density.
QHash<int, QImage>& sheets() {
    static QHash<int, QImage> read;
    return read;
}

// A sheet's pixels are used where they lie in the program's resources, unless they were
// stored compressed (they are not: see the build).
QImage sheet(int ratio) {
    auto it = sheets().find(ratio);
    if (it == sheets().end()) {
        QImage image;
        const QResource pixels(QStringLiteral(":/pictures/pictures@%1.argb").arg(ratio));
        const QList<Place> sheetPlaces = storedPlaces().value(QStringLiteral("sheet"));
        for (const Place& place : sheetPlaces) {
            const QRect r = place.rect;
            if (place.ratio == ratio && pixels.isValid() &&
                pixels.compressionAlgorithm() == QResource::NoCompression &&
                pixels.size() == qint64(r.width()) * r.height() * 4) {
                image = QImage(pixels.data(), r.width(), r.height(), r.width() * 4,
                               QImage::Format_ARGB32_Premultiplied);
                // Pixels of 32 bits want an address divisible by four: else a copy.
                if (reinterpret_cast<quintptr>(pixels.data()) % 4 != 0) {
                    image = image.copy();
                }
            }
        }
        it = sheets().insert(ratio, image);
    }
    return *it;
}

}  // namespace

std::optional<QImage> stored(const QString& name, QSize devicePixels) {
    // A picture in more than one sheet comes from one already read.
    std::optional<Place> found;
    for (const Place& place : storedPlaces().value(name)) {
        if (place.rect.size() == devicePixels && (!found || sheets().contains(place.ratio))) {
            found = place;
        }
    }
    if (!found) {
        return std::nullopt;
    }
    const QImage from = sheet(found->ratio);
    if (!from.rect().contains(found->rect)) {
        return std::nullopt;
    }
    return from.copy(found->rect);
}

QString faceName(const QString& word, bool pressed) {
    return (pressed ? QStringLiteral("pressed:") : QStringLiteral("face:")) + word;
}

QPixmap buttonFace(const QString& word, bool pressed, qreal devicePixelRatio) {
    const int side = qRound(kFacePixels * devicePixelRatio);
    if (auto image = stored(faceName(word, pressed), QSize(side, side))) {
        image->setDevicePixelRatio(devicePixelRatio);
        return QPixmap::fromImage(*image);
    }
    return QPixmap::fromImage(drawButtonFace(word, pressed, devicePixelRatio));
}

QPixmap logo(int size) {
    if (auto image = stored(QStringLiteral("logo"), QSize(size, size))) {
        return QPixmap::fromImage(*image);
    }
    return QPixmap::fromImage(drawLogo(size));
}

QImage drawButtonFace(const QString& word, bool pressed, qreal devicePixelRatio) {
    constexpr int kSize = kFacePixels;
    const int side = qRound(kSize * devicePixelRatio);
    QImage image(side, side, QImage::Format_ARGB32_Premultiplied);
    image.setDevicePixelRatio(devicePixelRatio);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    // A dark, slightly lit surface, like a small photograph.
    QRadialGradient light(QPointF(kSize * 0.3, kSize * 0.25), kSize * 0.9);
    light.setColorAt(0.0, QColor(0x4a, 0x5a, 0x78));
    light.setColorAt(0.6, QColor(0x1c, 0x24, 0x38));
    light.setColorAt(1.0, QColor(0x08, 0x0a, 0x12));
    p.fillRect(QRectF(0, 0, kSize, kSize), light);
    p.setPen(QColor(0x80, 0x90, 0xb0, 90));
    p.drawLine(2, kSize - 9, kSize - 3, kSize - 9);

    // One narrow font for every word (each size would be a font of its own to look up at
    // start-up). A word keeps the font's full height, so it stays readable, and a long
    // one is drawn narrower to fit the face.
    QFont font(QStringLiteral("Liberation Sans Narrow"));
    font.setPixelSize(13);
    font.setBold(true);
    p.setFont(font);
    p.setPen(QColor(0xf0, 0xf0, 0xf0));
    const qreal width = QFontMetricsF(font).horizontalAdvance(word);
    const qreal room = kSize - 4;
    const qreal scale = width > room ? room / width : 1.0;
    p.save();
    p.translate(kSize / 2.0, (kSize - 6) / 2.0);
    p.scale(scale, 1.0);
    const qreal w = kSize / scale;
    const qreal h = kSize - 6;
    p.drawText(QRectF(-w / 2, -h / 2, w, h), Qt::AlignCenter, word);
    p.restore();
    p.end();

    if (pressed) {
        image.invertPixels();
        QPainter lighten(&image);
        lighten.fillRect(QRectF(0, 0, kSize, kSize), QColor(255, 255, 255, 60));
    }
    return image;
}

QImage drawLogo(int size) {
    QImage image(size, size, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    const QRectF r(size * 0.06, size * 0.06, size * 0.88, size * 0.88);
    QLinearGradient g(r.topLeft(), r.bottomRight());
    g.setColorAt(0, QColor(0x2b, 0x6c, 0xb0));
    g.setColorAt(1, QColor(0x12, 0x2f, 0x5a));
    p.setBrush(g);
    p.setPen(QPen(QColor(0x0b, 0x1d, 0x38), size / 24.0));
    p.drawRoundedRect(r, size * 0.18, size * 0.18);
    QFont font(QStringLiteral("DejaVu Sans"));
    font.setBold(true);
    font.setPixelSize(static_cast<int>(size * 0.46));
    p.setFont(font);
    p.setPen(Qt::white);
    p.drawText(r.adjusted(0, -size * 0.08, 0, 0), Qt::AlignCenter, QStringLiteral("Q"));
    font.setPixelSize(std::max(6, static_cast<int>(size * 0.17)));
    p.setFont(font);
    p.setPen(QColor(0xff, 0xd0, 0x60));
    p.drawText(r.adjusted(0, size * 0.5, 0, 0), Qt::AlignHCenter | Qt::AlignTop,
               QStringLiteral("</>"));
    return image;
}

QIcon programIcon() {
    // Drawn once, large, and scaled down for the small sizes: every size drawn with text
    // of its own would make Qt look up and load a font for it, at start-up.
    static const QPixmap large = logo(kIconPixels);
    QIcon icon;
    icon.addPixmap(large);
    for (int size : {16, 32, 48, 64}) {
        icon.addPixmap(large.scaled(size, size, Qt::KeepAspectRatio, Qt::SmoothTransformation));
    }
    return icon;
}

}  // namespace Pictures

PictureButton::PictureButton(const QString& word, QWidget* parent)
    : QAbstractButton(parent),
      normal_(Pictures::buttonFace(word, false, devicePixelRatioF())),
      pressed_(Pictures::buttonFace(word, true, devicePixelRatioF())),
      word_(word) {
    setFocusPolicy(Qt::StrongFocus);
}

QSize PictureButton::sizeHint() const {
    return {36, 36};
}

void PictureButton::paintEvent(QPaintEvent*) {
    // Drawn again for the pixel density of the screen the button is on.
    const qreal ratio = devicePixelRatioF();
    if (!qFuzzyCompare(normal_.devicePixelRatio(), ratio)) {
        normal_ = Pictures::buttonFace(word_, false, ratio);
        pressed_ = Pictures::buttonFace(word_, true, ratio);
    }
    QStylePainter p(this);
    const QRect frame = rect();
    p.drawPixmap(frame.adjusted(1, 1, -1, -1), isDown() ? pressed_ : normal_);
    p.setPen(isDown() ? palette().color(QPalette::Dark) : palette().color(QPalette::Light));
    p.drawRect(frame.adjusted(0, 0, -1, -1));
    if (hasFocus()) {
        QStyleOptionFocusRect option;
        option.initFrom(this);
        option.rect = frame.adjusted(3, 3, -3, -3);
        p.drawPrimitive(QStyle::PE_FrameFocusRect, option);
    }
}

void PictureButton::keyPressEvent(QKeyEvent* event) {
    if ((event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) &&
        (event->modifiers() & ~Qt::KeypadModifier) == Qt::NoModifier) {
        click();
        return;
    }
    QAbstractButton::keyPressEvent(event);
}

void PictureLabel::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton && rect().contains(event->position().toPoint())) {
        emit clicked();
    }
    QLabel::mouseReleaseEvent(event);
}
