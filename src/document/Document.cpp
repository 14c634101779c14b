// SPDX-License-Identifier: GPL-3.0-or-later
// The document's load and save, its save prompts, and New, Open, Close, Exit and the
// window's close request.
#include "document/Document.h"

#include "app/ProgramInfo.h"
#include "document/DocumentFile.h"
#include "document/DropLoader.h"
#include "document/Recovery.h"
#include "document/frmNew.h"
#include "platform/BusyCursor.h"
#include "platform/Dialogs.h"
#include "platform/EditingArea.h"
#include "platform/WindowHost.h"

#include <QApplication>
#include <QDir>
#include <QFileInfo>

namespace {

const QString kSavePrompt = QStringLiteral("Save current document?");
const QString kExitTitle = QStringLiteral("Quindo");
const QString kOpenFilter = QStringLiteral("HTML or Text Files (*.HTM* *.txt)");
const QString kSaveFilter = QStringLiteral("HTML Files (*.HTM*)");
const QString kDefaultSuffix = QStringLiteral("html");
const QString kDropPrompt =
    QStringLiteral("Save current document before loading the dropped document?");
const QString kDropTitle = QStringLiteral("Drag and Drop Load");
const QString kDropUnsupported = QStringLiteral(
    "The drag and drop command could not be completed because the data is in an invalid "
    "format or is not supported.");

}  // namespace

Document::Document(WindowHost& host) : QObject(&host.window()), host_(host) {
    EditingArea& text = host_.editingArea();
    connect(&text, &QsciScintilla::textChanged, this, [this] { Text1_Change(); });
    // After Text1_Change: the recovery copy follows the text once DocChanged is set.
    recovery_ = new Recovery(host_, state_, this);
    // Drops are the document's: the editing area's own text drop never runs.
    text.viewport()->installEventFilter(new DropLoader(*this, host_.window()));
}

void Document::Text1_Change() {
    state_.DocChanged = 1;
    emit documentChanged();
}

// ---- load and save ----------------------------------------------------------------------

bool Document::OpenFile(const QString& filename, bool beep) {
    DocumentFile::LoadResult file;
    {
        BusyCursor busy;
        file = DocumentFile::load(filename, host_.editingArea());
    }
    if (!file.loaded) {
        // Not opened, or the read failed on the way: the text is as it was.
        if (beep) {
            QApplication::beep();
        }
        // A file refused for its size says why: trying again will not help.
        host_.dialogs().messageBox(QStringLiteral("Can't open file: ") + filename +
                                       (file.tooLarge ? QLatin1Char('\n') + file.error : QString()),
                                   Dialogs::Buttons::Ok, Dialogs::Icon::None);
    } else {
        knownFile_ = filename;
        knownIdentity_ = file.identity;
    }
    return file.loaded;
}

namespace {

// A name in the file system, even one that cannot be read or followed (a loop of links).
bool nameExists(const QString& path) {
    const QFileInfo info(path);
    return info.exists() || info.isSymLink();
}

}  // namespace

bool Document::loadPath(const QString& path) {
    const bool read = OpenFile(path);
    if (!read && nameExists(path)) {
        // A file that is there but could not be read is not the document: a later Save
        // must not write the text over it. The document stays as it was.
        return false;
    }
    // Read, or a name that does not exist yet (the first Save creates it).
    state_.CurrentFileName = path;
    host_.setCaption(Caption::forPath(path));
    state_.DocChanged = 0;
    if (read) {
        recovery_->matchesFile(path, host_.editingArea().byteLength());
    }
    recovery_->update();
    return true;
}

void Document::loadCommandLine(const QString& argumentText) {
    state_.DocChanged = 0;
    if (argumentText.isEmpty()) {
        state_.CurrentFileName.clear();
    } else {
        loadPath(argumentText);
    }
    recovery_->update();
}

void Document::offerRecovery() {
    recovery_->offerOrphans();
}

