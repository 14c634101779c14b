// SPDX-License-Identifier: GPL-3.0-or-later
// The auxiliary windows: scratch pad, list examples, a further editor, the about box and
// the first-run welcome.
#include "app/SmallWindows.h"

#include "app/AuxiliaryWindows.h"
#include "app/ProgramInfo.h"
#include "platform/Dialogs.h"
#include "platform/WindowHost.h"

#include <QProcess>

void SmallWindows::mnuPad_Click() {
    host_.showSecondaryWindow(QStringLiteral("frmPad"),
                              [this] { return new frmPad(&host_.window()); });
}

void SmallWindows::mnulistex_Click() {
    host_.showSecondaryWindow(QStringLiteral("frmList"),
                              [this] { return new frmList(&host_.window()); });
}

void SmallWindows::mnunewwin_Click() {
    // The running program again, with no file: the new instance starts with an empty
    // document and lives on its own. Window managers decide how a new window comes up,
    // so it is started normally.
    if (!QProcess::startDetached(ProgramInfo::programPath(), {})) {
        host_.dialogs().messageBox(QStringLiteral("Can't start a new editor window."),
                                   Dialogs::Buttons::Ok, Dialogs::Icon::Exclamation,
                                   QStringLiteral("Quindo"));
    }
}

void SmallWindows::mnuabout_Click() {
    host_.showSecondaryWindow(QStringLiteral("frmAbout"), [this] {
        auto* about = new frmAbout(&host_.window());
        about->Form_Load();
        return about;
    });
}

void SmallWindows::showFirstRunWelcome() {
    host_.showSecondaryWindow(QStringLiteral("frmfirst"),
                              [this] { return new frmfirst(&host_.window()); });
}
