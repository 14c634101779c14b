// SPDX-License-Identifier: GPL-3.0-or-later
// File and Edit commands: load and save, new, close and exit, printing, the clipboard and
// the first seven picture buttons.
#include "document/DocumentFile.h"
#include "document/DocumentPrinter.h"
#include "document/DocumentState.h"
#include "document/DropLoader.h"
#include "document/frmNew.h"
#include "ui/frmMain.h"
#include "ui/platform/BusyCursor.h"
#include "ui/platform/Dialogs.h"
#include "ui/platform/EditingArea.h"

#include <QApplication>
#include <QClipboard>

namespace {

const QString kSavePrompt = QStringLiteral("Save current document?");
const QString kExitTitle = QStringLiteral("Quindo");
const QString kOpenFilter = QStringLiteral("HTML or Text Files (*.HTM* *.txt)");
const QString kSaveFilter = QStringLiteral("HTML Files (*.HTM*)");
const QString kDefaultSuffix = QStringLiteral("html");
constexpr qint16 kExitConfirmed = 1000;

// Text crosses to and from the clipboard the way the editing area shows its bytes: as
// UTF-8, or one character per byte in 8-bit mode (the same conversion as its own paste).
QString textOf(const EditingArea& area, QByteArrayView bytes) {
    return area.isUtf8() ? QString::fromUtf8(bytes) : QString::fromLatin1(bytes);
}

QByteArray bytesOf(const EditingArea& area, const QString& text) {
    return area.isUtf8() ? text.toUtf8() : text.toLatin1();
}

// Every put empties the clipboard first, so it holds that plain text and nothing else.
void putOnClipboard(const QString& text) {
    QClipboard* clipboard = QGuiApplication::clipboard();
    clipboard->clear();
    clipboard->setText(text);
}

}  // namespace

// ---- load and save ----------------------------------------------------------------------

void frmMain::OpenFile(const QString& filename) {
    DocumentFile::LoadResult file;
    {
        // A read that fails after the open leaves the text as it was, without a word.
        BusyCursor busy;
        file = DocumentFile::load(filename, Text1());
    }
    if (!file.opened) {
        QApplication::beep();
        dialogs().messageBox(QStringLiteral("Can't open file: ") + filename, Dialogs::Buttons::Ok,
                             Dialogs::Icon::None);
    }
}

bool frmMain::SaveFileAs(const QString& filename) {
    QString error;
    bool written;
    {
        BusyCursor busy;
        written = DocumentFile::write(filename, Text1().bytes(), &error);
    }
    if (!written) {
        // The document still differs from every file on disk: it stays changed.
        QApplication::beep();
        dialogs().messageBox(error, Dialogs::Buttons::Ok, Dialogs::Icon::Exclamation);
        return false;
    }
    DocChanged = 0;
    return true;
}

bool frmMain::mnuFileSave_Click() {
    if (isUnnamedDocument(CurrentFileName, caption())) {
        return mnuFileSaveAs_Click();
    }
    const bool written = SaveFileAs(CurrentFileName);
    setCaption(Caption::forPath(CurrentFileName));
    if (written) {
        DocChanged = 0;
    }
    return written;
}

bool frmMain::mnuFileSaveAs_Click() {
    CurrentFileName = dialogs().saveFile({kSaveFilter, dialogFileName, kDefaultSuffix, {}});
    if (CurrentFileName.isEmpty()) {
        return false;
    }
    dialogFileName = CurrentFileName;
    const bool written = SaveFileAs(CurrentFileName);
    setCaption(Caption::forPath(CurrentFileName));
    if (written) {
        DocChanged = 0;
    }
    return written;
}

void frmMain::mnuFileOpen_Click() {
    if (!askSaveCurrentDocument()) {
        return;
    }
    DocChanged = 0;
    const QString chosen = dialogs().openFile({kOpenFilter, dialogFileName, kDefaultSuffix, {}});
    if (chosen.isEmpty()) {
        return;
    }
    dialogFileName = chosen;
    Text1().setSelText({});
    CurrentFileName = chosen;
    OpenFile(CurrentFileName);
    setCaption(Caption::forPath(chosen));
    DocChanged = 0;
}

