// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/frmMain.h"

#include "app/DisplayPreferences.h"
#include "app/SmallWindows.h"
#include "app/Startup.h"
#include "browser/BrowserCommands.h"
#include "document/Document.h"
#include "editing/EditingCommands.h"
#include "editing/EditingKeys.h"
#include "editing/PageCheck.h"
#include "snippets/SnippetCatalogue.h"
#include "snippets/TagInsertion.h"
#include "ui/CommandSurface.h"
#include "ui/platform/Dialogs.h"
#include "ui/platform/EditingArea.h"
#include "ui/platform/Pictures.h"
#include "ui/platform/Twips.h"

#include <QAction>
#include <QCloseEvent>
#include <QDateTime>
#include <QKeyEvent>
#include <QLabel>
#include <QMenuBar>
#include <QShortcut>
#include <QStatusBar>
#include <QTimer>

namespace {

constexpr int kInnerWidth = 9030;  // twips, before the first resize
constexpr int kInnerHeight = 4950;
constexpr int kTextLeft = 0;
constexpr int kTextTop = 540;
constexpr int kTextWidth = 5640;
constexpr int kTextHeight = 2850;
constexpr int kStatusHeight = 255;

const QString kCredit =
    QStringLiteral("Quindo HTML Editor \u00a9 1999 Tamblor9, written by Tamblor");

}  // namespace

frmMain::frmMain(Dialogs& dialogs, QString commandLine, QWidget* parent)
    : QMainWindow(parent), dialogs_(dialogs), commandLine_(std::move(commandLine)) {
    setObjectName(QStringLiteral("frmMain"));
    setWindowTitle(Caption::kNoDocument);
    setWindowIcon(Pictures::programIcon());

    auto* central = new QWidget(this);
    central->setObjectName(QStringLiteral("client"));
    setCentralWidget(central);

    image1_ = new PictureLabel(central);
    image1_->setObjectName(QStringLiteral("Image1"));
    image1_->setGeometry(Twips::rect(45, 0, Pictures::kLogoTwips, Pictures::kLogoTwips));
    // Drawn at the screen's pixel density and shown scaled to the label, so it stays sharp.
    image1_->setPixmap(
        Pictures::logo(Twips::toDevicePixels(Pictures::kLogoTwips, devicePixelRatioF())));
    image1_->setScaledContents(true);
    image1_->setToolTip(QStringLiteral("Quindo by Tamblor9"));
    image1_->setAccessibleName(QStringLiteral("Quindo logo"));
    connect(image1_, &PictureLabel::clicked, this, [this] { Image1_Click(); });

    text1_ = new EditingArea(central);
    text1_->setObjectName(QStringLiteral("Text1"));
    text1_->setGeometry(Twips::rect(kTextLeft, kTextTop, kTextWidth, kTextHeight));

    document_ = new Document(*this);
    tags_ = std::make_unique<TagInsertion>(*this);
    browser_ = std::make_unique<BrowserCommands>(*this, *document_);
    display_ = std::make_unique<DisplayPreferences>(*this);
    smallWindows_ = std::make_unique<SmallWindows>(*this);
    pageCheck_ = std::make_unique<PageCheck>(*this);
    EditingKeys::install(*text1_);
    editingCommands_ = new EditingCommands(*text1_);
    editingCommands_->bind(QStringLiteral("Cut"), [this] { mnuEditCut_Click(); });
    editingCommands_->bind(QStringLiteral("Copy"), [this] { mnuEditCopy_Click(); });
    editingCommands_->bind(QStringLiteral("Paste"), [this] { mnuEditPaste_Click(); });
    editingCommands_->bind(QStringLiteral("CheckPage"), [this] { pageCheck_->run(); });

    buildCommandSurface();
    buildStatusBar();
    // F10 opens the menu bar's first menu, as on the rest of the desktop.
    connect(new QShortcut(Qt::Key_F10, this), &QShortcut::activated, this,
            [this] { menuBar()->setActiveAction(menuBar()->actions().constFirst()); });
    // Tab and Shift+Tab move the focus out of the editing area; Ctrl+Tab types a tab.
    text1_->installEventFilter(this);

    // Focus order: the editing area, the buttons along the row, then the status bar.
    QWidget* previous = text1_;
    for (const auto& entry : CommandSurface::buttons()) {
        QWidget* next = buttons_.value(QString::fromLatin1(entry.name));
        setTabOrder(previous, next);
        previous = next;
    }
    setTabOrder(previous, statusBar_);

    const int menuHeight = menuBar()->sizeHint().height();
    resize(Twips::toPixels(kInnerWidth), Twips::toPixels(kInnerHeight) + menuHeight);
}

