// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/frmMain.h"

#include "app/SettingsStore.h"
#include "document/DocumentState.h"
#include "ui/CommandSurface.h"
#include "ui/platform/Dialogs.h"
#include "ui/platform/EditingArea.h"
#include "ui/platform/Pictures.h"
#include "ui/platform/Twips.h"

#include <QAction>
#include <QCloseEvent>
#include <QDateTime>
#include <QLabel>
#include <QMenuBar>
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
    image1_->setGeometry(Twips::rect(45, 0, 540, 540));
    image1_->setPixmap(Pictures::logo(Twips::toPixels(540)));
    image1_->setScaledContents(true);
    image1_->setToolTip(QStringLiteral("Quindo by Tamblor9"));
    image1_->setAccessibleName(QStringLiteral("Quindo logo"));
    connect(image1_, &PictureLabel::clicked, this, [this] { Image1_Click(); });

    text1_ = new EditingArea(central);
    text1_->setObjectName(QStringLiteral("Text1"));
    text1_->setGeometry(Twips::rect(kTextLeft, kTextTop, kTextWidth, kTextHeight));
    connect(text1_, &QsciScintilla::textChanged, this, [this] { Text1_Change(); });

    buildCommandSurface();
    buildStatusBar();
    registerHandlers();
    installDropHandling();

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
        connect(b, &QAbstractButton::clicked, this, [this, name] { runCommand(name); });
        buttons_.insert(name, b);
    }
}

