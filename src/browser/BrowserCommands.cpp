// SPDX-License-Identifier: GPL-3.0-or-later
// Browser preview, help documents and the options window.
#include "app/ProgramInfo.h"
#include "browser/BrowserPreference.h"
#include "document/DocumentState.h"
#include "ui/frmMain.h"
#include "ui/platform/Dialogs.h"
#include "ui/platform/EditingArea.h"

namespace {

const QString kTitle = QStringLiteral("Quindo");
const QString kEmptyPage = QStringLiteral("Create and Save a page first!");
const QString kPrimerNoticeTitle = QStringLiteral("Quindo - copyright information");
const QString kPrimerNotice = QStringLiteral(
    "The following document was created and copyright by Microsoft Inc. They provided it for "
    "free with Explorer 3 and ActiveX Control Pad.  It is intended for educational purposes "
    "only. It is not intended for for commercial reproduction.  Remember, Quindo is freeware "
    "and this document is for education only.");
const QString kPrimerNoBrowser = QStringLiteral(
    "Please select your Internet Browser and then click on HTML PRIMER again to view the Help "
    "document.");
const QString kUsingNoBrowser = QStringLiteral(
    "Please select your Internet Browser and then click on Using Quindo again to view the Help "
    "document.");

// Opens a help page beside the program in the browser; without a browser the user is told
// to choose one and the Options window opens, and the launch is still tried.
void showHelpPage(frmMain& main, const QString& noBrowserText, const QString& fileName) {
    const QString browser = ReadBrowserPath();
    if (!IsBrowserChosen(browser)) {
        main.dialogs().messageBox(noBrowserText, Dialogs::Buttons::Ok, Dialogs::Icon::None, kTitle);
        ShowOptionsWindow(main);
    }
    LaunchInBrowser(browser, ProgramInfo::besideProgram(fileName));
}

}  // namespace

void frmMain::mnuTest_Click() {
    if (Text1().isEmpty()) {
        dialogs().messageBox(kEmptyPage, Dialogs::Buttons::Ok, Dialogs::Icon::None, kTitle);
        return;
    }
    const QString browser = ReadBrowserPath();
    if (!IsBrowserChosen(browser)) {
        ShowOptionsWindow(*this);
    }
    // The preview shows the page's file, so a page without one is saved first. Each test
    // reads the caption afresh: a save renames the page, so at most one Save As is offered.
    for (const QString& unnamed :
         {Caption::kNoDocument, Caption::kBlankTemplate, Caption::kNewUntitled}) {
        if (caption() == unnamed) {
            mnuFileSaveAs_Click();
        }
    }
    if (CurrentFileName.isEmpty()) {
        return;
    }
    LaunchInBrowser(browser, CurrentFileName);
}

void frmMain::mnuprimer_Click() {
    dialogs().messageBox(kPrimerNotice, Dialogs::Buttons::Ok, Dialogs::Icon::Stop,
                         kPrimerNoticeTitle);
    showHelpPage(*this, kPrimerNoBrowser, QStringLiteral("HTMLREF2.HTM"));
}

void frmMain::mnuusing_Click() {
    showHelpPage(*this, kUsingNoBrowser, QStringLiteral("aboutqn.html"));
}

void frmMain::mnusample_Click() {
    // A changed document is not thrown away unasked: the same prompt as Open comes first.
    if (DocChanged == 1 && !askSaveCurrentDocument()) {
        return;
    }
    dialogFileName.clear();
    Text1().setBytes({});
    setCaption(Caption::kSample);
    CurrentFileName = ProgramInfo::besideProgram(QStringLiteral("sample.html"));
    OpenFile(CurrentFileName);
    // Emptying the area and loading the sample both change the text; the sample counts as
    // changed even when the load found nothing to change.
    DocChanged = 1;
    Text1().SetFocus();
}

void frmMain::mnuset_Click() {
    ShowOptionsWindow(*this);
}

void frmMain::mnukeys_Click() {
    ShowOptionsWindow(*this);
}
