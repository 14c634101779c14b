// File and Edit commands: load and save, new, close and exit, printing, the clipboard and
// the first seven picture buttons.
#include "ui/frmMain.h"

void frmMain::OpenFile(const QString&) {}

bool frmMain::SaveFileAs(const QString&) {
    return false;
}

bool frmMain::askSaveCurrentDocument() {
    return true;
}

void frmMain::mnuFileNew_Click() {}
void frmMain::mnuFileOpen_Click() {}
void frmMain::mnuFileClose_Click() {}

bool frmMain::mnuFileSave_Click() {
    return false;
}

bool frmMain::mnuFileSaveAs_Click() {
    return false;
}

void frmMain::mnuFilePrint_Click() {}
void frmMain::mnuFileExit_Click() {}

bool frmMain::Form_QueryUnload() {
    return true;
}

void frmMain::mnuEditCut_Click() {}
void frmMain::mnuEditCopy_Click() {}
void frmMain::mnuEditPaste_Click() {}
void frmMain::mnucutall_Click() {}
void frmMain::mnucopyall_Click() {}

void frmMain::Command1_Click() {
    mnuFileNew_Click();
}

void frmMain::Command2_Click() {
    mnuFileOpen_Click();
}

void frmMain::Command3_Click() {
    mnuFileSave_Click();
}

void frmMain::Command4_Click() {
    mnuFilePrint_Click();
}

void frmMain::Command5_Click() {
    mnuEditCut_Click();
}

void frmMain::Command6_Click() {
    mnuEditCopy_Click();
}

void frmMain::Command7_Click() {
    mnuEditPaste_Click();
}

void frmMain::installDropHandling() {}