bool Document::changedOutsideAllowed(const QString& filename) {
    if (filename != knownFile_ || !knownIdentity_.valid()) {
        return true;
    }
    const DocumentFile::FileIdentity now = DocumentFile::identify(filename);
    // A file deleted meanwhile is simply written again.
    if (!now.valid() || now == knownIdentity_) {
        return true;
    }
    return host_.dialogs().messageBox(
               filename + QStringLiteral(" was changed by another program after Quindo opened it. "
                                         "Replace it with the text in Quindo?"),
               Dialogs::Buttons::YesNo, Dialogs::Icon::Exclamation) == Dialogs::Yes;
}

bool Document::SaveFileAs(const QString& filename) {
    if (!changedOutsideAllowed(filename)) {
        return false;
    }
    QString error;
    bool written;
    {
        BusyCursor busy;
        written = DocumentFile::write(filename, host_.editingArea().bytes(), &error);
    }
    // What is there now is Quindo's doing, also after a write into the known file that
    // failed halfway.
    if (written || filename == knownFile_) {
        knownFile_ = filename;
        knownIdentity_ = DocumentFile::identify(filename);
    }
    if (!written) {
        // The document still differs from every file on disk: it stays changed.
        QApplication::beep();
        host_.dialogs().messageBox(error, Dialogs::Buttons::Ok, Dialogs::Icon::Exclamation);
        return false;
    }
    state_.DocChanged = 0;
    // The file holds the text now (and the CR LF the save adds).
    recovery_->matchesFile(filename, host_.editingArea().byteLength());
    recovery_->update();
    return true;
}

bool Document::mnuFileSave_Click() {
    if (isUnnamedDocument(state_.CurrentFileName, host_.caption())) {
        return mnuFileSaveAs_Click();
    }
    if (!SaveFileAs(state_.CurrentFileName)) {
        return false;
    }
    host_.setCaption(Caption::forPath(state_.CurrentFileName));
    state_.DocChanged = 0;
    return true;
}

Dialogs::FileRequest Document::fileRequest(const QString& filter) const {
    // The dialogs start on the last name chosen in them; before the first choice, in the
    // document's folder, or the user's home folder.
    QString folder = QDir::homePath();
    if (!state_.CurrentFileName.isEmpty() && QFileInfo(state_.CurrentFileName).isAbsolute()) {
        folder = QFileInfo(state_.CurrentFileName).absolutePath();
    }
    return {filter, state_.dialogFileName, kDefaultSuffix, folder};
}

bool Document::mnuFileSaveAs_Click() {
    const QString chosen = host_.dialogs().saveFile(fileRequest(kSaveFilter));
    if (chosen.isEmpty()) {
        // A cancelled dialog leaves no name behind.
        state_.CurrentFileName.clear();
        recovery_->update();
        return false;
    }
    state_.dialogFileName = chosen;
    if (!SaveFileAs(chosen)) {
        // Nothing was written there: the document keeps its name and caption.
        return false;
    }
    state_.CurrentFileName = chosen;
    host_.setCaption(Caption::forPath(chosen));
    state_.DocChanged = 0;
    return true;
}

void Document::mnuFileOpen_Click() {
    if (!askSaveCurrentDocument()) {
        return;
    }
    state_.DocChanged = 0;
    recovery_->update();
    const QString chosen = host_.dialogs().openFile(fileRequest(kOpenFilter));
    if (chosen.isEmpty()) {
        return;
    }
    state_.dialogFileName = chosen;
    if (!nameExists(chosen)) {
        // A new name: the selection goes, and the document takes the name.
        host_.editingArea().setSelText({});
    }
    loadPath(chosen);
}

void Document::loadDrop(bool hasFileList, const QList<QUrl>& urls) {
    if (!host_.editingArea().isEmpty()) {
        switch (host_.dialogs().messageBox(kDropPrompt, Dialogs::Buttons::YesNoCancel,
                                           Dialogs::Icon::None, kDropTitle)) {
            case Dialogs::Yes:
                // Always the dialog, even for a document with a file; when nothing was
                // saved the document stays.
                if (!mnuFileSaveAs_Click()) {
                    return;
                }
                break;
            case Dialogs::No:
                break;
            default:
                return;
        }
    }
    if (!hasFileList || urls.isEmpty() || !urls.constFirst().isLocalFile()) {
        host_.dialogs().messageBox(kDropUnsupported, Dialogs::Buttons::Ok, Dialogs::Icon::None,
                                   QStringLiteral("Quindo"));
        return;
    }
    const QString path = urls.constFirst().toLocalFile();
    if (path.isEmpty()) {
        return;
    }
    if (!nameExists(path)) {
        host_.editingArea().setBytes({});
    }
    loadPath(path);
}