// ---- the save prompts ---------------------------------------------------------------------

// Asks whether to save, keeps the answer in SaveAnswer and saves on Yes. True when the
// command goes on: No, or a Yes whose save happened.
static bool promptAndSave(frmMain& w, Dialogs::Buttons buttons, const QString& title) {
    w.SaveAnswer = static_cast<qint16>(
        w.dialogs().messageBox(kSavePrompt, buttons, Dialogs::Icon::None, title));
    switch (w.SaveAnswer) {
        case Dialogs::Yes:
            return w.mnuFileSave_Click();
        case Dialogs::No:
            return true;
        default:
            return false;
    }
}

bool frmMain::askSaveCurrentDocument() {
    if (DocChanged != 1) {
        return true;
    }
    if (!promptAndSave(*this, Dialogs::Buttons::YesNoCancel, Dialogs::applicationTitle())) {
        if (SaveAnswer != Dialogs::Yes && SaveAnswer != Dialogs::No) {
            DocChanged = 1;
        }
        return false;
    }
    return true;
}

// ---- new, close, exit and the close request ---------------------------------------------------

void frmMain::mnuFileNew_Click() {
    if (!askSaveCurrentDocument()) {
        return;
    }
    showSecondaryWindow(QStringLiteral("frmNew"), [this] { return new frmNew(*this); });
    DocChanged = 0;
}

void frmMain::mnuFileClose_Click() {
    if (!Text1().isEmpty() &&
        !promptAndSave(*this, Dialogs::Buttons::YesNoCancel, Dialogs::applicationTitle())) {
        return;
    }
    Text1().setBytes({});
    setCaption(Caption::kNoDocument);
    DocChanged = 0;
}

void frmMain::mnuFileExit_Click() {
    if (DocChanged == 1 && !promptAndSave(*this, Dialogs::Buttons::YesNoCancel, kExitTitle)) {
        return;
    }
    // Confirmed: the close request this causes asks nothing more.
    SaveAnswer = kExitConfirmed;
    closeSecondaryWindows();
    close();
    if (endProgram) {
        endProgram();
    }
}

bool frmMain::Form_QueryUnload() {
    if (SaveAnswer == kExitConfirmed) {
        return true;
    }
    if (DocChanged == 1) {
        SaveAnswer = static_cast<qint16>(dialogs().messageBox(kSavePrompt, Dialogs::Buttons::YesNo,
                                                              Dialogs::Icon::None, kExitTitle));
        // There is no Cancel here: a Yes whose save did not happen keeps the window open,
        // so the text is not lost.
        if (SaveAnswer == Dialogs::Yes && !mnuFileSave_Click()) {
            return false;
        }
    }
    closeSecondaryWindows();
    if (endProgram) {
        endProgram();
    }
    return true;
}

// ---- printing -------------------------------------------------------------------------------

void frmMain::mnuFilePrint_Click() {
    DocumentPrinter::print(*this);
}

// ---- clipboard ------------------------------------------------------------------------------

void frmMain::mnuEditCut_Click() {
    putOnClipboard(textOf(Text1(), Text1().selectedBytes()));
    Text1().setSelText({});
    Text1().SetFocus();
}

void frmMain::mnuEditCopy_Click() {
    putOnClipboard(textOf(Text1(), Text1().selectedBytes()));
    Text1().SetFocus();
}

void frmMain::mnuEditPaste_Click() {
    // No text on the clipboard pastes the empty text: the selection goes.
    Text1().setSelText(bytesOf(Text1(), QGuiApplication::clipboard()->text()));
}

void frmMain::mnucutall_Click() {
    putOnClipboard(textOf(Text1(), Text1().bytes()));
    Text1().setBytes({});
    Text1().SetFocus();
}

void frmMain::mnucopyall_Click() {
    putOnClipboard(textOf(Text1(), Text1().bytes()));
    Text1().SetFocus();
}

// ---- picture buttons --------------------------------------------------------------------------

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

void frmMain::installDropHandling() {
    // Drops are the main window's: the editing area's own text drop never runs.
    Text1().viewport()->installEventFilter(new DropLoader(*this));
}
