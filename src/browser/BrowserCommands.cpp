// SPDX-License-Identifier: GPL-3.0-or-later
// Browser preview, help documents and the options window.
#include "browser/BrowserCommands.h"

#include "app/ProgramInfo.h"
#include "browser/BrowserPreference.h"
#include "browser/frmOptions.h"
#include "document/Document.h"
#include "platform/Dialogs.h"
#include "platform/EditingArea.h"
#include "platform/WindowHost.h"

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
void showHelpPage(WindowHost& host, const QString& noBrowserText, const QString& fileName) {
    const QString browser = ReadBrowserPath();
    if (!IsBrowserChosen(browser)) {
        host.dialogs().messageBox(noBrowserText, Dialogs::Buttons::Ok, Dialogs::Icon::None, kTitle);
        ShowOptionsWindow(host);
    }
    LaunchInBrowser(browser, ProgramInfo::besideProgram(fileName));
}

}  // namespace

void BrowserCommands::mnuTest_Click() {
    if (host_.editingArea().isEmpty()) {
        host_.dialogs().messageBox(kEmptyPage, Dialogs::Buttons::Ok, Dialogs::Icon::None, kTitle);
        return;
    }
    const QString browser = ReadBrowserPath();
    if (!IsBrowserChosen(browser)) {
        ShowOptionsWindow(host_);
    }
    // The preview shows the page's file, so a page without one is saved first. Each test
    // reads the caption afresh: a save renames the page, so at most one Save As is offered.
    for (const QString& unnamed :
         {Caption::kNoDocument, Caption::kBlankTemplate, Caption::kNewUntitled}) {
        if (host_.caption() == unnamed && !document_.mnuFileSaveAs_Click()) {
            // Cancelled, or nothing was written: there is no file to show.
            return;
        }
    }
    const QString& page = document_.state().CurrentFileName;
    if (page.isEmpty()) {
        return;
    }
    LaunchInBrowser(browser, page);
}

void BrowserCommands::mnuprimer_Click() {
    host_.dialogs().messageBox(kPrimerNotice, Dialogs::Buttons::Ok, Dialogs::Icon::Stop,
                               kPrimerNoticeTitle);
    showHelpPage(host_, kPrimerNoBrowser, QStringLiteral("HTMLREF2.HTM"));
}

void BrowserCommands::mnuusing_Click() {
    showHelpPage(host_, kUsingNoBrowser, QStringLiteral("aboutqn.html"));
}

void BrowserCommands::mnusample_Click() {
    DocumentState& state = document_.state();
    // A changed document is not thrown away unasked: the same prompt as Open comes first.
    if (state.DocChanged == 1 && !document_.askSaveCurrentDocument()) {
        return;
    }
    state.dialogFileName.clear();
    host_.editingArea().setBytes({});
    host_.setCaption(Caption::kSample);
    state.CurrentFileName = ProgramInfo::besideProgram(QStringLiteral("sample.html"));
    document_.OpenFile(state.CurrentFileName);
    // Emptying the area and loading the sample both change the text; the sample counts as
    // changed even when the load found nothing to change.
    state.DocChanged = 1;
    host_.editingArea().SetFocus();
}

void BrowserCommands::mnuset_Click() {
    ShowOptionsWindow(host_);
}

void BrowserCommands::mnukeys_Click() {
    ShowOptionsWindow(host_);
}
