// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "ui/SecondaryWindow.h"

#include <QTimer>

#include <functional>

class QLabel;
class QProgressBar;
class frmMain;

// The splash: the first window of every run. Its timer's first tick fills the progress
// bar, has the main window built, loaded and shown, and then closes the splash.
class frmsplash : public SecondaryWindow {
    Q_OBJECT

  public:
    // Builds the main window, not yet loaded; the window lives as long as the program.
    using MainWindowMaker = std::function<frmMain&()>;

    explicit frmsplash(MainWindowMaker makeMainWindow);

    void Form_Load();
    void Timer1_Timer();

    QLabel& Label3() { return *label3_; }
    QProgressBar& ProgressBar1() { return *progressBar1_; }
    QTimer& Timer1() { return timer1_; }

    // The progress bar's steps from the first tick.
    static constexpr int kProgressSteps = 4000;

  protected:
    void closeEvent(QCloseEvent* event) override;

  private:
    MainWindowMaker makeMainWindow_;
    QLabel* label3_ = nullptr;
    QProgressBar* progressBar1_ = nullptr;
    QTimer timer1_;
    bool handedOver_ = false;
};