frmMain::~frmMain() = default;

void frmMain::buildCommandSurface() {
    using CommandSurface::Kind;
    for (const auto& entry : CommandSurface::menus()) {
        const QString name = QString::fromLatin1(entry.name);
        const QString caption = QString::fromLatin1(entry.caption);
        const QString parentName = QString::fromLatin1(entry.parent);
        QMenu* parentMenu = parentName.isEmpty() ? nullptr : menus_.value(parentName);
        switch (entry.kind) {
            case Kind::Menu: {
                QMenu* m = parentMenu ? parentMenu->addMenu(caption) : menuBar()->addMenu(caption);
                m->setObjectName(name);
                m->menuAction()->setObjectName(name);
                menus_.insert(name, m);
                break;
            }
            case Kind::Separator: {
                QAction* a = parentMenu->addSeparator();
                a->setObjectName(name);
                actions_.insert(name, a);
                break;
            }
            case Kind::BarCommand:
            case Kind::Item: {
                auto* a = new QAction(caption, this);
                a->setObjectName(name);
                a->setCheckable(entry.checkable);
                a->setShortcuts({});
                // No item but "&Options" has an access key: keep captions literal.
                a->setText(QString(caption).replace(QLatin1Char('&'), QStringLiteral("&&")));
                if (parentMenu) {
                    parentMenu->addAction(a);
                } else {
                    menuBar()->addAction(a);
                }
                addCommand(name, entry.handler);
                connect(a, &QAction::triggered, this, [this, a, name] {
                    // The command sets its own ticks: undo Qt's automatic toggle so the
                    // handler sees the state from before the click.
                    if (a->isCheckable()) {
                        a->setChecked(!a->isChecked());
                    }
                    runCommand(name);
                });
                actions_.insert(name, a);
                break;
            }
        }
    }

    QWidget* central = centralWidget();
    for (const auto& entry : CommandSurface::buttons()) {
        const QString name = QString::fromLatin1(entry.name);
        auto* b = new PictureButton(QString::fromLatin1(entry.word), central);
        b->setObjectName(name);
        b->setGeometry(Twips::rect(entry.left, CommandSurface::kButtonTop,
                                   CommandSurface::kButtonSize, CommandSurface::kButtonSize));
        b->setToolTip(QString::fromLatin1(entry.tooltip));
        b->setAccessibleName(QString::fromLatin1(entry.tooltip));
        addCommand(name, entry.handler);
        connect(b, &QAbstractButton::clicked, this, [this, name] { runCommand(name); });
        buttons_.insert(name, b);
    }
}

void frmMain::buildStatusBar() {
    statusBar_ = new QStatusBar(this);
    statusBar_->setObjectName(QStringLiteral("StatusBar1"));
    statusBar_->setSizeGripEnabled(true);
    statusBar_->setFixedHeight(Twips::toPixels(kStatusHeight));
    statusBar_->setFocusPolicy(Qt::TabFocus);
    auto addPanel = [this](const QString& text, int stretch) {
        auto* panel = new QLabel(text, statusBar_);
        // The panels never hold the window wider than the user makes it: they cut their
        // text instead.
        panel->setMinimumWidth(1);
        panel->setFrameShape(QFrame::StyledPanel);
        panel->setFrameShadow(QFrame::Sunken);
        statusBar_->addPermanentWidget(panel, stretch);
        return panel;
    };
    QLabel* credit = addPanel(kCredit, 1);
    credit->setObjectName(QStringLiteral("Panel1"));
    credit->setToolTip(kCredit);
    // The second panel is a clock; its design text is "12:34 PM".
    QLabel* clock = addPanel(QStringLiteral("12:34 PM"), 0);
    clock->setObjectName(QStringLiteral("Panel2"));
    auto* tick = new QTimer(clock);
    auto showTime = [clock] {
        clock->setText(
            QLocale(QLocale::English).toString(QTime::currentTime(), QStringLiteral("h:mm AP")));
    };
    connect(tick, &QTimer::timeout, clock, showTime);
    showTime();
    tick->start(15000);
    addPanel(QStringLiteral("doc"), 0)->setObjectName(QStringLiteral("Panel3"));
    addPanel(QStringLiteral("Current Document"), 0)->setObjectName(QStringLiteral("Panel4"));
    setStatusBar(statusBar_);
}

