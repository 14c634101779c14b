// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "document/DocumentFile.h"
#include "document/DocumentState.h"
#include "platform/Dialogs.h"

#include <QList>
#include <QObject>
#include <QUrl>

#include <functional>

class QPrinter;
class Recovery;
class WindowHost;

// The one open document: its fields, loading and saving, the save prompts, New, Open,
// Close, Exit and the window's close request, drops, printing and the clipboard commands.
// The text itself is the host's editing area; the caption is the host's.
class Document : public QObject {
    Q_OBJECT

  public:
    explicit Document(WindowHost& host);

    DocumentState& state() { return state_; }
    const DocumentState& state() const { return state_; }

    // ---- load and save ----------------------------------------------------------------
    // Reads a whole file into the editing area; true when it was read. A file that cannot
    // be read is reported ("Can't open file: " and the path), with a beep unless told
    // otherwise, and leaves the text as it was.
    bool OpenFile(const QString& filename, bool beep = true);
    // Writes the document plus CR LF; true when the file was written. A failure is
    // reported and leaves the document changed. Writing over the file last read or written
    // that another program changed since is asked first; No writes nothing (false).
    bool SaveFileAs(const QString& filename);
    // Makes the file at path the document: its name, its text, its caption, unchanged. A
    // name that does not exist yet becomes the document's name (Save creates the file); a
    // file that exists but cannot be read leaves the document as it was (false).
    bool loadPath(const QString& path);
    // The start-up's file: the command line's argument text, when there is one.
    void loadCommandLine(const QString& argumentText);

    // ---- commands ---------------------------------------------------------------------
    void mnuFileNew_Click();
    void mnuFileOpen_Click();
    void mnuFileClose_Click();
    // Save and Save As report whether the document was written.
    bool mnuFileSave_Click();
    bool mnuFileSaveAs_Click();
    void mnuFilePrint_Click();
    void mnuFileExit_Click();
    // The window's close request; false refuses the close.
    bool Form_QueryUnload();
    void mnuEditCut_Click();
    void mnuEditCopy_Click();
    void mnuEditPaste_Click();
    void mnucutall_Click();
    void mnucopyall_Click();

    // The save prompt that New, Open and the sample command ask when DocChanged is 1
    // ("Save current document?", Yes/No/Cancel, application title; answer in SaveAnswer).
    // False when the command must stop: Cancel, or a Yes whose save did not happen.
    bool askSaveCurrentDocument();

    // What a drop does with its data: ask whether to save, then load the first local file
    // of the list. hasFileList is false when the data carries no list of paths.
    void loadDrop(bool hasFileList, const QList<QUrl>& urls);

    // Sets up the printer that Print uses and returns true, or false when there is none.
    // Unset, Print uses the system's default printer.
    void setChoosePrinter(std::function<bool(QPrinter&)> choose) {
        choosePrinter_ = std::move(choose);
    }
    // Ends the program; set by the program, left unset by tests.
    void setEndProgram(std::function<void()> end) { endProgram_ = std::move(end); }

    // ---- recovery -----------------------------------------------------------------------
    // The copy of the unsaved document kept against a crash.
    Recovery& recovery() { return *recovery_; }
    // Start-up, once the window is shown: offers the unsaved documents of programs that
    // ended without saving them.
    void offerRecovery();

  signals:
    // The editing area's text changed (DocChanged is 1 now).
    void documentChanged();

  private:
    // What the open and save dialogs are asked to show first.
    Dialogs::FileRequest fileRequest(const QString& filter) const;
    // Asks whether to save, keeps the answer in SaveAnswer and saves on Yes. True when the
    // command goes on: No, or a Yes whose save happened.
    bool promptAndSave(Dialogs::Buttons buttons, const QString& title);
    void Text1_Change();
    // The new-document window's choices: an empty untitled document, or the template
    // beside the program. False when the user stopped it at the save prompt.
    bool newDocument(const QString& caption);
    // False when filename is the file last read or written, another program changed it
    // since, and the user chose not to replace it.
    bool changedOutsideAllowed(const QString& filename);

    WindowHost& host_;
    DocumentState state_;
    std::function<bool(QPrinter&)> choosePrinter_;
    std::function<void()> endProgram_;
    Recovery* recovery_ = nullptr;  // a child QObject
    // The file last read or written, as it was then.
    QString knownFile_;
    DocumentFile::FileIdentity knownIdentity_;
};
