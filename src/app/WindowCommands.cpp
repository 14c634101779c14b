// SPDX-License-Identifier: GPL-3.0-or-later
// The auxiliary windows: scratch pad, list examples, a further editor, the about box and
// the first-run welcome.
#include "app/AuxiliaryWindows.h"
#include "app/ProgramInfo.h"
#include "ui/frmMain.h"
#include "ui/platform/Dialogs.h"

#include <QProcess>

void frmMain::mnuPad_Click() {
    showSecondaryWindow(QStringLiteral("frmPad"), [this] { return new frmPad(this); });
}

void frmMain::mnulistex_Click() {
    showSecondaryWindow(QStringLiteral("frmList"), [this] { return new frmList(this); });
}

void frmMain::mnunewwin_Click() {
    // The running program again, with no file: the new instance starts with an empty
    // document and lives on its own. Window managers decide how a new window comes up,
    // so it is started normally.
    if (!QProcess::startDetached(ProgramInfo::programPath(), {})) {
        dialogs().messageBox(QStringLiteral("Can't start a new editor window."),
                             Dialogs::Buttons::Ok, Dialogs::Icon::Exclamation,
                             QStringLiteral("Quindo"));
    }
}

void frmMain::mnuabout_Click() {
    showSecondaryWindow(QStringLiteral("frmAbout"), [this] {
        auto* about = new frmAbout(this);
        about->Form_Load();
        return about;
    });
}

void frmMain::Image1_Click() {
    mnuabout_Click();
}

void frmMain::showFirstRunWelcome() {
    showSecondaryWindow(QStringLiteral("frmfirst"), [this] { return new frmfirst(this); });
}