void frmMain::addCommand(const QString& controlName, CommandSurface::Handler handler) {
    if (handler) {
        commands_.insert(controlName, [this, handler] { handler(*this); });
    } else if (SnippetCatalogue::find(controlName)) {
        commands_.insert(controlName, [this, controlName] { tags_->runSnippet(controlName); });
    } else {
        // A row without a command is a dead control: refuse to start rather than ship it.
        qFatal("%s has neither a handler nor a snippet", qPrintable(controlName));
    }
}

bool frmMain::runCommand(const QString& controlName) {
    const auto it = commands_.constFind(controlName);
    if (it == commands_.constEnd()) {
        return false;
    }
    (*it)();
    return true;
}

// ---- start-up ---------------------------------------------------------------------

void frmMain::Form_Load() {
    startupCount_ = Startup::load(*this, *smallWindows_, *display_);
    document_->loadCommandLine(commandLine_);
}

QSize frmMain::innerSizeTwips() const {
    // Before the window is first shown the menu bar is not laid out yet: count the height
    // it will take (it may wrap onto more lines in a narrow window).
    const QMenuBar* bar = menuBar();
    int menuHeight = 0;
    if (bar->isVisible()) {
        menuHeight = bar->height();
    } else if (bar->isVisibleTo(this)) {
        menuHeight = bar->heightForWidth(width());
    }
    return Twips::fromPixels(QSize(width(), height() - menuHeight));
}

QSize frmMain::editingAreaSizeFor(QSize inner, QSize current) {
    QSize result = current;
    if (inner.width() >= 260) {
        result.setWidth(inner.width() - 5);
    }
    if (inner.height() >= 810) {
        result.setHeight(inner.height() - 800);
    }
    return result;
}

void frmMain::Form_Resize() {
    if (isMinimized()) {
        return;
    }
    const QSize current = Twips::fromPixels(text1_->size());
    const QSize wanted = editingAreaSizeFor(innerSizeTwips(), current);
    if (wanted != current) {
        text1_->resize(Twips::toPixels(wanted));
    }
}

bool frmMain::eventFilter(QObject* watched, QEvent* event) {
    if (watched == text1_ && event->type() == QEvent::KeyPress) {
        const auto* key = static_cast<QKeyEvent*>(event);
        const Qt::KeyboardModifiers mods = key->modifiers() & ~Qt::KeypadModifier;
        if (key->key() == Qt::Key_Tab && mods == Qt::NoModifier) {
            focusNextPrevChild(true);
            return true;
        }
        if (key->key() == Qt::Key_Backtab ||
            (key->key() == Qt::Key_Tab && mods == Qt::ShiftModifier)) {
            focusNextPrevChild(false);
            return true;
        }
        if (key->key() == Qt::Key_Tab && mods == Qt::ControlModifier) {
            text1_->setSelText(QByteArrayLiteral("\t"));
            return true;
        }
    }
    return QMainWindow::eventFilter(watched, event);
}

void frmMain::resizeEvent(QResizeEvent* event) {
    QMainWindow::resizeEvent(event);
    Form_Resize();
}

void frmMain::closeEvent(QCloseEvent* event) {
    if (!Form_QueryUnload()) {
        event->ignore();
        return;
    }
    event->accept();
}

// ---- menu ticks and the status bar ---------------------------------------------------

bool frmMain::isChecked(const QString& controlName) const {
    const QAction* item = action(controlName);
    return item && item->isChecked();
}

void frmMain::setChecked(const QString& controlName, bool checked) {
    if (QAction* item = action(controlName)) {
        item->setChecked(checked);
    }
}

void frmMain::mnuViewStatusBar_Click() {
    QAction* item = action(QStringLiteral("mnuViewStatusBar"));
    if (item->isChecked()) {
        statusBar_->hide();
        item->setChecked(false);
    } else {
        statusBar_->show();
        item->setChecked(true);
    }
}

// ---- secondary windows ----------------------------------------------------------------

