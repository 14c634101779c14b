// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "Rows.h"
#include "ScriptedDialogs.h"
#include "TestEnvironment.h"
#include "TestFiles.h"

#include <QMimeData>
#include <QTemporaryDir>
#include <QtTest>

#include <functional>
#include <memory>
#include <optional>

class EditingArea;
class frmMain;
class frmNew;
class frmOptions;
class QPrinter;

// The one set-up of the tests: a private config home, scripted dialogs, a folder for
// files and the real main window. Document state and commands that tests drive directly
// go through the functions here, so the tests do not depend on where the window keeps them.
class MainWindowFixture {
  public:
    MainWindowFixture();
    ~MainWindowFixture();

    TestEnvironment env;
    ScriptedDialogs dialogs;
    QTemporaryDir dir;
    // How often the program was told to end.
    int ended = 0;

    // Clears the settings (the start-up count set to `run`, none when empty) and dialogs.
    void reset(const QString& run = QStringLiteral("3"));
    // A fresh main window; formLoad runs the start-up, show waits until it is exposed.
    frmMain& start(bool formLoad = false, bool show = false, const QString& commandLine = {},
                   Dialogs* otherDialogs = nullptr);
    // A further window on the same dialogs, owned by the caller.
    std::unique_ptr<frmMain> another(const QString& commandLine = {});
    frmMain& window() { return *window_; }
    frmMain* operator->() { return window_.get(); }
    // Ends the window without any prompt and checks that every dialog went as scripted.
    void finish();
    void checkDialogs();

    QString path(const QString& name) const { return dir.filePath(name); }
    EditingArea& text();
    QByteArray bytes();
    // Text, selection in bytes, and the change flag.
    void setText(const QByteArray& bytes, qint64 from = 0, qint64 to = 0, qint16 changed = 0);
    void select(qint64 from, qint64 to);

    // ---- the document and its commands --------------------------------------------
    QString& fileName();
    qint16& docChanged();
    qint16& saveAnswer();
    QString& dialogFileName();
    void setChoosePrinter(std::function<bool(QPrinter&)> choose);
    // Names the window's document as the path and loads it, as Open does after its dialog.
    void load(const QString& file);
    void openFile(const QString& file);
    bool saveFileAs(const QString& file);
    bool save();
    bool saveAs();
    void showOptions();
    frmOptions* options();
    frmNew* newWindow();

    // Drags the data onto the editing area and drops it, offering the actions; true when
    // the drop was taken as a copy.
    bool drop(QMimeData* data, Qt::DropActions actions = Qt::CopyAction | Qt::MoveAction);
    static QMimeData* files(const QStringList& paths);

  private:
    std::unique_ptr<frmMain> window_;
};
