// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/frmMain.h"

#include "document/Document.h"
#include "platform/Dialogs.h"
#include "platform/EditingArea.h"
#include "platform/Pictures.h"
#include "platform/Twips.h"
#include "snippets/SnippetCatalogue.h"
#include "snippets/TagInsertion.h"
#include "ui/ButtonFaces.h"
#include "ui/CommandSurface.h"
#include "ui/Features.h"
#include "ui/StatusBar.h"

#include <QAction>
#include <QCloseEvent>
#include <QKeyEvent>
#include <QMenuBar>
#include <QShortcut>
#include <QStatusBar>

namespace {

constexpr int kInnerWidth = 9030;  // twips, before the first resize
constexpr int kInnerHeight = 4950;
constexpr int kTextLeft = 0;
constexpr int kTextTop = 540;
constexpr int kTextWidth = 5640;
constexpr int kTextHeight = 2850;

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
    // The logo opens the About window, as its menu command does.
    connect(image1_, &PictureLabel::clicked, this,
            [this] { runCommand(QStringLiteral("mnuabout")); });

    text1_ = new EditingArea(central);
    text1_->setObjectName(QStringLiteral("Text1"));
    text1_->setGeometry(Twips::rect(kTextLeft, kTextTop, kTextWidth, kTextHeight));

    features_ = std::make_unique<Features>(*this);
    statusBar_ = new StatusBar(*this, this);
    setStatusBar(statusBar_);
    targets_ = std::make_unique<CommandSurface::Targets>(features_->document(), features_->tags(),
                                                         features_->browser(), features_->display(),
                                                         features_->smallWindows(), *statusBar_);
    buildCommandSurface();
    // F10 opens the menu bar's first menu, as on the rest of the desktop.
    connect(new QShortcut(Qt::Key_F10, this), &QShortcut::activated, this,
            [this] { menuBar()->setActiveAction(menuBar()->actions().constFirst()); });
    // Tab and Shift+Tab move the focus out of the editing area; Ctrl+Tab types a tab.
    text1_->installEventFilter(this);

    // Focus order: the editing area, the buttons along the row, then the status bar.
    QWidget* previous = text1_;
    for (const auto& face : ButtonFaces::faces()) {
        QWidget* next = buttons_.value(QString::fromLatin1(face.name));
        setTabOrder(previous, next);
        previous = next;
    }
    setTabOrder(previous, statusBar_);

    const int menuHeight = menuBar()->sizeHint().height();
    resize(Twips::toPixels(kInnerWidth), Twips::toPixels(kInnerHeight) + menuHeight);
}

frmMain::~frmMain() = default;

Document& frmMain::document() {
    return features_->document();
}
TagInsertion& frmMain::tags() {
    return features_->tags();
}
SmallWindows& frmMain::smallWindows() {
    return features_->smallWindows();
}

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
    QHash<QString, CommandSurface::Handler> handlers;
    for (const auto& command : CommandSurface::buttonCommands()) {
        handlers.insert(QString::fromLatin1(command.name), command.handler);
    }
    for (const auto& face : ButtonFaces::faces()) {
        const QString name = QString::fromLatin1(face.name);
        auto* b = new PictureButton(QString::fromLatin1(face.word), central);
        b->setObjectName(name);
        b->setGeometry(
            Twips::rect(face.left, ButtonFaces::kTop, ButtonFaces::kSize, ButtonFaces::kSize));
        b->setToolTip(QString::fromLatin1(face.tooltip));
        b->setAccessibleName(QString::fromLatin1(face.tooltip));
        addCommand(name, handlers.value(name));
        connect(b, &QAbstractButton::clicked, this, [this, name] { runCommand(name); });
        buttons_.insert(name, b);
    }
}

void frmMain::addCommand(const QString& controlName, CommandSurface::Handler handler) {
    if (handler) {
        commands_.insert(controlName, [this, handler] { handler(*targets_); });
    } else if (SnippetCatalogue::find(controlName)) {
        commands_.insert(controlName,
                         [this, controlName] { features_->tags().runSnippet(controlName); });
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
    startupCount_ = features_->load(commandLine_);
}

bool frmMain::Form_QueryUnload() {
    return features_->document().Form_QueryUnload();
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

// ---- menu ticks ---------------------------------------------------

bool frmMain::isChecked(const QString& controlName) const {
    const QAction* item = action(controlName);
    return item && item->isChecked();
}

void frmMain::setChecked(const QString& controlName, bool checked) {
    if (QAction* item = action(controlName)) {
        item->setChecked(checked);
    }
}

// ---- secondary windows ----------------------------------------------------------------

QStringList frmMain::secondaryWindowCloseOrder() {
    return {QStringLiteral("frmfirst"),  QStringLiteral("frmList"), QStringLiteral("frmPad"),
            QStringLiteral("frmAbout"),  QStringLiteral("frmNew"),  QStringLiteral("frmOptions"),
            QStringLiteral("frmsplash"), QStringLiteral("frmFind"), QStringLiteral("frmGoTo"),
            QStringLiteral("frmCheck")};
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
