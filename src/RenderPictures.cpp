// SPDX-License-Identifier: GPL-3.0-or-later
// Run while the program is built: draws every picture the windows show at start-up, at one
// and at two device pixels a pixel, into one sheet per density (premultiplied ARGB pixels)
// plus an index of where each picture lies (see Pictures::stored).
// Usage: render_pictures <folder>
#include "app/SplashPictures.h"
#include "platform/Pictures.h"
#include "platform/Twips.h"
#include "ui/ButtonFaces.h"

#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <QPainter>

#include <algorithm>
#include <cstdio>
#include <utility>
#include <vector>

namespace {

using Named = std::pair<QString, QImage>;

std::vector<Named> picturesAt(int ratio) {
    std::vector<Named> pictures;
    pictures.emplace_back(QStringLiteral("scene"), SplashPictures::drawScene(Twips::toDevicePixels(
                                                       SplashPictures::kSceneTwips, ratio)));
    pictures.emplace_back(
        QStringLiteral("banner"),
        SplashPictures::drawBanner(Twips::toDevicePixels(SplashPictures::kBannerTwips, ratio)));
    pictures.emplace_back(QStringLiteral("logo"),
                          Pictures::drawLogo(Twips::toDevicePixels(Pictures::kLogoTwips, ratio)));
    for (const auto& button : ButtonFaces::faces()) {
        const QString word = QString::fromLatin1(button.word);
        for (const bool pressed : {false, true}) {
            pictures.emplace_back(Pictures::faceName(word, pressed),
                                  Pictures::drawButtonFace(word, pressed, ratio));
        }
    }
    // The program icon is one size at every density: in each sheet, so that a start
    // reads one sheet only.
    pictures.emplace_back(QStringLiteral("logo"), Pictures::drawLogo(Pictures::kIconPixels));
    return pictures;
}

// Rows of pictures, left to right, in a sheet of a fixed width.
bool writeSheet(const QString& folder, int ratio, QByteArray& index) {
    std::vector<Named> pictures = picturesAt(ratio);
    // Tallest first, so that the rows waste little room.
    std::stable_sort(pictures.begin(), pictures.end(), [](const Named& a, const Named& b) {
        return a.second.height() > b.second.height();
    });
    const int width = 512 * ratio;
    std::vector<QPoint> places;
    QPoint at(0, 0);
    int rowHeight = 0;
    for (const auto& [name, image] : pictures) {
        if (at.x() + image.width() > width) {
            at = QPoint(0, at.y() + rowHeight);
            rowHeight = 0;
        }
        places.push_back(at);
        at.rx() += image.width();
        rowHeight = std::max(rowHeight, image.height());
    }
    QImage sheet(width, at.y() + rowHeight, QImage::Format_ARGB32_Premultiplied);
    sheet.fill(Qt::transparent);
    QPainter painter(&sheet);
    painter.setCompositionMode(QPainter::CompositionMode_Source);
    for (std::size_t i = 0; i < pictures.size(); ++i) {
        QImage image = pictures[i].second;
        image.setDevicePixelRatio(1.0);
        painter.drawImage(places[i], image);
        index += QStringLiteral("%1\t%2\t%3\t%4\t%5\t%6\n")
                     .arg(pictures[i].first)
                     .arg(ratio)
                     .arg(places[i].x())
                     .arg(places[i].y())
                     .arg(image.width())
                     .arg(image.height())
                     .toUtf8();
    }
    painter.end();
    index += QStringLiteral("sheet\t%1\t0\t0\t%2\t%3\n")
                 .arg(ratio)
                 .arg(sheet.width())
                 .arg(sheet.height())
                 .toUtf8();
    // The pixels as they are in memory, so that the program reads them in place: decoding
    // a compressed picture would cost about as much as drawing the pictures.
    QFile out(QDir(folder).filePath(QStringLiteral("pictures@%1.argb").arg(ratio)));
    const qsizetype bytes = sheet.sizeInBytes();
    return sheet.bytesPerLine() == sheet.width() * 4 && out.open(QIODevice::WriteOnly) &&
           out.write(reinterpret_cast<const char*>(sheet.constBits()), bytes) == bytes;
}

}  // namespace

int main(int argc, char** argv) {
    QGuiApplication app(argc, argv);
    const QStringList args = QCoreApplication::arguments();
    if (args.size() != 2 || !QDir().mkpath(args[1])) {
        std::fprintf(stderr, "usage: render_pictures <folder>\n");
        return 2;
    }
    QByteArray index;
    for (const int ratio : {1, 2}) {
        if (!writeSheet(args[1], ratio, index)) {
            std::fprintf(stderr, "render_pictures: cannot write the sheet for %d\n", ratio);
            return 1;
        }
    }
    QFile file(QDir(args[1]).filePath(QStringLiteral("pictures.index")));
    if (!file.open(QIODevice::WriteOnly) || file.write(index) != index.size()) {
        std::fprintf(stderr, "render_pictures: cannot write the index\n");
        return 1;
    }
    return 0;
}
