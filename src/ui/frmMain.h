// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QColor>
#include <QHash>
#include <QMainWindow>
#include <QPointer>
#include <QStringList>

#include <functional>
#include <optional>

#include "snippets/RGB.h"

class QAction;
class QLabel;
class QMenu;
class QPrinter;
class QStatusBar;
class EditingArea;
class Dialogs;
class PictureButton;
class PictureLabel;

// The main window. It owns the editing area (whose bytes are the document), the document
// fields and every command handler; the handlers of each subsystem are defined in that
// subsystem's own source file.
class frmMain : public QMainWindow {
    Q_OBJECT

  public:
    // commandLine: the program's argument text, everything after the program's own name.
    frmMain(Dialogs& dialogs, QString commandLine, QWidget* parent = nullptr);
    ~frmMain() override;

    // ---- document state ------------------------------------------------------------
    QString CurrentFileName;
    qint16 DocChanged = 0;
    qint16 SaveAnswer = 0;

    QString caption() const { return windowTitle(); }
    void setCaption(const QString& caption) { setWindowTitle(caption); }

    // ---- controls ------------------------------------------------------------------
    EditingArea& Text1() { return *text1_; }
    QStatusBar& StatusBar1() { return *statusBar_; }
    PictureLabel& Image1() { return *image1_; }
    Dialogs& dialogs() { return dialogs_; }
    QAction* action(const QString& controlName) const { return actions_.value(controlName); }
    QMenu* menu(const QString& controlName) const { return menus_.value(controlName); }
    PictureButton* button(const QString& controlName) const { return buttons_.value(controlName); }

    // Runs the handler of a menu item or picture button by control name; false when the
    // name has no command.
    bool runCommand(const QString& controlName);

    // ---- start-up and layout (app) --------------------------------------------------
    // Runs once, before the window is first shown.
    void Form_Load();
    void Form_Resize();
    // The editing area's size (twips) for an inner size (twips): below a threshold that
    // dimension keeps its current value.
    static QSize editingAreaSizeFor(QSize inner, QSize current);
    QSize innerSizeTwips() const;
    // The start-up count while the load runs.
    qint16 startupCount() const { return startupCount_; }

    // ---- display preferences (app) --------------------------------------------------
    void mnuqn8_Click();
    void mnuqn10_Click();
    void mnuqn12_Click();
    void mnuqn14_Click();
    void mnuqnarial_Click();
    void mnuqntimes_Click();
    void mnuqnverdana_Click();
    void mnuViewStatusBar_Click();

    // ---- auxiliary windows (app) ----------------------------------------------------
    void mnuPad_Click();
    void mnulistex_Click();
    void mnunewwin_Click();
    void mnuabout_Click();
    void Image1_Click();
    void showFirstRunWelcome();

    // ---- documents (document) -------------------------------------------------------
    void OpenFile(const QString& filename);
    // Writes the document plus CR LF; true when the file was written.
    bool SaveFileAs(const QString& filename);
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
    void Command1_Click();
    void Command2_Click();
    void Command3_Click();
    void Command4_Click();
    void Command5_Click();
    void Command6_Click();
    void Command7_Click();
    // The save prompt that New, Open and the sample command ask when DocChanged is 1
    // ("Save current document?", Yes/No/Cancel, application title; answer in SaveAnswer).
    // False when the command must stop: Cancel, or a Yes whose save did not happen.
    bool askSaveCurrentDocument();
    // The file name the open and save dialogs start with.
    QString dialogFileName;
    // Sets up the printer that Print uses and returns true, or false when there is none.
    // Unset, Print uses the system's default printer.
    std::function<bool(QPrinter&)> choosePrinter;

    // ---- tag insertion (snippets) ---------------------------------------------------
    void InsertAtCaret(const QByteArray& text, std::optional<qint64> stepBack);
    // Inserts the catalogue snippet of a control; false when the control has none.
    bool runSnippet(const QString& controlName);
    void Command10_Click();
    void mnucolorf_Click();

    // ---- browser, help and options (browser) ----------------------------------------
    void mnuTest_Click();
    void mnuprimer_Click();
    void mnusample_Click();
    void mnuusing_Click();
    void mnuset_Click();
    void mnukeys_Click();

    // ---- secondary windows ----------------------------------------------------------
    // The windows closed on the way out, in this order.
    static QStringList secondaryWindowCloseOrder();
    // The open secondary window of that name, or null.
    QWidget* secondaryWindow(const QString& name) const;
    // Shows the window of that name: creates it with make() when it is not open,
    // otherwise leaves the open one as it is and raises it.
    QWidget* showSecondaryWindow(const QString& name, const std::function<QWidget*()>& make);
    void closeSecondaryWindows();

    // Set by the program before it quits; tests leave it unset.
    std::function<void()> endProgram;

  signals:
    void documentChanged();

  protected:
    void resizeEvent(QResizeEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

  private:
    void buildCommandSurface();
    void buildStatusBar();
    void registerHandlers();
    void installDropHandling();
    void Text1_Change();
    void setFontSize(int points);
    void setFontFace(const QString& face);
    void setChecks(const QStringList& group, const QString& checked);

    Dialogs& dialogs_;
    QString commandLine_;
    qint16 startupCount_ = 0;
    EditingArea* text1_ = nullptr;
    QStatusBar* statusBar_ = nullptr;
    PictureLabel* image1_ = nullptr;
    QHash<QString, QAction*> actions_;
    QHash<QString, QMenu*> menus_;
    QHash<QString, PictureButton*> buttons_;
    QHash<QString, std::function<void()>> handlers_;
    QHash<QString, QPointer<QWidget>> secondaryWindows_;
    // Tag insertion: the caret position a stepping insertion remembers (full width, so it
    // holds any position of any document), the colour selector's splitter and the colour
    // its dialog opens on (the last one confirmed; black before the first).
    qint64 rememberedCaret_ = 0;
    RGB rgb_;
    QColor selectorColor_{Qt::black};
};
