// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/frmsplash.h"

#include "app/Credits.h"
#include "app/ProgramInfo.h"
#include "app/SplashPictures.h"
#include "platform/Twips.h"

#include <QCloseEvent>
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QLabel>
#include <QProgressBar>
#include <QWindow>

namespace {

QLabel* addPicture(SecondaryWindow& window, const QString& name, const QPixmap& picture, int left,
                   int top, int width, int height) {
    auto* image = window.place(new QLabel, name, left, top, width, height);
    image->setScaledContents(true);
    image->setPixmap(picture);
    return image;
}

}  // namespace

frmsplash::frmsplash(HandOver handOver)
    : SecondaryWindow(nullptr, QStringLiteral("Quindo"), QSize(3885, 2670), Place::Centred),
      handOver_(std::move(handOver)) {
    setObjectName(QStringLiteral("frmsplash"));
    setAttribute(Qt::WA_DeleteOnClose);

    using SplashPictures::kBannerTwips;
    using SplashPictures::kSceneTwips;
    addPicture(*this, QStringLiteral("Image1"),
               SplashPictures::scene(Twips::toDevicePixels(kSceneTwips, devicePixelRatioF())), 45,
               45, kSceneTwips.width(), kSceneTwips.height());
    addPicture(*this, QStringLiteral("Image2"),
               SplashPictures::banner(Twips::toDevicePixels(kBannerTwips, devicePixelRatioF())),
               1305, 45, kBannerTwips.width(), kBannerTwips.height());

    progressBar1_ = place(new QProgressBar, QStringLiteral("ProgressBar1"), 1305, 2340, 2475, 255);
    progressBar1_->setRange(0, 100);
    progressBar1_->setValue(0);
    progressBar1_->setTextVisible(false);
    label3_ = addLabel(QStringLiteral("Label3"), QString(), 1305, 720, 2460, 285);
    QLabel* label1 = addLabel(
        QStringLiteral("Label1"),
        QStringLiteral(
            "Easily create your own Web pages while learning the Hyper Text Mark-Up Language."),
        1305, 1035, 2460, 690);
    QLabel* label2 =
        addLabel(QStringLiteral("Label2"), Credits::makerLine(), 1305, 1755, 2460, 240);
    QLabel* label4 =
        addLabel(QStringLiteral("Label4"), Credits::webAddress(), 1305, 2025, 2460, 240);
    setFocusOrder({progressBar1_, label3_, label1, label2, label4});

    timer1_.setObjectName(QStringLiteral("Timer1"));
    timer1_.setInterval(1);
    connect(&timer1_, &QTimer::timeout, this, &frmsplash::Timer1_Timer);
    timer1_.start();
}

void frmsplash::Form_Load() {
    label3_->setText(ProgramInfo::versionText());
}

void frmsplash::Timer1_Timer() {
    // Only the first tick counts: the main window's load below may open a message box,
    // whose event loop must not bring the hand-over round a second time.
    if (handedOver_) {
        return;
    }
    handedOver_ = true;
    timer1_.stop();

    // The first tick can come before the window system has shown the splash: wait for it
    // (letting no input in) and paint it, so it is on screen, pictures and all, before
    // the hand-over holds the interface thread.
    if (QWindow* window = windowHandle()) {
        QElapsedTimer waited;
        waited.start();
        while (!window->isExposed() && waited.elapsed() < kExposeWaitMs) {
            QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents, 20);
        }
    }
    if (!isVisible()) {
        return;  // closed meanwhile (the session ended the program)
    }
    // The window system's first expose has painted it, as a rule; if not, paint it now.
    if (!painted_) {
        repaint();
    }

    progressBar1_->setRange(0, kProgressSteps);
    progressBar1_->setVisible(true);
    progressBar1_->setValue(progressBar1_->minimum());
    // The 4001 steps take a few milliseconds, less than one frame of the screen: painting
    // each one (the bar repaints itself at once when its filled part grows) would only
    // cost time. The bar is painted, full, once they are done.
    progressBar1_->setUpdatesEnabled(false);
    for (int i = 0; i <= kProgressSteps; ++i) {
        progressBar1_->setValue(i);
    }
    progressBar1_->setUpdatesEnabled(true);
    progressBar1_->repaint();

    handOver_(*this);
    close();
}

void frmsplash::paintEvent(QPaintEvent* event) {
    painted_ = true;
    SecondaryWindow::paintEvent(event);
}

void frmsplash::keyPressEvent(QKeyEvent* event) {
    // Not closed by Escape: the program is starting behind it.
    QWidget::keyPressEvent(event);
}

void frmsplash::closeEvent(QCloseEvent* event) {
    timer1_.stop();
    SecondaryWindow::closeEvent(event);
}