void frmMain::buildStatusBar() {
    statusBar_ = new QStatusBar(this);
    statusBar_->setObjectName(QStringLiteral("StatusBar1"));
    statusBar_->setSizeGripEnabled(true);
    statusBar_->setFixedHeight(Twips::toPixels(kStatusHeight) + 2);
    statusBar_->setFocusPolicy(Qt::TabFocus);
    auto addPanel = [this](const QString& text, int stretch) {
        auto* panel = new QLabel(text, statusBar_);
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

void frmMain::registerHandlers() {
    const std::pair<const char*, std::function<void()>> table[] = {
        {"mnuFileNew", [this] { mnuFileNew_Click(); }},
        {"mnuFileOpen", [this] { mnuFileOpen_Click(); }},
        {"mnuFileClose", [this] { mnuFileClose_Click(); }},
        {"mnuFileSave", [this] { mnuFileSave_Click(); }},
        {"mnuFileSaveAs", [this] { mnuFileSaveAs_Click(); }},
        {"mnuFilePrint", [this] { mnuFilePrint_Click(); }},
        {"mnuFileExit", [this] { mnuFileExit_Click(); }},
        {"mnuEditCut", [this] { mnuEditCut_Click(); }},
        {"mnuEditCopy", [this] { mnuEditCopy_Click(); }},
        {"mnuEditPaste", [this] { mnuEditPaste_Click(); }},
        {"mnucutall", [this] { mnucutall_Click(); }},
        {"mnucopyall", [this] { mnucopyall_Click(); }},
        {"Command1", [this] { Command1_Click(); }},
        {"Command2", [this] { Command2_Click(); }},
        {"Command3", [this] { Command3_Click(); }},
        {"Command4", [this] { Command4_Click(); }},
        {"Command5", [this] { Command5_Click(); }},
        {"Command6", [this] { Command6_Click(); }},
        {"Command7", [this] { Command7_Click(); }},
        {"Command10", [this] { Command10_Click(); }},
        {"mnucolorf", [this] { mnucolorf_Click(); }},
        {"mnulistex", [this] { mnulistex_Click(); }},
        {"mnuTest", [this] { mnuTest_Click(); }},
        {"mnunewwin", [this] { mnunewwin_Click(); }},
        {"mnuPad", [this] { mnuPad_Click(); }},
        {"mnuset", [this] { mnuset_Click(); }},
        {"mnukeys", [this] { mnukeys_Click(); }},
        {"mnuViewStatusBar", [this] { mnuViewStatusBar_Click(); }},
        {"mnuqn8", [this] { mnuqn8_Click(); }},
        {"mnuqn10", [this] { mnuqn10_Click(); }},
        {"mnuqn12", [this] { mnuqn12_Click(); }},
        {"mnuqn14", [this] { mnuqn14_Click(); }},
        {"mnuqnverdana", [this] { mnuqnverdana_Click(); }},
        {"mnuqnarial", [this] { mnuqnarial_Click(); }},
        {"mnuqntimes", [this] { mnuqntimes_Click(); }},
        {"mnuprimer", [this] { mnuprimer_Click(); }},
        {"mnusample", [this] { mnusample_Click(); }},
        {"mnuusing", [this] { mnuusing_Click(); }},
        {"mnuabout", [this] { mnuabout_Click(); }},
    };
    for (const auto& [name, handler] : table) {
        handlers_.insert(QString::fromLatin1(name), handler);
    }
}

bool frmMain::runCommand(const QString& controlName) {
    const auto it = handlers_.constFind(controlName);
    if (it != handlers_.constEnd()) {
        (*it)();
        return true;
    }
    return runSnippet(controlName);
}

void frmMain::Text1_Change() {
    DocChanged = 1;
    emit documentChanged();
}

// ---- start-up ---------------------------------------------------------------------

void frmMain::Form_Load() {
    // 1. The start-up counter; the very first run shows the welcome window.
    startupCount_ = RunCounter::parse(
        SettingsStore::read(QStringLiteral("Run"), QStringLiteral("Value"), QStringLiteral("0")));
    if (startupCount_ == 0) {
        showFirstRunWelcome();
    }
    startupCount_ = RunCounter::next(startupCount_);
    SettingsStore::write(QStringLiteral("Run"), QStringLiteral("Value"),
                         QString::number(startupCount_));

    // 2. The status bar is shown, and its item says so.
    action(QStringLiteral("mnuViewStatusBar"))->setChecked(true);

    // 3, 4. The stored display preferences, restored by the very commands that chose them.
    const QString size = SettingsStore::read(QStringLiteral("fontsize"), QStringLiteral("Value"),
                                             QStringLiteral("10"));
    if (size == QLatin1String("8")) {
        mnuqn8_Click();
    } else if (size == QLatin1String("10")) {
        mnuqn10_Click();
    } else if (size == QLatin1String("12")) {
        mnuqn12_Click();
    } else if (size == QLatin1String("14")) {
        mnuqn14_Click();
    }
    const QString face = SettingsStore::read(QStringLiteral("font"), QStringLiteral("Value"),
                                             QStringLiteral("Verdana"));
    if (face == QLatin1String("Arial")) {
        mnuqnarial_Click();
    } else if (face == QLatin1String("Times New Roman")) {
        mnuqntimes_Click();
    } else if (face == QLatin1String("Verdana")) {
        mnuqnverdana_Click();
    }

    // 5-8. The file named on the command line.
    DocChanged = 0;
    CurrentFileName = commandLine_;
    if (!CurrentFileName.isEmpty()) {
        OpenFile(CurrentFileName);
        setCaption(Caption::forPath(commandLine_));
        DocChanged = 0;
    }
}

QSize frmMain::innerSizeTwips() const {
    const int menuHeight = menuBar()->isVisible() ? menuBar()->height() : 0;
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

// ---- display preferences ------------------------------------------------------------

void frmMain::setChecks(const QStringList& group, const QString& checked) {
    for (const QString& name : group) {
        action(name)->setChecked(name == checked);
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
    return {QStringLiteral("frmfirst"), QStringLiteral("frmList"), QStringLiteral("frmPad"),
            QStringLiteral("frmAbout"), QStringLiteral("frmNew"),  QStringLiteral("frmOptions"),
            QStringLiteral("frmsplash")};
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
