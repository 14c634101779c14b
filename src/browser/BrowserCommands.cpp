// Browser preview, help documents and the options window.
#include "ui/frmMain.h"

void frmMain::mnuTest_Click() {}
void frmMain::mnuprimer_Click() {}
void frmMain::mnusample_Click() {}
void frmMain::mnuusing_Click() {}
void frmMain::mnuset_Click() {}
void frmMain::mnukeys_Click() {}
