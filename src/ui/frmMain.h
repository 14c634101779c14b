// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "ui/platform/WindowHost.h"

#include <QHash>
#include <QMainWindow>
#include <QPointer>
#include <QStringList>

#include <functional>
#include <memory>

class QAction;
class QMenu;
class QStatusBar;
class BrowserCommands;
class Dialogs;
class DisplayPreferences;
class Document;
class EditingArea;
class EditingCommands;
class PageCheck;
class PictureButton;
class PictureLabel;
class SmallWindows;
class TagInsertion;

// The main window: the editing area, the menu bar and the row of picture buttons (built
// from the command surface's tables), the status bar and the small windows it keeps.
// Every command of the surface is a handler here, and every handler is one call into the
// feature that does the work: the document (document/), tag insertion (snippets/), the
// browser and options (browser/), the display preferences and small windows (app/). The
// features see the window only as a WindowHost.
class frmMain : public QMainWindow, public WindowHost {
    Q_OBJECT

  public:
    // commandLine: the program's argument text, everything after the program's own name.
    frmMain(Dialogs& dialogs, QString commandLine, QWidget* parent = nullptr);
    ~frmMain() override;

    // ---- the features -------------------------------------------------------------
    Document& document() { return *document_; }
    TagInsertion& tags() { return *tags_; }
    SmallWindows& smallWindows() { return *smallWindows_; }
    EditingCommands& editingCommands() { return *editingCommands_; }
    PageCheck& pageCheck() { return *pageCheck_; }

    // ---- controls ------------------------------------------------------------------
    EditingArea& Text1() { return *text1_; }
    QStatusBar& StatusBar1() { return *statusBar_; }
    PictureLabel& Image1() { return *image1_; }
    QAction* action(const QString& controlName) const { return actions_.value(controlName); }
    QMenu* menu(const QString& controlName) const { return menus_.value(controlName); }
    PictureButton* button(const QString& controlName) const { return buttons_.value(controlName); }

    // Runs the command of a menu item or picture button by control name; false when the
    // name has no command.
    bool runCommand(const QString& controlName);

    // ---- WindowHost ----------------------------------------------------------------
    QWidget& window() override { return *this; }
    EditingArea& editingArea() override { return *text1_; }
    Dialogs& dialogs() override { return dialogs_; }
    QString caption() const override { return windowTitle(); }
    void setCaption(const QString& caption) override { setWindowTitle(caption); }
    bool isChecked(const QString& controlName) const override;
    void setChecked(const QString& controlName, bool checked) override;
    QWidget* secondaryWindow(const QString& name) const override;
    QWidget* showSecondaryWindow(const QString& name,
                                 const std::function<QWidget*()>& make) override;
    void closeSecondaryWindows() override;
    // The windows closed on the way out, in this order.
    static QStringList secondaryWindowCloseOrder();

    // ---- start-up and layout --------------------------------------------------------
    // Runs once, before the window is first shown.
    void Form_Load();
    void Form_Resize();
    // The editing area's size (twips) for an inner size (twips): below a threshold that
    // dimension keeps its current value.
    static QSize editingAreaSizeFor(QSize inner, QSize current);
    QSize innerSizeTwips() const;
    // The start-up count while the load runs.
    qint16 startupCount() const { return startupCount_; }

    // ---- the command surface's handlers, by feature ---------------------------------
    // The document (document/Document)
    void mnuFileNew_Click();
    void mnuFileOpen_Click();
    void mnuFileClose_Click();
    bool mnuFileSave_Click();
    bool mnuFileSaveAs_Click();
    void mnuFilePrint_Click();
    void mnuFileExit_Click();
    bool Form_QueryUnload();
    void mnuEditCut_Click();
    void mnuEditCopy_Click();
    void mnuEditPaste_Click();
    void mnucutall_Click();
    void mnucopyall_Click();
    // The buttons that forward to File and Edit commands
    void Command1_Click();
    void Command2_Click();
    void Command3_Click();
    void Command4_Click();
    void Command5_Click();
    void Command6_Click();
    void Command7_Click();
    // Tag insertion (snippets/TagInsertion); the other insertion commands are the
    // catalogue's snippets
    void Command10_Click();
    void mnucolorf_Click();
    // Browser, help and options (browser/BrowserCommands)
    void mnuTest_Click();
    void mnuprimer_Click();
    void mnusample_Click();
    void mnuusing_Click();
    void mnuset_Click();
    void mnukeys_Click();
    // Display preferences (app/DisplayPreferences)
    void mnuqn8_Click();
    void mnuqn10_Click();
    void mnuqn12_Click();
    void mnuqn14_Click();
    void mnuqnarial_Click();
    void mnuqntimes_Click();
    void mnuqnverdana_Click();
    // Small windows (app/SmallWindows)
    void mnuPad_Click();
    void mnulistex_Click();
    void mnunewwin_Click();
    void mnuabout_Click();
    void Image1_Click();
    // The window's own layout
    void mnuViewStatusBar_Click();

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

  private:
    void buildCommandSurface();
    void buildStatusBar();
    void addCommand(const QString& controlName, void (*handler)(frmMain&));

    Dialogs& dialogs_;
    QString commandLine_;
    qint16 startupCount_ = 0;
    EditingArea* text1_ = nullptr;
    QStatusBar* statusBar_ = nullptr;
    PictureLabel* image1_ = nullptr;
    QHash<QString, QAction*> actions_;
    QHash<QString, QMenu*> menus_;
    QHash<QString, PictureButton*> buttons_;
    QHash<QString, std::function<void()>> commands_;
    QHash<QString, QPointer<QWidget>> secondaryWindows_;

    Document* document_ = nullptr;  // a child QObject of the window
    std::unique_ptr<TagInsertion> tags_;
    std::unique_ptr<BrowserCommands> browser_;
    std::unique_ptr<DisplayPreferences> display_;
    std::unique_ptr<SmallWindows> smallWindows_;
    std::unique_ptr<PageCheck> pageCheck_;
    EditingCommands* editingCommands_ = nullptr;  // a child QObject of the editing area
};
