// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

class Dialogs;

// The browser the user picked once as a program file, and the one way of starting it.
// Nothing is kept in memory: every command reads the stored path afresh, so a choice made
// in the Options window counts from the next command on.

// The stored browser path (section "browser", key "name"); empty when none was chosen.
QString ReadBrowserPath();

// A path counts as chosen from 8 characters on. Nothing else is checked: neither that the
// file exists nor that it is a program.
bool IsBrowserChosen(const QString& path);

// Lets the user pick a program file and stores the path exactly as chosen. False (and
// nothing stored) when the user cancelled.
bool ChooseBrowser(Dialogs& dialogs);

// Starts the browser with the target as its one argument, detached and without a shell:
// blanks, quotes, '$', ';' or a leading '-' in either path reach the program unchanged and
// are never interpreted. An empty browser path starts nothing. Every failure is silent.
void LaunchInBrowser(const QString& browser, const QString& target);
