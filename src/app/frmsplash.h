// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "platform/SecondaryWindow.h"

#include <QTimer>

#include <functional>

class QLabel;
class QProgressBar;

// The splash: the first window of every run. Its timer's first tick fills the progress
// bar, hands over (the program builds, loads and shows the main window) and then closes
// the splash.
class frmsplash : public SecondaryWindow {
    Q_OBJECT

  public:
    // Builds, loads and shows the main window; the splash is passed so that the main
    // window can close it on its way out.
    using HandOver = std::function<void(frmsplash&)>;

    explicit frmsplash(HandOver handOver);

    void Form_Load();
    void Timer1_Timer();

    QLabel& Label3() { return *label3_; }
    QProgressBar& ProgressBar1() { return *progressBar1_; }
    QTimer& Timer1() { return timer1_; }

    // The progress bar's steps from the first tick.
    static constexpr int kProgressSteps = 4000;

  protected:
    void paintEvent(QPaintEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

  private:
    // How long the first tick waits for the window system to show the splash.
    static constexpr int kExposeWaitMs = 2000;
    HandOver handOver_;
    QLabel* label3_ = nullptr;
    QProgressBar* progressBar1_ = nullptr;
    QTimer timer1_;
    bool handedOver_ = false;
    bool painted_ = false;  // by the window system's first expose
};