QStringList frmMain::secondaryWindowCloseOrder() {
    return {QStringLiteral("frmfirst"),   QStringLiteral("frmCheck"), QStringLiteral("frmList"),
            QStringLiteral("frmPad"),     QStringLiteral("frmAbout"), QStringLiteral("frmNew"),
            QStringLiteral("frmOptions"), QStringLiteral("frmsplash")};
}

QWidget* frmMain::secondaryWindow(const QString& name) const {
    // A closed window is on its way out (deleted on close) and counts as not open.
    QWidget* window = secondaryWindows_.value(name).data();
    return window && window->isVisible() ? window : nullptr;
}

QWidget* frmMain::showSecondaryWindow(const QString& name, const std::function<QWidget*()>& make) {
    QWidget* window = secondaryWindow(name);
    if (!window) {
        window = make();
        window->setObjectName(name);
        window->setAttribute(Qt::WA_DeleteOnClose);
        secondaryWindows_.insert(name, window);
        window->show();
    } else {
        window->show();
        window->raise();
    }
    return window;
}

void frmMain::closeSecondaryWindows() {
    for (const QString& name : secondaryWindowCloseOrder()) {
        if (QWidget* window = secondaryWindow(name)) {
            window->close();
        }
    }
}

// ---- the handlers: one call each into the feature that does the work ---------------------

void frmMain::mnuFileNew_Click() {
    document_->mnuFileNew_Click();
}
void frmMain::mnuFileOpen_Click() {
    document_->mnuFileOpen_Click();
}
void frmMain::mnuFileClose_Click() {
    document_->mnuFileClose_Click();
}
bool frmMain::mnuFileSave_Click() {
    return document_->mnuFileSave_Click();
}
bool frmMain::mnuFileSaveAs_Click() {
    return document_->mnuFileSaveAs_Click();
}
void frmMain::mnuFilePrint_Click() {
    document_->mnuFilePrint_Click();
}
void frmMain::mnuFileExit_Click() {
    document_->mnuFileExit_Click();
}
bool frmMain::Form_QueryUnload() {
    return document_->Form_QueryUnload();
}
void frmMain::mnuEditCut_Click() {
    document_->mnuEditCut_Click();
}
void frmMain::mnuEditCopy_Click() {
    document_->mnuEditCopy_Click();
}
void frmMain::mnuEditPaste_Click() {
    document_->mnuEditPaste_Click();
}
void frmMain::mnucutall_Click() {
    document_->mnucutall_Click();
}
void frmMain::mnucopyall_Click() {
    document_->mnucopyall_Click();
}

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

void frmMain::Command10_Click() {
    tags_->Command10_Click();
}
void frmMain::mnucolorf_Click() {
    tags_->mnucolorf_Click();
}

void frmMain::mnuTest_Click() {
    browser_->mnuTest_Click();
}
void frmMain::mnuprimer_Click() {
    browser_->mnuprimer_Click();
}
void frmMain::mnusample_Click() {
    browser_->mnusample_Click();
}
void frmMain::mnuusing_Click() {
    browser_->mnuusing_Click();
}
void frmMain::mnuset_Click() {
    browser_->mnuset_Click();
}
void frmMain::mnukeys_Click() {
    browser_->mnukeys_Click();
}

void frmMain::mnuqn8_Click() {
    display_->mnuqn8_Click();
}
void frmMain::mnuqn10_Click() {
    display_->mnuqn10_Click();
}
void frmMain::mnuqn12_Click() {
    display_->mnuqn12_Click();
}
void frmMain::mnuqn14_Click() {
    display_->mnuqn14_Click();
}
void frmMain::mnuqnarial_Click() {
    display_->mnuqnarial_Click();
}
void frmMain::mnuqntimes_Click() {
    display_->mnuqntimes_Click();
}
void frmMain::mnuqnverdana_Click() {
    display_->mnuqnverdana_Click();
}

void frmMain::mnuPad_Click() {
    smallWindows_->mnuPad_Click();
}
void frmMain::mnulistex_Click() {
    smallWindows_->mnulistex_Click();
}
void frmMain::mnunewwin_Click() {
    smallWindows_->mnunewwin_Click();
}
void frmMain::mnuabout_Click() {
    smallWindows_->mnuabout_Click();
}
void frmMain::Image1_Click() {
    mnuabout_Click();
}
