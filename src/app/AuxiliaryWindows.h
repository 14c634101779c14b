// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "platform/SecondaryWindow.h"

class QLabel;
class QPlainTextEdit;
class QPushButton;

// The small windows the main window opens besides the editing area. None of them reads
// or changes the document. Each is shown once at a time (frmMain::showSecondaryWindow)
// and loses its content when closed.

// The first-run welcome: floats above every other window until closed.
class frmfirst : public SecondaryWindow {
    Q_OBJECT

  public:
    explicit frmfirst(QWidget* owner);
    static QString welcomeText();
    QLabel& Label1() { return *label1_; }
    QPushButton& Command1() { return *command1_; }
    void Command1_Click();

  private:
    QLabel* label1_ = nullptr;
    QPushButton* command1_ = nullptr;
};

// The about box with the start-up count and the version, read when it loads.
class frmAbout : public SecondaryWindow {
    Q_OBJECT

  public:
    explicit frmAbout(QWidget* owner);
    void Form_Load();
    void Command1_Click();
    QLabel& Label6() { return *label6_; }
    QLabel& Label7() { return *label7_; }
    QPushButton& Command1() { return *command1_; }

  private:
    QLabel* label6_ = nullptr;
    QLabel* label7_ = nullptr;
    QPushButton* command1_ = nullptr;
};

// Ready-made list markup to copy from.
class frmList : public SecondaryWindow {
    Q_OBJECT

  public:
    explicit frmList(QWidget* owner);
    // The example: twelve lines, each ended by CR LF.
    static QString exampleText();
    QPlainTextEdit& Text1() { return *text1_; }
    // The box's text with its line breaks written as CR LF.
    QString text() const;

  private:
    QPlainTextEdit* text1_ = nullptr;
};

// A scratch pad that floats above every other window. Escape leaves it open: the notes
// would go with it.
class frmPad : public SecondaryWindow {
    Q_OBJECT

  public:
    explicit frmPad(QWidget* owner);
    QPlainTextEdit& Text1() { return *text1_; }

  private:
    QPlainTextEdit* text1_ = nullptr;
};
