// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/SplashPictures.h"

#include "platform/Pictures.h"

#include <QFont>
#include <QImage>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>

namespace {

QImage canvas(QSize size) {
    QImage image(size.expandedTo(QSize(1, 1)), QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    return image;
}

}  // namespace

namespace SplashPictures {

QPixmap scene(QSize size) {
    const auto image = Pictures::stored(QStringLiteral("scene"), size);
    return QPixmap::fromImage(image ? *image : drawScene(size));
}

QPixmap banner(QSize size) {
    const auto image = Pictures::stored(QStringLiteral("banner"), size);
    return QPixmap::fromImage(image ? *image : drawBanner(size));
}

QImage drawScene(QSize size) {
    QImage image = canvas(size);
    const double w = image.width();
    const double h = image.height();
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);

    // Evening sky behind everything.
    QLinearGradient sky(0, 0, 0, h);
    sky.setColorAt(0, QColor(0x1d, 0x3b, 0x6e));
    sky.setColorAt(1, QColor(0x6f, 0x9c, 0xd4));
    p.fillRect(image.rect(), sky);

    // A screen on a stand.
    const QRectF screen(w * 0.08, h * 0.08, w * 0.84, h * 0.62);
    p.setPen(QPen(QColor(0x22, 0x22, 0x28), w / 40.0));
    p.setBrush(QColor(0x3a, 0x3d, 0x46));
    p.drawRoundedRect(screen, w * 0.05, w * 0.05);
    const QRectF glass = screen.adjusted(w * 0.05, h * 0.06, -w * 0.05, -h * 0.06);
    QLinearGradient glow(glass.topLeft(), glass.bottomRight());
    glow.setColorAt(0, QColor(0xf4, 0xf8, 0xff));
    glow.setColorAt(1, QColor(0xc8, 0xd8, 0xee));
    p.setPen(Qt::NoPen);
    p.setBrush(glow);
    p.drawRect(glass);
    p.setBrush(QColor(0x3a, 0x3d, 0x46));
    p.drawRect(QRectF(w * 0.44, screen.bottom(), w * 0.12, h * 0.1));
    p.drawRoundedRect(QRectF(w * 0.28, screen.bottom() + h * 0.09, w * 0.44, h * 0.06), 2, 2);

    // Lines of markup on the glass: tags in colour, text in grey.
    const QColor tag(0x1f, 0x5f, 0xbf);
    const QColor text(0x8a, 0x8f, 0x99);
    const double line = glass.height() / 6.0;
    const double indents[] = {0, 0.12, 0.12, 0.24, 0.12, 0};
    const double lengths[] = {0.35, 0.5, 0.7, 0.55, 0.45, 0.3};
    for (int i = 0; i < 6; ++i) {
        const double y = glass.top() + line * (i + 0.3);
        const double x = glass.left() + glass.width() * (0.06 + indents[i]);
        const double full = glass.width() * lengths[i];
        p.setBrush(tag);
        p.drawRect(QRectF(x, y, full * 0.25, line * 0.45));
        p.setBrush(text);
        p.drawRect(QRectF(x + full * 0.3, y, full * 0.7, line * 0.45));
    }

    // A sheet of paper leaning in front, with a bracket pair on it.
    QPainterPath sheet;
    sheet.addRect(QRectF(w * 0.6, h * 0.5, w * 0.32, h * 0.45));
    p.setPen(QPen(QColor(0x55, 0x55, 0x55), w / 80.0));
    p.setBrush(QColor(0xff, 0xfd, 0xf2));
    p.drawPath(sheet);
    QFont font(QStringLiteral("DejaVu Sans Mono"));
    font.setBold(true);
    font.setPixelSize(std::max(6, static_cast<int>(h * 0.18)));
    p.setFont(font);
    p.setPen(QColor(0xc0, 0x39, 0x2b));
    p.drawText(sheet.boundingRect(), Qt::AlignCenter, QStringLiteral("</>"));
    p.end();
    return image;
}

QImage drawBanner(QSize size) {
    QImage image = canvas(size);
    const double w = image.width();
    const double h = image.height();
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    QLinearGradient band(0, 0, w, 0);
    band.setColorAt(0, QColor(0x12, 0x2f, 0x5a));
    band.setColorAt(1, QColor(0x2b, 0x6c, 0xb0));
    p.setPen(Qt::NoPen);
    p.setBrush(band);
    p.drawRoundedRect(QRectF(0, 0, w, h), h * 0.18, h * 0.18);

    QFont font(QStringLiteral("DejaVu Serif"));
    font.setBold(true);
    font.setItalic(true);
    font.setPixelSize(std::max(8, static_cast<int>(h * 0.56)));
    p.setFont(font);
    const QRectF textBox(w * 0.05, 0, w * 0.9, h * 0.92);
    p.setPen(QColor(0, 0, 0, 110));
    p.drawText(textBox.translated(h * 0.04, h * 0.04), Qt::AlignVCenter | Qt::AlignLeft,
               QStringLiteral("Quindo"));
    p.setPen(Qt::white);
    p.drawText(textBox, Qt::AlignVCenter | Qt::AlignLeft, QStringLiteral("Quindo"));

    font.setItalic(false);
    font.setFamily(QStringLiteral("DejaVu Sans Mono"));
    font.setPixelSize(std::max(6, static_cast<int>(h * 0.26)));
    p.setFont(font);
    p.setPen(QColor(0xff, 0xd0, 0x60));
    p.drawText(textBox, Qt::AlignVCenter | Qt::AlignRight, QStringLiteral("<HTML>"));
    p.end();
    return image;
}

}  // namespace SplashPictures
