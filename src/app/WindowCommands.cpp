// The auxiliary windows: scratch pad, list examples, a further editor, the about box and
// the first-run welcome.
#include "ui/frmMain.h"

void frmMain::mnuPad_Click() {}

void frmMain::mnulistex_Click() {}

void frmMain::mnunewwin_Click() {}

void frmMain::mnuabout_Click() {}

void frmMain::Image1_Click() {
    mnuabout_Click();
}

void frmMain::showFirstRunWelcome() {}
