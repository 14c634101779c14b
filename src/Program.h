// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

class frmMain;
class frmsplash;

namespace Program {

// The argument text: everything after the program's own name, the words joined by single
// blanks (the shell has already split and unquoted them).
QString argumentText(int argc, char** argv);

// On a Wayland session without a platform chosen by the user, picks the X server
// (XWayland), where windows can be centred and kept on top.
void chooseWindowSystem();

// The splash's hand-over: the main window, registered to close the splash on its way out,
// runs its load and is shown.
void showMainWindow(frmMain& main, frmsplash& splash);

// Starts the program and runs it until it ends; returns the exit code.
int run(int argc, char** argv);

}  // namespace Program
