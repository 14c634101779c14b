// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "platform/WindowHost.h"
#include "ui/CommandSurface.h"
#include "ui/StatusBar.h"

#include <QHash>
#include <QMainWindow>
#include <QPointer>
#include <QStringList>

#include <functional>
#include <memory>

class QAction;
class QMenu;
class Dialogs;
class Document;
class EditingArea;
class Features;
class PictureButton;
class PictureLabel;
class SmallWindows;
class TagInsertion;

// The main window: the editing area, the menu bar and the row of picture buttons (built
// from the command surface's tables, whose rows call the features straight), the status
// bar, the resize rule, the small windows it keeps and the keyboard filter. The features
// (ui/Features) see the window only as a WindowHost.
class frmMain : public QMainWindow, public WindowHost {
    Q_OBJECT

  public:
    // commandLine: the program's argument text, everything after the program's own name.
    frmMain(Dialogs& dialogs, QString commandLine, QWidget* parent = nullptr);
    ~frmMain() override;

    // ---- the features -------------------------------------------------------------
    Features& features() { return *features_; }
    Document& document();
    TagInsertion& tags();
    SmallWindows& smallWindows();

    // ---- controls ------------------------------------------------------------------
    EditingArea& Text1() { return *text1_; }
    StatusBar& StatusBar1() { return *statusBar_; }
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
    bool Form_QueryUnload();
    // The editing area's size (twips) for an inner size (twips): below a threshold that
    // dimension keeps its current value.
    static QSize editingAreaSizeFor(QSize inner, QSize current);
    QSize innerSizeTwips() const;
    // The start-up count while the load runs.
    qint16 startupCount() const { return startupCount_; }

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

  private:
    void buildCommandSurface();
    void addCommand(const QString& controlName, CommandSurface::Handler handler);

    Dialogs& dialogs_;
    QString commandLine_;
    qint16 startupCount_ = 0;
    EditingArea* text1_ = nullptr;
    StatusBar* statusBar_ = nullptr;
    PictureLabel* image1_ = nullptr;
    QHash<QString, QAction*> actions_;
    QHash<QString, QMenu*> menus_;
    QHash<QString, PictureButton*> buttons_;
    QHash<QString, std::function<void()>> commands_;
    QHash<QString, QPointer<QWidget>> secondaryWindows_;

    std::unique_ptr<Features> features_;
    std::unique_ptr<CommandSurface::Targets> targets_;
};