// ---- the save prompts ---------------------------------------------------------------------

bool Document::promptAndSave(Dialogs::Buttons buttons, const QString& title) {
    state_.SaveAnswer = static_cast<qint16>(
        host_.dialogs().messageBox(kSavePrompt, buttons, Dialogs::Icon::None, title));
    switch (state_.SaveAnswer) {
        case Dialogs::Yes:
            return mnuFileSave_Click();
        case Dialogs::No:
            return true;
        default:
            return false;
    }
}

bool Document::askSaveCurrentDocument() {
    if (state_.DocChanged != 1) {
        return true;
    }
    if (!promptAndSave(Dialogs::Buttons::YesNoCancel, Dialogs::applicationTitle())) {
        if (state_.SaveAnswer != Dialogs::Yes && state_.SaveAnswer != Dialogs::No) {
            state_.DocChanged = 1;
        }
        return false;
    }
    return true;
}

// ---- new, close, exit and the close request ---------------------------------------------------

void Document::mnuFileNew_Click() {
    if (!askSaveCurrentDocument()) {
        return;
    }
    host_.showSecondaryWindow(QStringLiteral("frmNew"), [this] {
        return new frmNew(host_, {[this] { return newDocument(Caption::kNewUntitled); },
                                  [this] { return newDocument(Caption::kBlankTemplate); }});
    });
    state_.DocChanged = 0;
    recovery_->update();
}

bool Document::newDocument(const QString& caption) {
    // The main window stays usable while the new-document window is open: what was typed
    // there since is not thrown away unasked.
    if (!askSaveCurrentDocument()) {
        return false;
    }
    state_.dialogFileName.clear();
    host_.editingArea().setBytes({});
    host_.setCaption(caption);
    if (caption == Caption::kBlankTemplate) {
        // The template is read like any document, but a missing one is reported without a
        // beep.
        OpenFile(ProgramInfo::besideProgram(QStringLiteral("blank.html")), /*beep=*/false);
    } else {
        host_.editingArea().SetFocus();
    }
    return true;
}

void Document::mnuFileClose_Click() {
    if (!host_.editingArea().isEmpty() &&
        !promptAndSave(Dialogs::Buttons::YesNoCancel, Dialogs::applicationTitle())) {
        return;
    }
    host_.editingArea().setBytes({});
    host_.setCaption(Caption::kNoDocument);
    state_.DocChanged = 0;
    recovery_->update();
}

void Document::mnuFileExit_Click() {
    if (state_.DocChanged == 1 && !promptAndSave(Dialogs::Buttons::YesNoCancel, kExitTitle)) {
        return;
    }
    // Confirmed: the close request this causes asks nothing more, and the text was saved
    // or given up.
    state_.SaveAnswer = DocumentState::kExitConfirmed;
    recovery_->discard();
    host_.closeSecondaryWindows();
    host_.window().close();
    if (endProgram_) {
        endProgram_();
    }
}

bool Document::Form_QueryUnload() {
    if (state_.SaveAnswer == DocumentState::kExitConfirmed) {
        return true;
    }
    if (state_.DocChanged == 1) {
        state_.SaveAnswer = static_cast<qint16>(host_.dialogs().messageBox(
            kSavePrompt, Dialogs::Buttons::YesNo, Dialogs::Icon::None, kExitTitle));
        // Only Yes or No answers: Escape or the box's close button refuses the close, and
        // a Yes whose save did not happen keeps the window open, so the text is not lost.
        if (state_.SaveAnswer != Dialogs::Yes && state_.SaveAnswer != Dialogs::No) {
            return false;
        }
        if (state_.SaveAnswer == Dialogs::Yes && !mnuFileSave_Click()) {
            return false;
        }
    }
    // Saved or given up: the window goes, and its recovery copy with it.
    recovery_->discard();
    host_.closeSecondaryWindows();
    if (endProgram_) {
        endProgram_();
    }
    return true;
}
